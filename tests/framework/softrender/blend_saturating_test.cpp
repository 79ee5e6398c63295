// The packed saturating operations against their channel-by-channel
// behaviour: every pair of values in each channel (with the other channels
// random, so carries from below come and go), and the cases the draws are
// known by.
#include "framework/softrender/packed_saturating.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/support/blend_reference.h"

namespace {

struct Lane {
    int shift;
    uint32_t max;  // channel values 0..max
};

// Every (d, a) pair of one channel, the rest of both pixels random.
template <typename Check>
void SweepLane(const Lane& lane, uint32_t pixelMask, Check check) {
    std::mt19937 random(lane.shift * 7919 + 1);
    const uint32_t laneMask = lane.max << lane.shift;
    for (uint32_t d = 0; d <= lane.max; ++d) {
        for (uint32_t a = 0; a <= lane.max; ++a) {
            const uint32_t dp = (random() & pixelMask & ~laneMask) | (d << lane.shift);
            const uint32_t ap = (random() & pixelMask & ~laneMask) | (a << lane.shift);
            check(dp, ap);
            if (::testing::Test::HasFailure()) return;
        }
    }
}

TEST(BlendSaturatingTest, SatAdd32AndSatSub32FollowTheirChannelRules) {
    for (const Lane lane : {Lane{0, 255}, Lane{8, 255}, Lane{16, 255}}) {
        // The contribution's byte 3 is zero; the destination's may be anything.
        SweepLane(lane, 0xFFFFFFFFu, [](uint32_t d, uint32_t a) {
            a &= 0x00FFFFFFu;
            ASSERT_EQ(SatAdd32(d, a), ReferenceSatAdd32(d, a)) << std::hex << d << " + " << a;
            ASSERT_EQ(SatSub32(d, a), ReferenceSatSub32(d, a)) << std::hex << d << " - " << a;
        });
    }
}

TEST(BlendSaturatingTest, SatAddAndSatSubFollowTheirChannelRules) {
    for (const Lane lane : {Lane{0, 31}, Lane{5, 63}, Lane{11, 31}}) {
        SweepLane(lane, 0xFFFFu, [](uint32_t d, uint32_t a) {
            ASSERT_EQ(SatAdd(d, a), ReferenceSatAdd16(d, a)) << std::hex << d << " + " << a;
            ASSERT_EQ(SatSub(d, a), ReferenceSatSub16(d, a)) << std::hex << d << " - " << a;
        });
    }
}

TEST(BlendSaturatingTest, KnownPackedResults) {
    struct Case {
        const char* name;
        uint32_t result;
        uint32_t expected;
    };
    const Case cases[] = {
        {"add without carries", SatAdd32(0x00102030, 0x00010203), 0x00112233},
        {"add: red carries into byte 3", SatAdd32(0xAA808080, 0x00808080), 0x01FFFFFF},
        {"add: 240 + 32 saturates", SatAdd32(0x00F0F0F0, 0x00202020), 0x01FFFFFF},
        {"add: green 1 + 1 stays 1", SatAdd32(0x00000100, 0x00000100), 0x00000100},
        {"add: blue overflow sets green's low bit", SatAdd32(0x000000FF, 0x00000001), 0x000001FF},
        {"add: red 254 + 2 saturates", SatAdd32(0x00FE0000, 0x00020000), 0x01FF0000},
        {"add: red 255 + 1 keeps its low bit", SatAdd32(0x00FF0000, 0x00010000), 0x00FF0000},
        {"subtract drops the subtrahend's low bits", SatSub32(0x00102030, 0x00010203), 0x00111F2D},
        {"subtract nothing", SatSub32(0xFF000000, 0), 0x00010100},
        {"subtract: blue below zero", SatSub32(0x00000010, 0x00000020), 0x00010000},
        {"subtract white from white", SatSub32(0x00FFFFFF, 0x00FFFFFF), 0x00010100},
        {"16-bit add: blue saturates into green's low bit", SatAdd(0x001F, 0x0001), 0x003F},
        {"16-bit add: green 62 + 62", SatAdd(0x07C0, 0x07C0), 0x0FC0},
        {"16-bit add: white + white", SatAdd(0xFFFF, 0xFFFF), 0xFFFF},
        {"16-bit subtract nothing from black", SatSub(0x0000, 0x0000), 0x0800},
        {"16-bit subtract white from black", SatSub(0x0000, 0xFFFF), 0x0000},
        {"16-bit subtract nothing from white", SatSub(0xFFFF, 0x0000), 0xFFDF},
    };
    for (const Case& c : cases) EXPECT_EQ(c.result, c.expected) << c.name;
}

TEST(BlendSaturatingTest, ByteArithmeticSaturatesEveryByteOnItsOwn) {
    for (int lane = 0; lane < 4; ++lane) {
        SweepLane(Lane{8 * lane, 255}, 0xFFFFFFFFu, [](uint32_t d, uint32_t s) {
            uint32_t sum = 0, difference = 0;
            for (int byte = 0; byte < 4; ++byte) {
                const int x = (d >> (8 * byte)) & 0xFF, y = (s >> (8 * byte)) & 0xFF;
                sum |= static_cast<uint32_t>(x + y > 255 ? 255 : x + y) << (8 * byte);
                difference |= static_cast<uint32_t>(x < y ? 0 : x - y) << (8 * byte);
            }
            ASSERT_EQ(AddBytesSaturated(d, s), sum) << std::hex << d << " + " << s;
            ASSERT_EQ(SubtractBytesSaturated(d, s), difference) << std::hex << d << " - " << s;
        });
    }
}

TEST(BlendSaturatingTest, HalfBlendAddsTheHalvedChannels) {
    SweepLane(Lane{8, 255}, 0xFFFFFFFFu, [](uint32_t s, uint32_t d) {
        uint32_t expected = 0;
        for (int byte = 0; byte < 3; ++byte)
            expected |= (((s >> (8 * byte)) & 0xFF) / 2 + ((d >> (8 * byte)) & 0xFF) / 2) << (8 * byte);
        ASSERT_EQ(HalfBlend32(s, d), expected);
    });
    SweepLane(Lane{5, 63}, 0xFFFFu, [](uint32_t s, uint32_t d) {
        const uint32_t red = (s >> 11) / 2 + (d >> 11) / 2;
        const uint32_t green = ((s >> 5) & 63) / 2 + ((d >> 5) & 63) / 2;
        const uint32_t blue = (s & 31) / 2 + (d & 31) / 2;
        ASSERT_EQ(HalfBlend16(s, d), red << 11 | green << 5 | blue);
    });
    EXPECT_EQ(HalfBlend32(0xFFFFFFFF, 0), 0x007F7F7Fu);
}

}  // namespace
