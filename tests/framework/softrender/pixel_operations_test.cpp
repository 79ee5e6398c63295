// The per-pixel blend operations, driven the way a draw drives them: the
// settings choose a path once, the path is made a template argument, and the
// pixel operation of that path draws. Checked on the results the draws are
// known by, and against the literal reference for every mode, source kind,
// depth and family: exhaustively per channel where that is small, on random
// whole pixels otherwise.
#include "framework/softrender/pixel_operations.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "tests/support/blend_reference.h"
#include "framework/softrender/blend_dispatch.h"
#include "framework/softrender/blend_tables.h"

namespace {

enum class Family { kBlit, kStretch, kSpan };

const char* FamilyName(Family f) {
    return f == Family::kBlit ? "blit" : f == Family::kStretch ? "stretch" : "span";
}

BlendRules RulesOf(Family f) {
    return f == Family::kBlit ? kBlitRules : f == Family::kStretch ? kStretchBlitRules : kSpanRules;
}

struct PixelCase {
    Family family = Family::kBlit;
    PixelDepth depth = PixelDepth::k32;
    SourceKind source = SourceKind::kPlain;
    int mode = 0;
    int p = 255;
    uint32_t bright = 0x00FFFFFF;
    int weight = -1;  // the blend graphic's weight, -1 without a blend graphic
    bool flag = false;
    uint32_t transparentColor = 0;
    bool mmx = false;
};

// Palettes for the paletted cases: the fast operations read 16-bit entries as
// uint16_t, the reference takes every entry as uint32_t.
struct Palettes {
    uint32_t wide[256];
    uint16_t narrow16[256];
    uint32_t narrow32[256];
};

Palettes MakePalettes(PixelDepth depth, uint32_t seed) {
    Palettes p;
    std::mt19937 random(seed);
    for (int i = 0; i < 256; ++i) {
        const uint32_t entry = random();
        p.narrow32[i] = entry;
        p.narrow16[i] = static_cast<uint16_t>(entry);
        p.wide[i] = depth == PixelDepth::k16 ? (entry & 0xFFFF) : entry;
    }
    return p;
}

ReferenceDraw ToReference(const PixelCase& c) {
    const BlendRules rules = RulesOf(c.family);
    ReferenceDraw r;
    r.depth = c.depth == PixelDepth::k16 ? 16 : 32;
    r.source = c.source == SourceKind::kPlain      ? kReferencePlain
               : c.source == SourceKind::kPaletted ? kReferencePaletted
                                                   : kReferenceAlpha;
    r.mode = c.mode;
    r.p = c.p;
    r.brightRed = (c.bright >> 16) & 0xFF;
    r.brightGreen = (c.bright >> 8) & 0xFF;
    r.brightBlue = c.bright & 0xFF;
    r.hasMask = c.weight >= 0;
    r.maskWeight = c.weight < 0 ? 0 : c.weight;
    r.transparencyFlag = c.flag;
    r.transparentColour = c.transparentColor;
    r.mmx = c.mmx;
    r.family.halfBlend = rules.halfBlend;
    r.family.mixTable = rules.mixTable;
    r.family.copyIgnoresAlpha = rules.copyIgnoresAlpha;
    r.family.fullAdd = rules.fullAddPath;
    r.family.fullSubtract = rules.fullSubtractPath;
    r.family.brightBeforeMask = rules.brightBeforeMask;
    r.family.fineGreen = rules.fineGreenProduct;
    return r;
}

// A heap block of exactly `size` bytes (1, 2 or 4), one per size and use, so
// that a read or write past the pixel is caught.
uint8_t* PixelBuffer(int size, bool destination) {
    static std::unique_ptr<uint8_t[]> buffers[2][5];
    std::unique_ptr<uint8_t[]>& buffer = buffers[destination][size];
    if (!buffer) buffer = std::make_unique<uint8_t[]>(size);
    return buffer.get();
}

template <BlendRules kRules>
uint32_t DrawWithRules(const PixelCase& c, uint32_t source, const Palettes& palettes, uint32_t dest) {
    const int texelSize = SourcePixelBytes(c.depth, c.source);
    const int targetSize = DestPixelBytes(c.depth);
    uint8_t* texel = PixelBuffer(texelSize, false);
    uint8_t* target = PixelBuffer(targetSize, true);
    std::memcpy(texel, &source, texelSize);
    std::memcpy(target, &dest, targetSize);

    BlendKernelParams params;
    const void* palette = c.depth == PixelDepth::k16 ? static_cast<const void*>(palettes.narrow16)
                                                     : static_cast<const void*>(palettes.narrow32);
    SetUpBlendKernelParams(&params, c.p, c.bright, c.transparentColor, palette);

    const BlendChoice choice{c.depth, c.source, c.mode, c.p, c.bright, c.weight >= 0, c.flag, c.mmx};
    BlendPath path;
    if (ChooseBlendPath(choice, kRules, &path)) {
        // The identity weight table (see the fixture) lets the mask byte be the weight.
        const uint8_t maskByte = static_cast<uint8_t>(c.weight < 0 ? 0x5A : c.weight);
        const bool visited = VisitBlendPath<kRules>(path, [&]<BlendPath P>() {
            BlendPixel<P>(params, texel, maskByte, target);
        });
        EXPECT_TRUE(visited) << "a chosen path has no instantiation";
    }
    uint32_t result = 0;
    std::memcpy(&result, target, targetSize);
    return result;
}

uint32_t DrawFast(const PixelCase& c, uint32_t source, const Palettes& palettes, uint32_t dest) {
    switch (c.family) {
    case Family::kBlit: return DrawWithRules<kBlitRules>(c, source, palettes, dest);
    case Family::kStretch: return DrawWithRules<kStretchBlitRules>(c, source, palettes, dest);
    case Family::kSpan: return DrawWithRules<kSpanRules>(c, source, palettes, dest);
    }
    return dest;
}

std::string Describe(const PixelCase& c, uint32_t source, uint32_t dest) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "%s %d-bit source %d mode %d p %d bright %06X weight %d flag %d tc %X mmx %d: "
                  "source %08X over %08X",
                  FamilyName(c.family), c.depth == PixelDepth::k16 ? 16 : 32, static_cast<int>(c.source),
                  c.mode, c.p, c.bright, c.weight, c.flag, c.transparentColor, c.mmx, source, dest);
    return text;
}

class PixelOperationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        BuildBlendTables();
        BuildParamTable(128, 255);  // weight k for mask byte k
    }

    // Draws with the fast operation and with the reference; false (with a
    // failure reported) when they differ.
    bool Agrees(const PixelCase& c, uint32_t source, const Palettes& palettes, uint32_t dest) {
        const uint32_t fast = DrawFast(c, source, palettes, dest);
        const uint32_t reference = ReferenceBlend(ToReference(c), source, palettes.wide, dest);
        if (fast == reference) return true;
        ADD_FAILURE() << Describe(c, source, dest) << std::hex << ": fast " << fast << ", reference "
                      << reference;
        return false;
    }
};

struct KnownCase {
    const char* name;
    PixelCase settings;
    uint32_t source;
    uint32_t dest;
    uint32_t expected;
};

PixelCase Settings(Family family, PixelDepth depth, SourceKind source, int mode, int p) {
    PixelCase c;
    c.family = family;
    c.depth = depth;
    c.source = source;
    c.mode = mode;
    c.p = p;
    return c;
}

PixelCase With(PixelCase c, uint32_t bright, int weight = -1, bool flag = false, bool mmx = false) {
    c.bright = bright;
    c.weight = weight;
    c.flag = flag;
    c.mmx = mmx;
    return c;
}

constexpr PixelDepth k16 = PixelDepth::k16;
constexpr PixelDepth k32 = PixelDepth::k32;
constexpr SourceKind kPlain = SourceKind::kPlain;
constexpr SourceKind kPaletted = SourceKind::kPaletted;
constexpr SourceKind kAlpha = SourceKind::kAlpha;
constexpr uint32_t kWhite = 0x00FFFFFF;

