// Writes Ogg Theora movies with libtheora's encoder, one page per frame:
// frames that carry their own numbers, so that tests can follow frames
// across seeks and the loop point, or colours.
#pragma once

#include <functional>
#include <string>

namespace movietest {

// 32x24 frames at 10 a second; frame N shows the bits of N (up to 4095) as
// twelve 8x8 blocks, white for 1 and black for 0, bit b at block column
// b % 4 and block row b / 4. A keyframe every `keyframeInterval` frames.
std::string WriteNumberedTheora(int frames, int keyframeInterval);
// The same frames (a keyframe every 8) with a sound track: `soundSamples`
// samples of a quiet tone at 22050 Hz, one channel, in Vorbis, whose stream
// comes first in the file. `editSetup`, when given, changes the Vorbis setup
// header before it is paged.
std::string WriteNumberedTheoraWithSound(int frames, int soundSamples,
                                         const std::function<std::string(const std::string&)>& editSetup = {});
// 32x24 4:2:0 frames at 10 a second (coded 32x32) whose luma and both chroma
// planes vary across the picture, each plane differently, so that a picture
// that mixes up planes or samples shows it.
std::string WriteColourTheora(int frames);
// The number shown by a 32x24 XRGB picture (rows `pitch` bytes apart).
int ReadFrameNumber(const unsigned char* pixels, int pitch);

}  // namespace movietest
