// One stage frame of the game, on the software path at 16 and 32 bits, side
// by side with SDL2 drawing the same frame.
//
// The busiest place: before anything is timed, every stage part is walked on
// its generated map (the placeholder tree the build writes) the way the stage
// tests walk it: right held from the first played frame, a jump before each
// jump column. The part whose played frames draw the most pictures on average
// is the busiest part; its frame with the most picture draws is the busiest
// frame. Every walk starts the C library's random numbers alike and gives the
// game a wall clock that follows the manual clock, so every walk of a part
// sees the same frames.
//
// Rows, per depth:
// - ours frame: the real stage scene, headless on the manual clock, walked to
//   the busiest frame, then standing there while the scene runs on for a
//   second of play (60 frames). A timed frame is everything the game does
//   between two frame ends (the frame-rate text, the world's update, the
//   clear and the draws, the frame end's input update and message pump)
//   except the present to the window, which is timed apart (its own column)
//   through the framework's present hook. The headless harness's frame-end
//   work (stepping the clock, scripting the keys, mixing the sound into the
//   virtual output) is left out too.
// - ours draws: the busiest frame's draws, as the draw observer saw them,
//   replayed through the framework's public draws with the settings each was
//   made with, inside the running scene on its own graphics: the drawing of
//   that very frame without the update. Checked once: the replay gives the
//   game's frame exactly.
// - sdl2: the same frame drawn with SDL_BlitSurface onto a 640x480 surface of
//   the screen's depth: the clear (SDL_FillRect), then each draw's picture,
//   part and place in the same order. The pictures are the game's own
//   graphics copied into SDL surfaces: the screen's format (5-6-5 or
//   XRGB8888) with the colour key for pictures without alpha, ARGB8888 with
//   alpha blending for those with alpha (SDL has no 16-bit format with
//   alpha; the game keeps such pictures in 4 bytes a pixel too). A mirrored
//   draw blits a copy mirrored beforehand, a stretched one SDL_BlitScaled,
//   and a rotated one goes through SDL's software renderer on the same
//   surface (SDL_RenderCopyExF, flushed before the next blit): blits cannot
//   rotate. Each draw's blending and brightness is a surface of its own, made
//   beforehand, so that the timed loop draws only. "sdl2 rle": the same with
//   SDL's run-length acceleration on every surface.
//
// Before timing, each SDL2 frame is checked against the game's own pixels of
// the busiest frame: where only opaque copies and colour-keyed draws reach a
// pixel, the pixels must be equal; where alpha or additive blending or
// brightness reaches it, within a level of 5-6-5 or 3 levels of 8 bits
// (each library rounds its own way); where a stretched or rotated draw
// reaches it, the differences are only counted (each samples its own way).
// The closing table gives microseconds per frame, best of the repetitions,
// and ours / SDL2 against the faster SDL2 side (below 1: ours is faster).
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "framework/base/framework_state.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/draws/graphic_draws.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/screen/screen_flip.h"
#include "framework/graphics/screen/screen_mode.h"
#include "framework/softrender/memimg.h"
#include "game/stage/player_character.h"
#include "game/stage/stage_scene.h"
#include "game/stage/stage_table.h"
#include "platform/kernel/manual_clock.h"
#include "platform/user/message_box_sink.h"
#include "platform/user/user.h"
#include "tests/support/game/headless_game.h"
#include "tests/support/game/map_walk.h"

namespace {
bool WallClockFollowsManualClock = false;
}  // namespace

// The game reseeds the C library's random numbers from the wall clock's
// second as certain enemies act or die. While a walk runs, this program's
// time() gives the manual clock's seconds from a fixed day instead, so that
// every walk of a part sees the same frames; otherwise the real time.
extern "C" time_t time(time_t* out) noexcept {
    constexpr time_t kFixedDay = 1767225600;  // 2026-01-01 00:00:00 UTC
    timespec now{};
    if (WallClockFollowsManualClock)
        now.tv_sec = kFixedDay + static_cast<time_t>(platform::ManualClockNanoseconds() / 1000000000u);
    else
        clock_gettime(CLOCK_REALTIME, &now);
    if (out != nullptr) *out = now.tv_sec;
    return now.tv_sec;
}

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kStageParts[] = {1, 102, 2, 202, 3, 302, 4, 402, 5, 502};
// The opening fades the first view in over 64 frames before play begins.
constexpr int kOpeningFrames = 64;
// How far each part is walked when looking for the busiest place.
constexpr int kSurveyFrames = 900;
// Our frames are timed over the first second of play after the busiest
// frame, while the view still shows about as much as that frame.
constexpr int kTimedFrames = 60;

using Clock = std::chrono::steady_clock;

using gametest::SeenDraw;

bool IsCall(const SeenDraw& d, const char* name) { return d.call == name; }

// ---- The game, headless ------------------------------------------------------------
//
// The game's headless harness, the one its tests run on, in a fresh folder
// holding the generated tree's resource folder, the screen at the chosen
// depth, walking a stage part's generated map the way the stage tests walk
// it.

class StageRun;
StageRun* Running = nullptr;

class StageRun {
public:
    gametest::HeadlessGame game;
    // Called as each frame ends, after the clock step and the input, with
    // the number of the frame; game.DrawsOfFrame(frame) holds its draws
    // while they are recorded.
    std::function<void(int frame)> atFrameEnd;
    // Called as each frame end returns to the scene (CFPSManager::Update's
    // end), with the number of the frame.
    std::function<void(int frame)> afterFrameEnd;
    // Whether the walk's keys stop: set, no key is held from the next frame
    // on.
    bool stopWalking = false;

