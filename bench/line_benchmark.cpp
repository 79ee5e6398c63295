// Lines side by side with SDL2's software renderer (SDL_RenderDrawLine with
// its NONE, BLEND and ADD modes); pixman draws no lines.
//
// Every row draws the same sixteen lines on each side, a fan through the
// centre of a square at every sixteenth of a half turn, from horizontal
// through steep to nearly horizontal again: across a 32x32 square of a
// 640x480 frame, across the 640x480 frame, or across a 4096x4096 target; in
// 16-bit 5-6-5 or 32-bit pixels; a plain write (mode 0), a blend at
// parameter 128 (mode 1; SDL2 blends a colour of alpha 128) or a saturating
// add (mode 2 at 255). Speed is drawn megapixels per second.
//
// Before a side is timed each of its lines is checked once on its own: ours
// must give exactly the pixels of the line's closed form (pixel i lies i
// steps along the longer axis and floor(i x shorter / longer) steps along the
// other) under the literal reference of the blend rules; SDL2's pixels must lie
// next to the line, number about its length, and each be the operation on
// the colour within a library's rounding.
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/draw_settings.h"
#include "framework/softrender/line_draw.h"
// The literal reference of the tests, compiled into this program.
#include "tests/support/blend_reference.h"
#include "tests/support/reference_blit.h"
#include "bench/draw_benchmark_support.h"

namespace {

using namespace drawbench;

enum class Size { kSprite, kFrame, kTarget };
enum class Side { kOurs, kSdl };

struct Row {
    int depth;
    Size size;
    int mode;  // 0, 1 or 2
};

const char* SizeName(Size size) {
    switch (size) {
    case Size::kSprite: return "sprite32";
    case Size::kFrame: return "frame640x480";
    case Size::kTarget: return "target4096";
    }
    return "";
}

const char* ModeName(int mode) { return mode == 0 ? "plain" : mode == 1 ? "blend" : "add"; }

std::string RowName(const Row& row) {
    return std::string("line/") + std::to_string(row.depth) + "/" + SizeName(row.size) + "/" + ModeName(row.mode);
}

struct Geometry {
    int targetWidth, targetHeight;
    int left, top, side;  // the square the fan crosses
};

Geometry GeometryOf(const Row& row) {
    switch (row.size) {
    case Size::kSprite: return {640, 480, 100, 100, 32};
    case Size::kFrame: return {640, 480, 80, 0, 480};
    case Size::kTarget: return {4096, 4096, 0, 0, 4096};
    }
    return {};
}

struct Line {
    int x1, y1, x2, y2;
};

// The pixels around a line, where the check looks: its box widened by 2.
struct Around {
    int left, top, right, bottom;
};

Around AroundLine(const Line& l, int width, int height) {
    return {std::max(std::min(l.x1, l.x2) - 2, 0), std::max(std::min(l.y1, l.y2) - 2, 0),
            std::min(std::max(l.x1, l.x2) + 3, width), std::min(std::max(l.y1, l.y2) + 3, height)};
}

constexpr int kLines = 16;

std::vector<Line> Fan(const Geometry& g) {
    std::vector<Line> lines;
    const double c = g.left + (g.side - 1) / 2.0, m = g.top + (g.side - 1) / 2.0, r = (g.side - 1) / 2.0;
    for (int k = 0; k < kLines; ++k) {
        const double t = k * 3.14159265358979323846 / kLines;
        lines.push_back(Line{static_cast<int>(std::lround(c - r * std::cos(t))), static_cast<int>(std::lround(m - r * std::sin(t))),
                             static_cast<int>(std::lround(c + r * std::cos(t))), static_cast<int>(std::lround(m + r * std::sin(t)))});
    }
    return lines;
}

// The pixels a draw of the fan writes: each line's longer distance.
double FanPixels(const Geometry& g) {
    double pixels = 0;
    for (const Line& l : Fan(g)) pixels += std::max(std::abs(l.x2 - l.x1), std::abs(l.y2 - l.y1));
    return pixels;
}

constexpr int kBlendParam = 128;

Argb LineColour(const Row& row) {
    const Argb c = Quantised(Argb{255, 40, 200, 120}, row.depth);
    return Argb{row.mode == 1 ? uint32_t{kBlendParam} : 255u, c.r, c.g, c.b};
}

Argb DestColour(const Row& row, int x, int y) {
    const uint32_t h = Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 7);
    return Quantised(Argb{255, h & 0xFF, (h >> 8) & 0xFF, (h >> 16) & 0xFF}, row.depth);
}

Combine CombineOf(int mode) { return mode == 0 ? Combine::kCopy : mode == 1 ? Combine::kBlend : Combine::kAdd; }

