// Sprite drawing through the Direct3D 9 device over OpenGL side by side with
// SDL2's own OpenGL renderer, on the same kind of context (SDL's offscreen
// driver on Mesa unless SDL_VIDEODRIVER names another).
//
// Every row draws frames of N textured 32x32 sprites with alpha (N = 100,
// 1000, 10000) at the same places onto a cleared 640x480 target. Ours
// draws as the framework's vertex batch does: two triangles of
// pre-transformed vertices per sprite, written into a batch of at most 2334
// vertices that goes to DrawPrimitiveUP as one triangle list, one texture,
// alpha blending; the target is the device's back buffer. SDL2's side is
// SDL_RenderCopy of the same sprite onto a target texture with blending.
// Each frame is read back whole once (GetRenderTargetData into system
// memory; SDL_RenderReadPixels), so that both finish their work.
//
// Before anything is timed, one frame of each side is compared: they must
// agree within a small tolerance per channel, or the program says so.
//
// The program ends with a table: frames per second of each side, and ours
// over SDL2's (above 1: ours is faster).
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/d3d9/d3d9.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/user.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kSprite = 32;
constexpr int kCounts[] = {100, 1000, 10000};
// The framework's batch of one-texture vertices holds 2340; a draw that
// would reach it is sent first.
constexpr size_t kBatchVertices = 2334;

struct Place {
    int x, y;
};

std::vector<Place> Places(int count) {
    std::vector<Place> places;
    uint32_t seed = 1234;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const int x = static_cast<int>((seed >> 8) % (kWidth - kSprite + 1));
        seed = seed * 1664525u + 1013904223u;
        const int y = static_cast<int>((seed >> 8) % (kHeight - kSprite + 1));
        places.push_back(Place{x, y});
    }
    return places;
}

// A disc with a soft edge: opaque inside, fading out, clear in the corners.
std::vector<uint32_t> SpritePixels() {
    std::vector<uint32_t> pixels(kSprite * kSprite);
    for (int y = 0; y < kSprite; ++y) {
        for (int x = 0; x < kSprite; ++x) {
            const int dx = 2 * x - (kSprite - 1);
            const int dy = 2 * y - (kSprite - 1);
            const int distance = dx * dx + dy * dy;
            const int alpha = std::clamp(255 - (distance - 600) / 2, 0, 255);
            pixels[y * kSprite + x] = static_cast<uint32_t>(alpha) << 24 | static_cast<uint32_t>(x * 8) << 16 |
                                      static_cast<uint32_t>(y * 8) << 8 | 0x80;
        }
    }
    return pixels;
}

LRESULT CALLBACK PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

struct Vertex {
    float x, y, z, rhw;
    DWORD diffuse;
    float u, v;
};

