// Stand-in until lights, camera and projection are built.
// There is no light table yet: no light can be made, so the default light
// stays none and there is nothing to send again.
#include "framework/graphics/light_table.h"

int DefaultLightHandle = -1;

int CreateDirectionalLight(float x, float y, float z) { return -1; }

int MarkLightsForResend() { return 0; }
