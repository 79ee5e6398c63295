// Small pieces shared by the routines that build full paths: separators, the
// length of one Shift-JIS character, and a bounded path being built with "."
// and ".." resolved. A trail byte of a two-byte character (0x5C among them) is
// never taken for a separator.
#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/base/base_functions.h"

inline bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

// Bytes of the character that starts at `text`: a lead byte takes its trail
// byte with it, unless the text ends there.
inline size_t PathCharacterLength(const char* text) {
    return IsShiftJisLeadByte(static_cast<unsigned char>(text[0])) && text[1] != '\0' ? 2 : 1;
}

// The length of `text` without one trailing separator.
inline size_t LengthWithoutTrailingSeparator(const char* text) {
    size_t last = 0, i = 0;
    while (text[i] != '\0') {
        last = i;
        i += PathCharacterLength(text + i);
    }
    return i > 0 && IsPathSeparator(text[last]) ? last : i;
}

// A path built into a caller's buffer of `capacity` bytes, always terminated;
// an append that would not fit is refused and leaves the path as it was.
class BoundedPathBuilder {
public:
    BoundedPathBuilder(char* output, size_t capacity) : output_(output), capacity_(capacity) {
        output_[0] = '\0';
    }

    bool Append(const char* text, size_t count) {
        if (length_ + count >= capacity_) return false;
        CopyMemoryBytes(output_ + length_, text, static_cast<uint32_t>(count));
        length_ += count;
        output_[length_] = '\0';
        return true;
    }
    bool AppendComponent(const char* name, size_t count) { return Append("\\", 1) && Append(name, count); }

    // "..": back to the last backslash or slash; a colon stops the search and
    // cuts nothing, so ".." at a drive's root stays there.
    void StepBack() {
        size_t stop = length_;  // none found
        for (size_t i = 0; i < length_; i += PathCharacterLength(output_ + i))
            if (IsPathSeparator(output_[i]) || output_[i] == ':') stop = i;
        if (stop == length_ || output_[stop] == ':') return;
        length_ = stop;
        output_[length_] = '\0';
    }

private:
    char* output_;
    size_t capacity_;
    size_t length_ = 0;
};
