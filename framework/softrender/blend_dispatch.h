// Turns a draw's runtime choice of path into a compile-time one, once per draw.
//
//     BlendPath path;
//     if (!ChooseBlendPath(choice, kBlitRules, &path)) return;
//     VisitBlendPath<kBlitRules>(path, [&]<BlendPath P>() { MyRowLoop<P>(...); });
//
// The visitor is instantiated for every path the family's rules allow (about
// 360), and called for the one that matches: the path is packed into a small
// number that indexes one table of calls, built at compile time, so a draw
// spends one indirect call on the choice however many settings it has. The
// rules are a template argument so that a family only instantiates its own
// paths.
#pragma once

#include <array>
#include <cstddef>
#include <utility>

#include "framework/softrender/blend_path.h"

namespace blend_dispatch {

constexpr BlendPath WithMmx(BlendPath p, bool v) { p.mmx = v; return p; }
constexpr BlendPath WithParam(BlendPath p, ParamCase v) { p.param = v; return p; }
constexpr BlendPath WithTransparent(BlendPath p, bool v) { p.transparent = v; return p; }
constexpr BlendPath WithBrighten(BlendPath p, bool v) { p.brighten = v; return p; }
constexpr BlendPath WithBlendGraphic(BlendPath p, bool v) { p.blendGraphic = v; return p; }
constexpr BlendPath WithMode(BlendPath p, int v) { p.mode = v; return p; }
constexpr BlendPath WithSource(BlendPath p, SourceKind v) { p.source = v; return p; }
constexpr BlendPath WithDepth(BlendPath p, PixelDepth v) { p.depth = v; return p; }

// The modes that draw, in the order of their numbers in a key.
inline constexpr int kModes[] = {0, 1, 2, 3, 4, 10, 11};
inline constexpr size_t kModeCount = sizeof kModes / sizeof kModes[0];

// A path's number: depth, source kind, mode, the three flags and the
// parameter's case (kFull with the processor's byte arithmetic counted apart).
inline constexpr size_t kKeyCount = 2 * 3 * kModeCount * 8 * 4;

constexpr size_t ModeIndex(int mode) {
    for (size_t i = 0; i < kModeCount; ++i)
        if (kModes[i] == mode) return i;
    return kModeCount;
}

// The key of a path, or kKeyCount for one that no key stands for: a mode
// without an operation, or the processor's byte arithmetic outside kFull.
constexpr size_t KeyOf(const BlendPath& p) {
    const size_t mode = ModeIndex(p.mode);
    if (mode == kModeCount || static_cast<size_t>(p.depth) > 1 || static_cast<size_t>(p.source) > 2 ||
        static_cast<size_t>(p.param) > 2 || (p.mmx && p.param != ParamCase::kFull))
        return kKeyCount;
    const size_t flags = (p.blendGraphic ? 4 : 0) | (p.brighten ? 2 : 0) | (p.transparent ? 1 : 0);
    const size_t param = p.param == ParamCase::kFull && p.mmx ? 3 : static_cast<size_t>(p.param);
    return (((static_cast<size_t>(p.depth) * 3 + static_cast<size_t>(p.source)) * kModeCount + mode) * 8 + flags) * 4 +
           param;
}

// The path of a key under `rules`.
constexpr BlendPath PathOf(BlendRules rules, size_t key) {
    BlendPath p{.rules = rules};
    const size_t param = key % 4;
    key /= 4;
    const size_t flags = key % 8;
    key /= 8;
    p.mode = kModes[key % kModeCount];
    key /= kModeCount;
    p.source = static_cast<SourceKind>(key % 3);
    p.depth = static_cast<PixelDepth>(key / 3);
    p.blendGraphic = (flags & 4) != 0;
    p.brighten = (flags & 2) != 0;
    p.transparent = (flags & 1) != 0;
    p.param = param == 3 ? ParamCase::kFull : static_cast<ParamCase>(param);
    p.mmx = param == 3;
    return p;
}

template <typename Visitor>
using Call = void (*)(Visitor&);

template <BlendPath P, typename Visitor>
void CallVisitor(Visitor& visitor) {
    visitor.template operator()<P>();
}

// The call for key `kKey`, or null when no chosen path has that key.
template <BlendRules kRules, typename Visitor, size_t kKey>
constexpr Call<Visitor> CallOf() {
    constexpr BlendPath P = PathOf(kRules, kKey);
    if constexpr (IsChosenBlendPath(P))
        return &CallVisitor<P, Visitor>;
    else
        return nullptr;
}

template <BlendRules kRules, typename Visitor, size_t... kKeys>
constexpr std::array<Call<Visitor>, kKeyCount> MakeCalls(std::index_sequence<kKeys...>) {
    return {CallOf<kRules, Visitor, kKeys>()...};
}

template <BlendRules kRules, typename Visitor>
inline constexpr std::array<Call<Visitor>, kKeyCount> kCalls =
    MakeCalls<kRules, Visitor>(std::make_index_sequence<kKeyCount>());

}  // namespace blend_dispatch

// Calls visitor.template operator()<P>() with the compile-time path P equal to
// `path`. Returns false, calling nothing, when `path` is not one that
// ChooseBlendPath gives under `kRules`.
template <BlendRules kRules, typename Visitor>
bool VisitBlendPath(const BlendPath& path, Visitor&& visitor) {
    using namespace blend_dispatch;
    using V = std::remove_reference_t<Visitor>;
    if (!(path.rules == kRules)) return false;
    const size_t key = KeyOf(path);
    if (key >= kKeyCount) return false;
    // Only the paths ChooseBlendPath gives have a call.
    const Call<V> call = kCalls<kRules, V>[key];
    if (call == nullptr) return false;
    call(visitor);
    return true;
}