TEST_F(PixelOperationsTest, BlitResultsTheDrawsAreKnownBy) {
    const Family b = Family::kBlit;
    const KnownCase cases[] = {
        {"mode 0 copies at p 0", Settings(b, k32, kPlain, 0, 0), 0x11223344, 0x55667788, 0x11223344},
        {"mode 1 at p 0 draws nothing", Settings(b, k32, kPlain, 1, 0), 0x11223344, 0x55667788, 0x55667788},
        {"mode 1 at p 200", Settings(b, k32, kPlain, 1, 200), 0x00FFFFFF, 0x00000000, 0x00C7C7C7},
        {"16-bit mode 1 at p 200 with a bright colour just short of white",
         With(Settings(b, k16, kPlain, 1, 200), 0x00FFFFFE), 0xF800, 0x0000, 24u << 11},
        {"mode 1 at p 128 halves", Settings(b, k32, kPlain, 1, 128), 0xFFFFFFFF, 0xAA000000, 0x007F7F7F},
        {"mode 2 at p 255 with MMX", With(Settings(b, k32, kPlain, 2, 255), kWhite, -1, false, true),
         0x00202020, 0x00F0F0F0, 0x00FFFFFF},
        {"mode 2 at p 255 through the packed add", With(Settings(b, k32, kPlain, 2, 255), 0x00FEFEFE),
         0x00202020, 0x00F0F0F0, 0x01FFFFFF},
        {"mode 3 with a larger source", Settings(b, k32, kPlain, 3, 255), 0x00808080, 0x00404040, 0},
        {"mode 3 with a larger source, MMX", With(Settings(b, k32, kPlain, 3, 255), kWhite, -1, false, true),
         0x00808080, 0x00404040, 0},
        {"mode 4 with white gives 199 for 200", Settings(b, k32, kPlain, 4, 255), 0x00FFFFFF, 0x00C8C8C8,
         0x00C7C7C7},
        {"mode 4, clear alpha blackens, flag off", Settings(b, k32, kAlpha, 4, 255), 0x00FFFFFF,
         0x80C8C8C8, 0x80000000},
        {"mode 4, clear alpha blackens, flag on", With(Settings(b, k32, kAlpha, 4, 255), kWhite, -1, true),
         0x00FFFFFF, 0x80C8C8C8, 0x80000000},
        {"mode 5 draws nothing", Settings(b, k32, kPlain, 5, 128), 0x00FFFFFF, 0x00123456, 0x00123456},
        {"mode 9 draws nothing", Settings(b, k16, kPlain, 9, 128), 0xFFFF, 0x1234, 0x1234},
        {"mode 12 draws nothing", Settings(b, k32, kPlain, 12, 128), 0x00FFFFFF, 0x00123456, 0x00123456},
        {"mode 3 at p 0, plain source", Settings(b, k32, kPlain, 3, 0), 0x00FFFFFF, 0xFF000000, 0xFF000000},
        {"mode 3 at p 0, paletted source", Settings(b, k32, kPaletted, 3, 0), 7, 0xFF000000, 0x00010100},
        {"16-bit mode 3 at p 0, paletted source", Settings(b, k16, kPaletted, 3, 0), 7, 0x0000, 0x0800},
        {"mode 1 with alpha copies an opaque pixel under the flag",
         With(Settings(b, k32, kAlpha, 1, 255), kWhite, -1, true), 0xFF102030, 0x00000000, 0xFF102030},
        {"mode 0 copies an alpha source whole without the flag", Settings(b, k32, kAlpha, 0, 255),
         0x40FFFFFF, 0x00000000, 0x40FFFFFF},
        {"a clear alpha pixel is skipped under the flag", With(Settings(b, k32, kAlpha, 1, 100), kWhite, -1, true),
         0x00FFFFFF, 0x00123456, 0x00123456},
        {"a blend-graphic weight of 0 leaves mode 1 untouched", With(Settings(b, k32, kPlain, 1, 200), kWhite, 0),
         0x00FFFFFF, 0x00123456, 0x00123456},
    };
    Palettes palettes = MakePalettes(k32, 1);
    palettes.narrow32[7] = palettes.wide[7] = 0xFFFFFFFF;  // the paletted cases draw white
    Palettes palettes16 = MakePalettes(k16, 1);
    palettes16.narrow16[7] = 0xFFFF;
    palettes16.wide[7] = 0xFFFF;
    for (const KnownCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Palettes& p = c.settings.depth == k16 ? palettes16 : palettes;
        EXPECT_EQ(DrawFast(c.settings, c.source, p, c.dest), c.expected) << std::hex;
        EXPECT_EQ(ReferenceBlend(ToReference(c.settings), c.source, p.wide, c.dest), c.expected) << std::hex;
    }
}

