// The movie a graphic shows: its frames into the graphic (a Theora movie's
// through its YUV surface when the device has one, which converts the
// colours as it copies), and play, pause and the play state through the
// graphic's handle.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/handles/movie_entries.h"
#include "framework/graphics/textures/texture_upload.h"
#include "framework/graphics/draws/vertex_batch.h"
#include "framework/softrender/memimg.h"
#include "framework/sound/movie/movie_record.h"
#include "framework/sound/movie/theora_movie.h"
#include "platform/d3d9/d3d9.h"

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

// What a copy through the YUV surface came to when it could not be made.
constexpr int kTakeRgbRoad = 1;

// The whole image from the YUV surface into level 0 of the first texture.
bool CopyYuvSurface(IDirect3DSurface9* surface, const GraphicImage& image) {
    if (image.pieceCount < 1 || image.pieces[0].texture == nullptr) return false;
    IDirect3DSurface9* level = nullptr;
    if (static_cast<IDirect3DTexture9*>(image.pieces[0].texture)->GetSurfaceLevel(0, &level) != D3D_OK) return false;
    // Queued draws of the texture keep the frame they were queued with, and
    // the copy is made outside a scene.
    FlushVertexBatch();
    EndDeviceScene();
    const RECT whole = {0, 0, image.width, image.height};
    const bool copied =
        Direct3DDevice.device->StretchRect(surface, &whole, level, &whole, D3DTEXF_NONE) == D3D_OK;
    level->Release();
    return copied;
}

// 0 when the frame went through the YUV surface, -1 when no frame is to be
// had, kTakeRgbRoad when the surface cannot carry it.
int TransferYuvFrame(TheoraMovie* theora, const GraphicImage& image) {
    if (Direct3DDevice.device == nullptr) return kTakeRgbRoad;
    for (int tries = 0; tries < 2 && GetTheoraYuvSurface(theora) != nullptr; ++tries) {
        if (ConvertTheoraFrameToRgb(theora, 0, 1) == 0) return -1;
        // A surface that could not be locked was given up.
        IDirect3DSurface9* surface = GetTheoraYuvSurface(theora);
        if (surface == nullptr) return kTakeRgbRoad;
        if (CopyYuvSurface(surface, image)) return 0;
        // A surface of a device that a screen change replaced is made again
        // on the one in use; one that cannot be copied even then is given up.
        if (tries == 0) {
            CreateTheoraYuvSurface(theora);
        } else {
            ReleaseTheoraYuvSurface(theora);
        }
    }
    return kTakeRgbRoad;
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
    const GraphicRecord* record = GetGraphicRecord(handle);
    if (movie != nullptr && movie->isTheora && record->image != nullptr && record->image->hardware &&
        GetTheoraYuvSurface(movie->theora) != nullptr) {
        const int result = TransferYuvFrame(movie->theora, *record->image);
        if (result != kTakeRgbRoad) return result;
    }
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
