// One frame of the kind the game draws, through the framework's public draws
// on both paths, side by side with SDL2 drawing the same frame: a 640x480
// background, 300 sprites of 32x32 with an alpha channel, 50 of them again
// rotated and scaled, and 20 filled boxes, at 16 and 32 bits.
//
// Software rows. Ours: the graphics system up on the software path (no
// window), the graphics made from pixel images, the frame drawn into the
// primary screen image with DrawGraphicAtPoint, DrawGraphicRotatedF and
// DrawRectFilled. SDL2: a surface of the same format, the background and
// sprites drawn with SDL_BlitSurface (the sprites as ARGB8888 surfaces with
// SDL_BLENDMODE_BLEND), the rotated ones with SDL_RenderCopyEx through the
// software renderer on that surface, and the boxes with SDL_FillRect.
//
// Hardware rows, on OpenGL (SDL's offscreen driver on Mesa unless
// SDL_VIDEODRIVER names another). Ours: the graphics system up on the
// Direct3D 9 path in a window on a desktop of the row's depth (the screen
// takes it), the same public draws into the back buffer. SDL2: its OpenGL
// renderer drawing into a target texture with SDL_RenderCopy,
// SDL_RenderCopyExF and SDL_RenderFillRect; it has no 16-bit targets, so
// both of its rows draw 32 bits. Each hardware frame ends by reading the
// whole frame back (LockBackBuffer; SDL_RenderReadPixels), so that both
// sides finish their work inside the frame.
//
// Before a side of ours is timed, one frame is checked: the last sprite's
// opaque centre must show the sprite. The program ends with a table:
// milliseconds per frame for each side and the ratio of ours to SDL2's
// (below 1: ours is faster).
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "framework/base/framework_state.h"
#include "framework/graphics/screen/back_buffer_access.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/draws/graphic_draws.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/image/pixel_image.h"
#include "framework/graphics/screen/screen_flip.h"
#include "framework/graphics/screen/screen_mode.h"
#include "framework/window/main_window.h"
#include "framework/window/main_window_state.h"
#include "framework/window/window_mode.h"
#include "platform/com/com.h"
#include "platform/profile/machine_profile.h"

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
    bool hardware = false;
    int background = -1;
    int sprite = -1;
    bool up = false;
    bool windowMade = false;

    bool Start(int bits) {
        CoInitialize(nullptr);
        RequestedScreenMode = ScreenModeRequest{kWidth, kHeight, bits, 0};
        if (hardware) {
            platform::Profile().direct3d.renderer = platform::Direct3DRenderer::OpenGL;
            platform::Profile().display.desktopBitsPerPixel = bits;
            SetUseHardwareAcceleration(1);
            ChangeWindowMode(1);
            SetMainWindowTitle("frame");
            if (CreateMainWindow() != 0) return false;
            windowMade = true;
        } else {
            MainWindow.settings.windowModeFlag = 1;
            SetUseHardwareAcceleration(0);
        }
        if (InitGraphicsSystem() != 0) return false;
        up = true;
        if (HardwarePathFlag != (hardware ? 1 : 0)) return false;
        FrameworkInitialised = 1;
        SetWaitVSyncFlag(0);
        background = Make(kWidth, kHeight, BackgroundPixel, false);
        sprite = Make(kSpriteSide, kSpriteSide, SpritePixel, true);
        SelectDrawTarget(-2);
        return background >= 0 && sprite >= 0;
    }
    void End() {
        FrameworkInitialised = 0;
        if (up) TermGraphicsSystem();
        if (windowMade) DestroyMainWindow();
        CoUninitialize();
        if (hardware) platform::ResetMachine();
        up = windowMade = false;
    }
    // The screen pixel at (x, y) as 8-bit channels, read back as the
    // screen's own readers do.
    static bool ReadScreen(int x, int y, int rgb[3]) {
        const int whole[4] = {0, 0, kWidth, kHeight};
        PixelImage image{};
        if (LockBackBuffer(whole, &image) != 0) return false;
        uint32_t value = 0;
        std::memcpy(&value, image.pixels + y * image.pitch + x * image.format.bytesPerPixel,
                    static_cast<size_t>(image.format.bytesPerPixel));
        const uint32_t masks[3] = {image.format.redMask, image.format.greenMask, image.format.blueMask};
        for (int c = 0; c < 3; ++c) {
            const uint32_t mask = masks[c];
            const int shift = mask == 0 ? 0 : __builtin_ctz(mask);
            const uint32_t top = mask >> shift;
            rgb[c] = top == 0 ? 0 : static_cast<int>(((value & mask) >> shift) * 255 / top);
        }
        UnlockBackBuffer();
        return true;
    }
    // Reads the whole frame back, so that the device has drawn it.
    static void Finish() {
        const int whole[4] = {0, 0, kWidth, kHeight};
        PixelImage image{};
        if (LockBackBuffer(whole, &image) == 0) {
            benchmark::DoNotOptimize(image.pixels[0]);
            UnlockBackBuffer();
        }
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

// SDL2's OpenGL renderer drawing the same frame into a target texture.
struct SdlOpenGL {
    bool started = false;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* target = nullptr;
    SDL_Texture* background = nullptr;
    SDL_Texture* sprite = nullptr;
    std::vector<uint32_t> pixels;

    bool Start() {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
        started = true;
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
        window = SDL_CreateWindow("", 0, 0, kWidth, kHeight, SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL);
        if (window == nullptr) return false;
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE);
        SDL_RendererInfo info{};
        if (renderer == nullptr || SDL_GetRendererInfo(renderer, &info) != 0 || std::strcmp(info.name, "opengl") != 0)
            return false;
        target = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, kWidth, kHeight);
        background = Make(kWidth, kHeight, BackgroundPixel);
        sprite = Make(kSpriteSide, kSpriteSide, SpritePixel);
        if (target == nullptr || background == nullptr || sprite == nullptr) return false;
        SDL_SetTextureBlendMode(background, SDL_BLENDMODE_NONE);
        SDL_SetTextureBlendMode(sprite, SDL_BLENDMODE_BLEND);
        pixels.resize(static_cast<size_t>(kWidth) * kHeight);
        return true;
    }
    void End() {
        if (sprite != nullptr) SDL_DestroyTexture(sprite);
        if (background != nullptr) SDL_DestroyTexture(background);
        if (target != nullptr) SDL_DestroyTexture(target);
        if (renderer != nullptr) SDL_DestroyRenderer(renderer);
        if (window != nullptr) SDL_DestroyWindow(window);
        if (started) SDL_QuitSubSystem(SDL_INIT_VIDEO);
        *this = SdlOpenGL{};
    }
    template <class Pixel>
    SDL_Texture* Make(int width, int height, Pixel pixel) const {
        std::vector<uint32_t> argb(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) argb[static_cast<size_t>(y) * width + x] = pixel(x, y);
        SDL_Texture* texture =
            SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, width, height);
        if (texture != nullptr) SDL_UpdateTexture(texture, nullptr, argb.data(), width * 4);
        return texture;
    }
    void Frame(const std::vector<Placement>& sprites, const std::vector<Placement>& boxes) {
        SDL_SetRenderTarget(renderer, target);
        SDL_RenderCopy(renderer, background, nullptr, nullptr);
        for (const Placement& p : sprites) {
            const SDL_Rect at = {p.x, p.y, kSpriteSide, kSpriteSide};
            SDL_RenderCopy(renderer, sprite, nullptr, &at);
        }
        for (int i = 0; i < kRotated; ++i) {
            const Placement& p = sprites[static_cast<size_t>(i)];
            const float side = kSpriteSide * p.scale;
            const SDL_FRect at = {static_cast<float>(p.x + 16) - side / 2, static_cast<float>(p.y + 16) - side / 2,
                                  side, side};
            SDL_RenderCopyExF(renderer, sprite, nullptr, &at, p.angle * 57.29578, nullptr, SDL_FLIP_NONE);
        }
        SDL_SetRenderDrawColor(renderer, 40, 200, 90, 255);
        for (const Placement& b : boxes) {
            const SDL_Rect box = {b.x, b.y, 24, 16};
            SDL_RenderFillRect(renderer, &box);
        }
        SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(), kWidth * 4);
    }
};

