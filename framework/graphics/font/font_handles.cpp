// Stand-in until fonts is built.
// The font system's state. No font can be made until font rendering exists,
// so there is never one to delete or watch.
#include "framework/graphics/font/font_handles.h"

#include "framework/base/base_functions.h"

namespace {

constexpr int kDefaultSize = 16;
constexpr int kDefaultThickness = 6;

int FontSystemStarted = 0;
int DefaultFontSize = kDefaultSize;
int DefaultFontThickness = kDefaultThickness;
int DefaultFontHandle = -1;

}  // namespace

int CreateFontToHandle(const char* fontName, int size, int thick, int fontType, int charSet,
                       int edgeSize, int italic, int handle) {
    return -1;
}

int DeleteFontHandle(int handle) { return -1; }

int SetFontDeleteFlagPointer(int handle, int* flag) { return -1; }

int StartFontSystem() {
    FontSystemStarted = 1;
    DefaultFontSize = kDefaultSize;
    DefaultFontThickness = kDefaultThickness;
    DefaultFontHandle = -1;
    return 0;
}

int EndFontSystem() {
    FontSystemStarted = 0;
    DefaultFontHandle = -1;
    return 0;
}

int IsMultiByteLeadByte(const unsigned char* byte, int charSet) {
    const unsigned char value = *byte;
    if (charSet == 2) return value >> 7;
    return IsShiftJisLeadByte(value) ? 1 : 0;
}
