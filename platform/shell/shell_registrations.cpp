// The "shell32" library, which programs may load by name; none of its calls is
// looked up by name. And the shell's answer to the window system, which
// hands it the files dropped on a window.
#include "platform/registrations.h"
#include "platform/shell/dropped_files_feed.h"

namespace platform::shell {

void Register(Registrations& registrations) {
    registrations.AddLibrary("shell32");
    registrations.Upward().postDroppedFiles = PostDroppedFiles;
}

}  // namespace platform::shell