    bool Start(int bits, std::string* why) {
        if (!folder_.Enter(why)) return false;
        std::filesystem::create_directory_symlink(std::filesystem::path(BRACKENFOLD_RESOURCE_DIR) / "resource",
                                                  std::filesystem::path(folder_.hostPath()) / "resource");
        game.BeginHeadless(folder_.hostPath());
        began_ = true;
        game.atFrameEnd = [this](int frame) { OnFrameEnd(frame); };
        game.afterFrameEnd = [this](int frame) {
            if (afterFrameEnd) afterFrameEnd(frame);
        };
        // This program's own frame-end work is not the game's.
        game.frameEndWorkBegins = [this] {
            if (timing) timer.Stop();
        };
        game.frameEndWorkEnds = [this] {
            if (timing) timer.Go();
        };
        Running = this;
        SetPresentHook(&StageRun::OnPresent);

        RequestedScreenMode = ScreenModeRequest{kWidth, kHeight, bits, 0};
        if (!game.StartFramework()) return Fail(why, "the framework did not start");
        if (HardwarePathFlag != 0 || !IsMemImgValid(&PrimaryScreenMemImg))
            return Fail(why, "the software screen did not start");
        const int colorType = PrimaryScreenMemImg.base->colorType;
        if (colorType != (bits == 16 ? kMemImgColor565 : kMemImgColor32)) return Fail(why, "the screen has another depth");
        // The loading animation the scenes show while they load.
        gametest::HeadlessGame::ReloadLoadingDrawer();
        StagePaused = false;
        StagePauseMenuHidden = false;
        return true;
    }

    void Stop() {
        SetPresentHook(nullptr);
        Running = nullptr;
        if (began_) {
            for (const platform::MessageBoxRecord& box : game.messageBoxes)
                std::fprintf(stderr, "message box: %s\n", box.text.c_str());
            game.EndHeadless();
        }
        began_ = false;
        folder_.Leave();
    }

    // Walks the part's generated map as the stage tests do (see
    // gametest::GeneratedMapWalk): right held from the first played frame,
    // and jump held 25 frames whenever the player walks on the ground in
    // the stretch from 64 c - 128 up to a jump column c; until `stopWalking`
    // is set. A quit is posted as frame `lastFrame` ends (0: never).
    // Returns the scene's result.
    int Walk(int code, int lastFrame) {
        if (FindStageTableEntry(code) == nullptr) return -2;
        walk_ = std::make_unique<gametest::GeneratedMapWalk>(code);
        walkFrom_ = game.FramesEnded() + kOpeningFrames;
        jumpFrom_ = -100;
        stopWalking = false;
        if (lastFrame > 0) game.QuitAtFrame(lastFrame);
        // The game's random numbers (enemy shots, effects) start alike in
        // every walk, so that every walk sees the same frames.
        std::srand(1);
        WallClockFollowsManualClock = true;
        const int result = RunStageScene(code, 100, 1, 1);
        WallClockFollowsManualClock = false;
        return result;
    }

    // The game's own time between two frame ends. The clock stops as this
    // program's frame-end work begins and runs again as it ends, then on
    // through CFPSManager's own work and the scene's next frame; it stops
    // for the present too.
    struct Timer {
        bool running = false;
        Clock::time_point since;
        double seconds = 0;
        void Stop() {
            if (running) seconds += std::chrono::duration<double>(Clock::now() - since).count();
            running = false;
        }
        void Go() {
            running = true;
            since = Clock::now();
        }
    } timer;
    bool timing = false;
    double presentSeconds = 0;

private:
    static bool Fail(std::string* why, const char* text) {
        *why = text;
        return false;
    }

    // The walk's keys for the next frame's input update, once this
    // program has seen the frame.
    void OnFrameEnd(int frame) {
        if (atFrameEnd) atFrameEnd(frame);
        if (stopWalking || walk_ == nullptr) return;
        if (frame + 1 >= walkFrom_) game.HoldKey(gametest::kWalkRightKey, frame + 1);
        if (frame >= walkFrom_ + 1 && walk_->JumpNow(RunningStagePlayer, frame)) jumpFrom_ = frame + 1;
        if (frame + 1 >= jumpFrom_ && frame + 1 < jumpFrom_ + gametest::kWalkJumpFrames)
            game.HoldKey(gametest::kWalkJumpKey, frame + 1);
    }

    // The game's presents to the window, timed apart from its frames.
    static void OnPresent(int phase) {
        StageRun* run = Running;
        if (run == nullptr) return;
        if (phase == 0) {
            run->presentTimed_ = run->timing;
            if (!run->presentTimed_) return;
            run->timer.Stop();
            run->presentStart_ = Clock::now();
        } else if (run->presentTimed_) {
            run->presentSeconds += std::chrono::duration<double>(Clock::now() - run->presentStart_).count();
            run->timer.Go();
            run->presentTimed_ = false;
        }
    }

    gametest::HeadlessFolder folder_;
    bool began_ = false;
    std::unique_ptr<gametest::GeneratedMapWalk> walk_;
    int walkFrom_ = 0;
    int jumpFrom_ = -100;
    bool presentTimed_ = false;
    Clock::time_point presentStart_;
};

}  // namespace