std::map<std::string, double>& Results() {
    static std::map<std::string, double> results;
    return results;
}

void RunOurs(benchmark::State& state, bool hardware) {
    const int bits = static_cast<int>(state.range(0));
    Ours ours;
    ours.hardware = hardware;
    if (!ours.Start(bits)) {
        ours.End();
        state.SkipWithError(hardware ? "the hardware screen did not start" : "the software screen did not start");
        return;
    }
    const auto sprites = Placements(kSprites, 7);
    const auto boxes = Placements(kBoxes, 11);
    // The last sprite's opaque centre shows the sprite: the frame was drawn.
    ours.Frame(sprites, boxes);
    const Placement& last = sprites.back();
    int rgb[3] = {};
    const int want[3] = {224, 128, 128};
    bool shown = Ours::ReadScreen(last.x + 16, last.y + 16, rgb);
    for (int c = 0; c < 3; ++c) shown = shown && std::abs(rgb[c] - want[c]) <= 8;
    if (!shown) {
        ours.End();
        state.SkipWithError("the frame does not show the sprite");
        return;
    }
    for (auto _ : state) {
        ours.Frame(sprites, boxes);
        if (hardware) Ours::Finish();
        benchmark::DoNotOptimize(PrimaryScreenMemImg.pixels);
        benchmark::ClobberMemory();
    }
    ours.End();
}

