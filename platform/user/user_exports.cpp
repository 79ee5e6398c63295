// The "user32" calls found through GetProcAddress: ones a program treats as
// possibly missing, so it never links to them directly.
#include "platform/user/user_exports.h"

#include "platform/user/layered_window_record.h"

namespace platform::detail {

const NamedExport* UserExports(size_t& count) {
    static const NamedExport entries[] = {
        {"UpdateLayeredWindow", reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&UpdateLayeredWindow))},
    };
    count = sizeof(entries) / sizeof(entries[0]);
    return entries;
}

}  // namespace platform::detail
