// The movie a graphic shows: its frames into the graphic, and play, pause
// and the play state through the graphic's handle.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "framework/graphics/graphic_handles.h"
#include "framework/graphics/graphic_image.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/movie_entries.h"
#include "framework/graphics/texture_upload.h"
#include "framework/softrender/memimg.h"

namespace {

int Smaller(int a, int b) { return a < b ? a : b; }

// Whole rows of the frame into the graphic's memory image, cut to both.
void CopyFrameRows(const PixelImage& frame, MEMIMG& image) {
    const int rows = Smaller(frame.height, image.height);
    const size_t rowBytes =
        static_cast<size_t>(Smaller(frame.width, image.width)) * static_cast<size_t>(frame.format.bytesPerPixel);
    const size_t pitch = static_cast<size_t>(image.base->pitch);
    for (int y = 0; y < rows; ++y) {
        std::memcpy(image.pixels + static_cast<size_t>(y) * pitch,
                    frame.pixels + static_cast<size_t>(y) * static_cast<size_t>(frame.pitch), rowBytes);
    }
}

}  // namespace

int TransferFrameImageToGraphic(PixelImage* frame, int handle) {
    GraphicRecord* record = GetGraphicRecord(handle);
    if (record == nullptr || record->image == nullptr || frame == nullptr || frame->pixels == nullptr) return -1;
    if (record->image->hardware) {
        const RECT own = {record->x, record->y, record->x + record->width, record->y + record->height};
        return TransferImageToTexture(handle, &own, 0, 0, frame, nullptr, 0, 0, 0);
    }
    MEMIMG& image = record->memImg;
    if (!IsMemImgValid(&image)) return -1;
    if (image.base->format->bitsPerPixel == frame->format.bitsPerPixel) {
        CopyFrameRows(*frame, image);
        return 0;
    }
    return PutPixelsIntoMemImg(frame, nullptr, &image, 0, 0, Smaller(record->width, frame->width),
                               Smaller(record->height, frame->height), 0, 0, 0) < 0
               ? -1
               : 0;
}

int TransferMovieFrameToGraphic(MovieRecord* movie, int handle) {
    if (!IsValidGraphicHandle(handle)) return -1;
    PixelImage* frame = GetMovieFrameImage(movie);
    if (frame == nullptr) return -1;
    return TransferFrameImageToGraphic(frame, handle);
}

int PlayGraphicMovie(int handle, int playType, int resumeOnly) {
    const GraphicRecord* record = GetGraphicRecord(handle);
    if (record == nullptr) return -1;
    return record->movieHandle >= 0 ? PlayMovie(record->movieHandle, playType, resumeOnly) : 0;
}

int PauseGraphicMovie(int handle, int keepPlayState) {
    const GraphicRecord* record = GetGraphicRecord(handle);
    if (record == nullptr) return -1;
    return record->movieHandle >= 0 ? PauseMovie(record->movieHandle, keepPlayState) : 0;
}

int GetGraphicMovieState(int handle) {
    const GraphicRecord* record = GetGraphicRecord(handle);
    if (record == nullptr) return -1;
    return record->movieHandle >= 0 ? GetMovieState(record->movieHandle) : 0;
}
