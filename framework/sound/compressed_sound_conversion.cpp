// Stand-in until compressed WAVE and MP3 conversion are built.
// No data is of these kinds yet: each answers "not this kind".
#include "framework/sound/sound_converter_kinds.h"

int OpenAcmWave(SoundConverter*) { return -1; }

int OpenAcmMp3(SoundConverter*) { return -1; }
