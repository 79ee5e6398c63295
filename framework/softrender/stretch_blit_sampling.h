// The stretched blit's nearest-pixel sampling, driven by a 16.16 error
// accumulator in each direction.
#pragma once

#include <cstdint>

namespace stretch_rows {

// One move of an accumulator after a destination pixel or row: while it is 0
// or below it gains `step` and the source moves on. The strict rule goes on
// only while it is below 0, though it always takes the first move.
template <bool kStrict>
inline int Advance(int32_t& accumulator, int32_t step) {
    accumulator -= 65536;
    if (accumulator > 0) return 0;
    int moves = 0;
    do {
        accumulator += step;
        ++moves;
    } while (kStrict ? accumulator < 0 : accumulator <= 0);
    return moves;
}

}  // namespace stretch_rows

// Fills `columns` with the source column each of `count` drawn pixels shows,
// from the accumulator's start value, counted from the first sampled column;
// `direction` is -1 when mirrored.
template <bool kStrict>
void SampleColumns(int32_t* columns, int count, int32_t step, int32_t start, int direction) {
    int32_t accumulator = start;
    int32_t column = 0;
    for (int i = 0;;) {
        columns[i] = column;
        if (++i == count) break;
        column += direction * stretch_rows::Advance<kStrict>(accumulator, step);
    }
}
