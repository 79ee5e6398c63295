// Image files from outside may be cut short, lie about their sizes or be
// damaged anywhere. Every prefix of a file of each kind is refused (JPEG
// decodes what it has), oversized images are refused, and a seeded run of a
// few thousand damaged files goes through the whole loader table: nothing may
// crash, read or write outside a block, or leave a block behind, and every
// image that does load has all of its pixels.
#include <fcntl.h>
#include <png.h>
#include <unistd.h>
#include <zlib.h>

#include <random>

#include "framework/graphics/image/mip_level_sizes.h"
#include "tests/framework/graphics/image/image_file_fixtures.h"

namespace imagetest {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

struct Seed {
    const char* name;
    ImageLoader loader;
    std::string bytes;
};

std::vector<Seed> Seeds() {
    std::vector<Seed> seeds;
    const std::vector<uint32_t> palette = {0x102030, 0x405060, 0x708090, 0xA0B0C0};
    seeds.push_back({"BMP 24 bits", DecodeBmp,
                     WriteBmp({3, 2, 24, 0, 40, {}, {}, Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 0, 0})})});
    // The last row has no end-of-line: the end escape is the only way out.
    seeds.push_back({"BMP RLE8", DecodeBmp,
                     WriteBmp({6, 3, 8, 1, 40, palette, {}, Bytes({3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 1, 1, 6, 2, 0, 1})})});
    seeds.push_back({"BMP RLE4", DecodeBmp, WriteBmp({5, -2, 4, 2, 40, palette, {}, Bytes({5, 0x12, 0, 0, 0, 5, 0x32, 0x10, 0x30, 0, 0, 1})})});
    seeds.push_back({"BMP 4 bits", DecodeBmp, WriteBmp({3, 2, 4, 0, 40, palette, {}, Bytes({0x12, 0x30, 0, 0, 0x32, 0x10, 0, 0})})});
    seeds.push_back({"BMP 16 bits", DecodeBmp, WriteBmp({2, 2, 16, 3, 40, {}, {0xF800, 0x7E0, 0x1F}, Bytes({1, 2, 3, 4, 5, 6, 7, 8})})});
    seeds.push_back({"BGRA 16 bits", DecodeBgraRaw, WriteBgra(0x10101010, 2, 1, std::string(16, '\x42'))});
    seeds.push_back({"TGA RLE", DecodeTga, WriteTga({10, 3, 2, 24, 0x00, 0, 0, 0, 0, "id", "", Bytes({0x81, 1, 2, 3, 0x03, 4, 5, 6, 7, 8, 9, 1, 1, 1, 2, 2, 2})})});
    seeds.push_back({"TGA mapped RLE", DecodeTga,
                     WriteTga({9, 3, 2, 8, 0x30, 1, 1, 2, 16, "", Bytes({1, 2, 3, 4}), Bytes({0x82, 1, 0x02, 2, 1, 0})})});
    DdsPicture dxt;
    dxt.width = 8;
    dxt.height = 4;
    dxt.flags = 0x1007 | 0x20000;
    dxt.caps = 0x1000 | 0x400000 | 0x8;
    dxt.mipCount = 4;
    dxt.pixelFlags = 0x4;
    dxt.fourCC = "DXT3";
    dxt.bits = 0;
    dxt.data = std::string(32 + 16 + 16 + 16, '\x33');
    seeds.push_back({"DDS DXT3 with mips", DecodeDds, WriteDds(dxt)});
    DdsPicture plain;
    plain.width = 3;
    plain.height = 2;
    plain.flags |= 0x8;
    plain.pitch = 12;
    plain.data = std::string(24, '\x44');
    seeds.push_back({"DDS plain", DecodeDds, WriteDds(plain)});
    seeds.push_back({"PNG palette", DecodePng,
                     WritePng({5, 3, 4, PNG_COLOR_TYPE_PALETTE, false, {Bytes({0x12, 0x30, 0x10}), Bytes({0x00, 0x11, 0x20}), Bytes({0x33, 0x21, 0x00})},
                               {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {}})});
    seeds.push_back({"PNG RGBA interlaced", DecodePng,
                     WritePng({3, 3, 8, PNG_COLOR_TYPE_RGB_ALPHA, true, {std::string(12, '\x10'), std::string(12, '\x20'), std::string(12, '\x30')}, {}, {}})});
    std::vector<uint8_t> samples;
    for (int i = 0; i < 16 * 16; ++i) samples.insert(samples.end(), {static_cast<uint8_t>(i), 100, static_cast<uint8_t>(255 - i)});
    seeds.push_back({"JPEG", DecodeJpeg, WriteJpeg(16, 16, 3, samples)});
    return seeds;
}

// Silences the libraries' messages (libpng and libjpeg write to the
// standard error) while it lives.
class QuietStandardError {
public:
    QuietStandardError() : saved_(dup(2)) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 2);
        close(null);
    }
    ~QuietStandardError() {
        dup2(saved_, 2);
        close(saved_);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved_;
};

