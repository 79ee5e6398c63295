// Starting and ending the sound system: the DirectSound object, its
// cooperative level and primary format, the silent buffer that keeps the
// output running, the sound lock and the stream list, the device report in
// the log, and the stream thread.
#pragma once

#include "platform/dsound/dsound.h"

// 0, or -1 when sound is already started or the DirectSound object, its
// initialisation, the cooperative level or the primary buffer fails
// (logged; nothing is left behind). Start-up does not look at the result.
int InitSoundSystem();
// -1 when sound is not started; else stops the stream thread and waits for
// it, deletes every sound, releases DirectSound, logs its end and returns 0.
int TermSoundSystem();
// The device list's callback: logs one device. Returns 1 (go on).
BOOL CALLBACK EnumSoundDeviceCallback(GUID* guid, LPCSTR description, LPCSTR module, LPVOID context);
