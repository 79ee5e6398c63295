// Font handles: making and deleting the framework's fonts, and the font
// system's start and end.
#pragma once

// A face name of null takes the default face; -1 for the character set and
// the edge size takes their defaults, and a handle of -1 makes a new one.
// Returns the new handle, or -1 when the font cannot be made.
int CreateFontToHandle(const char* fontName, int size, int thick, int fontType, int charSet,
                       int edgeSize, int italic, int handle);
// -1 for a bad handle, else 0.
int DeleteFontHandle(int handle);
// Clears *flag now and sets it to 1 when the font is deleted; -1 for a bad
// handle, else 0.
int SetFontDeleteFlagPointer(int handle, int* flag);

// The graphics start's step: the default size 16 and thickness 6.
int StartFontSystem();
// Deletes every font. Returns 0.
int EndFontSystem();
// 1 when the byte starts a two-byte character of the character set: for
// character set 2 the byte's top bit, for any other the Shift-JIS lead bytes
// (0x81 to 0x9F and 0xE0 to 0xFC).
int IsMultiByteLeadByte(const unsigned char* byte, int charSet);
