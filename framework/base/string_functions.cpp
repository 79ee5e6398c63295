// Zero-terminated Shift-JIS strings: copying, appending and comparing treat
// them as plain bytes; the character search and the upper-casing step over
// two-byte characters so that their second bytes are never mistaken for '\',
// '/', '.' or a lower-case letter.
#include "framework/base/base_functions.h"

void CopyString(char* destination, const char* source) {
    while ((*destination++ = *source++) != '\0') {
    }
}

void AppendString(char* destination, const char* source) {
    while (*destination != '\0') ++destination;
    CopyString(destination, source);
}

const char* FindCharInMultiByteString(const char* string, int value) {
    const unsigned char wanted = static_cast<unsigned char>(value);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(string);
    while (*p != 0) {
        if (IsShiftJisLeadByte(*p)) {
            // A lead byte just before the terminator has no second byte: the
            // scan ends there rather than stepping over the terminator.
            if (p[1] == 0) return nullptr;
            p += 2;
            continue;
        }
        if (*p == wanted) return reinterpret_cast<const char*>(p);
        ++p;
    }
    return nullptr;
}

int CompareStrings(const char* a, const char* b) {
    for (;; ++a, ++b) {
        if (*a != *b) return 1;
        if (*a == '\0') return 0;
    }
}

void UpperCaseMultiByteString(char* string) {
    unsigned char* p = reinterpret_cast<unsigned char*>(string);
    while (*p != 0) {
        if (IsShiftJisLeadByte(*p)) {
            if (p[1] == 0) return;  // lone lead byte: stop at the terminator
            p += 2;
            continue;
        }
        if (*p >= 'a' && *p <= 'z') *p = static_cast<unsigned char>(*p - 0x20);
        ++p;
    }
}

int CompareStringPrefix(const char* a, const char* b, int count) {
    if (count == 0) return 0;
    if (count < 0) return 1;
    // Exactly `count` bytes, terminators included: callers compare a path with
    // a prefix whose length they know.
    for (int i = 0; i < count; ++i)
        if (a[i] != b[i]) return 1;
    return 0;
}
