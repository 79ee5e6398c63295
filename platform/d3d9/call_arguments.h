// Builds the arguments of a device call as the renderer is told of it: a
// rectangle or a matrix adds its numbers, a null pointer one null object.
// Short lists stay on the stack; long ones (declarations, runs of shader
// constants) move to the heap. Private to platform/d3d9.
#pragma once

#include <span>
#include <vector>

#include "platform/d3d9/renderer.h"

namespace platform::d3d9 {

class CallArguments {
public:
    CallArguments& Add(const CallArgument& argument) {
        if (more_.empty() && count_ < kInline) {
            inline_[count_++] = argument;
            return *this;
        }
        if (more_.empty()) more_.assign(inline_, inline_ + count_);
        more_.push_back(argument);
        return *this;
    }
    CallArguments& Rect(const RECT* rect) {
        if (rect == nullptr) return Add(Obj(nullptr));
        return Add(Int(rect->left)).Add(Int(rect->top)).Add(Int(rect->right)).Add(Int(rect->bottom));
    }
    CallArguments& Reals(const float* values, size_t count) {
        if (values == nullptr) return Add(Obj(nullptr));
        for (size_t i = 0; i < count; ++i) Add(Real(values[i]));
        return *this;
    }
    CallArguments& Colour(const D3DCOLORVALUE& colour) { return Reals(&colour.r, 4); }

    std::span<const CallArgument> Span() const {
        return more_.empty() ? std::span<const CallArgument>(inline_, count_) : std::span<const CallArgument>(more_);
    }

private:
    // Enough for a matrix or a light. Left uninitialised: only the first
    // `count_` are read.
    static constexpr size_t kInline = 32;
    CallArgument inline_[kInline];
    size_t count_ = 0;
    std::vector<CallArgument> more_;
};

}  // namespace platform::d3d9