void BM_OursSoftware(benchmark::State& state) { RunOurs(state, false); }
void BM_OursOpenGL(benchmark::State& state) { RunOurs(state, true); }

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

void BM_Sdl2OpenGL(benchmark::State& state) {
    SdlOpenGL sdl;
    if (!sdl.Start()) {
        sdl.End();
        state.SkipWithError("no SDL2 OpenGL renderer");
        return;
    }
    const auto sprites = Placements(kSprites, 7);
    const auto boxes = Placements(kBoxes, 11);
    for (auto _ : state) {
        sdl.Frame(sprites, boxes);
        benchmark::DoNotOptimize(sdl.pixels.data());
        benchmark::ClobberMemory();
    }
    sdl.End();
}

BENCHMARK(BM_OursSoftware)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sdl2)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OursOpenGL)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sdl2OpenGL)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);

// Keeps each row's milliseconds per frame for the closing table; with
// repetitions, the best of them.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
            const double ms = run.GetAdjustedRealTime();  // in the row's unit: ms
            const std::string name = run.run_name.str();
            const auto found = Results().find(name);
            Results()[name] = found == Results().end() ? ms : std::min(found->second, ms);
        }
    }
};

double Row(const char* side, int bits) {
    char name[64];
    std::snprintf(name, sizeof(name), "%s/%d", side, bits);
    const auto found = Results().find(name);
    return found == Results().end() ? 0.0 : found->second;
}

void PrintPair(const char* path, int bits, double ours, double sdl) {
    char oursText[16] = "-", sdlText[16] = "-", ratio[16] = "-";
    if (ours > 0) std::snprintf(oursText, sizeof(oursText), "%.3f", ours);
    if (sdl > 0) std::snprintf(sdlText, sizeof(sdlText), "%.3f", sdl);
    if (ours > 0 && sdl > 0) std::snprintf(ratio, sizeof(ratio), "%.2f", ours / sdl);
    std::printf("%-9s %-6d %14s %14s %10s\n", path, bits, oursText, sdlText, ratio);
}

}  // namespace

int main(int argc, char** argv) {
    SDL_SetMainReady();
    // No display needed: SDL's offscreen driver runs OpenGL on Mesa.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-9s %-6s %14s %14s %10s\n", "path", "depth", "ours ms/frame", "SDL2 ms/frame", "ours/SDL2");
    for (int bits : {16, 32}) PrintPair("software", bits, Row("BM_OursSoftware", bits), Row("BM_Sdl2", bits));
    for (int bits : {16, 32}) PrintPair("OpenGL", bits, Row("BM_OursOpenGL", bits), Row("BM_Sdl2OpenGL", bits));
    benchmark::Shutdown();
    return 0;
}
