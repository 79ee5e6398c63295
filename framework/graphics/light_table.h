// The lights of the 3D state, kept under light handles.
#pragma once

// The light the settings reset makes, or -1.
extern int DefaultLightHandle;

// A new directional light shining along (x, y, z) made unit length, or -1.
int CreateDirectionalLight(float x, float y, float z);
// Asks for every light to be sent to the device again at the next lit draw.
int MarkLightsForResend();
