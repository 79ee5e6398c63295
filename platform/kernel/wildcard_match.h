// Matching file names against the patterns of FindFirstFileA. Private to the
// platform.
#pragma once

#include <string>

namespace platform::detail {

// Whether the Shift-JIS `name` matches the Shift-JIS `pattern`: '*' stands
// for any run of characters (dots included, none at all too), '?' for
// exactly one character (a double-byte character is one), and ASCII letters
// match without regard to case; every other character matches only itself.
// As on Windows, a pattern that ends in ".*" also matches the name without
// that extension, so "*.*" matches every name and "readme.*" matches
// "readme". The other DOS-era rules ('?' matching nothing at the end of a
// name, "*." for names without an extension) are not taken up.
bool MatchesWildcard(const std::string& pattern, const std::string& name);

// True when the Shift-JIS text holds a '*' or a '?'.
bool HasWildcard(const std::string& text);

}  // namespace platform::detail
