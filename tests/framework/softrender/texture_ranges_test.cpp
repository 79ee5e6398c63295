// The runs of a row of a textured draw whose coordinates fall inside the
// source, against testing every pixel: steps of every size and sign, starts
// and limits near the wrap of 2^32, and rows long enough to wrap many times.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "framework/softrender/texture_ranges.h"

namespace {

// Whether each pixel of the row is inside, pixel by pixel.
std::vector<bool> Tested(uint32_t start, uint32_t step, uint64_t limit, int count) {
    std::vector<bool> inside(static_cast<size_t>(count));
    uint32_t c = start;
    for (int i = 0; i < count; ++i, c += step) inside[static_cast<size_t>(i)] = c < limit;
    return inside;
}

std::vector<bool> FromRanges(const PixelRange* ranges, int n, int count) {
    std::vector<bool> inside(static_cast<size_t>(count));
    for (int r = 0; r < n; ++r) {
        EXPECT_LT(ranges[r].begin, ranges[r].end);
        if (r > 0) {
            EXPECT_LE(ranges[r - 1].end, ranges[r].begin) << "in order, apart";
        }
        for (int i = ranges[r].begin; i < ranges[r].end; ++i) inside[static_cast<size_t>(i)] = true;
    }
    return inside;
}

TEST(TextureRangesTest, TheRunsAreThePixelsInside) {
    std::mt19937 random(77);
    const uint32_t steps[] = {0, 1u << 18, 0xFFFC0000u, 0x80000000u, 0x7FFFFFFFu, 12345, 0xFFFFFFFFu};
    int fallbacks = 0;
    for (int trial = 0; trial < 20000; ++trial) {
        const uint32_t start = trial % 3 == 0 ? 0xFFFFFFFFu - random() % 4000000 : random();
        const uint32_t step = trial % 4 == 0 ? steps[random() % 7] : random() >> (random() % 32);
        const uint64_t limit = trial % 9 == 0 ? uint64_t{1} << 32 : trial % 5 == 0 ? random() % 3 : random();
        const int count = 1 + static_cast<int>(random() % 300);
        PixelRange ranges[4];
        const int n = RangesInside(start, step, limit, count, ranges, 4);
        if (n < 0) {
            ++fallbacks;
            continue;
        }
        ASSERT_EQ(FromRanges(ranges, n, count), Tested(start, step, limit, count))
            << "start " << start << " step " << step << " limit " << limit << " count " << count;
    }
    // Rows that wrap more often than that are left to the pixel-by-pixel test.
    EXPECT_GT(fallbacks, 0);
    EXPECT_LT(fallbacks, 10000);
}

TEST(TextureRangesTest, IntersectionsKeepWhatBothListsHold) {
    std::mt19937 random(78);
    for (int trial = 0; trial < 2000; ++trial) {
        const int count = 1 + static_cast<int>(random() % 60);
        PixelRange a[4], b[4], both[8];
        const int na = RangesInside(random(), random() >> 22, random(), count, a, 4);
        const int nb = RangesInside(random(), random() >> 22, random(), count, b, 4);
        if (na < 0 || nb < 0) continue;
        const int n = IntersectRanges(a, na, b, nb, both);
        const std::vector<bool> inA = FromRanges(a, na, count), inB = FromRanges(b, nb, count);
        std::vector<bool> expected(static_cast<size_t>(count));
        for (size_t i = 0; i < expected.size(); ++i) expected[i] = inA[i] && inB[i];
        ASSERT_EQ(FromRanges(both, n, count), expected);
    }
}

}  // namespace
