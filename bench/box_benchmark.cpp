// The filled box side by side with pixman (pixman_fill, and a composite with a
// solid source: OVER, ADD and MULTIPLY) and SDL2 (SDL_FillRect, and the
// software renderer's fill with its BLEND, ADD and MOD modes).
//
// Every row fills the same rectangle of the same image with one colour:
// 16-bit 5-6-5 or 32-bit pixels; a 32x32 box in a 640x480 frame, the whole
// 640x480 frame, or the whole of a 4096x4096 target; the plain fill (mode 0),
// the blend toward the colour at parameter 128 (mode 1; the libraries blend a
// colour of alpha 128), the saturating add (mode 2 at 255) or the multiply
// (mode 4). Speed is filled megapixels per second.
//
// Before a side is timed its pixels are checked once: ours must equal the
// literal reference of the blend rules exactly; every side must give each
// pixel of the box the operation's value within a library's rounding and
// leave every other pixel as it was.
#include <pixman.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/draw_settings.h"
#include "framework/softrender/fill_box.h"
// The literal reference of the tests, compiled into this program.
#include "tests/support/blend_reference.h"
#include "tests/support/reference_blit.h"
#include "bench/draw_benchmark_support.h"

namespace {

using namespace drawbench;

enum class Size { kSprite, kFrame, kTarget };
enum class Side { kOurs, kPixman, kSdl };

struct Row {
    int depth;
    Size size;
    int mode;  // 0, 1, 2 or 4
};

const char* SizeName(Size size) {
    switch (size) {
    case Size::kSprite: return "sprite32";
    case Size::kFrame: return "frame640x480";
    case Size::kTarget: return "target4096";
    }
    return "";
}

const char* ModeName(int mode) {
    switch (mode) {
    case 0: return "fill";
    case 1: return "blend";
    case 2: return "add";
    case 4: return "multiply";
    }
    return "";
}

const char* SideName(Side side) {
    switch (side) {
    case Side::kOurs: return "ours";
    case Side::kPixman: return "pixman";
    case Side::kSdl: return "sdl2";
    }
    return "";
}

std::string RowName(const Row& row) {
    return std::string("box/") + std::to_string(row.depth) + "/" + SizeName(row.size) + "/" + ModeName(row.mode);
}

// The image and the filled rectangle.
struct Geometry {
    int targetWidth, targetHeight;
    int x, y, width, height;
};

Geometry GeometryOf(const Row& row) {
    switch (row.size) {
    case Size::kSprite: return {640, 480, 100, 100, 32, 32};
    case Size::kFrame: return {640, 480, 0, 0, 640, 480};
    case Size::kTarget: return {4096, 4096, 0, 0, 4096, 4096};
    }
    return {};
}

constexpr int kBlendParam = 128;

// The fill colour, with the alpha the libraries blend it by.
Argb FillColour(const Row& row) {
    const Argb c = Quantised(Argb{255, 200, 120, 40}, row.depth);
    return Argb{row.mode == 1 ? uint32_t{kBlendParam} : 255u, c.r, c.g, c.b};
}

Combine CombineOf(int mode) {
    switch (mode) {
    case 1: return Combine::kBlend;
    case 2: return Combine::kAdd;
    case 4: return Combine::kMultiply;
    }
    return Combine::kCopy;
}

Argb DestColour(const Row& row, int x, int y) {
    const uint32_t h = Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 7);
    return Quantised(Argb{255, h & 0xFF, (h >> 8) & 0xFF, (h >> 16) & 0xFF}, row.depth);
}

// Every pixel of the image: inside the box the operation on the colour,
// outside the pixel as it was.
template <typename Read>
bool CheckFill(const Row& row, const Geometry& g, Read read, std::string* why) {
    const Argb colour = FillColour(row);
    for (int y = 0; y < g.targetHeight; ++y) {
        for (int x = 0; x < g.targetWidth; ++x) {
            const bool inside = x >= g.x && x < g.x + g.width && y >= g.y && y < g.y + g.height;
            const Argb before = DestColour(row, x, y);
            const Argb got = read(x, y);
            const bool ok = inside ? NearCombined(row.depth, CombineOf(row.mode), colour, before, got)
                                   : got.r == before.r && got.g == before.g && got.b == before.b;
            if (!ok) {
                char text[160];
                std::snprintf(text, sizeof text, "pixel (%d, %d): %u,%u,%u became %u,%u,%u", x, y, before.r, before.g,
                              before.b, got.r, got.g, got.b);
                *why = text;
                return false;
            }
        }
    }
    return true;
}

// ---- Our side ------------------------------------------------------------

struct OurScene {
    std::unique_ptr<TestImage> dest;
    RECT rect;
    uint32_t colour;
};

