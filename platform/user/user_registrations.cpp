// The "user32" library, with the calls a program treats as possibly missing
// and so finds through GetProcAddress rather than linking to them.
#include "platform/registrations.h"
#include "platform/user/layered_window_record.h"

namespace platform::user {

void Register(Registrations& registrations) {
    registrations.AddLibrary("user32", {{"UpdateLayeredWindow", ExportEntry(&UpdateLayeredWindow)}});
}

}  // namespace platform::user
