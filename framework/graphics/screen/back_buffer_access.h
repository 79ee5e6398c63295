// Reading the pixels of the current draw target from the CPU, and copying a
// rectangle of it into a graphic.
#pragma once

struct PixelImage;

// Locks the rectangle (left, top, right, bottom) of the current draw target
// for reading and describes its pixels in `image`, whose pixels stay the
// target's (or a copy's) until UnlockBackBuffer. -1 for a rectangle outside
// the target or empty, for a failed copy, or while a lock is held.
int LockBackBuffer(const int* rect, PixelImage* image);
// Ends the lock; nothing when nothing is locked. Returns 0.
int UnlockBackBuffer();
// 1 while a lock made through a copy in system memory is held.
int IsBackBufferLockCopied();
