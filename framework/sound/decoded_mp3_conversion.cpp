// Stand-in until MP3 conversion through the filter graph is built.
// No data is of this kind yet: it answers "not this kind".
#include "framework/sound/sound_converter_kinds.h"

int OpenDecodedMp3(SoundConverter*) { return -1; }
