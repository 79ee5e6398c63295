// The sound class that CoCreateInstance makes, there while the machine
// profile says it is installed, and the sound library with its device list.
#include "platform/dsound/sound_objects.h"
#include "platform/profile/machine_profile.h"
#include "platform/registrations.h"

namespace platform::dsound {

void Register(Registrations& registrations) {
    registrations.AddClass(CLSID_DirectSound, CreateDirectSound, [] { return Profile().sound.directSound; });
    registrations.AddLibrary("dsound", {{"DirectSoundEnumerateA", ExportEntry(&DirectSoundEnumerateA)}});
}

}  // namespace platform::dsound
