// The wildcard matcher over Shift-JIS names, character by character (a
// double-byte character is one), and the rule that a pattern ending in ".*"
// also matches a name without an extension.
#include "platform/kernel/wildcard_match.h"

#include <cstdint>
#include <vector>

#include "platform/kernel/shift_jis.h"

namespace platform::detail {
namespace {

constexpr uint32_t kAnyRun = 0x10000;  // outside the range of characters
constexpr uint32_t kAnyOne = 0x10001;

// The text as characters: ASCII letters folded to lower case, a double-byte
// character as lead * 256 + trail (at least 0x8100, clear of single bytes).
// In a pattern, '*' and '?' become the two wildcard codes.
std::vector<uint32_t> Characters(const std::string& text, bool isPattern) {
    std::vector<uint32_t> characters;
    characters.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (IsShiftJisLeadByte(byte) && i + 1 < text.size()) {
            characters.push_back(byte * 256u + static_cast<unsigned char>(text[++i]));
        } else if (isPattern && byte == '*') {
            characters.push_back(kAnyRun);
        } else if (isPattern && byte == '?') {
            characters.push_back(kAnyOne);
        } else {
            characters.push_back(byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte);
        }
    }
    return characters;
}

// The usual matcher with one remembered '*': on a mismatch the last '*'
// swallows one more character and matching resumes behind it. Linear in
// practice, at most pattern length × name length.
bool Matches(const std::vector<uint32_t>& pattern, const std::vector<uint32_t>& name) {
    size_t p = 0, n = 0;
    size_t starAt = SIZE_MAX, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == kAnyRun) {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() && (pattern[p] == kAnyOne || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starAt != SIZE_MAX) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == kAnyRun) ++p;
    return p == pattern.size();
}

}  // namespace

bool MatchesWildcard(const std::string& pattern, const std::string& name) {
    std::vector<uint32_t> wanted = Characters(pattern, true);
    const std::vector<uint32_t> characters = Characters(name, false);
    if (Matches(wanted, characters)) return true;
    const size_t size = wanted.size();
    if (size >= 2 && wanted[size - 2] == '.' && wanted[size - 1] == kAnyRun) {
        wanted.resize(size - 2);
        return Matches(wanted, characters);
    }
    return false;
}

bool HasWildcard(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (IsShiftJisLeadByte(byte) && i + 1 < text.size())
            ++i;
        else if (byte == '*' || byte == '?')
            return true;
    }
    return false;
}

}  // namespace platform::detail
