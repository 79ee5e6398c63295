// Placeholder sounds: effects as short PCM WAV files, music as Ogg Vorbis,
// each a tone whose pitch follows its name so that two sounds can be told
// apart by ear.
#pragma once

#include <string>

namespace placeholder {

inline constexpr int kSoundRate = 22050;
inline constexpr double kEffectSeconds = 0.25;
inline constexpr double kMusicSeconds = 2.0;

bool WriteEffectWav(const std::string& hostPath, const std::string& name);
bool WriteMusicOgg(const std::string& hostPath, const std::string& name);

}  // namespace placeholder
