// TGA images: colour-mapped (types 1 and 9, one index byte a pixel) and
// true-colour (types 2 and 10), raw or run-length encoded, of 16 (X1R5G5B5),
// 24 or 32 (A8R8G8B8) bits a pixel, turned top down and left to right.
#include <cstring>

#include "framework/graphics/image/image_loaders.h"
#include "framework/graphics/image/image_stream_reading.h"

namespace {

constexpr int kHeaderSize = 18;
constexpr int kFooterSize = 26;
constexpr int kLargestTgaSide = 8192;

struct TgaHeader {
    int idLength;
    int mapType;
    int type;
    int mapFirst;
    int mapLength;
    int mapEntryBits;
    int width;
    int height;
    int pixelBits;
    int descriptor;
};

TgaHeader ParseHeader(const uint8_t* h) {
    TgaHeader header;
    header.idLength = h[0];
    header.mapType = h[1];
    header.type = h[2];
    header.mapFirst = LittleEndian16(h + 3);
    header.mapLength = LittleEndian16(h + 5);
    header.mapEntryBits = h[7];
    header.width = LittleEndian16(h + 12);
    header.height = LittleEndian16(h + 14);
    header.pixelBits = h[16];
    header.descriptor = h[17];
    // The origin must be 0; a nonzero one is refused with the header.
    if (LittleEndian16(h + 8) != 0 || LittleEndian16(h + 10) != 0) header.type = 0;
    return header;
}

bool IsColourMapped(const TgaHeader& header) { return header.type == 1 || header.type == 9; }

// A file ends with a footer when its signature is there and its first word,
// the extension-area offset, is 0.
bool HasFooter(const StreamSource& source, int64_t length) {
    if (length < kFooterSize) return false;
    uint8_t footer[kFooterSize];
    if (!SeekStreamTo(source, length - kFooterSize) || !ReadStreamBytes(source, footer, sizeof footer)) {
        return false;
    }
    return std::memcmp(footer + 8, "TRUEVISION-XFILE", 16) == 0 && LittleEndian32(footer) == 0;
}

// Run-length packets into `total` units of `unit` bytes: a packet with its
// top bit set repeats one unit, otherwise units follow one by one; either
// holds (low seven bits + 1) units. A packet reaching past the last unit is
// cut there. False when the data ends first.
bool DecodeRunLength(const uint8_t* data, size_t size, int unit, int64_t total, uint8_t* out) {
    size_t at = 0;
    int64_t done = 0;
    while (done < total) {
        if (at >= size) return false;
        const uint8_t head = data[at++];
        int64_t count = (head & 0x7F) + 1;
        if (count > total - done) count = total - done;
        uint8_t* to = out + done * unit;
        if (head & 0x80) {
            if (size - at < static_cast<size_t>(unit)) return false;
            for (int64_t i = 0; i < count; ++i) std::memcpy(to + i * unit, data + at, static_cast<size_t>(unit));
            at += static_cast<size_t>(unit);
        } else {
            const auto bytes = static_cast<size_t>(count * unit);
            if (size - at < bytes) return false;
            std::memcpy(to, data + at, bytes);
            at += bytes;
        }
        done += count;
    }
    return true;
}

// Whether `size` bytes can hold `total` units of `unit` bytes: raw, or
// run-length encoded, where a packet of at least two bytes gives at most 128.
bool CanHoldUnits(int64_t size, bool runLength, int unit, int64_t total) {
    if (size < 0) return false;
    return runLength ? size * 128 >= total : size >= total * unit;
}

// Reads `total` units of `unit` bytes from the current position, raw or
// run-length encoded (up to `dataEnd`).
bool ReadUnits(const StreamSource& source, bool runLength, int64_t dataEnd, int unit, int64_t total,
               uint8_t* out) {
    const int64_t size = dataEnd - StreamPosition(source);
    if (!CanHoldUnits(size, runLength, unit, total)) return false;
    if (!runLength) return ReadStreamBytes(source, out, static_cast<uint64_t>(total * unit));
    auto* data = static_cast<uint8_t*>(AllocMemory(static_cast<size_t>(size) + 1, __FILE__, __LINE__));
    if (data == nullptr) return false;
    const bool decoded = ReadStreamBytes(source, data, static_cast<uint64_t>(size)) &&
                         DecodeRunLength(data, static_cast<size_t>(size), unit, total, out);
    FreeMemory(data);
    return decoded;
}

// Turns the rows top down (descriptor bit 5 clear: stored bottom up) and the
// pixels left to right (bit 4 set: stored right to left), in place.
void Orient(uint8_t* pixels, int width, int height, int bytes, int descriptor) {
    const int64_t pitch = int64_t{width} * bytes;
    if ((descriptor & 0x20) == 0) {
        for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
            uint8_t* a = pixels + top * pitch;
            uint8_t* b = pixels + bottom * pitch;
            for (int64_t i = 0; i < pitch; ++i) {
                const uint8_t held = a[i];
                a[i] = b[i];
                b[i] = held;
            }
        }
    }
    if (descriptor & 0x10) {
        for (int y = 0; y < height; ++y) {
            uint8_t* row = pixels + y * pitch;
            for (int left = 0, right = width - 1; left < right; ++left, --right) {
                uint8_t held[4];
                std::memcpy(held, row + left * bytes, static_cast<size_t>(bytes));
                std::memcpy(row + left * bytes, row + right * bytes, static_cast<size_t>(bytes));
                std::memcpy(row + right * bytes, held, static_cast<size_t>(bytes));
            }
        }
    }
}

