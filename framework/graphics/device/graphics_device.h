// The graphics device layer: the device objects that the rest of the framework
// asks about.
#pragma once

struct IDirectDraw7;

// The DirectDraw object, which paces the software path by the vertical
// blank; null while the device layer is down.
IDirectDraw7* GetDirectDrawObject();
