// The "kernel32" library, which programs may load by name; none of its calls is
// looked up by name.
#include "platform/registrations.h"

namespace platform::kernel {

void Register(Registrations& registrations) { registrations.AddLibrary("kernel32"); }

}  // namespace platform::kernel
