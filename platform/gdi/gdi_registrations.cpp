// The "gdi32" library, which programs may load by name; none of its calls is
// looked up by name. And user32's layered-window call, which programs find
// by name: it reads a device context's bitmap, so it lives here, above the
// window system.
#include "platform/gdi/layered_window.h"
#include "platform/registrations.h"

namespace platform::gdi {

void Register(Registrations& registrations) {
    registrations.AddLibrary("gdi32");
    registrations.AddLibrary("user32", {{"UpdateLayeredWindow", ExportEntry(&UpdateLayeredWindow)}});
}

}  // namespace platform::gdi
