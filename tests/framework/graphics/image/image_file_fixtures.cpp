#include "tests/framework/graphics/image/image_file_fixtures.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "framework/files/stream_functions.h"

namespace imagetest {

int DecodeWith(ImageLoader loader, const std::string& bytes, PixelImage* image) {
    StreamSource source{*GetMemoryStreamFunctions(), OpenMemoryStream(bytes.data(), static_cast<uint32_t>(bytes.size()))};
    if (source.stream == 0) return -2;
    *image = PixelImage{};
    const int result = loader(&source, image);
    source.functions.close(source.stream);
    return result;
}

uint32_t PixelAt(const PixelImage& image, int x, int y) {
    uint32_t value = 0;
    std::memcpy(&value, image.pixels + static_cast<ptrdiff_t>(y) * image.pitch + x * image.format.bytesPerPixel,
                image.format.bytesPerPixel);
    return value;
}

std::string RowBytes(const PixelImage& image, int y, int bytes) {
    return std::string(reinterpret_cast<const char*>(image.pixels) + static_cast<ptrdiff_t>(y) * image.pitch,
                       static_cast<size_t>(bytes));
}

void Put16(std::string* out, uint32_t value) {
    out->push_back(static_cast<char>(value & 0xFF));
    out->push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string* out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// ---- PNG ------------------------------------------------------------------

namespace {

void AppendPngBytes(png_structp png, png_bytep data, size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

void FlushNothing(png_structp) {}

}  // namespace

std::string WritePng(const PngPicture& picture) {
    // Everything with a destructor is made before libpng may jump back.
    std::string out;
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < picture.palette.size(); i += 3) {
        palette.push_back({picture.palette[i], picture.palette[i + 1], picture.palette[i + 2]});
    }
    std::vector<std::string> copies = picture.rows;
    std::vector<png_bytep> rows;
    for (std::string& row : copies) rows.push_back(reinterpret_cast<png_bytep>(row.data()));

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "libpng could not write the picture";
        return std::string();
    }
    png_set_write_fn(png, &out, AppendPngBytes, FlushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height),
                 picture.bitDepth, picture.colourType,
                 picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!picture.transparency.empty()) {
        png_set_tRNS(png, info, picture.transparency.data(), static_cast<int>(picture.transparency.size()), nullptr);
    }
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// ---- JPEG -----------------------------------------------------------------

std::string WriteJpeg(int width, int height, int components, const std::vector<uint8_t>& samples,
                      bool progressive) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    if (progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(width * components));
    while (cinfo.next_scanline < cinfo.image_height) {
        std::memcpy(row.data(), samples.data() + static_cast<size_t>(cinfo.next_scanline) * row.size(), row.size());
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return out;
}

std::string WriteSolidJpeg(int width, int height, int components, const std::vector<uint8_t>& colour) {
    std::vector<uint8_t> samples;
    for (int i = 0; i < width * height; ++i) samples.insert(samples.end(), colour.begin(), colour.end());
    return WriteJpeg(width, height, components, samples);
}

// ---- bytes ----------------------------------------------------------------

std::string WriteBmp(const BmpPicture& picture) {
    std::string info;
    Put32(&info, picture.infoSize);
    Put32(&info, static_cast<uint32_t>(picture.width));
    Put32(&info, static_cast<uint32_t>(picture.height));
    Put16(&info, 1);
    Put16(&info, static_cast<uint32_t>(picture.bits));
    Put32(&info, picture.compression);
    Put32(&info, static_cast<uint32_t>(picture.pixels.size()));
    Put32(&info, 2835);
    Put32(&info, 2835);
    Put32(&info, static_cast<uint32_t>(picture.palette.size()));
    Put32(&info, 0);
    for (uint32_t mask : picture.masks) Put32(&info, mask);
    while (info.size() < picture.infoSize) info.push_back('\0');
    for (uint32_t entry : picture.palette) Put32(&info, entry | 0xAA000000u);  // reserved bytes set on purpose

    std::string out = "BM";
    const uint32_t offset = static_cast<uint32_t>(14 + info.size());
    Put32(&out, static_cast<uint32_t>(offset + picture.pixels.size()));
    Put32(&out, 0);
    Put32(&out, offset);
    return out + info + picture.pixels;
}

std::string WriteTga(const TgaPicture& picture) {
    std::string out;
    out.push_back(static_cast<char>(picture.id.size()));
    out.push_back(static_cast<char>(picture.mapType));
    out.push_back(static_cast<char>(picture.type));
    Put16(&out, static_cast<uint32_t>(picture.mapFirst));
    Put16(&out, static_cast<uint32_t>(picture.mapLength));
    out.push_back(static_cast<char>(picture.mapEntryBits));
    Put16(&out, 0);
    Put16(&out, 0);
    Put16(&out, static_cast<uint32_t>(picture.width));
    Put16(&out, static_cast<uint32_t>(picture.height));
    out.push_back(static_cast<char>(picture.pixelBits));
    out.push_back(static_cast<char>(picture.descriptor));
    out += picture.id + picture.map + picture.data;
    if (picture.footer) {
        Put32(&out, 0);
        Put32(&out, 0);
        out += "TRUEVISION-XFILE.";
        out.push_back('\0');
    }
    return out;
}

std::string FourCCNumber(uint32_t number) {
    std::string out;
    Put32(&out, number);
    return out;
}

std::string WriteDds(const DdsPicture& picture) {
    std::string out = "DDS ";
    std::string header;
    Put32(&header, 124);
    Put32(&header, picture.flags);
    Put32(&header, static_cast<uint32_t>(picture.height));
    Put32(&header, static_cast<uint32_t>(picture.width));
    Put32(&header, picture.pitch);
    Put32(&header, 0);
    Put32(&header, picture.mipCount);
    while (header.size() < 72) header.push_back('\0');
    Put32(&header, 32);
    Put32(&header, picture.pixelFlags);
    header += picture.fourCC;
    Put32(&header, picture.bits);
    for (uint32_t mask : picture.masks) Put32(&header, mask);
    Put32(&header, picture.caps);
    while (header.size() < 124) header.push_back('\0');
    return out + header + picture.data;
}

std::string WriteBgra(uint32_t depth, int width, int height, const std::string& data) {
    std::string out = "BGRA";
    Put32(&out, depth);
    Put32(&out, static_cast<uint32_t>(width));
    Put32(&out, static_cast<uint32_t>(height));
    return out + data;
}

}  // namespace imagetest
