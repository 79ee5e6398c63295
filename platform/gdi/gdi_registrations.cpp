// The "gdi32" library, which programs may load by name; none of its calls is
// looked up by name.
#include "platform/registrations.h"

namespace platform::gdi {

void Register(Registrations& registrations) { registrations.AddLibrary("gdi32"); }

}  // namespace platform::gdi
