// The "imm32" library, which programs may load by name; none of its calls is
// looked up by name.
#include "platform/registrations.h"

namespace platform::imm {

void Register(Registrations& registrations) { registrations.AddLibrary("imm32"); }

}  // namespace platform::imm
