// The drawing screen's size and colour depth as requested.
#pragma once

// The requested screen colour depth; 16 where none was set.
int GetScreenColorBitDepth();
// The drawing screen's width and height (either pointer may be null); 640 and
// 480 when no screen size has been set. Returns 0.
int GetMainScreenSize(int* width, int* height);