namespace {

int PictureDraws(const std::vector<SeenDraw>& draws) {
    int count = 0;
    for (const SeenDraw& d : draws) count += d.handle >= 0;
    return count;
}

// ---- The busiest place ------------------------------------------------------------

struct PartSurvey {
    int code = 0;
    int playedFrames = 0;
    double meanPictures = 0;
    int mostPictures = -1;
    int busiestFrame = 0;  // counted from the game's start
    int result = 0;
};

bool SurveyPart(int code, PartSurvey* out, std::string* why) {
    StageRun run;
    if (!run.Start(16, why)) {
        run.Stop();
        return false;
    }
    PartSurvey survey;
    survey.code = code;
    long total = 0;
    const int firstPlayed = run.game.FramesEnded() + 1 + kOpeningFrames;
    run.game.SetRecordDraws(false);
    run.atFrameEnd = [&](int frame) {
        if (frame < firstPlayed) return;
        const int pictures = run.game.PictureDrawsOfLastFrame();
        ++survey.playedFrames;
        total += pictures;
        if (pictures > survey.mostPictures) {
            survey.mostPictures = pictures;
            survey.busiestFrame = frame;
        }
    };
    survey.result = run.Walk(code, firstPlayed + kSurveyFrames - 1);
    run.Stop();
    survey.meanPictures = survey.playedFrames ? static_cast<double>(total) / survey.playedFrames : 0;
    *out = survey;
    return true;
}

// ---- The busiest frame as recorded, and SDL2's copy of it --------------------------------

struct Picture {
    int width = 0, height = 0;
    bool alpha = false;
    bool keyed = false;  // a colour key applies (no alpha)
    uint32_t key = 0;    // in the screen's encoding
    SDL_Surface* surface = nullptr;   // the screen's format, or ARGB8888 for alpha pictures
};

// How one draw is blitted: a surface made for the draw's settings, its part
// and place.
enum class BlitKind { kPlain, kScaled, kRotated };
struct Blit {
    BlitKind kind = BlitKind::kPlain;
    SDL_Surface* surface = nullptr;
    SDL_Texture* texture = nullptr;  // rotated draws, on SDL's software renderer
    SDL_Rect source{};
    SDL_Rect place{};
    SDL_FRect rotatedPlace{};
    double degrees = 0;
    bool blends = false;  // alpha, additive, a blend parameter below 255 or brightness
    // Blends by the picture's own alpha only: a pixel of alpha 255 is a
    // copy, one of alpha 0 is left alone.
    bool alphaOnly = false;
    SDL_Rect reach{};     // the frame pixels the draw may reach
};

struct RecordedFrame {
    int bits = 0;
    int frame = 0;
    std::vector<SeenDraw> draws;
    std::vector<uint32_t> screen;  // the game's pixels of the frame, in the screen's encoding
    std::map<int, Picture> pictures;
    std::string unsupported;  // draws SDL_BlitSurface cannot make, if any
};

// SDL2's frame: the clear, then every draw in order; a rotated draw goes
// through SDL's software renderer on the same surface, which is flushed
// before the next blit.
struct SdlFrame {
    SDL_Surface* frame = nullptr;
    SDL_Renderer* renderer = nullptr;
    uint32_t clearColour = 0;
    std::vector<Blit> blits;
    std::vector<SDL_Surface*> owned;
    std::vector<SDL_Texture*> textures;
    void Draw() const {
        SDL_FillRect(frame, nullptr, clearColour);
        bool rendering = false;
        for (const Blit& b : blits) {
            if (b.kind == BlitKind::kRotated) {
                SDL_RenderCopyExF(renderer, b.texture, nullptr, &b.rotatedPlace, b.degrees, nullptr, SDL_FLIP_NONE);
                rendering = true;
                continue;
            }
            if (rendering) SDL_RenderFlush(renderer);
            rendering = false;
            SDL_Rect source = b.source, place = b.place;
            if (b.kind == BlitKind::kScaled)
                SDL_BlitScaled(b.surface, &source, frame, &place);
            else
                SDL_BlitSurface(b.surface, &source, frame, &place);
        }
        if (rendering) SDL_RenderFlush(renderer);
    }
    void Free() {
        for (SDL_Texture* t : textures) SDL_DestroyTexture(t);
        if (renderer != nullptr) SDL_DestroyRenderer(renderer);
        for (SDL_Surface* s : owned) SDL_FreeSurface(s);
        SDL_FreeSurface(frame);
        textures.clear();
        owned.clear();
        blits.clear();
        renderer = nullptr;
        frame = nullptr;
    }
};

std::map<int, RecordedFrame>& Recorded() {
    static std::map<int, RecordedFrame> recorded;
    return recorded;
}
std::map<std::string, SdlFrame>& SdlFrames() {
    static std::map<std::string, SdlFrame> frames;
    return frames;
}
PartSurvey Busiest;

// The calls a frame is replayed with, on both sides.
bool Replayable(const SeenDraw& d) {
    if (d.handle < 0) return false;
    if (IsCall(d, "DrawGraphicStretched")) return d.points[3] >= d.points[1];  // no upside-down stretch
    return IsCall(d, "DrawGraphicAtPoint") || IsCall(d, "DrawGraphicPart") || IsCall(d, "DrawGraphicMirrored") ||
           (IsCall(d, "DrawGraphicRotated") && d.turnFlag == 0);
}

Uint32 ScreenFormat(int bits) { return bits == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_XRGB8888; }

// A graphic's pixels as an SDL surface: the screen's format without alpha,
// ARGB8888 with it.
bool CopyPicture(const GraphicRecord* record, int bits, Picture* out, std::string* why) {
    const MEMIMG& image = record->memImg;
    const MemImgBase* base = image.base;
    if (!IsMemImgValid(&image) || base->paletteFlag) {
        *why = "a picture is not a plain memory image";
        return false;
    }
    Picture p;
    p.width = image.width;
    p.height = image.height;
    p.alpha = base->alphaFlag != 0;
    const bool is565 = base->colorType == kMemImgColor565;
    if (is565 != (bits == 16)) {
        *why = "a picture is not in the screen's depth";
        return false;
    }
    p.surface = SDL_CreateRGBSurfaceWithFormat(0, p.width, p.height, p.alpha ? 32 : bits,
                                               p.alpha ? Uint32{SDL_PIXELFORMAT_ARGB8888} : ScreenFormat(bits));
    if (p.surface == nullptr) {
        *why = SDL_GetError();
        return false;
    }
    for (int y = 0; y < p.height; ++y) {
        const uint8_t* row = image.pixels + static_cast<ptrdiff_t>(y) * base->pitch;
        uint8_t* to = static_cast<uint8_t*>(p.surface->pixels) + static_cast<ptrdiff_t>(y) * p.surface->pitch;
        if (!p.alpha || !is565) {
            std::memcpy(to, row, static_cast<size_t>(p.width) * (p.alpha ? 4 : bits / 8));
            continue;
        }
        for (int x = 0; x < p.width; ++x) {
            uint32_t v;
            std::memcpy(&v, row + 4 * x, 4);
            const uint32_t r5 = (v >> 11) & 31, g6 = (v >> 5) & 63, b5 = v & 31, a = (v >> 16) & 0xFF;
            const uint32_t argb = a << 24 | ((r5 << 3) | (r5 >> 2)) << 16 | ((g6 << 2) | (g6 >> 4)) << 8 |
                                  ((b5 << 3) | (b5 >> 2));
            std::memcpy(to + 4 * x, &argb, 4);
        }
    }
    p.keyed = !p.alpha;
    p.key = base->transparentColor;
    *out = p;
    return true;
}

SDL_Surface* Mirror(SDL_Surface* s) {
    SDL_Surface* m = SDL_CreateRGBSurfaceWithFormat(0, s->w, s->h, s->format->BitsPerPixel, s->format->format);
    if (m == nullptr) return nullptr;
    const int bytes = s->format->BytesPerPixel;
    for (int y = 0; y < s->h; ++y) {
        const uint8_t* from = static_cast<const uint8_t*>(s->pixels) + y * s->pitch;
        uint8_t* to = static_cast<uint8_t*>(m->pixels) + y * m->pitch;
        for (int x = 0; x < s->w; ++x) std::memcpy(to + (s->w - 1 - x) * bytes, from + x * bytes, bytes);
    }
    return m;
}

// The busiest frame drawn with SDL_BlitSurface; with `rle`, every picture
// run-length accelerated.
bool MakeSdlFrame(const RecordedFrame& recorded, bool rle, SdlFrame* out, std::string* why) {
    SdlFrame f;
    const int bits = recorded.bits;
    f.frame = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, bits, ScreenFormat(bits));
    if (f.frame == nullptr) {
        *why = SDL_GetError();
        return false;
    }
    f.clearColour = SDL_MapRGB(f.frame->format, 0, 0, 0);
    f.renderer = SDL_CreateSoftwareRenderer(f.frame);
    if (f.renderer == nullptr) {
        *why = SDL_GetError();
        f.Free();
        return false;
    }
    // One surface for each picture, mirroring and settings, shared by the
    // draws that use the same.
    std::map<std::tuple<int, int, int, int, int, int, int, int>, SDL_Surface*> made;
    std::map<SDL_Surface*, SDL_Texture*> textureOf;
    for (const SeenDraw& d : recorded.draws) {
        if (d.handle < 0) continue;
        const Picture& p = recorded.pictures.at(d.handle);
        if (!Replayable(d)) continue;
        const bool stretched = IsCall(d, "DrawGraphicStretched");
        const bool rotated = IsCall(d, "DrawGraphicRotated");
        const bool mirrored = IsCall(d, "DrawGraphicMirrored") || (IsCall(d, "DrawGraphicPart") && d.turnFlag != 0) ||
                              (stretched && d.points[2] < d.points[0]);
        const auto key =
            std::make_tuple(d.handle, mirrored ? 1 : 0, d.transFlag, d.blendMode, d.blendParam, d.bright[0], d.bright[1],
                            d.bright[2]);
        SDL_Surface*& surface = made[key];
        if (surface == nullptr) {
            surface = mirrored ? Mirror(p.surface) : SDL_DuplicateSurface(p.surface);
            if (surface == nullptr) {
                *why = SDL_GetError();
                f.Free();
                return false;
            }
            f.owned.push_back(surface);
            if (d.transFlag && p.keyed) SDL_SetColorKey(surface, SDL_TRUE, p.key);
            SDL_BlendMode mode = SDL_BLENDMODE_NONE;
            if (d.transFlag && p.alpha) mode = SDL_BLENDMODE_BLEND;
            if (d.blendMode == 1 && d.blendParam < 255) {
                mode = SDL_BLENDMODE_BLEND;
                SDL_SetSurfaceAlphaMod(surface, static_cast<Uint8>(d.blendParam));
            } else if (d.blendMode == 2) {
                mode = SDL_BLENDMODE_ADD;
                if (d.blendParam < 255) SDL_SetSurfaceAlphaMod(surface, static_cast<Uint8>(d.blendParam));
            }
            SDL_SetSurfaceBlendMode(surface, mode);
            if (d.bright[0] != 255 || d.bright[1] != 255 || d.bright[2] != 255)
                SDL_SetSurfaceColorMod(surface, static_cast<Uint8>(d.bright[0]), static_cast<Uint8>(d.bright[1]),
                                       static_cast<Uint8>(d.bright[2]));
            if (rle) SDL_SetSurfaceRLE(surface, 1);
        }
        Blit b;
        b.surface = surface;
        b.blends = (d.transFlag && p.alpha) || d.blendMode != 0 || d.bright[0] != 255 || d.bright[1] != 255 ||
                   d.bright[2] != 255;
        b.alphaOnly = d.transFlag && p.alpha && d.blendMode == 0 && d.bright[0] == 255 && d.bright[1] == 255 &&
                      d.bright[2] == 255;
        b.source = SDL_Rect{0, 0, p.width, p.height};
        if (IsCall(d, "DrawGraphicPart")) {
            const int x = d.source[0], w = d.source[2];
            b.source = SDL_Rect{mirrored ? p.width - x - w : x, d.source[1], w, d.source[3]};
        }
        b.place = SDL_Rect{d.points[0], d.points[1], b.source.w, b.source.h};
        if (stretched) {
            const int left = std::min(d.points[0], d.points[2]), right = std::max(d.points[0], d.points[2]);
            b.place = SDL_Rect{left, d.points[1], right - left, d.points[3] - d.points[1]};
            if (b.place.w != p.width || b.place.h != p.height) b.kind = BlitKind::kScaled;
        }
        b.reach = b.place;
        if (rotated) {
            b.kind = BlitKind::kRotated;
            SDL_Texture*& texture = textureOf[surface];
            if (texture == nullptr) {
                texture = SDL_CreateTextureFromSurface(f.renderer, surface);
                if (texture == nullptr) {
                    *why = SDL_GetError();
                    f.Free();
                    return false;
                }
                f.textures.push_back(texture);
                SDL_BlendMode mode = SDL_BLENDMODE_NONE;
                SDL_GetSurfaceBlendMode(surface, &mode);
                SDL_SetTextureBlendMode(texture, mode);
            }
            b.texture = texture;
            const float w = static_cast<float>(p.width * d.scale), h = static_cast<float>(p.height * d.scale);
            b.rotatedPlace = SDL_FRect{static_cast<float>(d.points[0]) - w / 2, static_cast<float>(d.points[1]) - h / 2,
                                       w, h};
            b.degrees = d.angle * 180.0 / M_PI;
            const int half = static_cast<int>(std::ceil(std::hypot(w, h) / 2)) + 1;
            b.reach = SDL_Rect{d.points[0] - half, d.points[1] - half, 2 * half, 2 * half};
        }
        f.blits.push_back(b);
    }
    // The first blit of each surface maps it to the frame; later frames reuse
    // the mapping.
    f.Draw();
    *out = f;
    return true;
}

