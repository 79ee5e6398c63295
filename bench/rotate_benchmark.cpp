// The rotated blit against pixman and SDL_RenderCopyEx (transformed_draw_benchmark.h).
#include "bench/transformed_draw_benchmark.h"

int main(int argc, char** argv) {
    return drawbench::RunTransformedDrawBenchmarks(drawbench::Family::kRotate, argc, argv);
}