// The bytes of a decoded image's pixel data, each read once, so that a block
// smaller than the image says it is shows up under AddressSanitizer.
uint32_t TouchEveryPixelByte(const PixelImage& image) {
    uint64_t size;
    if (image.format.specialFormat != 0) {
        size = MipChainByteCount(image.format, image.width, image.height, 0, image.mipCount);
    } else {
        EXPECT_GE(image.pitch, image.width * image.format.bytesPerPixel);
        size = static_cast<uint64_t>(image.pitch) * static_cast<uint64_t>(image.height);
    }
    uint32_t sum = 0;
    for (uint64_t i = 0; i < size; ++i) sum += image.pixels[i];
    return sum;
}

TEST_F(ImageDecoderTest, EveryPrefixOfAFileIsRefused) {
    QuietStandardError quiet;
    for (const Seed& seed : Seeds()) {
        SCOPED_TRACE(seed.name);
        OwnedImage whole;
        ASSERT_EQ(DecodeWith(seed.loader, seed.bytes, whole.get()), 0);
        const bool decodesWhatItHas = seed.loader == DecodeJpeg;
        for (size_t length = 0; length < seed.bytes.size(); ++length) {
            OwnedImage image;
            const int result = DecodeWith(seed.loader, seed.bytes.substr(0, length), image.get());
            if (decodesWhatItHas && result == 0) {
                EXPECT_EQ(image->width, whole->width);
                EXPECT_EQ(image->height, whole->height);
                TouchEveryPixelByte(image.image);
                continue;
            }
            EXPECT_EQ(result, -1) << "cut at " << length;
            EXPECT_EQ(image->pixels, nullptr);
        }
    }
}

TEST_F(ImageDecoderTest, PngAndJpegRefuseImagesWiderThanTheLimit) {
    QuietStandardError quiet;
    OwnedImage image;
    const PngPicture wide{16385, 1, 1, PNG_COLOR_TYPE_GRAY, false, {std::string(2049, '\0')}, {}, {}};
    EXPECT_EQ(DecodeWith(DecodePng, WritePng(wide), image.get()), -1);
    PngPicture tall{1, 16385, 1, PNG_COLOR_TYPE_GRAY, false, {}, {}, {}};
    tall.rows.assign(16385, std::string(1, '\0'));
    EXPECT_EQ(DecodeWith(DecodePng, WritePng(tall), image.get()), -1);
    EXPECT_EQ(DecodeWith(DecodeJpeg, WriteSolidJpeg(16385, 1, 1, {0}), image.get()), -1);
    EXPECT_EQ(DecodeWith(DecodeJpeg, WriteSolidJpeg(1, 16385, 1, {0}), image.get()), -1);
    EXPECT_EQ(image->pixels, nullptr);
    // The limit itself is fine.
    EXPECT_EQ(DecodeWith(DecodeJpeg, WriteSolidJpeg(16384, 1, 1, {0}), image.get()), 0);
    EXPECT_EQ(image->width, 16384);
}

// Sets the CRC of every chunk of a PNG right again, so that damage reaches
// past libpng's checks into the chunks' contents.
void FixPngChunkChecksums(std::string* png) {
    size_t at = 8;
    while (at + 12 <= png->size()) {
        const auto* p = reinterpret_cast<const uint8_t*>(png->data()) + at;
        const uint32_t length = uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
        if (length > png->size() - at - 12) return;
        const uint32_t crc = static_cast<uint32_t>(crc32(0, p + 4, length + 4));
        for (int i = 0; i < 4; ++i) (*png)[at + 8 + length + i] = static_cast<char>(crc >> (24 - 8 * i));
        at += 12 + length;
    }
}

TEST_F(ImageDecoderTest, DamagedFilesNeverBreakTheLoaders) {
    QuietStandardError quiet;
    std::mt19937 random(19);
    int decoded = 0;
    int attempts = 0;
    for (const Seed& seed : Seeds()) {
        const bool png = seed.loader == DecodePng;
        for (int round = 0; round < 500; ++round) {
            std::string bytes = seed.bytes;
            const int damages = 1 + static_cast<int>(random() % 4);
            for (int d = 0; d < damages; ++d) {
                // The headers hold most of what a loader trusts.
                const size_t at = random() % 2 == 0 ? random() % std::min<size_t>(bytes.size(), 160) : random() % bytes.size();
                switch (random() % 4) {
                case 0: bytes[at] = static_cast<char>(0xFF); break;
                case 1: bytes[at] = static_cast<char>(bytes[at] ^ (1 << (random() % 8))); break;
                default: bytes[at] = static_cast<char>(random()); break;
                }
            }
            if (random() % 10 == 0) bytes.resize(random() % bytes.size());
            if (png && round % 2 == 0) FixPngChunkChecksums(&bytes);
            OwnedImage image;
            ++attempts;
            if (DecodeWith(DecodeImageStream, bytes, image.get()) != 0) {
                ASSERT_EQ(image->pixels, nullptr) << seed.name << " round " << round;
                continue;
            }
            ++decoded;
            ASSERT_GT(image->width, 0);
            ASSERT_GT(image->height, 0);
            ASSERT_LE(image->width, 16384);
            ASSERT_LE(image->height, 16384);
            ASSERT_NE(image->pixels, nullptr);
            TouchEveryPixelByte(image.image);
        }
    }
    // Damage that leaves a file loadable is common enough to reach the
    // pixel paths as well as the refusals.
    EXPECT_GT(decoded, attempts / 10);
    EXPECT_LT(decoded, attempts);
}

}  // namespace
}  // namespace imagetest