uint32_t SdlPixel(const SDL_Surface* s, int x, int y) {
    const uint8_t* at = static_cast<const uint8_t*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    uint32_t v = 0;
    std::memcpy(&v, at, s->format->BytesPerPixel);
    return v;
}

// Per channel, how far two pixels of the screen's encoding lie apart, in
// levels of the channel.
int Distance(uint32_t a, uint32_t b, int bits) {
    if (bits == 16) {
        const int dr = std::abs(int((a >> 11) & 31) - int((b >> 11) & 31));
        const int dg = std::abs(int((a >> 5) & 63) - int((b >> 5) & 63));
        const int db = std::abs(int(a & 31) - int(b & 31));
        return std::max({dr, dg, db});
    }
    int most = 0;
    for (int shift : {0, 8, 16}) most = std::max(most, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return most;
}

// Where the two frames disagree. Pixels reached only by opaque copies,
// colour-keyed draws and alpha-blended draws where the picture is opaque or
// clear must be equal; those that any other blending reaches may
// lie `tolerance` levels apart (each library rounds its own way); those that
// a stretched or rotated draw reaches are only counted, as each library
// samples its own way. Empty when they agree.
std::string CompareWithGame(const RecordedFrame& recorded, const SdlFrame& sdl, std::string* summary) {
    const int bits = recorded.bits;
    enum : uint8_t { kPlain, kBlended, kResampled };
    std::vector<uint8_t> reached(static_cast<size_t>(kWidth) * kHeight, kPlain);
    for (const Blit& b : sdl.blits) {
        const uint8_t kind = b.kind != BlitKind::kPlain ? kResampled : b.blends ? kBlended : kPlain;
        const bool byAlpha = b.kind == BlitKind::kPlain && b.alphaOnly;
        // A run-length accelerated surface has its pixels only while locked.
        if (byAlpha) SDL_LockSurface(b.surface);
        for (int y = std::max(0, b.reach.y); y < std::min(kHeight, b.reach.y + b.reach.h); ++y)
            for (int x = std::max(0, b.reach.x); x < std::min(kWidth, b.reach.x + b.reach.w); ++x) {
                uint8_t& at = reached[static_cast<size_t>(y) * kWidth + x];
                if (byAlpha) {
                    // SDL clips the part to the picture, as the game does.
                    const int sx = b.source.x + x - b.place.x, sy = b.source.y + y - b.place.y;
                    if (sx < 0 || sy < 0 || sx >= b.surface->w || sy >= b.surface->h) continue;
                    const uint32_t alpha = SdlPixel(b.surface, sx, sy) >> 24;
                    if (alpha != 0) at = std::max<uint8_t>(at, alpha == 255 ? kPlain : kBlended);
                    continue;
                }
                at = std::max<uint8_t>(at, kind);
            }
        if (byAlpha) SDL_UnlockSurface(b.surface);
    }
    const int tolerance = bits == 16 ? 1 : 3;
    long pixels[3] = {}, differ[3] = {}, beyond[3] = {};
    int most[3] = {};
    std::string first;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const size_t i = static_cast<size_t>(y) * kWidth + x;
            const uint32_t ours = recorded.screen[i], theirs = SdlPixel(sdl.frame, x, y);
            const int distance = Distance(ours, theirs, bits);
            const int kind = reached[i];
            ++pixels[kind];
            differ[kind] += distance != 0;
            beyond[kind] += distance > tolerance;
            most[kind] = std::max(most[kind], distance);
            const bool wrong = kind == kPlain ? distance != 0 : kind == kBlended && distance > tolerance;
            if (first.empty() && wrong) {
                char text[160];
                std::snprintf(text, sizeof text, "at (%d, %d): ours 0x%08X, SDL2 0x%08X%s", x, y, ours, theirs,
                              kind == kBlended ? " (blended)" : "");
                first = text;
            }
        }
    char text[512];
    std::snprintf(text, sizeof text,
                  "%ld pixels reached by copies only (opaque, colour-keyed or alpha 0 and 255), %ld differ (at most %d "
                  "levels); %ld reached by translucent blending, %ld differ "
                  "(at most %d levels, %ld beyond %d); %ld reached by stretched or rotated draws, %ld differ (at most "
                  "%d levels)",
                  pixels[kPlain], differ[kPlain], most[kPlain], pixels[kBlended], differ[kBlended], most[kBlended], beyond[kBlended],
                  tolerance, pixels[kResampled], differ[kResampled], most[kResampled]);
    *summary = text;
    if (differ[kPlain] == 0 && beyond[kBlended] == 0) return "";
    return "the SDL2 frame differs from the game's " + first;
}

