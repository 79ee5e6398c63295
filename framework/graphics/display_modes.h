// The display modes the display offers, as the framework lists them.
#pragma once

struct DisplayModeEntry {
    int width;
    int height;
    int colorBits;
    int refreshRate;
};

// The number of modes of 16-bit colour and more; lists them on first use.
int GetDisplayModeCount();
// The mode at `index`; four -1 for an index outside the list.
DisplayModeEntry GetDisplayModeEntry(int index);
// Drops the list so that the next use lists the modes again.
void ForgetDisplayModes();
