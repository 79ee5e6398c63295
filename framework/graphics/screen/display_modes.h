// The display modes the display offers, as the framework lists them: only
// modes of 16-bit colour and more, kept on the process heap until the device
// ends.
#pragma once

struct DisplayModeRecord {
    int width;
    int height;
    int colorBits;
    int refreshRate;  // 0 or 1 for the hardware default
};

// Frees the old list and builds it again from the display settings into the
// two out-variables; a failed allocation leaves an empty list.
void ListDisplayModes(int* count, DisplayModeRecord** list);
// The number of listed modes; lists them on first use.
int GetDisplayModeCount();
// The mode at `index`; all four fields -1 for an index outside the list.
DisplayModeRecord GetDisplayModeEntry(int index);
// 1 when a listed mode has this width, height and colour bits, whatever its
// refresh rate; else 0.
int FindDisplayMode(int width, int height, int bits);
// Frees the list so that the next use lists the modes again.
void ForgetDisplayModes();