// The game's screen as it stands, in its own encoding.
std::vector<uint32_t> ReadScreen() {
    std::vector<uint32_t> pixels(static_cast<size_t>(kWidth) * kHeight);
    const MEMIMG& screen = PrimaryScreenMemImg;
    const int bytes = screen.base->format->bytesPerPixel;
    const uint32_t rgb = screen.base->format->redMask | screen.base->format->greenMask | screen.base->format->blueMask;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            uint32_t v = 0;
            std::memcpy(&v, screen.pixels + static_cast<ptrdiff_t>(y) * screen.base->pitch + x * bytes,
                        static_cast<size_t>(bytes));
            pixels[static_cast<size_t>(y) * kWidth + x] = v & rgb;
        }
    return pixels;
}

// Draws the recorded frame again through the framework's public draws, each
// with the settings it was made with.
void ReplayDraws(const std::vector<SeenDraw>& draws) {
    ClearTargetScreen();
    for (const SeenDraw& d : draws) {
        SetBlendModeAndParam(d.blendMode, d.blendParam);
        SetDrawBrightnessRGB(d.bright[0], d.bright[1], d.bright[2]);
        if (IsCall(d, "DrawGraphicAtPoint")) {
            DrawGraphicAtPoint(d.points[0], d.points[1], d.handle, d.transFlag);
        } else if (IsCall(d, "DrawGraphicPart")) {
            DrawGraphicPart(d.points[0], d.points[1], d.source[0], d.source[1], d.source[2], d.source[3], d.handle,
                            d.transFlag, d.turnFlag);
        } else if (IsCall(d, "DrawGraphicMirrored")) {
            DrawGraphicMirrored(d.points[0], d.points[1], d.handle, d.transFlag);
        } else if (IsCall(d, "DrawGraphicStretched")) {
            DrawGraphicStretched(d.points[0], d.points[1], d.points[2], d.points[3], d.handle, d.transFlag);
        } else if (IsCall(d, "DrawGraphicRotated")) {
            DrawGraphicRotated(d.points[0], d.points[1], d.scale, d.angle, d.handle, d.transFlag, d.turnFlag);
        }
    }
}

