// The textured four-corner draw against pixman and SDL_RenderGeometry
// (transformed_draw_benchmark.h).
#include "bench/transformed_draw_benchmark.h"

int main(int argc, char** argv) {
    return drawbench::RunTransformedDrawBenchmarks(drawbench::Family::kQuad, argc, argv);
}
