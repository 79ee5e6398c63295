#include "framework/graphics/font/font_handles.h"

// While the font system is not up there is no font to make, delete or watch.
int CreateFontToHandle(const char* fontName, int size, int thick, int fontType, int charSet,
                       int edgeSize, int italic, int handle) {
    return -1;
}

int DeleteFontHandle(int handle) { return -1; }

int SetFontDeleteFlagPointer(int handle, int* flag) { return -1; }