// Walks the busiest part to its busiest frame at this depth, and keeps that
// frame: its draws, the game's pixels and the pictures.
bool RecordBusiestFrame(int bits, RecordedFrame* out, std::string* why) {
    StageRun run;
    if (!run.Start(bits, why)) {
        run.Stop();
        return false;
    }
    RecordedFrame recorded;
    recorded.bits = bits;
    recorded.frame = Busiest.busiestFrame;
    bool ok = false;
    run.atFrameEnd = [&](int frame) {
        if (frame != Busiest.busiestFrame) return;
        const std::vector<SeenDraw>& draws = run.game.DrawsOfFrame(frame);
        recorded.draws = draws;
        recorded.screen = ReadScreen();
        ok = true;
        for (const SeenDraw& d : draws) {
            if (!Replayable(d)) recorded.unsupported += std::string(" ") + d.call;
            if (d.handle < 0 || recorded.pictures.count(d.handle)) continue;
            const GraphicRecord* record = GetGraphicRecord(d.handle);
            Picture p;
            if (record == nullptr || !CopyPicture(record, bits, &p, why)) {
                ok = false;
                break;
            }
            recorded.pictures[d.handle] = p;
        }
        PostQuitMessage(0);
    };
    run.Walk(Busiest.code, Busiest.busiestFrame + 1);
    run.Stop();
    if (!ok) {
        if (why->empty()) *why = "the walk did not reach the busiest frame";
        return false;
    }
    if (PictureDraws(recorded.draws) != Busiest.mostPictures) {
        *why = "the busiest frame drew " + std::to_string(PictureDraws(recorded.draws)) + " pictures, not " +
               std::to_string(Busiest.mostPictures);
        return false;
    }
    *out = std::move(recorded);
    return true;
}

