// Two threads drawing at once: each draw keeps its palette copy (and the
// stretched blit its sampled columns) to itself, so two threads drawing
// different paletted images, stretched to different widths, each get their
// own pixels. A program of its own, so that the thread checker runs it
// without running every software-renderer test.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <random>
#include <thread>

#include "framework/graphics/draw_settings.h"
#include "framework/softrender/blit_memimg.h"
#include "framework/softrender/stretch_blit.h"
#include "tests/framework/softrender/blit_test_support.h"
#include "tests/support/reference_blit.h"

namespace {

constexpr int kDestSide = 128;
constexpr int kRounds = 300;

std::unique_ptr<TestImage> MakeDest() { return MakeTestImage(kDestSide, kDestSide, kMemImgColor32); }

// Compared row by row in memory: cheap beside a draw, so the two threads'
// draws overlap most of the time.
bool SamePixels(const MEMIMG* a, const MEMIMG* b) {
    const size_t rowBytes = static_cast<size_t>(a->width) * 4;
    for (int y = 0; y < a->height; ++y)
        if (std::memcmp(a->pixels + y * a->base->pitch, b->pixels + y * b->base->pitch, rowBytes) != 0)
            return false;
    return true;
}

// One thread's work: a paletted source with a palette of its own, drawn
// whole and stretched to a width of its own, and what the reference draws
// for each.
struct Drawer {
    std::unique_ptr<TestImage> source;
    RECT stretchRect;
    std::unique_ptr<TestImage> blitted = MakeDest();
    std::unique_ptr<TestImage> stretched = MakeDest();
    int wrongBlits = 0;
    int wrongStretches = 0;

    Drawer(uint32_t seed, const RECT& rect, const ReferenceSettings& settings) : stretchRect(rect) {
        std::mt19937 random(seed);
        source = MakeTestImage(112, 100, kMemImgColor32, 1, 0, 0x100);
        FillRandom(source->get(), random);
        ReferenceBlit(blitted->get(), source->get(), 0, 0, 0, nullptr, settings);
        ReferenceStretchBlit(stretched->get(), source->get(), stretchRect, 0, nullptr, settings);
    }

    void Run(std::atomic<int>* ready) {
        auto blitDest = MakeDest();
        auto stretchDest = MakeDest();
        ready->fetch_add(1);
        while (ready->load() < 2) std::this_thread::yield();
        for (int round = 0; round < kRounds; ++round) {
            BlitMemImg(blitDest->get(), source->get(), 0, 0, 0, nullptr, CurrentDrawSettings);
            if (!SamePixels(blitDest->get(), blitted->get())) ++wrongBlits;
            StretchBlitMemImg(stretchDest->get(), source->get(), &stretchRect, 0, nullptr, CurrentDrawSettings);
            if (!SamePixels(stretchDest->get(), stretched->get())) ++wrongStretches;
        }
    }
};

TEST(ConcurrentBlitTest, TwoThreadsDrawingPalettedImagesEachGetTheirOwnPixels) {
    blittest::DrawStateGuard guard;
    ReferenceSettings settings;
    settings.drawArea = {0, 0, kDestSide, kDestSide};
    blittest::UseReferenceSettings(settings);

    // Different palettes, and stretches to different widths (so different
    // sampled columns).
    Drawer first(1, RECT{0, 0, 128, 120}, settings);
    Drawer second(2, RECT{3, 2, 80, 127}, settings);
    std::atomic<int> ready{0};
    std::thread other([&] { second.Run(&ready); });
    first.Run(&ready);
    other.join();

    for (const Drawer* drawer : {&first, &second}) {
        EXPECT_EQ(drawer->wrongBlits, 0);
        EXPECT_EQ(drawer->wrongStretches, 0);
    }
}

}  // namespace
