// Writes an Ogg Theora movie with libtheora's encoder whose frames carry
// their own numbers, one page per frame, so that tests can follow frames
// across seeks and the loop point.
#pragma once

#include <string>

namespace movietest {

// 32x24 frames at 10 a second; frame N shows the bits of N (up to 4095) as
// twelve 8x8 blocks, white for 1 and black for 0, bit b at block column
// b % 4 and block row b / 4. A keyframe every `keyframeInterval` frames.
std::string WriteNumberedTheora(int frames, int keyframeInterval);
// The number shown by a 32x24 XRGB picture (rows `pitch` bytes apart).
int ReadFrameNumber(const unsigned char* pixels, int pitch);

}  // namespace movietest
