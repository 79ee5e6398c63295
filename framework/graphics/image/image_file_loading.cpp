// Loading one image from a file or from memory.
#include "framework/graphics/image/image_file_loading.h"

#include "framework/base/tracked_memory.h"
#include "framework/files/file_access_table.h"
#include "framework/files/stream_functions.h"
#include "framework/graphics/image/block_compressed_expansion.h"
#include "framework/graphics/image/image_loaders.h"
#include "framework/graphics/image/pixel_image.h"
#include "framework/graphics/image/pixel_image_dib.h"

namespace {

bool OpenSource(const char* fileName, const void* data, int dataSize, int fromMemory, StreamSource* source) {
    if (fromMemory == 0) {
        if (fileName == nullptr) return false;
        source->functions = *GetFileStreamFunctions();
        source->stream = FileStreamOpen(fileName, 0, 1, 0);
    } else {
        if (data == nullptr || dataSize < 0) return false;
        source->functions = *GetMemoryStreamFunctions();
        source->stream = OpenMemoryStream(data, static_cast<uint32_t>(dataSize));
    }
    return source->stream != 0;
}

// Hands the image back as a DIB; the image's pixels either became the bits
// or are freed.
int HandOverAsDib(PixelImage* image, BITMAPINFO** outDibHeader, void** outDibBits) {
    auto* header = static_cast<BITMAPINFO*>(AllocMemory(kDibHeaderBlockSize, __FILE__, __LINE__));
    void* bits = nullptr;
    const int made = header == nullptr ? -1 : PixelImageToDib(image, header, &bits, 0, 0);
    if (made < 0) {
        if (header != nullptr) FreeMemory(header);
        FreePixelImage(image);
        return -1;
    }
    if (made == 1) FreePixelImage(image);
    *outDibHeader = header;
    *outDibBits = bits;
    return 0;
}

}  // namespace

int LoadPixelImageFromFileOrMemory(const char* fileName, const void* data, int dataSize, int fromMemory,
                                   int wantDib, int mirror, PixelImage* outImage, BITMAPINFO** outDibHeader,
                                   void** outDibBits) {
    if (wantDib != 0 ? (outDibHeader == nullptr || outDibBits == nullptr) : outImage == nullptr) return -1;
    StreamSource source;
    if (!OpenSource(fileName, data, dataSize, fromMemory, &source)) return -1;
    PixelImage image;
    const int decoded = DecodeImageStream(&source, &image);
    // Nothing reads the stream after decoding.
    source.functions.close(source.stream);
    if (decoded != 0) return -1;

    // Palette images are mirrored too: their rows are indices like any other.
    if (mirror == 1 && (ExpandSpecialFormat(&image) != 0 || MirrorPixelImage(&image) != 0)) {
        FreePixelImage(&image);
        return -1;
    }
    if (wantDib != 0) {
        if (ExpandSpecialFormat(&image) != 0) {
            FreePixelImage(&image);
            return -1;
        }
        return HandOverAsDib(&image, outDibHeader, outDibBits);
    }
    *outImage = image;
    return 0;
}

int LoadPixelImage(const char* fileName, const void* data, int dataSize, int fromMemory, PixelImage* outImage,
                   int mirror) {
    return LoadPixelImageFromFileOrMemory(fileName, data, dataSize, fromMemory, 0, mirror, outImage, nullptr,
                                          nullptr);
}
