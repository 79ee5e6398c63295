// The hardware draw pipeline: what it keeps for the length of one scene.
#pragma once

constexpr int kDrawPipelineSceneFlagCount = 3;
extern int DrawPipelineSceneFlags[kDrawPipelineSceneFlagCount];

// A new scene starts with every flag clear.
void ClearDrawPipelineSceneFlags();