// ---- The rows ------------------------------------------------------------------------

std::map<std::string, std::string>& Failures() {
    static std::map<std::string, std::string> failures;
    return failures;
}

// Ours: the scene's frames, timed from the busiest frame on, standing there;
// the present to the window is timed apart.
void OursFrame(benchmark::State& state, int bits) {
    StageRun run;
    std::string why;
    if (!run.Start(bits, &why)) {
        run.Stop();
        state.SkipWithError(why.c_str());
        return;
    }
    run.game.SetRecordDraws(false);
    long pictures = 0, frames = 0;
    bool timedAll = false, sameWalk = true;
    run.atFrameEnd = [&](int frame) {
        if (frame == Busiest.busiestFrame) {
            run.stopWalking = true;
            sameWalk = run.game.PictureDrawsOfLastFrame() == Busiest.mostPictures;
        }
        if (frame > Busiest.busiestFrame && !timedAll) {
            pictures += run.game.PictureDrawsOfLastFrame();
            ++frames;
        }
    };
    run.afterFrameEnd = [&](int frame) {
        if (frame < Busiest.busiestFrame || timedAll) return;
        if (frame > Busiest.busiestFrame) {
            run.timer.Stop();
            state.SetIterationTime(run.timer.seconds);
        }
        if (!state.KeepRunning()) {
            run.timing = false;
            timedAll = true;
            PostQuitMessage(0);
            return;
        }
        run.timing = true;
        run.timer.seconds = 0;
        run.timer.Go();
    };
    // The scene runs on until the timing is done.
    run.game.SetFrameLimit(0);
    const int result = run.Walk(Busiest.code, 0);
    run.Stop();
    if (!sameWalk) {
        state.SkipWithError("this walk's busiest frame differs from the recorded one");
        return;
    }
    if (!timedAll) {
        state.SkipWithError(("the scene ended (result " + std::to_string(result) + ") before the timing did").c_str());
        return;
    }
    state.counters["pictures/frame"] = frames ? static_cast<double>(pictures) / frames : 0;
    state.counters["present us"] = frames ? run.presentSeconds * 1e6 / frames : 0;
}

// Ours: the busiest frame's draws replayed inside the running scene, on its
// graphics; checked once against the scene's own pixels.
void OursDraws(benchmark::State& state, int bits) {
    const std::string row = "ours draws/" + std::to_string(bits);
    if (Failures().count(row)) {
        state.SkipWithError(Failures()[row].c_str());
        return;
    }
    const RecordedFrame& recorded = Recorded().at(bits);
    StageRun run;
    std::string why;
    if (!run.Start(bits, &why)) {
        run.Stop();
        state.SkipWithError(why.c_str());
        return;
    }
    std::string failed;
    // The draws of this run: graphic handles differ from run to run.
    run.atFrameEnd = [&](int frame) {
        if (frame != Busiest.busiestFrame) return;
        // The replay's own draws are not recorded.
        const std::vector<SeenDraw> draws = run.game.DrawsOfFrame(frame);
        run.game.SetRecordDraws(false);
        if (PictureDraws(draws) != PictureDraws(recorded.draws)) {
            failed = "this walk's busiest frame differs from the recorded one";
            PostQuitMessage(0);
            return;
        }
        const int mode = CurrentDrawSettings.blendMode, param = CurrentDrawSettings.blendParam;
        const uint32_t bright = GetDrawBrightColor();
        ReplayDraws(draws);
        const std::vector<uint32_t> replayed = ReadScreen();
        if (replayed != recorded.screen) {
            long count = 0;
            size_t at = 0;
            for (size_t i = 0; i < replayed.size(); ++i)
                if (replayed[i] != recorded.screen[i] && count++ == 0) at = i;
            failed = "the replayed draws do not give the game's frame: " + std::to_string(count) +
                     " pixels differ, the first at (" + std::to_string(at % kWidth) + ", " +
                     std::to_string(at / kWidth) + ")";
        } else {
            for (auto _ : state) {
                ReplayDraws(draws);
                benchmark::DoNotOptimize(PrimaryScreenMemImg.pixels);
                benchmark::ClobberMemory();
            }
        }
        SetBlendModeAndParam(mode, param);
        SetDrawBrightnessColor(bright);
        PostQuitMessage(0);
    };
    run.Walk(Busiest.code, Busiest.busiestFrame + 1);
    run.Stop();
    if (!failed.empty()) {
        Failures()[row] = failed;
        state.SkipWithError(failed.c_str());
    }
}

void Sdl2Frame(benchmark::State& state, const std::string& name) {
    const auto found = SdlFrames().find(name);
    if (found == SdlFrames().end() || Failures().count(name)) {
        state.SkipWithError(Failures().count(name) ? Failures()[name].c_str() : "no SDL2 frame");
        return;
    }
    const SdlFrame& frame = found->second;
    for (auto _ : state) {
        frame.Draw();
        benchmark::DoNotOptimize(frame.frame->pixels);
        benchmark::ClobberMemory();
    }
}

