// Wildcard matching of listing names: '*' runs to the first occurrence of
// the next pattern byte (there is no backtracking), '?' takes any one byte,
// and a Shift-JIS two-byte character must match whole.
#include "framework/archive/archive_reader.h"
#include "framework/base/base_functions.h"

int MatchWildcardName(const char* nameText, const char* patternText) {
    const auto* name = reinterpret_cast<const uint8_t*>(nameText);
    const auto* pattern = reinterpret_cast<const uint8_t*>(patternText);
    for (;;) {
        if (*pattern == 0) return *name == 0 ? 0 : -1;
        if (IsShiftJisLeadByte(*pattern) && pattern[1] != 0) {
            // The pattern's trail byte is not zero, so an equal name byte
            // cannot be the name's end.
            if (name[0] != pattern[0] || name[1] != pattern[1]) return -1;
            name += 2;
            pattern += 2;
        } else if (*pattern == '*') {
            while (*pattern == '*') ++pattern;
            if (*pattern == 0) return 0;
            while (*name != 0 && *name != *pattern) ++name;
            if (*name == 0) return -1;
            ++name;
            ++pattern;
        } else if (*pattern == '?') {
            if (*name == 0) return -1;
            ++name;
            ++pattern;
        } else {
            if (*name != *pattern) return -1;
            ++name;
            ++pattern;
        }
        if ((*name == 0) != (*pattern == 0)) return -1;
    }
}
