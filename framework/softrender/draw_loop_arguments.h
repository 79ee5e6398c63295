// What the row loops of draw_loops.h are given: where a draw reads and
// writes, row by row, set up once per draw.
#pragma once

#include <cstddef>
#include <cstdint>

// The blit at a position: the first source pixel, mask byte and destination
// pixel of the drawn rectangle, each with its pitch.
struct BlitRows {
    const uint8_t* source;
    ptrdiff_t sourcePitch;
    const uint8_t* mask;  // null without a blend graphic
    ptrdiff_t maskPitch;
    uint8_t* dest;
    ptrdiff_t destPitch;
    int width;
    int height;
};

// The run codes of the rows a view shows, and the view's first column in
// its base: a view of part of a base reads the base's codes and keeps the
// part of each run that falls inside it.
struct RunCodeWindow {
    const uint8_t* firstRow;  // the codes of the view's first row
    const uint8_t* end;       // the end of the base's codes
    int left;                 // the view's first column in the base
    int baseWidth;
};

// Where one stretched draw starts and how it steps.
struct StretchRows {
    const uint8_t* source;  // the source row of the first drawn row, at the first sampled column
    ptrdiff_t sourceRowStep;  // negative when mirrored top to bottom
    const uint8_t* mask;    // the blend image at the same place, or null
    ptrdiff_t maskRowStep;
    // For each drawn pixel of a row, its source column counted from the first
    // sampled one (negative steps when mirrored left to right).
    const int32_t* columns;
    uint8_t* dest;          // the first drawn destination pixel
    ptrdiff_t destPitch;
    int width;              // drawn pixels per row
    int height;             // drawn rows
    int32_t stepY;          // destination rows per source row, 16.16
    int32_t startY;         // the y accumulator at the first drawn row
};

// The filled box: its top-left pixel, the destination's pitch and its size.
struct BoxRows {
    uint8_t* first;
    ptrdiff_t pitch;
    int width;
    int height;
};
