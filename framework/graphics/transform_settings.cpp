// The fog and transform parts of the draw settings.
#include "framework/graphics/draw_settings.h"

int SetFogMode(int mode) {
    CurrentDrawSettings.fogMode = mode;
    return 0;
}

int SetFogColor(int red, int green, int blue) {
    CurrentDrawSettings.fogColor = 0xFF000000u | (static_cast<uint32_t>(red) & 0xFF) << 16 |
                                   (static_cast<uint32_t>(green) & 0xFF) << 8 | (static_cast<uint32_t>(blue) & 0xFF);
    return 0;
}

int SetFogStartEnd(float start, float end) {
    CurrentDrawSettings.fogStart = start;
    CurrentDrawSettings.fogEnd = end;
    return 0;
}

int SetWorldMatrix(const MATRIX* matrix) {
    CurrentDrawSettings.worldMatrix = *matrix;
    return 0;
}

int SetViewMatrix(const MATRIX* matrix) {
    CurrentDrawSettings.viewMatrix = *matrix;
    return 0;
}

int SetProjectionMatrix(const MATRIX* matrix) {
    CurrentDrawSettings.projectionMatrix = *matrix;
    return 0;
}

int SetPostProjectionMatrix(const MATRIX* matrix) {
    CurrentDrawSettings.postProjectionMatrix = *matrix;
    return 0;
}

FLOAT4* MakeFloat4(FLOAT4* vector, float x, float y, float z, float w) {
    *vector = FLOAT4{x, y, z, w};
    return vector;
}
