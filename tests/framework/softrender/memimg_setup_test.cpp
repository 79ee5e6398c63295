// Setting up, viewing and releasing memory images.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "framework/base/framework_state.h"
#include "framework/base/log.h"
#include "framework/base/tracked_memory.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/softrender/memimg.h"
#include "platform/kernel/debug_output_sink.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/test_support.h"

namespace {

// Live blocks of the tracked allocator, read from the dump it writes to the
// log (which also goes to the debugger output). The log needs a folder.
class LiveBlockCounter {
public:
    LiveBlockCounter() {
        std::memcpy(savedDirectory_, StartDirectory, sizeof savedDirectory_);
        savedDisabled_ = LogFileDisabled;
        const std::string path = folder_.windowsPath();
        std::snprintf(StartDirectory, sizeof StartDirectory, "%s", path.c_str());
        LogFileDisabled = 0;
    }
    ~LiveBlockCounter() {
        std::memcpy(StartDirectory, savedDirectory_, sizeof savedDirectory_);
        LogFileDisabled = savedDisabled_;
    }
    int Count() const {
        platform::ClearDebugOutput();
        DumpMemoryAllocations();
        const std::string text = platform::DebugOutputText();
        const size_t at = text.rfind("Alloc num:");
        return at == std::string::npos ? -1 : std::stoi(text.substr(at + 10));
    }

private:
    testsupport::TemporaryFolder folder_;
    char savedDirectory_[sizeof StartDirectory];
    int savedDisabled_;
};

class MemImgSetUpTest : public testsupport::PlatformTest {
protected:
    void TearDown() override {
        for (MEMIMG* image : {&image_, &view_, &other_}) FreeMemImg(image);
        testsupport::PlatformTest::TearDown();
    }
    int LiveTrackedBlocks() const {
        const int count = counter_.Count();
        EXPECT_GE(count, 0) << "no memory dump in the debugger output";
        return count;
    }
    LiveBlockCounter counter_;
    MEMIMG image_{};
    MEMIMG view_{};
    MEMIMG other_{};
};

struct LayoutCase {
    int colorType, paletteFlag, alphaFlag, width, pitch;
    int bytesPerPixel, expectedPitch, expectedShift, expectedPalette, expectedAlpha;
};

TEST_F(MemImgSetUpTest, LaysOutPixelsByColourTypeAlphaAndPalette) {
    const LayoutCase cases[] = {
        // A 12-byte row padded to 16 is that power of two; an 8-byte one is not.
        {0, 0, 0, 6, -1, 2, 16, 4, 0, 0},
        {1, 0, 0, 2, -1, 4, 16, -1, 0, 0},
        {1, 0, 0, 4, -1, 4, 16, 4, 0, 0},
        {1, 0, 0, 1, -1, 4, 16, -1, 0, 0},
        // 16-bit colour with alpha takes four bytes a pixel.
        {0, 0, 1, 100, -1, 4, 400, -1, 0, 1},
        // A palette turns alpha off; types 2 and 3 turn both off.
        {0, 1, 1, 10, -1, 1, 16, 4, 1, 0},
        {1, 1, 0, 32, -1, 1, 32, 5, 1, 0},
        {2, 1, 1, 16, -1, 1, 16, 4, 0, 0},
        {3, 0, 1, 3, -1, 2, 16, -1, 0, 0},
        // A given pitch is measured as it is.
        {1, 0, 0, 3, 16, 4, 16, 4, 0, 0},
        {1, 0, 0, 3, 20, 4, 20, -1, 0, 0},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.colorType << " palette " << c.paletteFlag
                                        << " alpha " << c.alphaFlag << " width " << c.width);
        MEMIMG image{};
        ASSERT_EQ(SetUpMemImg(&image, c.width, 3, c.pitch, 7, c.colorType, c.paletteFlag, c.alphaFlag, 0,
                              nullptr),
                  0);
        const MemImgBase* base = image.base;
        EXPECT_EQ(image.marker, kMemImgMarker);
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, 3);
        EXPECT_EQ(image.pixels, base->pixelMemory);
        EXPECT_EQ(base->referenceCount, 1);
        EXPECT_EQ(base->pitch, c.expectedPitch);
        EXPECT_EQ(base->pitchShift, c.expectedShift);
        EXPECT_EQ(base->paletteFlag, c.expectedPalette);
        EXPECT_EQ(base->alphaFlag, c.expectedAlpha);
        EXPECT_EQ(base->transparentColor, 7u);
        EXPECT_EQ(base->format, GetStockPixelFormat(c.colorType, c.expectedAlpha, c.expectedPalette));
        EXPECT_EQ(base->format->bytesPerPixel, c.bytesPerPixel);
        if (c.expectedPalette) {
            ASSERT_NE(base->paletteTable, nullptr);
            EXPECT_EQ(base->secondPaletteTable, static_cast<uint8_t*>(base->paletteTable) + 1024);
        } else {
            EXPECT_EQ(base->paletteTable, nullptr);
            EXPECT_EQ(base->secondPaletteTable, nullptr);
        }
        EXPECT_EQ(base->premultipliedPlane, nullptr);
        EXPECT_EQ(base->runCodeBuffer, nullptr);
        // Every byte of every row is there (ASan watches).
        std::memset(image.pixels, 0xAB, static_cast<size_t>(base->pitch) * 3);
        FreeMemImg(&image);
    }
}

