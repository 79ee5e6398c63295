// The loader table and loading images from files, archives and memory: each
// loader sees the stream from its start, the extension plays no part, the
// alpha file pairs with its colour file, mirroring and DIB hand-over.
#include <png.h>

#include <cstring>

#include "framework/graphics/image/image_file_loading.h"
#include "framework/graphics/image/image_loaders.h"
#include "framework/graphics/image/pixel_image_dib.h"
#include "tests/support/archive_file_access_fixture.h"
#include "tests/framework/graphics/image/image_file_fixtures.h"

namespace imagetest {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

// One small file of each format, all 2 pixels wide and 1 high.
struct Sample {
    const char* name;
    ImageLoader loader;
    std::string bytes;
};

std::vector<Sample> Samples() {
    DdsPicture dds;
    dds.width = 2;
    dds.data = Bytes({1, 2, 3, 4, 5, 6, 7, 8});
    return {
        {"BMP", DecodeBmp, WriteBmp({2, 1, 24, 0, 40, {}, {}, Bytes({1, 2, 3, 4, 5, 6, 0, 0})})},
        {"JPEG", DecodeJpeg, WriteSolidJpeg(2, 1, 3, {90, 90, 90})},
        {"PNG", DecodePng, WritePng({2, 1, 8, PNG_COLOR_TYPE_RGB, false, {Bytes({1, 2, 3, 4, 5, 6})}, {}, {}})},
        {"BGRA", DecodeBgraRaw, WriteBgra(0x08080808, 2, 1, Bytes({1, 2, 3, 4, 5, 6, 7, 8}))},
        {"TGA", DecodeTga, WriteTga({2, 2, 1, 24, 0x20, 0, 0, 0, 0, "", "", Bytes({1, 2, 3, 4, 5, 6})})},
        {"DDS", DecodeDds, WriteDds(dds)},
    };
}

std::string Contents(const PixelImage& image) {
    std::string rows;
    for (int y = 0; y < image.height; ++y) rows += RowBytes(image, y, image.width * image.format.bytesPerPixel);
    return rows;
}

// A user loader that notes what it was handed, disturbs both, and declines.
struct Sighting {
    int32_t position;
    bool clearedRecord;
};
std::vector<Sighting> sightings;

int NoteAndDecline(const StreamSource* source, PixelImage* image) {
    const PixelImage cleared{};
    sightings.push_back({source->functions.tell(source->stream), std::memcmp(image, &cleared, sizeof cleared) == 0});
    char scratch[5];
    source->functions.read(scratch, 1, sizeof scratch, source->stream);
    image->width = 77;
    return -1;
}

int AcceptOnePixel(const StreamSource*, PixelImage* image) {
    if (AllocXrgb32PixelImage(1, 1, image) != 0) return -1;
    image->pixels[0] = 0x5A;
    return 0;
}

class ImageFileLoadingTest : public archiveaccesstest::ArchiveFileAccessTest {
protected:
    void TearDown() override {
        UserImageLoaderCount = 0;
        for (ImageLoader& loader : UserImageLoaders) loader = nullptr;
        sightings.clear();
        ArchiveFileAccessTest::TearDown();
    }
};

TEST_F(ImageFileLoadingTest, EveryLoaderSeesTheStreamFromItsStart) {
    UserImageLoaders[0] = NoteAndDecline;
    UserImageLoaders[1] = NoteAndDecline;
    UserImageLoaderCount = 2;
    for (const Sample& sample : Samples()) {
        SCOPED_TRACE(sample.name);
        sightings.clear();
        // Through the table, after every loader before it has read and declined.
        OwnedImage viaTable;
        ASSERT_EQ(DecodeWith(DecodeImageStream, sample.bytes, viaTable.get()), 0);
        OwnedImage alone;
        ASSERT_EQ(DecodeWith(sample.loader, sample.bytes, alone.get()), 0);
        EXPECT_EQ(Contents(viaTable.image), Contents(alone.image));
        EXPECT_EQ(viaTable->width, 2);
        ASSERT_EQ(sightings.size(), 2u);
        for (const Sighting& sighting : sightings) {
            EXPECT_EQ(sighting.position, 0);
            EXPECT_TRUE(sighting.clearedRecord);
        }
    }
    OwnedImage image;
    EXPECT_EQ(DecodeWith(DecodeImageStream, "no image format starts like this", image.get()), -1);
    const PixelImage cleared{};
    EXPECT_EQ(std::memcmp(image.get(), &cleared, sizeof cleared), 0);
}

TEST_F(ImageFileLoadingTest, UserLoadersComeFirst) {
    UserImageLoaders[0] = AcceptOnePixel;
    UserImageLoaderCount = 1;
    OwnedImage image;
    ASSERT_EQ(DecodeWith(DecodeImageStream, Samples()[0].bytes, image.get()), 0);
    EXPECT_EQ(image->width, 1);
    EXPECT_EQ(image->pixels[0], 0x5A);
}

TEST_F(ImageFileLoadingTest, LoadsFromFilesArchivesAndMemoryWhateverTheExtension) {
    const std::string png = Samples()[2].bytes;
    WriteFile("picture.bmp", png);
    archivetest::ArchiveWriter writer;
    writer.AddFile("IMG\\PIC.PNG", png, true);
    WriteArchive("DATA.KPK", writer);

    OwnedImage fromMemory;
    ASSERT_EQ(LoadPixelImage(nullptr, png.data(), static_cast<int>(png.size()), 1, fromMemory.get(), 0), 0);
    for (const char* name : {"picture.bmp", "data\\img\\pic.png"}) {
        SCOPED_TRACE(name);
        OwnedImage fromFile;
        ASSERT_EQ(LoadPixelImage(name, nullptr, 0, 0, fromFile.get(), 0), 0);
        EXPECT_EQ(fromFile->format.bitsPerPixel, 24);
        EXPECT_EQ(Contents(fromFile.image), Contents(fromMemory.image));
    }

    OwnedImage missing;
    EXPECT_EQ(LoadPixelImage("nothing.png", nullptr, 0, 0, missing.get(), 0), -1);
    EXPECT_EQ(LoadPixelImage(nullptr, nullptr, 0, 0, missing.get(), 0), -1);
    EXPECT_EQ(LoadPixelImage(nullptr, nullptr, 10, 1, missing.get(), 0), -1);
    EXPECT_EQ(LoadPixelImage(nullptr, "not an image", 12, 1, missing.get(), 0), -1);
    EXPECT_EQ(missing->pixels, nullptr);
}

TEST_F(ImageFileLoadingTest, AlphaFileNameGoesBeforeTheLastDotOfTheFileName) {
    struct Case {
        std::string name;
        std::string alpha;
    } const cases[] = {
        {"title.png", "title_a.png"},
        {"title", "title_a"},
        {"pic.dat.png", "pic.dat_a.png"},
        {"dir.v2\\title", "dir.v2\\title_a"},
        {"dir.v2/title.bmp", "dir.v2/title_a.bmp"},
        // 表 is 0x95 0x5C: its second byte is no folder separator.
        {"表.png", "表_a.png"},
        {"a.b\\表", "a.b\\表_a"},
        {std::string(300, 'x') + ".png", std::string(300, 'x') + "_a.png"},
    };
    for (const Case& c : cases) {
        char* alpha = BuildAlphaFileName(c.name.c_str());
        ASSERT_NE(alpha, nullptr);
        EXPECT_EQ(std::string(alpha), c.alpha);
        FreeMemory(alpha);
    }
}

TEST_F(ImageFileLoadingTest, ColourAndAlphaFilesLoadAsAPair) {
    const std::string colour = Samples()[0].bytes;
    const std::string alpha = Samples()[3].bytes;
    WriteFile("pic.dat.png", colour);
    WriteFile("pic.dat_a.png", alpha);
    WriteFile("lonely.png", colour);

    OwnedImage image;
    OwnedImage alphaImage;
    EXPECT_EQ(LoadImageAndAlphaFiles("pic.dat.png", nullptr, 0, 0, nullptr, 0, 0, image.get(), alphaImage.get(), 0), 0);
    EXPECT_EQ(image->format.bitsPerPixel, 24);
    EXPECT_EQ(alphaImage->format.bitsPerPixel, 32);
    FreePixelImage(image.get());
    FreePixelImage(alphaImage.get());

    struct Case {
        const char* name;
        const char* file;
        const void* alphaData;
        int alphaFromMemory;
        int result;
    } const cases[] = {
        {"no alpha file", "lonely.png", nullptr, 0, 1},
        {"alpha from memory", "lonely.png", alpha.data(), 1, 0},
        {"alpha from no memory", "pic.dat.png", nullptr, 1, 1},
        {"alpha from neither", "pic.dat.png", alpha.data(), 2, 1},
        {"no colour file", "gone.png", alpha.data(), 1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        alphaImage->width = 99;
        EXPECT_EQ(LoadImageAndAlphaFiles(c.file, nullptr, 0, 0, c.alphaData, static_cast<int>(alpha.size()),
                                         c.alphaFromMemory, image.get(), alphaImage.get(), 0),
                  c.result);
        EXPECT_EQ(image->pixels != nullptr, c.result >= 0);
        EXPECT_EQ(alphaImage->pixels != nullptr, c.result == 0);
        if (c.result == 1) {
            EXPECT_EQ(alphaImage->width, 0);
        }
        FreePixelImage(image.get());
        FreePixelImage(alphaImage.get());
    }
    // A colour image from memory has no file name to pair with.
    EXPECT_EQ(LoadImageAndAlphaFiles(nullptr, colour.data(), static_cast<int>(colour.size()), 1, nullptr, 0, 0,
                                     image.get(), alphaImage.get(), 0),
              1);
}

TEST_F(ImageFileLoadingTest, MirrorTurnsEveryRowAroundPaletteImagesToo) {
    const std::string rgb = WriteBmp({3, 1, 24, 0, 40, {}, {}, Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0})});
    const std::string palette = WriteBmp({3, 1, 8, 0, 40, {0, 0, 0, 0}, {}, Bytes({1, 2, 3, 0})});
    struct Case {
        const char* name;
        const std::string* bytes;
        std::string mirrored;
    } const cases[] = {
        {"24 bits", &rgb, Bytes({7, 8, 9, 4, 5, 6, 1, 2, 3})},
        {"palette", &palette, Bytes({3, 2, 1})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OwnedImage image;
        ASSERT_EQ(LoadPixelImage(nullptr, c.bytes->data(), static_cast<int>(c.bytes->size()), 1, image.get(), 1), 0);
        EXPECT_EQ(Contents(image.image), c.mirrored);
    }
}

TEST_F(ImageFileLoadingTest, HandsImagesBackAsTopDownDibs) {
    const std::string rgb24 = WriteBmp({2, 2, 24, 0, 40, {}, {}, Bytes({1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0})});
    const std::string palette = WriteBmp({3, 1, 8, 0, 40, {0x102030, 0x405060}, {}, Bytes({1, 0, 1, 0})});
    const std::string bgra = WriteBgra(0x08080808, 1, 1, Bytes({1, 2, 3, 4}));
    struct Case {
        const char* name;
        const std::string* bytes;
        int bitCount;
        std::string firstRow;
    } const cases[] = {
        {"24 bits", &rgb24, 24, Bytes({7, 8, 9, 10, 11, 12})},
        {"palette", &palette, 8, Bytes({1, 0, 1})},
        {"A8R8G8B8 becomes 24 bits", &bgra, 24, Bytes({1, 2, 3})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BITMAPINFO* header = nullptr;
        void* bits = nullptr;
        ASSERT_EQ(LoadPixelImageFromFileOrMemory(nullptr, c.bytes->data(), static_cast<int>(c.bytes->size()), 1, 1, 0,
                                                 nullptr, &header, &bits),
                  0);
        EXPECT_EQ(header->bmiHeader.biSize, 40u);
        EXPECT_EQ(header->bmiHeader.biBitCount, c.bitCount);
        EXPECT_LT(header->bmiHeader.biHeight, 0);
        EXPECT_EQ(header->bmiHeader.biPlanes, 1);
        EXPECT_EQ(std::string(static_cast<const char*>(bits), c.firstRow.size()), c.firstRow);
        if (c.bitCount == 8) {
            const auto* colours = reinterpret_cast<const uint8_t*>(header) + 40;
            EXPECT_EQ((std::vector<int>{colours[4], colours[5], colours[6]}), (std::vector<int>{0x60, 0x50, 0x40}));
        }
        // Both are the caller's; the tracked allocator checks nothing else is left.
        FreeMemory(header);
        FreeMemory(bits);
    }
}

}  // namespace
}  // namespace imagetest
