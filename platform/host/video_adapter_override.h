// What tests put in force in place of the host's video adapter: an adapter
// of their own, which every use then finds instead of choosing one, with the
// calling thread as the host thread. Null, a stop of the video, or the
// machine's reset gives the choice back. Private to the platform (and to
// tests).
#pragma once

#include "platform/host/host_video.h"

namespace platform {

void OverrideHostVideo(VideoAdapter* adapter);

}  // namespace platform
