// One frame of the kind the game draws, through the framework's public draws
// on the software path, side by side with SDL2 drawing the same frame: a
// 640x480 background, 300 sprites of 32x32 with an alpha channel, 50 of them
// again rotated and scaled, and 20 filled boxes, at 16 and 32 bits.
//
// Ours: the graphics system up on the software path (no window), the
// graphics made from pixel images, the frame drawn into the primary screen
// image with DrawGraphicAtPoint, DrawGraphicRotatedF and DrawRectFilled.
// SDL2: a surface of the same format, the background and sprites drawn with
// SDL_BlitSurface (the sprites as ARGB8888 surfaces with SDL_BLENDMODE_BLEND),
// the rotated ones with SDL_RenderCopyEx through the software renderer on
// that surface, and the boxes with SDL_FillRect.
//
// The hardware path's rows wait for the OpenGL renderer; the memory renderer
// this build has makes no pixels of draws, so timing it would measure nothing
// a game sees.
//
// The program ends with a table: milliseconds per frame for each side and the
// ratio of ours to SDL2's.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "framework/base/framework_state.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/draw_target.h"
#include "framework/graphics/graphic_creation.h"
#include "framework/graphics/graphic_draws.h"
#include "framework/graphics/graphic_handles.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/image/pixel_image.h"
#include "framework/graphics/screen_mode.h"
#include "framework/window/main_window_state.h"
#include "platform/com/com.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kSprites = 300;
constexpr int kRotated = 50;
constexpr int kBoxes = 20;
constexpr int kSpriteSide = 32;

struct Placement {
    int x, y;
    float angle, scale;
};

// The same places on both sides, from a fixed sequence.
std::vector<Placement> Placements(int count, uint32_t seed) {
    std::vector<Placement> out;
    uint32_t state = seed;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int i = 0; i < count; ++i) {
        const int x = static_cast<int>(next() % (kWidth - kSpriteSide));
        const int y = static_cast<int>(next() % (kHeight - kSpriteSide));
        const float angle = static_cast<float>(next() % 6283) / 1000.0f;
        const float scale = 0.5f + static_cast<float>(next() % 1000) / 1000.0f;
        out.push_back({x, y, angle, scale});
    }
    return out;
}

// The pictures as 0xAARRGGBB: a background gradient and a sprite, round with
// a soft edge.
uint32_t BackgroundPixel(int x, int y) {
    return 0xFF000000u | static_cast<uint32_t>(x * 255 / kWidth) << 16 | static_cast<uint32_t>(y * 255 / kHeight) << 8 |
           0x40u;
}
uint32_t SpritePixel(int x, int y) {
    const float dx = static_cast<float>(x) - 15.5f, dy = static_cast<float>(y) - 15.5f;
    const float d = std::sqrt(dx * dx + dy * dy);
    const uint32_t alpha = d >= 16.0f ? 0u : d <= 12.0f ? 255u : static_cast<uint32_t>((16.0f - d) * 63.0f);
    return alpha << 24 | 0xE0u << 16 | static_cast<uint32_t>(x * 8) << 8 | static_cast<uint32_t>(y * 8);
}

// ---- ours ---------------------------------------------------------------

struct Ours {
    int background = -1;
    int sprite = -1;
    bool up = false;