// Our side: a windowed device over OpenGL with the framework's states for a
// sprite with alpha.
class Ours {
public:
    bool Open() {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = PlainProcedure;
        windowClass.lpszClassName = "SpriteDrawBenchmark";
        RegisterClassExA(&windowClass);
        window_ = CreateWindowExA(0, "SpriteDrawBenchmark", "", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr,
                                  nullptr, nullptr);
        d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
        if (d3d_ == nullptr) return false;
        D3DPRESENT_PARAMETERS parameters{};
        parameters.BackBufferWidth = kWidth;
        parameters.BackBufferHeight = kHeight;
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
        parameters.BackBufferCount = 1;
        parameters.SwapEffect = D3DSWAPEFFECT_COPY;
        parameters.hDeviceWindow = window_;
        parameters.Windowed = TRUE;
        parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
        if (d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                               &parameters, &device_) != D3D_OK)
            return false;
        device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer_);
        device_->CreateOffscreenPlainSurface(kWidth, kHeight, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &copy_, nullptr);
        device_->CreateTexture(kSprite, kSprite, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture_, nullptr);
        const std::vector<uint32_t> pixels = SpritePixels();
        D3DLOCKED_RECT locked{};
        texture_->LockRect(0, &locked, nullptr, 0);
        for (int y = 0; y < kSprite; ++y)
            std::memcpy(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch, &pixels[y * kSprite], kSprite * 4);
        texture_->UnlockRect(0);

        device_->SetRenderState(D3DRS_LIGHTING, FALSE);
        device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device_->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
        device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        device_->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        device_->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
        device_->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
        device_->SetTexture(0, texture_);
        device_->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
        batch_.resize(kBatchVertices);
        return true;
    }

    ~Ours() {
        if (texture_ != nullptr) texture_->Release();
        if (copy_ != nullptr) copy_->Release();
        if (backBuffer_ != nullptr) backBuffer_->Release();
        if (device_ != nullptr) device_->Release();
        if (d3d_ != nullptr) d3d_->Release();
        if (window_ != nullptr) DestroyWindow(window_);
        UnregisterClassA("SpriteDrawBenchmark", nullptr);
    }

    void Frame(const std::vector<Place>& places) {
        device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        device_->BeginScene();
        size_t count = 0;
        for (const Place& place : places) {
            if (count + 6 > kBatchVertices) Flush(count);
            // Half a pixel up and left, so that texels land on pixels; the
            // colour on each triangle's first vertex, as flat shading reads it.
            const float left = static_cast<float>(place.x) - 0.5f;
            const float top = static_cast<float>(place.y) - 0.5f;
            const float right = left + kSprite;
            const float bottom = top + kSprite;
            Vertex* v = &batch_[count];
            v[0] = Vertex{left, top, 0, 1, 0xFFFFFFFF, 0, 0};
            v[1] = Vertex{right, top, 0, 1, 0, 1, 0};
            v[2] = Vertex{left, bottom, 0, 1, 0, 0, 1};
            v[3] = Vertex{right, bottom, 0, 1, 0xFFFFFFFF, 1, 1};
            v[4] = Vertex{left, bottom, 0, 1, 0, 0, 1};
            v[5] = Vertex{right, top, 0, 1, 0, 1, 0};
            count += 6;
        }
        Flush(count);
        device_->EndScene();
        device_->GetRenderTargetData(backBuffer_, copy_);
    }

    // The last frame's pixels, 0x00RRGGBB.
    std::vector<uint32_t> Pixels() {
        std::vector<uint32_t> pixels(kWidth * kHeight);
        D3DLOCKED_RECT locked{};
        copy_->LockRect(&locked, nullptr, D3DLOCK_READONLY);
        for (int y = 0; y < kHeight; ++y)
            std::memcpy(&pixels[y * kWidth], static_cast<BYTE*>(locked.pBits) + y * locked.Pitch, kWidth * 4);
        copy_->UnlockRect();
        for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
        return pixels;
    }

private:
    void Flush(size_t& count) {
        if (count == 0) return;
        device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(count / 3), batch_.data(), sizeof(Vertex));
        count = 0;
    }

    HWND window_ = nullptr;
    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    IDirect3DSurface9* backBuffer_ = nullptr;
    IDirect3DSurface9* copy_ = nullptr;
    IDirect3DTexture9* texture_ = nullptr;
    std::vector<Vertex> batch_;
};

// SDL2's side: its OpenGL renderer drawing into a target texture.
class Sdl {
public:
    bool Open() {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
        started_ = true;
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
        window_ = SDL_CreateWindow("", 0, 0, kWidth, kHeight, SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL);
        if (window_ == nullptr) return false;
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE);
        SDL_RendererInfo info{};
        if (renderer_ == nullptr || SDL_GetRendererInfo(renderer_, &info) != 0 || std::strcmp(info.name, "opengl") != 0)
            return false;
        target_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, kWidth, kHeight);
        sprite_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, kSprite, kSprite);
        if (target_ == nullptr || sprite_ == nullptr) return false;
        const std::vector<uint32_t> pixels = SpritePixels();
        SDL_UpdateTexture(sprite_, nullptr, pixels.data(), kSprite * 4);
        SDL_SetTextureBlendMode(sprite_, SDL_BLENDMODE_BLEND);
        pixels_.resize(kWidth * kHeight);
        return true;
    }

    ~Sdl() {
        if (sprite_ != nullptr) SDL_DestroyTexture(sprite_);
        if (target_ != nullptr) SDL_DestroyTexture(target_);
        if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
        if (window_ != nullptr) SDL_DestroyWindow(window_);
        if (started_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    void Frame(const std::vector<Place>& places) {
        SDL_SetRenderTarget(renderer_, target_);
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        for (const Place& place : places) {
            const SDL_Rect rect{place.x, place.y, kSprite, kSprite};
            SDL_RenderCopy(renderer_, sprite_, nullptr, &rect);
        }
        SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels_.data(), kWidth * 4);
    }

    std::vector<uint32_t> Pixels() {
        std::vector<uint32_t> pixels = pixels_;
        for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
        return pixels;
    }

private:
    bool started_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* target_ = nullptr;
    SDL_Texture* sprite_ = nullptr;
    std::vector<uint32_t> pixels_;
};

