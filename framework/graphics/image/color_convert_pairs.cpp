// The specialised conversions of the common format pairs. Each pair is one
// pixel rule plugged into one generic row loop; palette sources run their rule
// once per palette entry, and the 16-bit to 16-bit rules work on whole words
// of packed pixels (four a 64-bit word with MMX, else two a 32-bit word), so
// every word width gives the same pixels.
#include "framework/base/framework_state.h"
#include "framework/graphics/image/color_convert_job.h"
#include "framework/graphics/image/pixel_value.h"

namespace {

// Masks of the layouts that have specialised loops.
constexpr uint32_t kRed565 = 0xF800, kGreen565 = 0x07E0, kBlue565 = 0x001F;
constexpr uint32_t kRed555 = 0x7C00, kGreen555 = 0x03E0, kBlue555 = 0x001F;
constexpr uint32_t kRed888 = 0xFF0000, kGreen888 = 0xFF00, kBlue888 = 0xFF;

enum class Layout { kOther, kPalette8, kRgb565, kRgb555, kRgb888x24, kRgb888x32 };

bool HasMasks(const PixelFormat& f, uint32_t red, uint32_t green, uint32_t blue) {
    return f.redMask == red && f.greenMask == green && f.blueMask == blue;
}

Layout LayoutOf(const PixelFormat& f) {
    if (f.bytesPerPixel == 1 && f.bitsPerPixel == 8) return Layout::kPalette8;
    if (f.bitsPerPixel == 16 && HasMasks(f, kRed565, kGreen565, kBlue565)) return Layout::kRgb565;
    if (f.bitsPerPixel == 16 && HasMasks(f, kRed555, kGreen555, kBlue555)) return Layout::kRgb555;
    if (f.bitsPerPixel == 24 && HasMasks(f, kRed888, kGreen888, kBlue888)) return Layout::kRgb888x24;
    if (f.bitsPerPixel == 32 && HasMasks(f, kRed888, kGreen888, kBlue888)) return Layout::kRgb888x32;
    return Layout::kOther;
}

// ---- Pixel rules on one value (an 0x??RRGGBB colour or a 16-bit code) ----

uint32_t Rgb888To565(uint32_t c) { return (c >> 8 & 0xF800) | (c >> 5 & 0x07E0) | (c >> 3 & 0x001F); }
uint32_t Rgb888To555(uint32_t c) { return (c >> 9 & 0x7C00) | (c >> 6 & 0x03E0) | (c >> 3 & 0x001F); }
uint32_t Rgb565To888(uint32_t c) { return (c & 0xF800) << 8 | (c & 0x07E0) << 5 | (c & 0x001F) << 3; }

struct To565 {
    uint32_t operator()(uint32_t c) const { return Rgb888To565(c); }
};
struct To555TopSet {
    uint32_t operator()(uint32_t c) const { return Rgb888To555(c) | 0x8000; }
};
struct To888TopSet {
    uint32_t operator()(uint32_t c) const { return (c & 0xFFFFFF) | 0xFF000000u; }
};
struct From565To888 {
    uint32_t operator()(uint32_t c) const { return Rgb565To888(c); }
};
struct KeyedTo5551 {
    uint32_t key;  // 0xRRGGBB
    uint32_t operator()(uint32_t c) const {
        return Rgb888To555(c) | ((c & 0xFFFFFF) == key ? 0 : 0x8000);
    }
};
struct KeyedTo8888 {
    uint32_t key;  // 0xRRGGBB
    uint32_t operator()(uint32_t c) const {
        return (c & 0xFFFFFF) | ((c & 0xFFFFFF) == key ? 0 : 0xFF000000u);
    }
};
struct KeyedFrom565To8888 {
    uint32_t key565;
    uint32_t operator()(uint32_t c) const { return Rgb565To888(c) | (c == key565 ? 0 : 0xFF000000u); }
};

// One rule over every pixel of the rectangle. A palette source applies the
// rule to its 256 entries once and then only looks pixels up.
template <int SrcBytes, int DstBytes, typename Rule>
void ConvertPixels(const ColorConvertJob& job, Rule rule) {
    [[maybe_unused]] uint32_t table[SrcBytes == 1 ? 256 : 1];
    if constexpr (SrcBytes == 1) {
        for (uint32_t i = 0; i < 256; ++i) table[i] = rule(PaletteEntryValue(job.srcFormat, i));
    }
    for (int y = 0; y < job.height; ++y) {
        const uint8_t* source = job.SourceRow(y);
        uint8_t* destination = job.DestRow(y);
        for (int i = 0; i < job.width; ++i) {
            uint32_t out;
            if constexpr (SrcBytes == 1) {
                out = table[source[i]];
            } else {
                out = rule(ReadPixelValue(source + i * SrcBytes, SrcBytes));
            }
            WritePixelValue(destination + i * DstBytes, DstBytes, out);
        }
    }
}

// ---- 16-bit to 16-bit rules on words of packed pixels ----

// A 16-bit pattern repeated in every lane of a word.
template <typename Word>
constexpr Word Lanes(uint16_t pattern) {
    Word word = 0;
    for (unsigned i = 0; i < sizeof(Word) / 2; ++i) word = static_cast<Word>(word << 16 | pattern);
    return word;
}

// Green's lowest bit dropped, the top bit 0.
struct Packed565To555 {
    template <typename Word>
    Word operator()(Word w) const {
        return static_cast<Word>((w >> 1 & Lanes<Word>(0x7FE0)) | (w & Lanes<Word>(0x001F)));
    }
};
// Green's lowest bit repeated.
struct Packed555To565 {
    template <typename Word>
    Word operator()(Word w) const {
        return static_cast<Word>((w << 1 & Lanes<Word>(0xFFC0)) | (w & Lanes<Word>(0x003F)));
    }
};
// Green's lowest bit dropped; the alpha bit set in every lane whose colour
// differs from the key. A lane's difference is at most 0x7FFF, so adding
// 0x7FFF reaches the lane's top bit exactly when it is not 0, without a
// carry into the next lane.
struct Packed565To5551Keyed {
    uint16_t key555;
    template <typename Word>
    Word operator()(Word w) const {
        const Word color = Packed565To555{}(w);
        const Word difference = static_cast<Word>(color ^ Lanes<Word>(key555));
        const Word alpha = static_cast<Word>((difference + Lanes<Word>(0x7FFF)) & Lanes<Word>(0x8000));
        return static_cast<Word>(color | alpha);
    }
};

template <typename Word, typename Rule>
void ConvertRow16(const uint8_t* source, uint8_t* destination, int count, const Rule& rule) {
    constexpr int kLanes = sizeof(Word) / 2;
    int i = 0;
    for (; i + kLanes <= count; i += kLanes) {
        Word word;
        std::memcpy(&word, source + i * 2, sizeof word);
        word = rule(word);
        std::memcpy(destination + i * 2, &word, sizeof word);
    }
    for (; i < count; ++i) {
        uint16_t pixel;
        std::memcpy(&pixel, source + i * 2, 2);
        pixel = rule(pixel);
        std::memcpy(destination + i * 2, &pixel, 2);
    }
}

template <typename Rule>
void ConvertPixels16To16(const ColorConvertJob& job, const Rule& rule) {
    const bool fourPerWord = UsesFourPixelWords();
    for (int y = 0; y < job.height; ++y) {
        if (fourPerWord) {
            ConvertRow16<uint64_t>(job.SourceRow(y), job.DestRow(y), job.width, rule);
        } else {
            ConvertRow16<uint32_t>(job.SourceRow(y), job.DestRow(y), job.width, rule);
        }
    }
}

bool ConvertUnkeyed(const ColorConvertJob& job, Layout from, Layout to) {
    const bool dstNoAlpha = job.dstFormat.alphaMask == 0;
    const uint32_t dstAlpha = job.dstFormat.alphaMask;
    switch (from) {
    case Layout::kPalette8:
        if (to == Layout::kRgb565 && dstNoAlpha) return ConvertPixels<1, 2>(job, To565{}), true;
        if (to == Layout::kRgb555 && dstNoAlpha) return ConvertPixels<1, 2>(job, To555TopSet{}), true;
        if (to == Layout::kRgb888x32 && dstNoAlpha) return ConvertPixels<1, 4>(job, To888TopSet{}), true;
        return false;
    case Layout::kRgb888x24:
        if (to == Layout::kRgb565 && dstNoAlpha) return ConvertPixels<3, 2>(job, To565{}), true;
        if (to == Layout::kRgb555 && dstNoAlpha) return ConvertPixels<3, 2>(job, To555TopSet{}), true;
        if (to == Layout::kRgb888x32 && (dstNoAlpha || dstAlpha == 0xFF000000u)) {
            return ConvertPixels<3, 4>(job, To888TopSet{}), true;
        }
        return false;
    case Layout::kRgb888x32:
        if (to == Layout::kRgb565 && dstNoAlpha) return ConvertPixels<4, 2>(job, To565{}), true;
        return false;
    case Layout::kRgb565:
        if (to == Layout::kRgb888x24) return ConvertPixels<2, 3>(job, From565To888{}), true;
        if (to == Layout::kRgb888x32 && dstNoAlpha) return ConvertPixels<2, 4>(job, From565To888{}), true;
        if (to == Layout::kRgb555 && dstNoAlpha) return ConvertPixels16To16(job, Packed565To555{}), true;
        return false;
    case Layout::kRgb555:
        if (to == Layout::kRgb565) return ConvertPixels16To16(job, Packed555To565{}), true;
        return false;
    default:
        return false;
    }
}

bool ConvertKeyed(const ColorConvertJob& job, Layout from, Layout to) {
    const uint32_t key = job.key & 0xFFFFFF;
    const bool to5551 = to == Layout::kRgb555 && job.dstFormat.alphaMask == 0x8000;
    const bool to8888 = to == Layout::kRgb888x32 && job.dstFormat.alphaMask == 0xFF000000u;
    switch (from) {
    case Layout::kPalette8:
        if (to5551) return ConvertPixels<1, 2>(job, KeyedTo5551{key}), true;
        if (to8888) return ConvertPixels<1, 4>(job, KeyedTo8888{key}), true;
        return false;
    case Layout::kRgb888x24:
        if (to5551) return ConvertPixels<3, 2>(job, KeyedTo5551{key}), true;
        if (to8888) return ConvertPixels<3, 4>(job, KeyedTo8888{key}), true;
        return false;
    case Layout::kRgb565:
        if (to5551) {
            return ConvertPixels16To16(job, Packed565To5551Keyed{static_cast<uint16_t>(Rgb888To555(key))}),
                   true;
        }
        if (to8888) return ConvertPixels<2, 4>(job, KeyedFrom565To8888{Rgb888To565(key)}), true;
        return false;
    default:
        return false;
    }
}

}  // namespace

bool UsesFourPixelWords() { return CpuHasMmx != 0; }

bool ConvertWithSpecialisedLoop(const ColorConvertJob& job) {
    if (job.srcFormat.alphaMask != 0) return false;
    const Layout from = LayoutOf(job.srcFormat);
    const Layout to = LayoutOf(job.dstFormat);
    if (from == Layout::kOther || to == Layout::kOther) return false;
    return job.keyToAlpha ? ConvertKeyed(job, from, to) : ConvertUnkeyed(job, from, to);
}