TEST_F(PixelOperationsTest, SpanResultsTheDrawsAreKnownBy) {
    const Family s = Family::kSpan;
    const KnownCase cases[] = {
        {"16-bit mode 1 at p 128 rounds toward zero up", Settings(s, k16, kPlain, 1, 128), 31u << 11, 0, 15u << 11},
        {"16-bit mode 1 at p 128 rounds toward zero down", Settings(s, k16, kPlain, 1, 128), 0, 31u << 11,
         16u << 11},
        {"16-bit mode 1, alpha 128 under the flag rounds down",
         With(Settings(s, k16, kAlpha, 1, 128), kWhite, -1, true), (128u << 16) | (31u << 11), 0, 7u << 11},
        {"16-bit mode 1, alpha 128 under the flag, toward black",
         With(Settings(s, k16, kAlpha, 1, 128), kWhite, -1, true), 128u << 16, 31u << 11, 23u << 11},
        {"16-bit mode 10 at p 255 inverts black", Settings(s, k16, kPlain, 10, 255), 0x0000, 0x0000, 0xFFFF},
        {"16-bit mode 10 weighted at full weight falls short", With(Settings(s, k16, kPlain, 10, 255), kWhite, 255),
         0x07FF, 0x0000, 30u << 11},
        {"mode 0, opaque alpha without the flag blends by 255", Settings(s, k32, kAlpha, 0, 255), 0xFFFFFFFF,
         0x00000000, 0x00FEFEFE},
        {"mode 0, opaque alpha under the flag copies", With(Settings(s, k32, kAlpha, 0, 255), kWhite, -1, true),
         0xFFFFFFFF, 0x00000000, 0xFFFFFFFF},
        {"mode 2, all weights 255, flag off", With(Settings(s, k32, kAlpha, 2, 255), kWhite, 255), 0xFFFFFFFF, 0,
         0x00FCFCFC},
        {"mode 2, all weights 255, flag on", With(Settings(s, k32, kAlpha, 2, 255), kWhite, 255, true), 0xFFFFFFFF,
         0, 0x00FDFDFD},
        {"mode 11 with white over 200 darkens one step", Settings(s, k32, kPlain, 11, 255), 0x00FFFFFF, 0x00C8C8C8,
         0x00C7C7C7},
        {"mode 10 at p 255 over black gives 254", Settings(s, k32, kPlain, 10, 255), 0, 0, 0x00FEFEFE},
        {"mode 2 at p 255 adds in full, without a whole-pixel path", Settings(s, k32, kPlain, 2, 255), 0x00000001,
         0x000000FF, 0x000001FF},
    };
    const Palettes palettes = MakePalettes(k32, 2);
    for (const KnownCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DrawFast(c.settings, c.source, palettes, c.dest), c.expected) << std::hex;
        EXPECT_EQ(ReferenceBlend(ToReference(c.settings), c.source, palettes.wide, c.dest), c.expected)
            << std::hex;
    }
}

TEST_F(PixelOperationsTest, BlendGraphicByteGoesThroughTheWeightTable) {
    BuildParamTable(0, 0);  // every mask byte weighs 255
    PixelCase c = With(Settings(Family::kBlit, k32, kPlain, 1, 200), kWhite, 17);
    const Palettes palettes = MakePalettes(k32, 3);
    const uint32_t drawn = DrawFast(c, 0x00FFFFFF, palettes, 0);
    c.weight = 255;
    EXPECT_EQ(drawn, ReferenceBlend(ToReference(c), 0x00FFFFFF, palettes.wide, 0));
    EXPECT_EQ(drawn, 0x00C6C6C6u);  // 255 * 255 * 200 >> 16
}

// Random whole pixels for every family, depth, source kind, mode (drawing or
// not), blend graphic, transparency flag and processor, with parameters,
// weights, alphas and bright colours drawn from their edges and at random.
TEST_F(PixelOperationsTest, FastOperationsMatchTheReferenceOnRandomPixels) {
    std::mt19937 random(20240611);
    auto pick = [&](std::initializer_list<int> edges) {
        const int i = static_cast<int>(random() % (edges.size() + 2));
        return i < static_cast<int>(edges.size()) ? edges.begin()[i] : static_cast<int>(random() % 256);
    };
    for (Family family : {Family::kBlit, Family::kStretch, Family::kSpan}) {
        for (PixelDepth depth : {k16, k32}) {
            const Palettes palettes = MakePalettes(depth, random());
            for (SourceKind source : {kPlain, kPaletted, kAlpha}) {
                for (int mode = 0; mode <= 12; ++mode) {
                    for (int flags = 0; flags < 8; ++flags) {
                        PixelCase c = Settings(family, depth, source, mode, 0);
                        c.flag = flags & 1;
                        c.mmx = flags & 2;
                        const bool mask = flags & 4;
                        for (int n = 0; n < 150; ++n) {
                            c.p = pick({0, 1, 2, 127, 128, 129, 253, 254, 255});
                            switch (random() % 4) {
                            case 0: c.bright = kWhite; break;
                            case 1: c.bright = 0xFF000000 | kWhite; break;  // the top byte does not count
                            case 2: c.bright = 0x00FFFFFE ^ (0x10101 << (random() % 8)); break;
                            default: c.bright = random() & 0x00FFFFFF; break;
                            }
                            c.weight = mask ? pick({0, 1, 128, 254, 255}) : -1;
                            uint32_t pixel = random();
                            if (depth == k16 && source != kAlpha) pixel &= 0xFFFF;
                            if (source == kPaletted) pixel &= 0xFF;
                            if (source == kAlpha) {
                                const uint32_t alpha = static_cast<uint32_t>(pick({0, 1, 128, 254, 255}));
                                pixel = depth == k16 ? (pixel & 0xFF00FFFF) | (alpha << 16)
                                                     : (pixel & 0x00FFFFFF) | (alpha << 24);
                            }
                            c.transparentColor = random() % 3 == 0 ? pixel : random() % 3 == 0 ? random() % 300 : random();
                            uint32_t dest = random();
                            if (depth == k16) dest &= 0xFFFF;
                            if (!Agrees(c, pixel, palettes, dest)) return;
                        }
                    }
                }
            }
        }
    }
}

