// What the filled box and the line share: one colour drawn onto the pixels of
// a shape, combined with each destination pixel by the given blend mode,
// parameter and bright colour.
//
// The draw brightens its colour once, with a division by 256 (unlike the
// image draws, whose bright colour goes through the product table), so the
// pixels then take the colour as a plain source under white brightness. The
// per-pixel operation is the shared one of the span family; only the paths a
// plain colour can take are instantiated.
#pragma once

#include <cstdint>

#include "framework/softrender/blend_path.h"
#include "framework/softrender/memimg.h"
#include "framework/softrender/pixel_operations.h"

// Everything a solid-colour draw decides before its first pixel.
struct SolidColorDraw {
    BlendPath path;
    BlendKernelParams params;
    uint32_t color;  // brightened; a 32-bit colour keeps its byte 3
};

// The colour scaled by the bright colour, channel by channel: c * bright >> 8
// on the 5- and 6-bit fields of a 5-6-5 colour or on the bytes of a 32-bit
// one (byte 3 unchanged). A white bright colour leaves it as it is, even the
// bits a 5-6-5 colour should not have.
constexpr uint32_t BrightenedSolidColor(PixelDepth depth, uint32_t color, uint32_t brightColor) {
    if (IsWhite(brightColor)) return color;
    const uint32_t brightRed = (brightColor >> 16) & 0xFFu;
    const uint32_t brightGreen = (brightColor >> 8) & 0xFFu;
    const uint32_t brightBlue = brightColor & 0xFFu;
    if (depth == PixelDepth::k16) {
        const uint32_t red = ((color >> 11) & 0x1Fu) * brightRed >> 8;
        const uint32_t green = ((color >> 5) & 0x3Fu) * brightGreen >> 8;
        const uint32_t blue = (color & 0x1Fu) * brightBlue >> 8;
        return (red << 11) | (green << 5) | blue;
    }
    const uint32_t red = ((color >> 16) & 0xFFu) * brightRed >> 8;
    const uint32_t green = ((color >> 8) & 0xFFu) * brightGreen >> 8;
    const uint32_t blue = (color & 0xFFu) * brightBlue >> 8;
    return (color & 0xFF000000u) | (red << 16) | (green << 8) | blue;
}

// Reads the draw settings for a destination of colour type `colorType` and
// decides the draw. False when it changes no pixel: a colour type other than
// 5-6-5 or 32-bit, a mode without an operation, or a parameter test of the
// mode (modes 1, 2 and 3 at parameter 0).
inline bool SetUpSolidColorDraw(int colorType, uint32_t color, const MemImgDrawSettings& settings,
                                SolidColorDraw* draw) {
    if (colorType != kMemImgColor565 && colorType != kMemImgColor32) return false;
    const PixelDepth depth = colorType == kMemImgColor565 ? PixelDepth::k16 : PixelDepth::k32;
    // The setter keeps the parameter within a byte; so does every draw.
    const int param = settings.blendParam < 0 ? 0 : settings.blendParam > 255 ? 255 : settings.blendParam;
    const BlendChoice choice{depth, SourceKind::kPlain, settings.blendMode, param, 0x00FFFFFFu, false, false,
                             false};
    if (!ChooseBlendPath(choice, kSpanRules, &draw->path)) return false;
    draw->color = BrightenedSolidColor(depth, color, settings.brightColor);
    SetUpBlendKernelParams(&draw->params, param, 0x00FFFFFFu, 0, nullptr);
    return true;
}

namespace solid_color {

constexpr BlendPath PathOf(PixelDepth depth, int mode) {
    return BlendPath{.depth = depth, .source = SourceKind::kPlain, .mode = mode, .rules = kSpanRules};
}

template <PixelDepth kDepth, typename Visitor>
bool VisitMode(int mode, Visitor& visitor) {
    switch (mode) {
    case 0: visitor.template operator()<PathOf(kDepth, 0)>(); return true;
    case 1: visitor.template operator()<PathOf(kDepth, 1)>(); return true;
    case 2: visitor.template operator()<PathOf(kDepth, 2)>(); return true;
    case 3: visitor.template operator()<PathOf(kDepth, 3)>(); return true;
    case 4: visitor.template operator()<PathOf(kDepth, 4)>(); return true;
    case 10: visitor.template operator()<PathOf(kDepth, 10)>(); return true;
    case 11: visitor.template operator()<PathOf(kDepth, 11)>(); return true;
    }
    return false;
}

}  // namespace solid_color

// Calls visitor.template operator()<P>() with the compile-time path P equal to
// the draw's path, which SetUpSolidColorDraw chose.
template <typename Visitor>
bool VisitSolidColorPath(const BlendPath& path, Visitor&& visitor) {
    using namespace solid_color;
    if (!(path == PathOf(path.depth, path.mode))) return false;
    return path.depth == PixelDepth::k16 ? VisitMode<PixelDepth::k16>(path.mode, visitor)
                                         : VisitMode<PixelDepth::k32>(path.mode, visitor);
}

// Draws the colour onto one destination pixel by the path's operation. The
// operation reads the colour as a source pixel from memory; the target is
// little-endian, so a 5-6-5 path finds its code in the colour's first bytes.
template <BlendPath P>
inline void PutSolidPixel(const BlendKernelParams& params, const uint32_t& color, uint8_t* dest) {
    BlendPixel<P>(params, reinterpret_cast<const uint8_t*>(&color), 0, dest);
}
