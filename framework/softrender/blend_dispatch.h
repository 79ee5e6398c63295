// Turns a draw's runtime choice of path into a compile-time one, once per draw.
//
//     BlendPath path;
//     if (!ChooseBlendPath(choice, kBlitRules, &path)) return;
//     VisitBlendPath<kBlitRules>(path, [&]<BlendPath P>() { MyRowLoop<P>(...); });
//
// The visitor is instantiated for every path the family's rules allow (about
// 360), and called for the one that matches. The rules are a template argument
// so that a family only instantiates its own paths.
#pragma once

#include "framework/softrender/blend_path.h"

namespace blend_dispatch {

template <BlendPath P, typename Visitor>
bool Call(Visitor& visitor) {
    if constexpr (IsChosenBlendPath(P)) {
        visitor.template operator()<P>();
        return true;
    } else {
        return false;
    }
}

constexpr BlendPath WithMmx(BlendPath p, bool v) { p.mmx = v; return p; }
constexpr BlendPath WithParam(BlendPath p, ParamCase v) { p.param = v; return p; }
constexpr BlendPath WithTransparent(BlendPath p, bool v) { p.transparent = v; return p; }
constexpr BlendPath WithBrighten(BlendPath p, bool v) { p.brighten = v; return p; }
constexpr BlendPath WithBlendGraphic(BlendPath p, bool v) { p.blendGraphic = v; return p; }
constexpr BlendPath WithMode(BlendPath p, int v) { p.mode = v; return p; }
constexpr BlendPath WithSource(BlendPath p, SourceKind v) { p.source = v; return p; }
constexpr BlendPath WithDepth(BlendPath p, PixelDepth v) { p.depth = v; return p; }

template <BlendPath P, typename Visitor>
bool VisitParam(const BlendPath& path, Visitor& visitor) {
    switch (path.param) {
    case ParamCase::kGeneral:
        return Call<WithParam(P, ParamCase::kGeneral)>(visitor);
    case ParamCase::kHalf:
        return Call<WithParam(P, ParamCase::kHalf)>(visitor);
    case ParamCase::kFull:
        return path.mmx ? Call<WithMmx(WithParam(P, ParamCase::kFull), true)>(visitor)
                        : Call<WithParam(P, ParamCase::kFull)>(visitor);
    }
    return false;
}

template <BlendPath P, typename Visitor>
bool VisitFlags(const BlendPath& path, Visitor& visitor) {
    // Blend graphic, brightening and transparency as three bits.
    switch ((path.blendGraphic ? 4 : 0) | (path.brighten ? 2 : 0) | (path.transparent ? 1 : 0)) {
#define KILN_BLEND_FLAGS_CASE(n)                                                                   \
    case n:                                                                                        \
        return VisitParam<WithTransparent(WithBrighten(WithBlendGraphic(P, (n) & 4), (n) & 2),     \
                                          (n) & 1)>(path, visitor);
        KILN_BLEND_FLAGS_CASE(0)
        KILN_BLEND_FLAGS_CASE(1)
        KILN_BLEND_FLAGS_CASE(2)
        KILN_BLEND_FLAGS_CASE(3)
        KILN_BLEND_FLAGS_CASE(4)
        KILN_BLEND_FLAGS_CASE(5)
        KILN_BLEND_FLAGS_CASE(6)
        KILN_BLEND_FLAGS_CASE(7)
#undef KILN_BLEND_FLAGS_CASE
    }
    return false;
}

template <BlendPath P, typename Visitor>
bool VisitMode(const BlendPath& path, Visitor& visitor) {
    switch (path.mode) {
    case 0: return VisitFlags<WithMode(P, 0)>(path, visitor);
    case 1: return VisitFlags<WithMode(P, 1)>(path, visitor);
    case 2: return VisitFlags<WithMode(P, 2)>(path, visitor);
    case 3: return VisitFlags<WithMode(P, 3)>(path, visitor);
    case 4: return VisitFlags<WithMode(P, 4)>(path, visitor);
    case 10: return VisitFlags<WithMode(P, 10)>(path, visitor);
    case 11: return VisitFlags<WithMode(P, 11)>(path, visitor);
    }
    return false;
}

template <BlendPath P, typename Visitor>
bool VisitSource(const BlendPath& path, Visitor& visitor) {
    switch (path.source) {
    case SourceKind::kPlain: return VisitMode<WithSource(P, SourceKind::kPlain)>(path, visitor);
    case SourceKind::kPaletted: return VisitMode<WithSource(P, SourceKind::kPaletted)>(path, visitor);
    case SourceKind::kAlpha: return VisitMode<WithSource(P, SourceKind::kAlpha)>(path, visitor);
    }
    return false;
}

}  // namespace blend_dispatch

// Calls visitor.template operator()<P>() with the compile-time path P equal to
// `path`. Returns false, calling nothing, when `path` is not one that
// ChooseBlendPath gives under `kRules`.
template <BlendRules kRules, typename Visitor>
bool VisitBlendPath(const BlendPath& path, Visitor&& visitor) {
    using namespace blend_dispatch;
    if (!(path.rules == kRules) || !IsChosenBlendPath(path)) return false;
    constexpr BlendPath kStart{.rules = kRules};
    return path.depth == PixelDepth::k16
               ? VisitSource<WithDepth(kStart, PixelDepth::k16)>(path, visitor)
               : VisitSource<WithDepth(kStart, PixelDepth::k32)>(path, visitor);
}