// Every pair of source and destination values in every channel at once (the
// three channels are walked in different orders, so each sees all its
// pairs), for every drawing mode and source kind, with and without blend
// graphic, brightening and flag, at several parameters.
TEST_F(PixelOperationsTest, FastOperationsMatchTheReferenceOnEverySixteenBitChannelPair) {
    std::mt19937 random(77);
    const Palettes palettes = MakePalettes(k16, 78);
    // Every 5-6-5 pixel for the source index; the paletted source draws
    // palette entries, so it uses a palette that runs through 256 of them.
    Palettes sweepPalette = palettes;
    for (Family family : {Family::kBlit, Family::kSpan}) {
        for (SourceKind source : {kPlain, kPaletted, kAlpha}) {
            for (int mode : {0, 1, 2, 3, 4, 10, 11}) {
                for (int flags = 0; flags < 8; ++flags) {
                    for (int p : {128, 200}) {
                        PixelCase c = Settings(family, k16, source, mode, p);
                        c.flag = flags & 1;
                        c.bright = flags & 2 ? 0x00C0E0A0 : kWhite;
                        c.weight = flags & 4 ? static_cast<int>(random() % 256) : -1;
                        c.transparentColor = 0x1234;
                        for (uint32_t sg = 0; sg < 64; ++sg) {
                            for (uint32_t dg = 0; dg < 64; ++dg) {
                                const uint32_t sourceColour = ((sg & 31) << 11) | (sg << 5) | ((sg * 7 + 3) & 31);
                                const uint32_t dest = (((dg * 5 + 1) & 31) << 11) | (dg << 5) | (dg & 31);
                                uint32_t pixel = sourceColour;
                                if (source == kAlpha) pixel |= (random() % 256) << 16;
                                if (source == kPaletted) {
                                    pixel = sg * 4 + (dg & 3);
                                    sweepPalette.narrow16[pixel] = static_cast<uint16_t>(sourceColour);
                                    sweepPalette.wide[pixel] = sourceColour;
                                }
                                if (!Agrees(c, pixel, source == kPaletted ? sweepPalette : palettes, dest)) return;
                            }
                        }
                    }
                }
            }
        }
    }
}

TEST_F(PixelOperationsTest, FastOperationsMatchTheReferenceOnEveryThirtyTwoBitChannelPair) {
    std::mt19937 random(99);
    Palettes palettes = MakePalettes(k32, 100);
    for (SourceKind source : {kPlain, kPaletted, kAlpha}) {
        for (int mode : {0, 1, 2, 3, 4, 10, 11}) {
            PixelCase c = Settings(Family::kBlit, k32, source, mode, 0);
            c.p = static_cast<int>(random() % 254) + 1;
            c.flag = source == kAlpha;  // alpha: the a = 255 shortcut and the alpha weight both run
            c.bright = source == kPaletted ? 0x00FFFFFF : 0x00FF80FF;
            c.transparentColor = 0x01020304;
            for (uint32_t sv = 0; sv < 256; ++sv) {
                for (uint32_t dv = 0; dv < 256; ++dv) {
                    const uint32_t colour = (sv << 16) | (((sv * 7 + 3) & 255) << 8) | (255 - sv);
                    const uint32_t dest = (random() & 0xFF000000) | (((dv * 13 + 5) & 255) << 16) |
                                          ((255 - dv) << 8) | dv;
                    uint32_t pixel = colour | (random() & 0xFF000000);
                    if (source == kPaletted) {
                        pixel = dv;
                        palettes.narrow32[dv] = palettes.wide[dv] = colour;
                    }
                    if (!Agrees(c, pixel, palettes, dest)) return;
                }
            }
        }
    }
}

}  // namespace