std::unique_ptr<OurScene> MakeOurScene(const Row& row, const Geometry& g) {
    auto scene = std::make_unique<OurScene>();
    scene->dest = MakeTestImage(g.targetWidth, g.targetHeight, row.depth == 16 ? kMemImgColor565 : kMemImgColor32);
    for (int y = 0; y < g.targetHeight; ++y)
        for (int x = 0; x < g.targetWidth; ++x)
            WriteTestPixel(scene->dest->get(), x, y, ToPixel(DestColour(row, x, y), row.depth));
    scene->rect = RECT{g.x, g.y, g.x + g.width, g.y + g.height};
    scene->colour = ToPixel(FillColour(row), row.depth);
    CurrentDrawSettings.blendMode = row.mode;
    CurrentDrawSettings.blendParam = row.mode == 1 ? kBlendParam : 255;
    CurrentDrawSettings.brightColor = 0xFFFFFF;
    CurrentDrawSettings.drawArea = RECT{0, 0, g.targetWidth, g.targetHeight};
    return scene;
}

bool CheckOurs(const Row& row, const Geometry& g, OurScene& scene, std::string* why) {
    FillBoxMemImg(scene.dest->get(), &scene.rect, scene.colour, CurrentDrawSettings);
    ReferenceDraw draw;
    draw.depth = row.depth;
    draw.mode = row.mode;
    draw.p = row.mode == 1 ? kBlendParam : 255;
    draw.family.brightBeforeMask = true;
    draw.family.fineGreen = true;
    for (int y = g.y; y < g.y + g.height; ++y)
        for (int x = g.x; x < g.x + g.width; ++x) {
            const uint32_t expected = ReferenceBlend(draw, scene.colour, nullptr, ToPixel(DestColour(row, x, y), row.depth));
            if (ReadTestPixel(scene.dest->get(), x, y) != expected) {
                *why = "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") differs from the reference";
                return false;
            }
        }
    return CheckFill(row, g, [&](int x, int y) { return FromPixel(ReadTestPixel(scene.dest->get(), x, y), row.depth); },
                     why);
}

// ---- pixman --------------------------------------------------------------

struct PixmanScene {
    std::vector<uint32_t> memory;
    int stride = 0;  // bytes
    pixman_image_t* dest = nullptr;
    pixman_image_t* solid = nullptr;
    ~PixmanScene() {
        if (dest) pixman_image_unref(dest);
        if (solid) pixman_image_unref(solid);
    }
};

std::unique_ptr<PixmanScene> MakePixmanScene(const Row& row, const Geometry& g) {
    auto scene = std::make_unique<PixmanScene>();
    scene->stride = row.depth == 32 ? g.targetWidth * 4 : (g.targetWidth * 2 + 3) / 4 * 4;
    scene->memory.assign(static_cast<size_t>(scene->stride / 4) * g.targetHeight, 0);
    uint8_t* bytes = reinterpret_cast<uint8_t*>(scene->memory.data());
    for (int y = 0; y < g.targetHeight; ++y)
        for (int x = 0; x < g.targetWidth; ++x) {
            const uint32_t v = ToPixel(DestColour(row, x, y), row.depth);
            std::memcpy(bytes + y * scene->stride + x * (row.depth / 8), &v, row.depth / 8);
        }
    scene->dest = pixman_image_create_bits(row.depth == 16 ? PIXMAN_r5g6b5 : PIXMAN_x8r8g8b8, g.targetWidth,
                                           g.targetHeight, scene->memory.data(), scene->stride);
    // The solid colour, premultiplied, in 16-bit channels.
    const Argb c = FillColour(row);
    const auto channel = [&](uint32_t v) { return static_cast<uint16_t>((v * c.a + 127) / 255 * 257); };
    const pixman_color_t colour{channel(c.r), channel(c.g), channel(c.b), static_cast<uint16_t>(c.a * 257)};
    scene->solid = pixman_image_create_solid_fill(&colour);
    return scene;
}

void DrawPixman(const Row& row, const Geometry& g, PixmanScene& scene) {
    if (row.mode == 0) {
        pixman_fill(scene.memory.data(), scene.stride / 4, row.depth, g.x, g.y, g.width, g.height,
                    ToPixel(FillColour(row), row.depth));
        return;
    }
    const pixman_op_t op = row.mode == 1 ? PIXMAN_OP_OVER : row.mode == 2 ? PIXMAN_OP_ADD : PIXMAN_OP_MULTIPLY;
    pixman_image_composite32(op, scene.solid, nullptr, scene.dest, 0, 0, 0, 0, g.x, g.y, g.width, g.height);
}