TEST_F(MemImgSetUpTest, MakesWorkBuffersOnlyWhereTheBlitsUseThem) {
    struct Case {
        int colorType, alphaFlag;
        bool plane, runCodes;
    } const cases[] = {{1, 1, true, true}, {0, 1, true, true}, {0, 0, false, true}, {3, 0, false, true},
                       {2, 1, false, false}};
    for (const Case& c : cases) {
        MEMIMG image{};
        ASSERT_EQ(SetUpMemImg(&image, 5, 4, -1, 0, c.colorType, 0, c.alphaFlag, 1, nullptr), 0);
        EXPECT_EQ(image.base->premultipliedPlane != nullptr, c.plane) << c.colorType;
        EXPECT_EQ(image.premultipliedPixels, image.base->premultipliedPlane);
        EXPECT_EQ(image.base->runCodeBuffer != nullptr, c.runCodes) << c.colorType;
        if (c.runCodes) std::memset(image.base->runCodeBuffer, 0, (5 + 5) * 4);
        FreeMemImg(&image);
    }
}

TEST_F(MemImgSetUpTest, RefusesARecordThatIsAlreadySetUp) {
    ASSERT_EQ(SetUpMemImg(&image_, 8, 8, -1, 0, 1, 0, 0, 0, nullptr), 0);
    const MEMIMG before = image_;
    EXPECT_EQ(SetUpMemImg(&image_, 4, 4, -1, 0, 0, 0, 0, 0, nullptr), -1);
    EXPECT_EQ(std::memcmp(&before, &image_, sizeof before), 0);
    EXPECT_EQ(image_.base->width, 8);
}

TEST_F(MemImgSetUpTest, RefusesSizesThatCannotDescribeItsBuffers) {
    struct Case {
        int width, height, pitch, colorType;
    } const cases[] = {
        {0, 4, -1, 1},          {4, 0, -1, 1},      {-3, 4, -1, 1},       {4, 4, 15, 1},
        {4, 4, -2, 0},          {4, 4, -1, 4},      {4, 4, -1, -1},       {0x10000000, 4, -1, 1},
        {0x4000, 0x10000, -1, 1},
    };
    const int liveBefore = LiveTrackedBlocks();
    for (const Case& c : cases) {
        MEMIMG image{};
        EXPECT_EQ(SetUpMemImg(&image, c.width, c.height, c.pitch, 0, c.colorType, 0, 0, 1, nullptr), -1)
            << c.width << "x" << c.height << " pitch " << c.pitch << " type " << c.colorType;
        EXPECT_EQ(IsMemImgValid(&image), 0);
    }
    EXPECT_EQ(LiveTrackedBlocks(), liveBefore);
}

TEST_F(MemImgSetUpTest, AFailedAllocationFreesEverythingAndLeavesTheRecordUnset) {
    // Alpha with work buffers allocates base, pixels, plane, run codes; a
    // palette image base, palette block, pixels, run codes.
    struct Case {
        int paletteFlag, alphaFlag;
    } const cases[] = {{0, 1}, {1, 0}};
    for (const Case& c : cases) {
        for (uint64_t failing = 1; failing <= 4; ++failing) {
            SCOPED_TRACE(testing::Message() << "palette " << c.paletteFlag << " allocation " << failing);
            const int liveBefore = LiveTrackedBlocks();
            MEMIMG image{};
            platform::Profile().failures.heap.failAllocationNumber = failing;
            EXPECT_EQ(SetUpMemImg(&image, 16, 4, -1, 0, 1, c.paletteFlag, c.alphaFlag, 1, nullptr), -1);
            platform::Profile().failures.heap.failAllocationNumber = 0;
            const MEMIMG zero{};
            EXPECT_EQ(std::memcmp(&image, &zero, sizeof image), 0);
            EXPECT_EQ(LiveTrackedBlocks(), liveBefore);
            // The record can be set up again afterwards.
            EXPECT_EQ(SetUpMemImg(&image, 16, 4, -1, 0, 1, c.paletteFlag, c.alphaFlag, 1, nullptr), 0);
            FreeMemImg(&image);
            EXPECT_EQ(LiveTrackedBlocks(), liveBefore);
        }
    }
}