// ---- Our side ------------------------------------------------------------

struct OurScene {
    std::unique_ptr<TestImage> dest;
    std::vector<Line> lines;
    uint32_t colour;
};

void ResetOurDest(const Row& row, MEMIMG* dest, const Around& a) {
    for (int y = a.top; y < a.bottom; ++y)
        for (int x = a.left; x < a.right; ++x) WriteTestPixel(dest, x, y, ToPixel(DestColour(row, x, y), row.depth));
}

std::unique_ptr<OurScene> MakeOurScene(const Row& row, const Geometry& g) {
    auto scene = std::make_unique<OurScene>();
    scene->dest = MakeTestImage(g.targetWidth, g.targetHeight, row.depth == 16 ? kMemImgColor565 : kMemImgColor32);
    ResetOurDest(row, scene->dest->get(), Around{0, 0, g.targetWidth, g.targetHeight});
    scene->lines = Fan(g);
    scene->colour = ToPixel(LineColour(row), row.depth);
    CurrentDrawSettings.blendMode = row.mode;
    CurrentDrawSettings.blendParam = row.mode == 1 ? kBlendParam : 255;
    CurrentDrawSettings.brightColor = 0xFFFFFF;
    CurrentDrawSettings.drawArea = RECT{0, 0, g.targetWidth, g.targetHeight};
    return scene;
}

void DrawOurs(OurScene& scene) {
    for (const Line& l : scene.lines)
        LineMemImg(scene.dest->get(), l.x1, l.y1, l.x2, l.y2, scene.colour, CurrentDrawSettings);
}

// Each line alone against its closed form under the reference's blend.
bool CheckOurs(const Row& row, OurScene& scene, std::string* why) {
    ReferenceDraw draw;
    draw.depth = row.depth;
    draw.mode = row.mode;
    draw.p = row.mode == 1 ? kBlendParam : 255;
    draw.family.brightBeforeMask = true;
    draw.family.fineGreen = true;
    MEMIMG* dest = scene.dest->get();
    for (const Line& l : scene.lines) {
        LineMemImg(dest, l.x1, l.y1, l.x2, l.y2, scene.colour, CurrentDrawSettings);
        const int dx = std::abs(l.x2 - l.x1), dy = std::abs(l.y2 - l.y1);
        const int sx = l.x2 < l.x1 ? -1 : 1, sy = l.y2 < l.y1 ? -1 : 1;
        const int major = std::max(dx, dy), minor = std::min(dx, dy);
        const Around a = AroundLine(l, dest->width, dest->height);
        const int aroundWidth = a.right - a.left;
        std::vector<bool> on(static_cast<size_t>(aroundWidth) * (a.bottom - a.top));
        for (int i = 0; i < major; ++i) {
            const int along = i, across = static_cast<int>(static_cast<int64_t>(i) * minor / major);
            const int x = l.x1 + sx * (dx >= dy ? along : across), y = l.y1 + sy * (dx >= dy ? across : along);
            on[static_cast<size_t>(y - a.top) * aroundWidth + (x - a.left)] = true;
        }
        for (int y = a.top; y < a.bottom; ++y)
            for (int x = a.left; x < a.right; ++x) {
                const uint32_t before = ToPixel(DestColour(row, x, y), row.depth);
                const uint32_t expected = on[static_cast<size_t>(y - a.top) * aroundWidth + (x - a.left)]
                                              ? ReferenceBlend(draw, scene.colour, nullptr, before)
                                              : before;
                if (ReadTestPixel(dest, x, y) != expected) {
                    *why = "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") differs from the reference";
                    return false;
                }
            }
        ResetOurDest(row, dest, a);
    }
    return true;
}

// ---- SDL2 ----------------------------------------------------------------

struct SdlScene {
    SDL_Surface* dest = nullptr;
    SDL_Renderer* renderer = nullptr;
    std::vector<Line> lines;
    ~SdlScene() {
        if (renderer) SDL_DestroyRenderer(renderer);
        SDL_FreeSurface(dest);
    }
};

void ResetSdlDest(const Row& row, SDL_Surface* dest, const Around& a) {
    for (int y = a.top; y < a.bottom; ++y)
        for (int x = a.left; x < a.right; ++x) PutSdlPixel(dest, x, y, DestColour(row, x, y));
}