    bool Start(int bits) {
        MainWindow.settings.windowModeFlag = 1;
        CoInitialize(nullptr);
        SetUseHardwareAcceleration(0);
        RequestedScreenMode = ScreenModeRequest{kWidth, kHeight, bits, 0};
        if (InitGraphicsSystem() != 0) return false;
        up = true;
        FrameworkInitialised = 1;
        background = Make(kWidth, kHeight, BackgroundPixel, false);
        sprite = Make(kSpriteSide, kSpriteSide, SpritePixel, true);
        SelectDrawTarget(-2);
        return background >= 0 && sprite >= 0;
    }
    void End() {
        if (!up) return;
        FrameworkInitialised = 0;
        TermGraphicsSystem();
        CoUninitialize();
        up = false;
    }
    template <class Pixel>
    static int Make(int width, int height, Pixel pixel, bool alpha) {
        PixelImage colour{}, alphaImage{};
        AllocXrgb32PixelImage(width, height, &colour);
        AllocXrgb32PixelImage(width, height, &alphaImage);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint32_t p = pixel(x, y);
                const int a = static_cast<int>(p >> 24);
                WritePixelRgba(&colour, x, y, static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF),
                               static_cast<int>(p & 0xFF), 255);
                WritePixelRgba(&alphaImage, x, y, a, a, a, 255);
            }
        const int handle = MakeGraphFromPixelImage(&colour, alpha ? &alphaImage : nullptr, 0, 0, 0);
        FreePixelImage(&colour);
        FreePixelImage(&alphaImage);
        return handle;
    }
    void Frame(const std::vector<Placement>& sprites, const std::vector<Placement>& boxes) const {
        DrawGraphicAtPoint(0, 0, background, 0);
        for (const Placement& p : sprites) DrawGraphicAtPoint(p.x, p.y, sprite, 1);
        for (int i = 0; i < kRotated; ++i) {
            const Placement& p = sprites[static_cast<size_t>(i)];
            DrawGraphicRotatedF(static_cast<float>(p.x + 16), static_cast<float>(p.y + 16), p.scale, p.angle, sprite,
                                1, 0);
        }
        for (const Placement& b : boxes)
            DrawRectFilled(b.x, b.y, b.x + 24, b.y + 16, static_cast<int>(MakeScreenColorCode(40, 200, 90)));
    }
};

// ---- SDL2 ---------------------------------------------------------------

struct Sdl {
    SDL_Surface* frame = nullptr;
    SDL_Surface* background = nullptr;
    SDL_Surface* sprite = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* spriteTexture = nullptr;
    uint32_t boxColour = 0;

    bool Start(int bits) {
        const uint32_t format = bits == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_XRGB8888;
        frame = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, bits, format);
        background = Make(kWidth, kHeight, BackgroundPixel, format);
        sprite = Make(kSpriteSide, kSpriteSide, SpritePixel, SDL_PIXELFORMAT_ARGB8888);
        if (frame == nullptr || background == nullptr || sprite == nullptr) return false;
        SDL_SetSurfaceBlendMode(background, SDL_BLENDMODE_NONE);
        SDL_SetSurfaceBlendMode(sprite, SDL_BLENDMODE_BLEND);
        renderer = SDL_CreateSoftwareRenderer(frame);
        if (renderer == nullptr) return false;
        spriteTexture = SDL_CreateTextureFromSurface(renderer, sprite);
        SDL_SetTextureBlendMode(spriteTexture, SDL_BLENDMODE_BLEND);
        boxColour = SDL_MapRGB(frame->format, 40, 200, 90);
        return spriteTexture != nullptr;
    }
    void End() {
        if (spriteTexture != nullptr) SDL_DestroyTexture(spriteTexture);
        if (renderer != nullptr) SDL_DestroyRenderer(renderer);
        SDL_FreeSurface(sprite);
        SDL_FreeSurface(background);
        SDL_FreeSurface(frame);
        *this = Sdl{};
    }
    template <class Pixel>
    static SDL_Surface* Make(int width, int height, Pixel pixel, uint32_t format) {
        SDL_Surface* argb = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
        if (argb == nullptr) return nullptr;
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(argb->pixels) + y * argb->pitch);
            for (int x = 0; x < width; ++x) row[x] = pixel(x, y);
        }
        if (format == SDL_PIXELFORMAT_ARGB8888) return argb;
        SDL_Surface* converted = SDL_ConvertSurfaceFormat(argb, format, 0);
        SDL_FreeSurface(argb);
        return converted;
    }
    void Frame(const std::vector<Placement>& sprites, const std::vector<Placement>& boxes) const {
        SDL_BlitSurface(background, nullptr, frame, nullptr);
        for (const Placement& p : sprites) {
            SDL_Rect at = {p.x, p.y, kSpriteSide, kSpriteSide};
            SDL_BlitSurface(sprite, nullptr, frame, &at);
        }
        for (int i = 0; i < kRotated; ++i) {
            const Placement& p = sprites[static_cast<size_t>(i)];
            const float side = kSpriteSide * p.scale;
            const SDL_FRect at = {static_cast<float>(p.x + 16) - side / 2, static_cast<float>(p.y + 16) - side / 2,
                                  side, side};
            SDL_RenderCopyExF(renderer, spriteTexture, nullptr, &at, p.angle * 57.29578, nullptr, SDL_FLIP_NONE);
        }
        SDL_RenderFlush(renderer);
        for (const Placement& b : boxes) {
            SDL_Rect box = {b.x, b.y, 24, 16};
            SDL_FillRect(frame, &box, boxColour);
        }
    }
};

