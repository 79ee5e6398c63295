#include "framework/sound/sound_system_state.h"

IDirectSound* DirectSoundObject = nullptr;