Argb ReadPixman(const Row& row, const PixmanScene& scene, int x, int y) {
    uint32_t v = 0;
    std::memcpy(&v, reinterpret_cast<const uint8_t*>(scene.memory.data()) + y * scene.stride + x * (row.depth / 8),
                row.depth / 8);
    return FromPixel(v, row.depth);
}

// ---- SDL2 ----------------------------------------------------------------

struct SdlScene {
    SDL_Surface* dest = nullptr;
    SDL_Renderer* renderer = nullptr;
    ~SdlScene() {
        if (renderer) SDL_DestroyRenderer(renderer);
        SDL_FreeSurface(dest);
    }
};

std::unique_ptr<SdlScene> MakeSdlScene(const Row& row, const Geometry& g) {
    auto scene = std::make_unique<SdlScene>();
    scene->dest = SDL_CreateRGBSurfaceWithFormat(0, g.targetWidth, g.targetHeight, row.depth, SdlFormat(row.depth));
    for (int y = 0; y < g.targetHeight; ++y)
        for (int x = 0; x < g.targetWidth; ++x) PutSdlPixel(scene->dest, x, y, DestColour(row, x, y));
    if (row.mode != 0) {
        scene->renderer = SDL_CreateSoftwareRenderer(scene->dest);
        const Argb c = FillColour(row);
        SDL_SetRenderDrawBlendMode(scene->renderer, row.mode == 1   ? SDL_BLENDMODE_BLEND
                                                    : row.mode == 2 ? SDL_BLENDMODE_ADD
                                                                    : SDL_BLENDMODE_MOD);
        SDL_SetRenderDrawColor(scene->renderer, static_cast<Uint8>(c.r), static_cast<Uint8>(c.g),
                               static_cast<Uint8>(c.b), static_cast<Uint8>(c.a));
    }
    return scene;
}

void DrawSdl(const Row& row, const Geometry& g, SdlScene& scene) {
    const SDL_Rect rect{g.x, g.y, g.width, g.height};
    if (row.mode == 0) {
        SDL_FillRect(scene.dest, &rect, SDL_MapRGB(scene.dest->format, static_cast<Uint8>(FillColour(row).r),
                                                   static_cast<Uint8>(FillColour(row).g),
                                                   static_cast<Uint8>(FillColour(row).b)));
        return;
    }
    SDL_RenderFillRect(scene.renderer, &rect);
    SDL_RenderFlush(scene.renderer);
}

// ---- The benchmarks ------------------------------------------------------

void RunSide(benchmark::State& state, Row row, Side side) {
    const Geometry g = GeometryOf(row);
    const std::string name = RowName(row) + "/" + SideName(side);
    bool check = false;
    if (!StartSide(state, name, &check)) return;
    std::string why;
    switch (side) {
    case Side::kOurs: {
        auto scene = MakeOurScene(row, g);
        if (check && !CheckOurs(row, g, *scene, &why)) return Fail(state, name, why);
        for (auto _ : state) {
            FillBoxMemImg(scene->dest->get(), &scene->rect, scene->colour, CurrentDrawSettings);
            benchmark::ClobberMemory();
        }
        break;
    }
    case Side::kPixman: {
        auto scene = MakePixmanScene(row, g);
        if (check) {
            DrawPixman(row, g, *scene);
            if (!CheckFill(row, g, [&](int x, int y) { return ReadPixman(row, *scene, x, y); }, &why))
                return Fail(state, name, why);
        }
        for (auto _ : state) {
            DrawPixman(row, g, *scene);
            benchmark::ClobberMemory();
        }
        break;
    }
    case Side::kSdl: {
        auto scene = MakeSdlScene(row, g);
        if (check) {
            DrawSdl(row, g, *scene);
            if (!CheckFill(row, g, [&](int x, int y) { return GetSdlPixel(scene->dest, x, y); }, &why))
                return Fail(state, name, why);
        }
        for (auto _ : state) {
            DrawSdl(row, g, *scene);
            benchmark::ClobberMemory();
        }
        break;
    }
    }
    SetRate(state, static_cast<double>(g.width) * g.height);
}

std::vector<Row> AllRows() {
    std::vector<Row> rows;
    for (const int depth : {16, 32})
        for (const Size size : {Size::kSprite, Size::kFrame, Size::kTarget})
            for (const int mode : {0, 1, 2, 4}) rows.push_back(Row{depth, size, mode});
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    StartDrawBenchmark(&argc, argv);
    std::vector<std::string> names;
    for (const Row& row : AllRows()) {
        names.push_back(RowName(row));
        for (const Side side : {Side::kOurs, Side::kPixman, Side::kSdl})
            benchmark::RegisterBenchmark((RowName(row) + "/" + SideName(side)).c_str(),
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