TEST_F(MemImgSetUpTest, UsesAndNeverFreesTheCallersPixelMemory) {
    std::vector<uint8_t> memory(64 * 4, 0);
    ASSERT_EQ(SetUpMemImg(&image_, 4, 4, 64, 0, 1, 0, 0, 0, memory.data()), 0);
    EXPECT_EQ(image_.pixels, memory.data());
    EXPECT_EQ(image_.base->callerOwnedPixels, 1);
    MakeSubMemImg(&view_, &image_, 1, 1, 2, 2);
    FreeMemImg(&image_);
    FreeMemImg(&view_);  // the last reference: FreeMemory on the vector would trip ASan
    memory[0] = 1;
}

TEST_F(MemImgSetUpTest, NewMemImgClearsTheRecordAndFollowsTheScreenDepth) {
    std::memset(&image_, 0xCD, sizeof image_);
    image_.marker = 0;
    ASSERT_EQ(NewMemImg(&image_, 10, 5, -1), 0);
    EXPECT_EQ(image_.base->colorType, kMemImgColor565);  // the screen is 16-bit until set
    EXPECT_EQ(image_.base->transparentColor, 0u);
    EXPECT_EQ(image_.base->premultipliedPlane, nullptr);
    EXPECT_EQ(image_.base->runCodeBuffer, nullptr);
    EXPECT_EQ(image_.premultipliedPixels, nullptr);
    ASSERT_EQ(NewMemImg(&other_, 3, 3, kMemImgColor32), 0);
    EXPECT_EQ(other_.base->colorType, kMemImgColor32);
}

TEST_F(MemImgSetUpTest, SubImageMustLieInsideItsParent) {
    ASSERT_EQ(SetUpMemImg(&image_, 10, 8, -1, 0, 1, 0, 1, 1, nullptr), 0);
    struct Case {
        int x, y, width, height;
        bool made;
    } const cases[] = {
        {0, 0, 10, 8, true},  {1, 0, 10, 8, false}, {9, 7, 1, 1, true},   {0, 1, 10, 8, false},
        {-1, 0, 1, 1, false}, {0, -1, 1, 1, false}, {2, 3, 4, 5, true},   {2, 3, -1, 2, false},
        {0, 0, 0, 0, true},   {10, 8, 0, 0, true},  {0x7FFFFFFF, 0, 2, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.width << "x" << c.height);
        MEMIMG view{};
        MakeSubMemImg(&view, &image_, c.x, c.y, c.width, c.height);
        EXPECT_EQ(IsMemImgValid(&view), c.made ? 1 : 0);
        EXPECT_EQ(image_.base->referenceCount, c.made ? 2 : 1);
        if (!c.made) continue;
        const ptrdiff_t offset = 4 * c.x + image_.base->pitch * c.y;
        EXPECT_EQ(view.width, c.width);
        EXPECT_EQ(view.height, c.height);
        EXPECT_EQ(view.pixels, image_.pixels + offset);
        EXPECT_EQ(view.premultipliedPixels, image_.premultipliedPixels + offset);
        EXPECT_EQ(view.base, image_.base);
        FreeMemImg(&view);
    }
}

TEST_F(MemImgSetUpTest, ViewsOfViewsNestAndShareTheBase) {
    ASSERT_EQ(SetUpMemImg(&image_, 20, 10, -1, 0, 0, 0, 0, 0, nullptr), 0);
    MakeSubMemImg(&view_, &image_, 4, 2, 10, 6);
    MakeSubMemImg(&other_, &view_, 3, 1, 5, 5);
    EXPECT_EQ(other_.pixels, image_.pixels + 2 * 7 + image_.base->pitch * 3);
    EXPECT_EQ(other_.premultipliedPixels, nullptr);
    EXPECT_EQ(image_.base->referenceCount, 3);
    // The view of a view is bounded by the view, not by the base.
    MEMIMG outside{};
    MakeSubMemImg(&outside, &view_, 6, 0, 5, 1);
    EXPECT_EQ(IsMemImgValid(&outside), 0);
}

