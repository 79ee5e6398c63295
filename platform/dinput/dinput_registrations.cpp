// The two DirectInput classes that CoCreateInstance makes, each there only
// while the machine profile says that version is installed.
#include "platform/dinput/input_objects.h"
#include "platform/profile/machine_profile.h"
#include "platform/registrations.h"

namespace platform::dinput {

void Register(Registrations& registrations) {
    registrations.AddClass(CLSID_DirectInput, CreateDirectInput7, [] { return Profile().input.directInput7; });
    registrations.AddClass(CLSID_DirectInput8, CreateDirectInput8, [] { return Profile().input.directInput8; });
}

}  // namespace platform::dinput
