// The three data formats the devices know. Devices tell them apart by
// address; the sizes are those of the states they describe.
#include "platform/dinput/dinput.h"

namespace {
constexpr DWORD kFormatSize = 24;   // the record's size in the 32-bit layout
constexpr DWORD kObjectSize = 16;   // one object description in that layout
constexpr DWORD kAbsoluteAxes = 1;  // the joystick's axes are positions
constexpr DWORD kRelativeAxes = 2;  // the mouse's are movements
}  // namespace

const DIDATAFORMAT c_dfDIKeyboard = {kFormatSize, kObjectSize, kRelativeAxes, 256, 256, nullptr};
const DIDATAFORMAT c_dfDIMouse2 = {kFormatSize, kObjectSize, kRelativeAxes, sizeof(DIMOUSESTATE2), 11, nullptr};
const DIDATAFORMAT c_dfDIJoystick = {kFormatSize, kObjectSize, kAbsoluteAxes, sizeof(DIJOYSTATE), 44, nullptr};
