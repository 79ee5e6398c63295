// Idle pollers: platform parts whose events do not come through a queue (the
// sockets) register a function here, and message retrieval calls every one
// of them each time a thread looks at its queue, before it looks. A poller
// turns what it finds into posted messages. Internal to the platform.
#pragma once

#include "platform/win_types.h"

namespace platform::detail {

// Registering the same function again changes nothing.
void RegisterMessagePoller(void (*poller)());
// What reaches a queue only when someone looks: the host's events (on the
// host's thread) and the pollers' sources. Message retrieval, and a wait on
// the queue, pull them in before they look at the queue; the pollers run in
// the order they were registered.
void PullMessageSources();
// The longest that a thread waiting on its queue may sleep before it pulls
// again (5 ms while anything is to be pulled on it, else INFINITE).
DWORD MillisecondsBetweenPulls();

}  // namespace platform::detail
