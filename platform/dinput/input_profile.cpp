// The input side of the machine profile.
#include "platform/dinput/input_profile.h"

#include "platform/host/host_input.h"

namespace platform {

InputProfile& Input() {
    static InputProfile* profile = new InputProfile;  // read by threads still running at exit
    return *profile;
}

void ResetInputProfile() {
    StopHostInput();
    Input() = InputProfile{};
}

}  // namespace platform
