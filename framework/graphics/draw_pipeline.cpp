// Stand-in until the hardware draw of graphics is built.
// Nothing reads the flags yet; a new scene clears them all the same.
#include "framework/graphics/draw_pipeline.h"

int DrawPipelineSceneFlags[kDrawPipelineSceneFlagCount] = {};

void ClearDrawPipelineSceneFlags() {
    for (int& flag : DrawPipelineSceneFlags) flag = 0;
}
