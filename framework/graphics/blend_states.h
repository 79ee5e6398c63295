// The blend states of a hardware draw: the render and texture-stage states
// that the cached draw inputs come to.
#pragma once

// Sends the blend states the draw inputs ask for, when they are marked
// dirty or the force-set flag is on, and clears the marks. Returns 0.
int ApplyDrawBlendStates();
