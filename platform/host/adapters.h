// The adapters the choice picks from. Private to platform/host; includes no
// SDL2 header.
#pragma once

#include "platform/host/host_audio.h"
#include "platform/host/host_input.h"
#include "platform/host/host_video.h"

namespace platform::host {

// Each start tries SDL2's part and returns its adapter, or null when that
// part cannot serve (and is left stopped); each stop ends the part.
VideoAdapter* StartSdlVideo();
void StopSdlVideo();
InputAdapter* StartSdlInput();
void StopSdlInput();
AudioAdapter* StartSdlAudio();
void StopSdlAudio();

// Puts the display's own mode back when SDL2's video left the display in a
// mode the program switched it to: a program's mode lasts only as long as
// the program. Run as the process ends, however it ends.
void PutBackSdlDisplayMode();

VideoAdapter& NullVideo();
InputAdapter& NullInput();
AudioAdapter& NullAudio();

}  // namespace platform::host
