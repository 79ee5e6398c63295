// The palette a blit or stretched blit reads: every index reads the source's
// own palette. Two threads drawing at once: threads/concurrent_blit_test.cpp.
#include <gtest/gtest.h>

#include <memory>

#include "framework/graphics/draw_settings.h"
#include "framework/softrender/blit_memimg.h"
#include "framework/softrender/stretch_blit.h"
#include "blit_test_support.h"
#include "tests/support/reference_blit.h"

namespace {

class DrawPaletteTest : public blittest::SoftwareDrawTest {};

// Only the entries in use are set when pixels are put in, but an index past
// them still reads the source's palette, whatever was drawn before.
TEST_F(DrawPaletteTest, EveryPaletteIndexReadsTheSourcesPalette) {
    UseSettings(0, 0, RECT{0, 0, 4, 4});
    const RECT stretched{0, 0, 2, 2};
    for (const bool stretch : {false, true}) {
        for (const int count : {4, 1000, -5, 256}) {
            for (const uint32_t index : {2u, 10u, 255u}) {
                SCOPED_TRACE(testing::Message() << (stretch ? "stretched" : "blit") << ", count " << count
                                                << ", index " << index);
                auto dest = MakeTestImage(4, 4, kMemImgColor32);
                auto source = MakeTestImage(1, 1, kMemImgColor32, 1, 0, 0x100);
                const uint32_t tag = 0x10000u * static_cast<uint32_t>(count & 0xFF);
                for (int i = 0; i < 256; ++i)
                    static_cast<uint32_t*>(source->base()->paletteTable)[i] = tag + static_cast<uint32_t>(i);
                source->base()->paletteColorCount = count;
                WriteTestPixel(source->get(), 0, 0, index);
                if (stretch)
                    StretchBlitMemImg(dest->get(), source->get(), &stretched, 0, nullptr, CurrentDrawSettings);
                else
                    BlitMemImg(dest->get(), source->get(), 0, 0, 0, nullptr, CurrentDrawSettings);
                EXPECT_EQ(ReadTestPixel(dest->get(), 0, 0), tag + index);
            }
        }
    }
}

}  // namespace