void UseTgaFormat(int bits, PixelFormat* format) {
    if (bits == 16) {
        DefinePixelFormat(format, 16, 0x7C00, 0x03E0, 0x001F, 0);
    } else if (bits == 24) {
        UseRgb24Format(format);
    } else {
        UseArgb32Format(format);
    }
}

// Reads the colour map into a 256-entry table of `bytes`-byte colours at the
// places of its indices; a map reaching past entry 255 is refused.
bool ReadColourMap(const StreamSource& source, const TgaHeader& header, int bytes, uint8_t* table) {
    if (header.mapFirst + header.mapLength > 256) return false;
    std::memset(table, 0, 256 * 4);
    return ReadStreamBytes(source, table + header.mapFirst * bytes,
                           static_cast<uint64_t>(header.mapLength) * bytes);
}

}  // namespace

int DecodeTga(const StreamSource* source, PixelImage* image) {
    const int64_t length = StreamLength(*source);
    if (length < kHeaderSize) return -1;
    const bool footer = HasFooter(*source, length);
    uint8_t raw[kHeaderSize];
    if (!SeekStreamTo(*source, 0) || !ReadStreamBytes(*source, raw, sizeof raw)) return -1;
    const TgaHeader header = ParseHeader(raw);
    if (header.type != 1 && header.type != 2 && header.type != 9 && header.type != 10) return -1;
    if (header.width == 0 || header.height == 0 || header.width > kLargestTgaSide ||
        header.height > kLargestTgaSide) {
        return -1;
    }
    const bool mapped = IsColourMapped(header);
    const int bits = mapped ? header.mapEntryBits : header.pixelBits;
    if (bits != 16 && bits != 24 && bits != 32) return -1;
    if (mapped && header.pixelBits != 8) return -1;
    if (!SkipStreamBytes(*source, static_cast<uint64_t>(header.idLength), length)) return -1;

    const int bytes = bits / 8;
    uint8_t table[256 * 4];
    if (mapped) {
        if (!ReadColourMap(*source, header, bytes, table)) return -1;
    } else if (header.mapType != 0) {
        // A true-colour image may still carry a colour map; its pixels follow it.
        const uint64_t mapBytes = uint64_t{static_cast<unsigned>(header.mapLength)} * ((header.mapEntryBits + 7) / 8);
        if (!SkipStreamBytes(*source, mapBytes, length)) return -1;
    }

    const int64_t total = int64_t{header.width} * header.height;
    const bool runLength = header.type == 9 || header.type == 10;
    const int64_t dataEnd = footer ? length - kFooterSize : length;
    // Nothing is allocated for pixels the file cannot hold.
    if (!CanHoldUnits(dataEnd - StreamPosition(*source), runLength, mapped ? 1 : bytes, total)) return -1;
    auto* pixels = static_cast<uint8_t*>(AllocMemory(static_cast<size_t>(total * bytes), __FILE__, __LINE__));
    if (pixels == nullptr) return -1;
    bool read;
    if (mapped) {
        auto* indices = static_cast<uint8_t*>(AllocMemory(static_cast<size_t>(total), __FILE__, __LINE__));
        read = indices != nullptr && ReadUnits(*source, runLength, dataEnd, 1, total, indices);
        for (int64_t i = 0; read && i < total; ++i) {
            std::memcpy(pixels + i * bytes, table + indices[i] * bytes, static_cast<size_t>(bytes));
        }
        if (indices != nullptr) FreeMemory(indices);
    } else {
        read = ReadUnits(*source, runLength, dataEnd, bytes, total, pixels);
    }
    if (!read) {
        FreeMemory(pixels);
        return -1;
    }

    Orient(pixels, header.width, header.height, bytes, header.descriptor);
    UseTgaFormat(bits, &image->format);
    image->width = header.width;
    image->height = header.height;
    image->pitch = header.width * bytes;
    image->pixels = pixels;
    image->mipCount = 0;
    return 0;
}