std::map<std::string, double>& Results() {
    static std::map<std::string, double> results;
    return results;
}

void BM_OursSoftware(benchmark::State& state) {
    const int bits = static_cast<int>(state.range(0));
    Ours ours;
    if (!ours.Start(bits)) {
        ours.End();
        state.SkipWithError("the software screen did not start");
        return;
    }
    const auto sprites = Placements(kSprites, 7);
    const auto boxes = Placements(kBoxes, 11);
    // The last sprite's opaque centre shows the sprite: the frame was drawn.
    ours.Frame(sprites, boxes);
    const Placement& last = sprites.back();
    const MEMIMG& screen = PrimaryScreenMemImg;
    uint32_t centre = 0;
    std::memcpy(&centre, screen.pixels + (last.y + 16) * screen.base->pitch + (last.x + 16) * (bits / 8),
                static_cast<size_t>(bits / 8));
    if ((centre & (bits == 16 ? 0xFFFFu : 0xFFFFFFu)) != MakeScreenColorCode(224, 128, 128) % (bits == 16 ? 0x10000u : 0x1000000u)) {
        ours.End();
        state.SkipWithError("the frame does not show the sprite");
        return;
    }
    for (auto _ : state) {
        ours.Frame(sprites, boxes);
        benchmark::DoNotOptimize(PrimaryScreenMemImg.pixels);
        benchmark::ClobberMemory();
    }
    ours.End();
}

void BM_Sdl2(benchmark::State& state) {
    const int bits = static_cast<int>(state.range(0));
    Sdl sdl;
    if (!sdl.Start(bits)) {
        sdl.End();
        state.SkipWithError(SDL_GetError());
        return;
    }
    const auto sprites = Placements(kSprites, 7);
    const auto boxes = Placements(kBoxes, 11);
    for (auto _ : state) {
        sdl.Frame(sprites, boxes);
        benchmark::DoNotOptimize(sdl.frame->pixels);
        benchmark::ClobberMemory();
    }
    sdl.End();
}

BENCHMARK(BM_OursSoftware)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sdl2)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);

// Keeps each row's milliseconds per frame for the closing table.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.iterations > 0)
                Results()[run.benchmark_name()] = run.GetAdjustedRealTime();  // in the row's unit: ms
    }
};

}  // namespace

int main(int argc, char** argv) {
    SDL_SetMainReady();
    benchmark::Initialize(&argc, argv);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-8s %14s %14s %12s\n", "depth", "ours ms/frame", "SDL2 ms/frame", "ours/SDL2");
    for (int bits : {16, 32}) {
        char oursName[64], sdlName[64];
        std::snprintf(oursName, sizeof(oursName), "BM_OursSoftware/%d", bits);
        std::snprintf(sdlName, sizeof(sdlName), "BM_Sdl2/%d", bits);
        const auto ours = Results().find(oursName);
        const auto sdl = Results().find(sdlName);
        if (ours == Results().end() || sdl == Results().end()) continue;
        std::printf("%-8d %14.3f %14.3f %12.2f\n", bits, ours->second, sdl->second, ours->second / sdl->second);
    }
    benchmark::Shutdown();
    return 0;
}
