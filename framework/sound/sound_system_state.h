// The sound system's state that every sound component reads.
#pragma once

#include "platform/dsound/dsound.h"

// The DirectSound object; null while the sound system is not started.
extern IDirectSound* DirectSoundObject;
