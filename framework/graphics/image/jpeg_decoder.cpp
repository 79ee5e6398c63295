// JPEG images through libjpeg's decompression, from the stream source: grey
// images as 8-bit grey, colour images as blue, green, red. The pitch is the
// row's own length, not rounded. Four-component (CMYK) images are refused.
#include <cstring>

#include "framework/graphics/image/image_loaders.h"
#include "framework/graphics/image/image_stream_reading.h"
#include "framework/graphics/image/jpeg_stream_source.h"

int DecodeJpeg(const StreamSource* source, PixelImage* image) {
    jpeg_decompress_struct cinfo;
    JpegErrorManager errors;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = JpegErrorExit;
    // Warnings about damaged data are not printed either.
    errors.pub.output_message = [](j_common_ptr) {};
    // Changed between the jump buffer's setting and a jump back to it.
    uint8_t* volatile pixels = nullptr;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        if (pixels != nullptr) FreeMemory(pixels);
        return -1;
    }
    jpeg_create_decompress(&cinfo);
    SetJpegStreamSource(&cinfo, source);
    jpeg_read_header(&cinfo, TRUE);
    if ((cinfo.out_color_space != JCS_GRAYSCALE && cinfo.out_color_space != JCS_RGB) ||
        !IsUsableImageSide(cinfo.image_width) || !IsUsableImageSide(cinfo.image_height)) {
        jpeg_destroy_decompress(&cinfo);
        return -1;
    }
    jpeg_start_decompress(&cinfo);
    const int components = cinfo.output_components;
    if (components != 1 && components != 3) {
        jpeg_destroy_decompress(&cinfo);
        return -1;
    }
    const int width = static_cast<int>(cinfo.output_width);
    const int height = static_cast<int>(cinfo.output_height);
    const int stride = components * width;
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                 static_cast<JDIMENSION>(stride), 1);
    pixels = static_cast<uint8_t*>(AllocMemory(static_cast<size_t>(stride) * height, __FILE__, __LINE__));
    if (pixels == nullptr) {
        jpeg_destroy_decompress(&cinfo);
        return -1;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        const JDIMENSION y = cinfo.output_scanline;
        // The stream source never suspends, so each call delivers a row.
        if (jpeg_read_scanlines(&cinfo, row, 1) != 1) {
            jpeg_destroy_decompress(&cinfo);
            FreeMemory(pixels);
            return -1;
        }
        uint8_t* out = pixels + static_cast<size_t>(y) * stride;
        if (components == 1) {
            std::memcpy(out, row[0], static_cast<size_t>(stride));
        } else {
            for (int x = 0; x < width; ++x) {
                out[3 * x] = row[0][3 * x + 2];
                out[3 * x + 1] = row[0][3 * x + 1];
                out[3 * x + 2] = row[0][3 * x];
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);

    if (components == 1) {
        UseGray8Format(&image->format);
    } else {
        UseRgb24Format(&image->format);
    }
    image->width = width;
    image->height = height;
    image->pitch = stride;
    image->pixels = pixels;
    image->mipCount = 0;
    return 0;
}
