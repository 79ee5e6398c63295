// Placeholder robot movies: real WMV files (ASF container, WMV8 video and
// WMA2 audio, 640x480, two seconds) written through FFmpeg's libraries, so
// that the game plays them by the road it takes for the real ones.
#pragma once

#include <string>

namespace placeholder {

inline constexpr int kMovieWidth = 640;
inline constexpr int kMovieHeight = 480;
inline constexpr int kMovieFramesPerSecond = 15;
inline constexpr int kMovieFrames = 30;

bool WriteMovieWmv(const std::string& hostPath, const std::string& name);

}  // namespace placeholder