TEST_F(MemImgSetUpTest, ASubImageOverALiveViewReleasesTheOldView) {
    ASSERT_EQ(SetUpMemImg(&image_, 8, 8, -1, 0, 1, 0, 0, 0, nullptr), 0);
    ASSERT_EQ(SetUpMemImg(&other_, 8, 8, -1, 0, 1, 0, 0, 0, nullptr), 0);
    MakeSubMemImg(&view_, &image_, 0, 0, 4, 4);
    EXPECT_EQ(image_.base->referenceCount, 2);
    MakeSubMemImg(&view_, &other_, 1, 1, 4, 4);
    EXPECT_EQ(image_.base->referenceCount, 1);
    EXPECT_EQ(other_.base->referenceCount, 2);
    // A view made again of itself keeps its one reference.
    MakeSubMemImg(&view_, &view_, 1, 1, 2, 2);
    EXPECT_EQ(other_.base->referenceCount, 2);
    EXPECT_EQ(view_.pixels, other_.pixels + 4 * 2 + other_.base->pitch * 2);
    // A refused request leaves the live view alone.
    MakeSubMemImg(&view_, &image_, 7, 7, 4, 4);
    EXPECT_EQ(view_.base, other_.base);
}

TEST_F(MemImgSetUpTest, TheBaseLivesUntilItsLastReferenceIsReleased) {
    const int liveBefore = LiveTrackedBlocks();
    ASSERT_EQ(SetUpMemImg(&image_, 8, 4, -1, 0, 1, 1, 0, 1, nullptr), 0);
    MakeSubMemImg(&view_, &image_, 2, 1, 3, 3);
    MemImgBase* base = image_.base;
    FreeMemImg(&image_);
    EXPECT_EQ(image_.marker, 0u);
    EXPECT_EQ(image_.base, nullptr);
    EXPECT_EQ(base->referenceCount, 1);
    std::memset(view_.pixels, 0x11, 3);  // still live memory
    EXPECT_EQ(IsMemImgValid(&view_), 1);
    FreeMemImg(&view_);
    EXPECT_EQ(IsMemImgValid(&view_), 0);
    EXPECT_EQ(LiveTrackedBlocks(), liveBefore);
    FreeMemImg(&view_);  // a released record is ignored
}

TEST_F(MemImgSetUpTest, ValidityNeedsTheMarkerAndTheBase) {
    EXPECT_EQ(IsMemImgValid(&image_), 0);
    ASSERT_EQ(SetUpMemImg(&image_, 2, 2, -1, 0, 1, 0, 0, 0, nullptr), 0);
    EXPECT_EQ(IsMemImgValid(&image_), 1);
    MEMIMG markerOnly{};
    markerOnly.marker = kMemImgMarker;
    EXPECT_EQ(IsMemImgValid(&markerOnly), 0);
}

TEST(StockPixelFormatTest, DescribesEachColourTypeAlphaAndPalette) {
    struct Case {
        int colorType, alpha, palette, bits, bytes;
        uint32_t red, green, blue, alphaMask;
    } const cases[] = {
        {0, 0, 0, 16, 2, 0xF800, 0x07E0, 0x001F, 0},
        {0, 0, 1, 8, 1, 0xF800, 0x07E0, 0x001F, 0},
        {0, 1, 0, 32, 4, 0xF800, 0x07E0, 0x001F, 0xFF0000},
        {0, 1, 1, 8, 1, 0xF800, 0x07E0, 0x001F, 0xFF0000},
        {1, 0, 0, 32, 4, 0xFF0000, 0xFF00, 0xFF, 0},
        {1, 0, 1, 8, 1, 0xFF0000, 0xFF00, 0xFF, 0},
        {1, 1, 0, 32, 4, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
        {1, 1, 1, 8, 1, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
        {2, 1, 1, 8, 1, 0xFF, 0xFF, 0xFF, 0xFF},
        {3, 0, 1, 16, 2, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.colorType << c.alpha << c.palette);
        const PixelFormat* format = GetStockPixelFormat(c.colorType, c.alpha, c.palette);
        ASSERT_NE(format, nullptr);
        EXPECT_EQ(format, GetStockPixelFormat(c.colorType, c.alpha, c.palette));
        EXPECT_EQ(format->bitsPerPixel, c.bits);
        EXPECT_EQ(format->bytesPerPixel, c.bytes);
        EXPECT_EQ(format->redMask, c.red);
        EXPECT_EQ(format->greenMask, c.green);
        EXPECT_EQ(format->blueMask, c.blue);
        EXPECT_EQ(format->alphaMask, c.alphaMask);
        EXPECT_EQ(format->specialFormat, 0u);
    }
    const PixelFormat* single16 = GetStockPixelFormat(3, 0, 0);
    EXPECT_EQ(single16->redWidth, 16);
    EXPECT_EQ(single16->alphaShift, 0);
    EXPECT_EQ(GetStockPixelFormat(0, 1, 0)->alphaShift, 16);
    EXPECT_EQ(GetStockPixelFormat(4, 0, 0), nullptr);
}

}  // namespace
