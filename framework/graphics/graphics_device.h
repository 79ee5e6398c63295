// The graphics device layer: the device objects that the rest of the framework
// asks about.
#pragma once

// The DirectDraw object, or null while there is none.
void* GetDirectDrawObject();
