// PNG images through libpng's read side, from the stream source. Sub-byte
// pixels are unpacked to a byte each, 16-bit channels keep their high byte,
// and an image with transparency gains an alpha channel; channels come out
// blue, green, red(, alpha). A palette image without transparency stays a
// palette image.
#include <png.h>

#include <csetjmp>
#include <cstring>

#include "framework/graphics/image/image_loaders.h"
#include "framework/graphics/image/image_stream_reading.h"

namespace {

// What the read callback reads from: the source, and the position of its end.
struct PngStreamReader {
    const StreamSource* source;
    int64_t end;
};

void ReadPngStream(png_structp png, png_bytep data, size_t length) {
    auto* reader = static_cast<PngStreamReader*>(png_get_io_ptr(png));
    const int64_t here = StreamPosition(*reader->source);
    if (here < 0 || reader->end - here < static_cast<int64_t>(length) ||
        !ReadStreamBytes(*reader->source, data, length)) {
        png_error(png, "Read Error");
    }
}

bool SetPngStreamReader(png_structp png, PngStreamReader* reader, const StreamSource* source) {
    const int64_t here = StreamPosition(*source);
    const int64_t length = StreamLength(*source);
    if (here < 0 || length < here) return false;
    reader->source = source;
    reader->end = length;
    png_set_read_fn(png, reader, ReadPngStream);
    return true;
}

void FreeBlocks(uint8_t* pixels, png_bytep* rows) {
    if (rows != nullptr) FreeMemory(rows);
    if (pixels != nullptr) FreeMemory(pixels);
}

// Grey images of two bytes a pixel (grey and alpha): each colour channel reads
// the grey byte; the alpha byte is carried but not used.
void UseGrayPairFormat(PixelFormat* format) {
    format->bitsPerPixel = 16;
    format->bytesPerPixel = 2;
    format->redWidth = format->greenWidth = format->blueWidth = 8;
    format->redShift = format->greenShift = format->blueShift = 0;
    format->redMask = format->greenMask = format->blueMask = 0xFF;
    format->alphaWidth = format->alphaShift = 0;
    format->alphaMask = 0;
    format->spareMask = 0xFF00;
    format->spareShift = 8;
    format->spareWidth = 8;
    format->specialFormat = kPlainPixels;
}

void ChooseFormat(png_structp png, png_infop info, int colourType, bool expanded, size_t rowBytes,
                  uint32_t width, PixelFormat* format) {
    if (colourType == PNG_COLOR_TYPE_PALETTE && !expanded) {
        UsePalette8Format(format);
        png_colorp palette = nullptr;
        int entries = 0;
        if (png_get_PLTE(png, info, &palette, &entries) != 0 && palette != nullptr) {
            for (int i = 0; i < entries && i < 256; ++i) {
                format->palette[i] = {palette[i].blue, palette[i].green, palette[i].red, 0};
            }
        }
    } else if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        if (rowBytes / 2 < width) {
            UseGray8Format(format);
        } else {
            UseGrayPairFormat(format);
        }
    } else if (png_get_channels(png, info) == 4) {
        UseArgb32Format(format);
    } else {
        UseRgb24Format(format);
    }
}

// Every image is offered to each decoder in turn: one that is no PNG, or a
// damaged one, fails quietly through the return value instead of writing
// libpng's message to the terminal.
void QuietPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void QuietPngWarning(png_structp, png_const_charp) {}

}  // namespace

int DecodePng(const StreamSource* source, PixelImage* image) {
    // The version string of the library actually linked: libpng refuses a
    // caller built against another minor version.
    png_structp png = png_create_read_struct(png_get_libpng_ver(nullptr), nullptr, QuietPngError, QuietPngWarning);
    if (png == nullptr) return -1;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return -1;
    }
    // Blocks that a libpng error must not leak: plain volatile locals, since
    // they change between the jump buffer's setting and a jump back to it.
    uint8_t* volatile pixels = nullptr;
    png_bytep* volatile rows = nullptr;
    PngStreamReader reader;
    if (setjmp(png_jmpbuf(png))) {
        FreeBlocks(pixels, rows);
        png_destroy_read_struct(&png, &info, nullptr);
        return -1;
    }
    if (!SetPngStreamReader(png, &reader, source)) png_error(png, "Read Error");
    png_set_sig_bytes(png, 0);
    png_set_user_limits(png, kLargestImageSide, kLargestImageSide);
    png_read_info(png, info);

    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
    png_set_strip_16(png);
    png_set_packing(png);
    png_set_packswap(png);
    const bool expanded = (colourType == PNG_COLOR_TYPE_GRAY && bitDepth <= 8) ||
                          png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (expanded) png_set_expand(png);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    const uint64_t size = uint64_t{rowBytes} * height;
    if (rowBytes == 0 || rowBytes > INT32_MAX || !FitsOneBlock(size)) png_error(png, "Image too large");

    rows = static_cast<png_bytep*>(AllocMemory(sizeof(png_bytep) * height, __FILE__, __LINE__));
    pixels = static_cast<uint8_t*>(AllocMemory(static_cast<size_t>(size), __FILE__, __LINE__));
    if (rows == nullptr || pixels == nullptr) png_error(png, "Out of memory");
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels + static_cast<size_t>(y) * rowBytes;
    png_read_image(png, rows);
    png_read_end(png, nullptr);

    ChooseFormat(png, info, colourType, expanded, rowBytes, width, &image->format);
    image->width = static_cast<int32_t>(width);
    image->height = static_cast<int32_t>(height);
    image->pitch = static_cast<int32_t>(rowBytes);
    image->pixels = pixels;
    image->mipCount = 0;
    FreeMemory(rows);
    png_destroy_read_struct(&png, &info, nullptr);
    return 0;
}
