// Font handles: making and deleting the framework's fonts, the default font,
// and the font system's start, reset, restore and end.
#pragma once

// A null or empty face takes the default face; -1 for size, thickness, font
// type, character set and edge size takes their defaults (16, 6, 0, 1, 1),
// and an edge size above 1 makes the font edged. Slot index and check value
// are -1 for a new handle, or the slot and check bits to make it under.
// Returns the new handle, or -1 when the font cannot be made.
int CreateFontToHandle(const char* fontName, int size, int thick, int fontType, int charSet, int edgeSize,
                       int italic, int slotIndex = -1, int checkValue = -1);
// -1 for a bad handle, else 0.
int DeleteFontHandle(int handle);
// Clears *flag now and sets it to 1 when the font is deleted; -1 for a bad
// handle, else 0.
int SetFontDeleteFlagPointer(int handle, int* flag);
// Copies the face (empty for the default face), size and thickness into the
// outputs that are not null.
int GetFontHandleInfo(char* fontName, int* size, int* thick, int handle);
// The size; -1 for a bad handle.
int GetFontSize(int handle);
int SetFontSpacing(int spacing, int handle);

int GetDefaultFontHandle();
// Size and thickness -1 take 16 and 6; the face is not used.
int SetDefaultFontSize(const char* fontName, int size, int thick);
// Re-makes the default font when its settings changed.
int RefreshDefaultFont();

// The graphics start's step: clears everything and makes the default font.
int InitFontSystem();
// Deletes every font and makes the default font again with its settings.
int ResetFontSystem();
// Deletes every font, the default one too. Returns 0.
int EndFontSystem();
// Re-makes every font under its old handle value and spacing, after the
// graphics device was rebuilt.
int RestoreFontHandles();

// 1 when the byte starts a two-byte character of the character set: for
// character set 2 the byte's top bit, for any other the Shift-JIS lead bytes
// (0x81 to 0x9F and 0xE0 to 0xFC).
int IsMultiByteLeadByte(const unsigned char* byte, int charSet);
