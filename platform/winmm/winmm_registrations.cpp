// The "winmm" library, which programs may load by name; none of its calls is
// looked up by name.
#include "platform/registrations.h"

namespace platform::winmm {

void Register(Registrations& registrations) { registrations.AddLibrary("winmm"); }

}  // namespace platform::winmm