// Keeps each row's microseconds per frame for the closing table: the best
// of the repetitions, as other programs on the machine only slow a run down.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
            const double us = run.GetAdjustedRealTime();
            const std::string name = run.run_name.function_name;
            const auto found = times.find(name);
            times[name] = found == times.end() ? us : std::min(found->second, us);
            for (const auto& [counter, value] : run.counters) {
                const auto kept = counters[name].find(counter);
                if (kept == counters[name].end() || found == times.end() || us <= found->second)
                    counters[name][counter] = value.value;
            }
        }
    }
    double Time(const std::string& name) const {
        const auto found = times.find(name);
        return found == times.end() ? 0 : found->second;
    }
    std::map<std::string, double> times;
    // The counters of the run whose time is kept.
    std::map<std::string, std::map<std::string, double>> counters;
};

std::string Cell(double value, const char* format = "%.1f") {
    if (value <= 0) return "-";
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    SDL_SetMainReady();
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    benchmark::Initialize(&argc, argv);

    // The busiest part, and its busiest frame.
    std::printf("Picture draws per played frame, walking each stage part's generated map (%d frames at most):\n",
                kSurveyFrames);
    std::printf("%-6s %8s %8s %8s %10s %8s\n", "part", "frames", "mean", "most", "at frame", "result");
    for (int code : kStageParts) {
        PartSurvey survey;
        std::string why;
        if (!SurveyPart(code, &survey, &why)) {
            std::fprintf(stderr, "part %d: %s\n", code, why.c_str());
            return 1;
        }
        std::printf("%-6d %8d %8.1f %8d %10d %8d\n", code, survey.playedFrames, survey.meanPictures,
                    survey.mostPictures, survey.busiestFrame, survey.result);
        if (survey.meanPictures > Busiest.meanPictures) Busiest = survey;
    }
    std::printf("busiest part: %d, its busiest frame: %d (%d picture draws)\n\n", Busiest.code, Busiest.busiestFrame,
                Busiest.mostPictures);

    for (int bits : {16, 32}) {
        RecordedFrame recorded;
        std::string why;
        if (!RecordBusiestFrame(bits, &recorded, &why)) {
            std::fprintf(stderr, "%d bits: %s\n", bits, why.c_str());
            return 1;
        }
        if (!recorded.unsupported.empty())
            std::printf("%d bits: draws left out on both sides:%s\n", bits, recorded.unsupported.c_str());
        Recorded()[bits] = std::move(recorded);
        for (bool rle : {false, true}) {
            const std::string name = std::string(rle ? "sdl2 rle/" : "sdl2/") + std::to_string(bits);
            SdlFrame frame;
            if (!MakeSdlFrame(Recorded()[bits], rle, &frame, &why)) {
                Failures()[name] = why;
                continue;
            }
            std::string summary;
            const std::string differs = CompareWithGame(Recorded()[bits], frame, &summary);
            std::printf("%s: %s\n", name.c_str(), summary.c_str());
            if (!differs.empty()) Failures()[name] = differs;
            SdlFrames()[name] = frame;
        }
    }
    std::printf("\n");

    for (int bits : {16, 32}) {
        const std::string depth = "/" + std::to_string(bits);
        benchmark::RegisterBenchmark(("ours frame" + depth).c_str(), OursFrame, bits)
            ->Iterations(kTimedFrames)
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("ours draws" + depth).c_str(), OursDraws, bits)->Unit(benchmark::kMicrosecond);
        for (const char* side : {"sdl2", "sdl2 rle"})
            benchmark::RegisterBenchmark((side + depth).c_str(), Sdl2Frame, std::string(side) + depth)
                ->Unit(benchmark::kMicrosecond);
    }
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nStage part %d, frame %d (%d picture draws): microseconds per frame, best of the repetitions\n",
                Busiest.code, Busiest.busiestFrame, Busiest.mostPictures);
    std::printf("%-6s %11s %9s %9s %9s %10s %11s %11s %11s\n", "depth", "ours frame", "present", "SDL2",
                "SDL2 rle", "ours/SDL2", "ours draws", "draws/SDL2", "pics/frame");
    for (int bits : {16, 32}) {
        const std::string depth = "/" + std::to_string(bits);
        const double frame = reporter.Time("ours frame" + depth);
        const double draws = reporter.Time("ours draws" + depth);
        const double sdl = reporter.Time("sdl2" + depth), rle = reporter.Time("sdl2 rle" + depth);
        const double best = sdl > 0 && (rle <= 0 || sdl < rle) ? sdl : rle;
        auto& counters = reporter.counters["ours frame" + depth];
        std::printf("%-6d %11s %9s %9s %9s %10s %11s %11s %11s\n", bits, Cell(frame).c_str(),
                    Cell(counters["present us"]).c_str(), Cell(sdl).c_str(), Cell(rle).c_str(),
                    Cell(best > 0 && frame > 0 ? frame / best : 0, "%.2f").c_str(), Cell(draws).c_str(),
                    Cell(best > 0 && draws > 0 ? draws / best : 0, "%.2f").c_str(),
                    Cell(counters["pictures/frame"]).c_str());
    }
    std::printf("ours frame: the game's whole frame from one frame end to the next, without the present to the "
                "window (its own column);\nours/SDL2 and draws/SDL2: against the faster SDL2 column; pics/frame: "
                "picture draws per timed frame of ours\n");
    for (auto& [name, frame] : SdlFrames()) frame.Free();
    for (auto& [bits, recorded] : Recorded())
        for (auto& [handle, picture] : recorded.pictures) {
            SDL_FreeSurface(picture.surface);
        }
    benchmark::Shutdown();
    return 0;
}
