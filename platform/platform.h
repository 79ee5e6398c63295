// Everything the framework sees of the platform: the Windows-shaped types and
// calls of every interface that exists so far.
#pragma once

#include "platform/win_types.h"
#include "platform/kernel/kernel.h"
#include "platform/winmm/winmm.h"
#include "platform/user/user.h"
#include "platform/gdi/gdi.h"
#include "platform/shell/shell.h"
#include "platform/imm/imm.h"
#include "platform/com/com.h"
#include "platform/winsock/winsock.h"
#include "platform/dinput/dinput.h"
#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/ddraw.h"
