// The blend and brightness tables: every entry against its formula, the
// entries the draws are known by, and the weight table's shapes.
#include "framework/softrender/blend_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace {

class BlendTablesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(BuildBlendTables(), 0); }
};

TEST_F(BlendTablesTest, ProductTableHoldsTruncatedProducts) {
    for (int i = 0; i < 256; ++i) {
        const int32_t* row = BlendMulRow(static_cast<uint8_t>(i));
        for (int j = 0; j < 256; ++j) ASSERT_EQ(row[j], i * j / 255) << i << " x " << j;
    }
    for (int j = 0; j < 256; ++j) {
        EXPECT_EQ(BlendMulRow(255)[j], j);
        EXPECT_EQ(BlendMulRow(0)[j], 0);
    }
}

TEST_F(BlendTablesTest, DifferenceTableRoundsTowardZeroAroundItsZeroEntry) {
    for (int r = 0; r < 256; ++r) {
        const int32_t* row = BlendSignedMulRow(static_cast<uint8_t>(r));
        for (int d = -255; d <= 255; ++d) {
            const int magnitude = (d < 0 ? -d : d) * r / 255;
            ASSERT_EQ(row[d], d < 0 ? -magnitude : magnitude) << r << " x " << d;
        }
        // The row's first entry, one below difference -255, is never written.
        ASSERT_EQ(row[-256], 0);
    }
    for (int d = -255; d <= 255; ++d) EXPECT_EQ(BlendSignedMulRow(255)[d], d);
    EXPECT_EQ(BlendSignedMulRow(128)[127], 63);
    EXPECT_EQ(BlendSignedMulRow(128)[-127], -63);
}

TEST_F(BlendTablesTest, MixingTableWeighsSourceAgainstDestinationInSixtyFourLevels) {
    for (int p = 0; p < 256; ++p) {
        const uint8_t* block = BlendMixBlock(static_cast<uint8_t>(p));
        const int o = p / 4;
        for (int s = 0; s < 64; ++s)
            for (int d = 0; d < 64; ++d)
                ASSERT_EQ(block[s * 64 + d], (o * s + (63 - o) * d) / 63) << p << " " << s << " " << d;
    }
    for (int s = 0; s < 64; ++s) {
        for (int d = 0; d < 64; ++d) {
            EXPECT_EQ(BlendMixBlock(252)[s * 64 + d], s);  // block 63: the source
            EXPECT_EQ(BlendMixBlock(3)[s * 64 + d], d);    // block 0: the destination
        }
    }
}

struct WeightCase {
    const char* name;
    int border;
    int range;
    std::array<std::pair<int, int>, 4> samples;  // (mask byte, weight)
};

TEST_F(BlendTablesTest, WeightTableSlidesWithTheBorderAndNarrowsWithTheRange) {
    const WeightCase cases[] = {
        {"border 0 is all opaque", 0, 255, {{{0, 255}, {1, 255}, {128, 255}, {255, 255}}}},
        {"border 0 with no range", 0, 0, {{{0, 255}, {1, 255}, {128, 255}, {255, 255}}}},
        {"border 255, full range", 255, 255, {{{0, 0}, {200, 0}, {254, 0}, {255, 1}}}},
        {"border 128, full range is the identity", 128, 255, {{{0, 0}, {1, 1}, {128, 128}, {255, 255}}}},
        {"border 128, no range is a step", 128, 0, {{{0, 0}, {127, 0}, {128, 128}, {129, 255}}}},
        {"border 64, half range is twice as steep", 64, 127, {{{0, 64}, {63, 190}, {95, 254}, {96, 255}}}},
    };
    for (const WeightCase& c : cases) {
        SCOPED_TRACE(c.name);
        BuildParamTable(c.border, c.range);
        for (const auto& [k, weight] : c.samples) EXPECT_EQ(BlendGraphicWeights()[k], weight) << k;
    }

    // With range 255 the weight is k + 256 - 2b, limited to 0 to 255.
    for (int b = 0; b < 256; ++b) {
        BuildParamTable(b, 255);
        for (int k = 0; k < 256; ++k) {
            int expected = k + 256 - 2 * b;
            expected = expected < 0 ? 0 : expected > 255 ? 255 : expected;
            ASSERT_EQ(BlendGraphicWeights()[k], expected) << b << " " << k;
        }
    }
}

TEST_F(BlendTablesTest, WeightTableLimitsParametersOutsideTheByteRange) {
    // A range of -1 would divide by zero; it is taken as 0, like a border of
    // -5 as 0 and a border of 300 as 255.
    std::array<uint8_t, 256> limited;
    BuildParamTable(128, 0);
    std::copy_n(BlendGraphicWeights(), 256, limited.begin());
    BuildParamTable(128, -1);
    EXPECT_TRUE(std::equal(limited.begin(), limited.end(), BlendGraphicWeights()));

    BuildParamTable(-5, 300);
    EXPECT_EQ(BlendGraphicWeights()[0], 255);
    BuildParamTable(300, 255);
    EXPECT_EQ(BlendGraphicWeights()[254], 0);
    EXPECT_EQ(BlendGraphicWeights()[255], 1);
}

}  // namespace