std::unique_ptr<SdlScene> MakeSdlScene(const Row& row, const Geometry& g) {
    auto scene = std::make_unique<SdlScene>();
    scene->dest = SDL_CreateRGBSurfaceWithFormat(0, g.targetWidth, g.targetHeight, row.depth, SdlFormat(row.depth));
    ResetSdlDest(row, scene->dest, Around{0, 0, g.targetWidth, g.targetHeight});
    scene->renderer = SDL_CreateSoftwareRenderer(scene->dest);
    const Argb c = LineColour(row);
    SDL_SetRenderDrawBlendMode(scene->renderer, row.mode == 0   ? SDL_BLENDMODE_NONE
                                                : row.mode == 1 ? SDL_BLENDMODE_BLEND
                                                                : SDL_BLENDMODE_ADD);
    SDL_SetRenderDrawColor(scene->renderer, static_cast<Uint8>(c.r), static_cast<Uint8>(c.g), static_cast<Uint8>(c.b),
                           static_cast<Uint8>(c.a));
    scene->lines = Fan(g);
    return scene;
}

void DrawSdl(SdlScene& scene) {
    for (const Line& l : scene.lines) SDL_RenderDrawLine(scene.renderer, l.x1, l.y1, l.x2, l.y2);
    SDL_RenderFlush(scene.renderer);
}

// Each line alone: its changed pixels lie within a pixel of the segment, are
// the operation on the colour, and are about as many as the line is long.
bool CheckSdl(const Row& row, SdlScene& scene, std::string* why) {
    for (const Line& l : scene.lines) {
        SDL_RenderDrawLine(scene.renderer, l.x1, l.y1, l.x2, l.y2);
        SDL_RenderFlush(scene.renderer);
        const double ex = l.x2 - l.x1, ey = l.y2 - l.y1, length = std::hypot(ex, ey);
        int changed = 0;
        const Around a = AroundLine(l, scene.dest->w, scene.dest->h);
        for (int y = a.top; y < a.bottom; ++y)
            for (int x = a.left; x < a.right; ++x) {
                const Argb before = DestColour(row, x, y), got = GetSdlPixel(scene.dest, x, y);
                if (got.r == before.r && got.g == before.g && got.b == before.b) continue;
                ++changed;
                const double t = std::clamp(((x - l.x1) * ex + (y - l.y1) * ey) / (length * length), 0.0, 1.0);
                const double distance = std::hypot(x - (l.x1 + t * ex), y - (l.y1 + t * ey));
                if (distance > 1.0 || !NearCombined(row.depth, CombineOf(row.mode), LineColour(row), before, got)) {
                    *why = "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is not the line's";
                    return false;
                }
            }
        // A blended pixel may come out as it was; a line of n pixels changes
        // nearly all of them.
        const int pixels = std::max(std::abs(l.x2 - l.x1), std::abs(l.y2 - l.y1));
        if (changed < pixels - pixels / 50 - 1) {
            *why = "a line of " + std::to_string(changed) + " pixels is too short";
            return false;
        }
        ResetSdlDest(row, scene.dest, a);
    }
    return true;
}

// ---- The benchmarks ------------------------------------------------------

void RunSide(benchmark::State& state, Row row, Side side) {
    const Geometry g = GeometryOf(row);
    const std::string name = RowName(row) + (side == Side::kOurs ? "/ours" : "/sdl2");
    bool check = false;
    if (!StartSide(state, name, &check)) return;
    std::string why;
    if (side == Side::kOurs) {
        auto scene = MakeOurScene(row, g);
        if (check && !CheckOurs(row, *scene, &why)) return Fail(state, name, why);
        for (auto _ : state) {
            DrawOurs(*scene);
            benchmark::ClobberMemory();
        }
    } else {
        auto scene = MakeSdlScene(row, g);
        if (check && !CheckSdl(row, *scene, &why)) return Fail(state, name, why);
        for (auto _ : state) {
            DrawSdl(*scene);
            benchmark::ClobberMemory();
        }
    }
    SetRate(state, FanPixels(g));
}

}  // namespace

int main(int argc, char** argv) {
    StartDrawBenchmark(&argc, argv);
    std::vector<std::string> names;
    for (const int depth : {16, 32})
        for (const Size size : {Size::kSprite, Size::kFrame, Size::kTarget})
            for (const int mode : {0, 1, 2}) {
                const Row row{depth, size, mode};
                names.push_back(RowName(row));
                for (const Side side : {Side::kOurs, Side::kSdl})
                    benchmark::RegisterBenchmark(
                        (RowName(row) + (side == Side::kOurs ? "/ours" : "/sdl2")).c_str(),
                        [row, side](benchmark::State& state) { RunSide(state, row, side); })
                        ->Unit(benchmark::kMicrosecond);
            }
    benchmark::Initialize(&argc, argv);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintTable(reporter, names, {"sdl2"}, false);
    benchmark::Shutdown();
    return 0;
}
