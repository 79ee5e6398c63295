// Idle pollers: platform parts whose events do not come through a queue (the
// sockets) register a function here, and message retrieval calls every one
// of them each time a thread looks at its queue, before it looks. A poller
// turns what it finds into posted messages. Internal to the platform.
#pragma once

namespace platform::detail {

// Registering the same function again changes nothing.
void RegisterMessagePoller(void (*poller)());
// Calls every registered poller, in the order they were registered.
void RunMessagePollers();
// Whether any poller is registered: a thread waiting for messages then looks
// again after a short while instead of sleeping until something is posted.
bool HaveMessagePollers();

}  // namespace platform::detail
