// The heap's allocation count, which the machine profile resets. Private to
// the platform.
#pragma once

namespace platform::detail {

void ResetHeapAccounting();

}  // namespace platform::detail
