// The "user32" library, which programs may load by name. Its one call that
// programs find through GetProcAddress, UpdateLayeredWindow, reads a device
// context, so platform/gdi adds it (gdi_registrations.cpp). And the window
// system's answer to the host's test hooks: which display window shows a
// window.
#include "platform/registrations.h"
#include "platform/user/host_display.h"

namespace platform::user {

void Register(Registrations& registrations) {
    registrations.AddLibrary("user32");
    registrations.Upward().shownWindowOf = detail::HostWindowOf;
}

}  // namespace platform::user