void RunOurs(benchmark::State& state, int count) {
    const std::vector<Place> places = Places(count);
    {
        Ours ours;
        if (!ours.Open()) {
            state.SkipWithError("no Direct3D 9 device over OpenGL");
        } else {
            for (auto _ : state) ours.Frame(places);
        }
    }
    platform::ResetMachine();
}

void RunSdl(benchmark::State& state, int count) {
    const std::vector<Place> places = Places(count);
    Sdl sdl;
    if (!sdl.Open()) {
        state.SkipWithError("no SDL2 OpenGL renderer");
        return;
    }
    for (auto _ : state) sdl.Frame(places);
}

// One frame of each side, compared channel by channel: true when they agree
// within `tolerance` everywhere.
bool SidesAgree(int count, int tolerance) {
    const std::vector<Place> places = Places(count);
    std::vector<uint32_t> ours;
    std::vector<uint32_t> sdl;
    {
        Ours side;
        if (side.Open()) {
            side.Frame(places);
            ours = side.Pixels();
        }
    }
    platform::ResetMachine();
    {
        Sdl side;
        if (side.Open()) {
            side.Frame(places);
            sdl = side.Pixels();
        }
    }
    if (ours.empty() || sdl.empty()) {
        std::printf("check: a side could not be opened\n");
        return false;
    }
    int worst = 0;
    size_t worstAt = 0;
    for (size_t i = 0; i < ours.size(); ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            const int difference =
                std::abs(static_cast<int>((ours[i] >> shift) & 0xFF) - static_cast<int>((sdl[i] >> shift) & 0xFF));
            if (difference > worst) {
                worst = difference;
                worstAt = i;
            }
        }
    }
    std::printf("check: %d sprites, the sides differ by at most %d per channel (at %zu, %zu)\n", count, worst,
                worstAt % kWidth, worstAt / kWidth);
    return worst <= tolerance;
}

std::string RowName(int count, const char* side) { return "sprites/" + std::to_string(count) + "/" + side; }

// Collects each run's time per frame for the closing table; with
// repetitions, the best of them.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& reports) override {
        for (const Run& run : reports) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const double seconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            const std::string name = run.run_name.str();
            const auto found = times_.find(name);
            times_[name] = found == times_.end() ? seconds : std::min(found->second, seconds);
        }
        ConsoleReporter::ReportRuns(reports);
    }
    double FramesPerSecond(const std::string& name) const {
        const auto found = times_.find(name);
        return found == times_.end() || found->second <= 0 ? 0 : 1.0 / found->second;
    }

private:
    std::map<std::string, double> times_;
};

void PrintTable(const TableReporter& reporter) {
    std::printf("\nFrames per second of N 32x32 sprites with alpha on 640x480, read back once a frame\n");
    std::printf("%-8s %12s %12s %12s\n", "sprites", "ours", "sdl2", "ours/sdl2");
    for (const int count : kCounts) {
        const double ours = reporter.FramesPerSecond(RowName(count, "ours"));
        const double sdl = reporter.FramesPerSecond(RowName(count, "sdl2"));
        char ratio[16] = "-";
        if (ours > 0 && sdl > 0) std::snprintf(ratio, sizeof ratio, "%.2f", ours / sdl);
        std::printf("%-8d %12.1f %12.1f %12s\n", count, ours, sdl, ratio);
    }
}

}  // namespace

int main(int argc, char** argv) {
    SDL_SetMainReady();
    // No display needed: SDL's offscreen driver runs OpenGL on Mesa.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (!SidesAgree(1000, 3)) std::printf("check: THE SIDES DRAW DIFFERENT FRAMES\n");
    for (const int count : kCounts) {
        benchmark::RegisterBenchmark(RowName(count, "ours").c_str(),
                                     [count](benchmark::State& state) { RunOurs(state, count); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(RowName(count, "sdl2").c_str(),
                                     [count](benchmark::State& state) { RunSdl(state, count); })
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintTable(reporter);
    benchmark::Shutdown();
    return 0;
}
