// The "imm32" library, which programs may load by name; none of its calls is
// looked up by name. And the input method's answer to the window system,
// which hands it the display's compositions and committed text.
#include "platform/imm/input_method_feed.h"
#include "platform/registrations.h"

namespace platform::imm {

void Register(Registrations& registrations) {
    registrations.AddLibrary("imm32");
    registrations.Upward().showComposition = ShowComposition;
    registrations.Upward().commitComposition = CommitComposition;
}

}  // namespace platform::imm
