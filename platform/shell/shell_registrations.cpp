// The "shell32" library, which programs may load by name; none of its calls is
// looked up by name.
#include "platform/registrations.h"

namespace platform::shell {

void Register(Registrations& registrations) { registrations.AddLibrary("shell32"); }

}  // namespace platform::shell
