// The rotated blit and the textured four-corner draw side by side with pixman
// (a composite through an affine transform, nearest filter) and SDL2's
// software renderer (SDL_RenderCopyEx for the rotated blit, SDL_RenderGeometry
// for the quad). Both draw a whole image turned about its centre onto the
// same place; the two benchmark programs differ only in our call and SDL2's.
//
// Every row draws the same images the same way on each side: 16-bit 5-6-5 or
// 32-bit destinations; a 32x32 sprite onto a 640x480 frame, a 640x480 image
// onto a 640x480 frame, or a 4096x4096 image onto a 4096x4096 target, each
// about the destination's centre (the sprite about (116, 116)); at angle 0
// and at 30 degrees; a colour-keyed copy (a disc, the corners keyed) or an
// alpha-weighted one (every pixel translucent). Speed is source megapixels
// drawn per second.
//
// Before a side is timed its pixels are checked once: ours must equal the
// literal reference exactly; every side must give each pixel either the
// operation on one of the source pixels next to the one the ideal mapping
// reaches, or leave it as it was where one of those lies outside the image or
// is keyed.
#pragma once

#include <pixman.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/draw_settings.h"
#include "framework/softrender/raster_triangle.h"
#include "framework/softrender/rotate_blit.h"
// The literal reference of the tests, compiled into this program.
#include "tests/support/reference_blit.h"
#include "tests/support/reference_raster.h"
#include "bench/draw_benchmark_support.h"

namespace drawbench {

enum class Family { kRotate, kQuad };
enum class Size { kSprite, kFrame, kTarget };
enum class Look { kKeyed, kAlpha };
enum class Side { kOurs, kPixman, kSdl };

struct Row {
    int depth;
    Size size;
    int degrees;
    Look look;
};

inline const char* SizeName(Size size) {
    switch (size) {
    case Size::kSprite: return "sprite32";
    case Size::kFrame: return "frame640x480";
    case Size::kTarget: return "target4096";
    }
    return "";
}

inline const char* SideName(Side side) {
    switch (side) {
    case Side::kOurs: return "ours";
    case Side::kPixman: return "pixman";
    case Side::kSdl: return "sdl2";
    }
    return "";
}

inline std::string RowName(Family family, const Row& row) {
    return std::string(family == Family::kRotate ? "rotate/" : "quad/") + std::to_string(row.depth) + "/" +
           SizeName(row.size) + "/" + std::to_string(row.degrees) + "deg/" +
           (row.look == Look::kKeyed ? "keyed" : "alpha");
}

// The source, the destination and the destination pixel of the source's
// centre texel (width / 2, height / 2).
struct Geometry {
    int sourceWidth, sourceHeight;
    int targetWidth, targetHeight;
    int centreX, centreY;
};

inline Geometry GeometryOf(const Row& row) {
    switch (row.size) {
    case Size::kSprite: return {32, 32, 640, 480, 116, 116};
    case Size::kFrame: return {640, 480, 640, 480, 320, 240};
    case Size::kTarget: return {4096, 4096, 4096, 4096, 2048, 2048};
    }
    return {};
}

inline Argb SourceColour(const Row& row, const Geometry& g, int x, int y) {
    const uint32_t h = Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 1);
    Argb c{255, (h >> 8) & 0xFF, (h >> 16) & 0xFF, (h >> 24) & 0xFF};
    if (IsKey(c)) c.g = 1;
    if (row.look == Look::kKeyed) {
        // A disc: the corners are the key.
        const double dx = (x + 0.5) / g.sourceWidth - 0.5, dy = (y + 0.5) / g.sourceHeight - 0.5;
        if (dx * dx + dy * dy > 0.25) return kKey;
    } else {
        c.a = 1 + h % 254;
    }
    return Quantised(c, row.depth);
}

inline Argb DestColour(const Row& row, int x, int y) {
    const uint32_t h = Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 7);
    return Quantised(Argb{255, h & 0xFF, (h >> 8) & 0xFF, (h >> 16) & 0xFF}, row.depth);
}

// Where the draw maps the destination: pixel (x, y) shows the source texel
// at (u, v) = (a x + b y + c, d x + e y + f), rounded down.
struct Affine {
    double a, b, c, d, e, f;
};

// The destination points of the source's corners: top left, top right,
// bottom left, bottom right (the four-corner draw's order).
struct Corners {
    int x[4], y[4];
};

inline double Radians(int degrees) { return degrees * 3.14159265358979323846 / 180.0; }

// The corners turned about the centre, in whole pixels.
inline Corners TurnedCorners(const Row& row, const Geometry& g) {
    const double t = Radians(row.degrees), c = std::cos(t), s = std::sin(t);
    const double hw = g.sourceWidth / 2.0, hh = g.sourceHeight / 2.0;
    const double px[4] = {-hw, hw, -hw, hw}, py[4] = {-hh, -hh, hh, hh};
    Corners k;
    for (int i = 0; i < 4; ++i) {
        k.x[i] = static_cast<int>(std::lround(g.centreX + c * px[i] - s * py[i]));
        k.y[i] = static_cast<int>(std::lround(g.centreY + s * px[i] + c * py[i]));
    }
    return k;
}

inline Affine MappingOf(Family family, const Row& row, const Geometry& g) {
    if (family == Family::kRotate) {
        // Positive angles turn clockwise on the screen: the inverse turn.
        const double t = Radians(row.degrees), c = std::cos(t), s = std::sin(t);
        return {c, s, g.sourceWidth / 2 - c * g.centreX - s * g.centreY,
                -s, c, g.sourceHeight / 2 + s * g.centreX - c * g.centreY};
    }
    // The quad maps its top-left, top-right and bottom-left points to the
    // source's corners (0, 0), (width, 0) and (0, height).
    const Corners k = TurnedCorners(row, g);
    const double ax = k.x[1] - k.x[0], ay = k.y[1] - k.y[0];  // the top edge
    const double bx = k.x[2] - k.x[0], by = k.y[2] - k.y[0];  // the left edge
    const double det = ax * by - ay * bx;
    const double w = g.sourceWidth, h = g.sourceHeight;
    // (x - x0, y - y0) = s (ax, ay) + t (bx, by); u = s w, v = t h.
    const double sa = by / det, sb = -bx / det, ta = -ay / det, tb = ax / det;
    return {sa * w, sb * w, -(sa * k.x[0] + sb * k.y[0]) * w, ta * h, tb * h, -(ta * k.x[0] + tb * k.y[0]) * h};
}

// Every pixel of the destination: the operation on a source pixel next to
// the one the mapping reaches, or left as it was where one of those lies
// outside the source or is keyed. With `twice`, a pixel may also have been
// blended twice with the same source pixel (the four-corner draw's two
// triangles both draw their shared diagonal).
template <typename Read>
bool CheckTransformed(const Row& row, const Geometry& g, const Affine& m, bool twice, Read read, std::string* why) {
    for (int y = 0; y < g.targetHeight; ++y) {
        for (int x = 0; x < g.targetWidth; ++x) {
            const double u = m.a * x + m.b * y + m.c, v = m.d * x + m.e * y + m.f;
            const int su = static_cast<int>(std::floor(u)), sv = static_cast<int>(std::floor(v));
            const Argb before = DestColour(row, x, y);
            const Argb got = read(x, y);
            const bool unchanged = got.r == before.r && got.g == before.g && got.b == before.b;
            bool mayKeep = false, ok = false;
            for (int dy = -1; dy <= 1 && !ok; ++dy)
                for (int dx = -1; dx <= 1 && !ok; ++dx) {
                    const int tx = su + dx, ty = sv + dy;
                    if (tx < 0 || ty < 0 || tx >= g.sourceWidth || ty >= g.sourceHeight) {
                        mayKeep = true;
                        continue;
                    }
                    const Argb s = SourceColour(row, g, tx, ty);
                    if (row.look == Look::kKeyed && IsKey(s)) {
                        mayKeep = true;
                        continue;
                    }
                    ok = NearCombined(row.depth, row.look == Look::kKeyed ? Combine::kCopy : Combine::kBlend, s,
                                      before, got);
                    if (!ok && twice && row.look == Look::kAlpha) {
                        // Blended twice by a: by 1 - (1 - a)^2 once.
                        const uint32_t a = s.a, twiceA = (a * (510 - a) + 127) / 255;
                        ok = NearCombined(row.depth, Combine::kBlend, Argb{twiceA, s.r, s.g, s.b}, before, got);
                    }
                }
            if (!ok && !(mayKeep && unchanged)) {
                char text[200];
                std::snprintf(text, sizeof text, "pixel (%d, %d), source (%.1f, %.1f): %u,%u,%u became %u,%u,%u", x,
                              y, u, v, before.r, before.g, before.b, got.r, got.g, got.b);
                *why = text;
                return false;
            }
        }
    }
    return true;
}

// The destination rectangle the turned image covers, widened by a pixel and
// clipped to the destination.
inline SDL_Rect CoveredBox(const Row& row, const Geometry& g) {
    const Corners k = TurnedCorners(row, g);
    int left = k.x[0], right = k.x[0], top = k.y[0], bottom = k.y[0];
    for (int i = 1; i < 4; ++i) {
        left = std::min(left, k.x[i]), right = std::max(right, k.x[i]);
        top = std::min(top, k.y[i]), bottom = std::max(bottom, k.y[i]);
    }
    left = std::max(left - 1, 0), top = std::max(top - 1, 0);
    right = std::min(right + 2, g.targetWidth), bottom = std::min(bottom + 2, g.targetHeight);
    return SDL_Rect{left, top, right - left, bottom - top};
}

// ---- Our side ------------------------------------------------------------

struct OurScene {
    std::unique_ptr<TestImage> source, dest;
    Corners corners;
    ReferenceSettings settings;
};

inline std::unique_ptr<OurScene> MakeOurScene(const Row& row, const Geometry& g) {
    auto scene = std::make_unique<OurScene>();
    const int type = row.depth == 16 ? kMemImgColor565 : kMemImgColor32;
    const bool alpha = row.look == Look::kAlpha;
    scene->source = MakeTestImage(g.sourceWidth, g.sourceHeight, type, 0, alpha ? 1 : 0, ToPixel(kKey, row.depth));
    scene->dest = MakeTestImage(g.targetWidth, g.targetHeight, type);
    for (int y = 0; y < g.sourceHeight; ++y)
        for (int x = 0; x < g.sourceWidth; ++x) {
            const Argb c = SourceColour(row, g, x, y);
            uint32_t v = ToPixel(c, row.depth);
            if (alpha) v |= row.depth == 16 ? c.a << 16 : c.a << 24;
            WriteTestPixel(scene->source->get(), x, y, v);
        }
    for (int y = 0; y < g.targetHeight; ++y)
        for (int x = 0; x < g.targetWidth; ++x)
            WriteTestPixel(scene->dest->get(), x, y, ToPixel(DestColour(row, x, y), row.depth));
    scene->corners = TurnedCorners(row, g);
    scene->settings.blendMode = 0;
    scene->settings.blendParam = 255;
    scene->settings.drawArea = RECT{0, 0, g.targetWidth, g.targetHeight};
    CurrentDrawSettings.blendMode = 0;
    CurrentDrawSettings.blendParam = 255;
    CurrentDrawSettings.brightColor = 0xFFFFFF;
    CurrentDrawSettings.drawArea = scene->settings.drawArea;
    return scene;
}

inline void DrawOurs(Family family, const Row& row, const Geometry& g, OurScene& scene) {
    if (family == Family::kRotate) {
        RotateBlitMemImg(scene.dest->get(), scene.source->get(), g.centreX, g.centreY,
                         static_cast<float>(Radians(row.degrees)), 1.0f, 1, 0, nullptr, CurrentDrawSettings);
    } else {
        const Corners& k = scene.corners;
        const int points[8] = {k.x[0], k.y[0], k.x[1], k.y[1], k.x[2], k.y[2], k.x[3], k.y[3]};
        RasterQuadMemImg(scene.dest->get(), scene.source->get(), points, 1, nullptr, CurrentDrawSettings);
    }
}

inline bool CheckOurs(Family family, const Row& row, const Geometry& g, OurScene& scene, std::string* why) {
    auto expected = MakeTestImage(g.targetWidth, g.targetHeight, row.depth == 16 ? kMemImgColor565 : kMemImgColor32);
    for (int y = 0; y < g.targetHeight; ++y)
        for (int x = 0; x < g.targetWidth; ++x)
            WriteTestPixel(expected->get(), x, y, ReadTestPixel(scene.dest->get(), x, y));
    DrawOurs(family, row, g, scene);
    if (family == Family::kRotate) {
        ReferenceRotateBlit(expected->get(), scene.source->get(), g.centreX, g.centreY,
                            static_cast<float>(Radians(row.degrees)), 1.0f, 1, 0, nullptr, scene.settings);
    } else {
        const Corners& k = scene.corners;
        const int points[8] = {k.x[0], k.y[0], k.x[1], k.y[1], k.x[2], k.y[2], k.x[3], k.y[3]};
        ReferenceQuad(expected->get(), scene.source->get(), points, 1, nullptr, scene.settings);
    }
    for (int y = 0; y < g.targetHeight; ++y)
        for (int x = 0; x < g.targetWidth; ++x)
            if (ReadTestPixel(scene.dest->get(), x, y) != ReadTestPixel(expected->get(), x, y)) {
                *why = "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") differs from the reference";
                return false;
            }
    return CheckTransformed(row, g, MappingOf(family, row, g), family == Family::kQuad,
                            [&](int x, int y) { return FromPixel(ReadTestPixel(scene.dest->get(), x, y), row.depth); },
                            why);
}

// ---- pixman --------------------------------------------------------------

struct PixmanScene {
    std::vector<uint32_t> sourceMemory, destMemory;
    int destStride = 0;  // bytes
    pixman_image_t* source = nullptr;
    pixman_image_t* dest = nullptr;
    SDL_Rect box;
    ~PixmanScene() {
        if (source) pixman_image_unref(source);
        if (dest) pixman_image_unref(dest);
    }
};

inline std::unique_ptr<PixmanScene> MakePixmanScene(Family family, const Row& row, const Geometry& g) {
    auto scene = std::make_unique<PixmanScene>();
    // Premultiplied ARGB; a keyed pixel is clear.
    scene->sourceMemory.resize(static_cast<size_t>(g.sourceWidth) * g.sourceHeight);
    for (int y = 0; y < g.sourceHeight; ++y)
        for (int x = 0; x < g.sourceWidth; ++x) {
            const Argb c = SourceColour(row, g, x, y);
            scene->sourceMemory[static_cast<size_t>(y) * g.sourceWidth + x] =
                row.look == Look::kKeyed && IsKey(c) ? 0u : ToPremultiplied(c);
        }
    scene->destStride = row.depth == 32 ? g.targetWidth * 4 : (g.targetWidth * 2 + 3) / 4 * 4;
    scene->destMemory.assign(static_cast<size_t>(scene->destStride / 4) * g.targetHeight, 0);
    uint8_t* bytes = reinterpret_cast<uint8_t*>(scene->destMemory.data());
    for (int y = 0; y < g.targetHeight; ++y)
        for (int x = 0; x < g.targetWidth; ++x) {
            const uint32_t v = ToPixel(DestColour(row, x, y), row.depth);
            std::memcpy(bytes + y * scene->destStride + x * (row.depth / 8), &v, row.depth / 8);
        }
    scene->source = pixman_image_create_bits(PIXMAN_a8r8g8b8, g.sourceWidth, g.sourceHeight,
                                             scene->sourceMemory.data(), g.sourceWidth * 4);
    scene->dest = pixman_image_create_bits(row.depth == 16 ? PIXMAN_r5g6b5 : PIXMAN_x8r8g8b8, g.targetWidth,
                                           g.targetHeight, scene->destMemory.data(), scene->destStride);
    // pixman samples at pixel centres: the mapping of (x + 1/2, y + 1/2).
    const Affine m = MappingOf(family, row, g);
    pixman_transform_t transform;
    pixman_transform_init_identity(&transform);
    transform.matrix[0][0] = pixman_double_to_fixed(m.a);
    transform.matrix[0][1] = pixman_double_to_fixed(m.b);
    transform.matrix[0][2] = pixman_double_to_fixed(m.c - 0.5 * (m.a + m.b));
    transform.matrix[1][0] = pixman_double_to_fixed(m.d);
    transform.matrix[1][1] = pixman_double_to_fixed(m.e);
    transform.matrix[1][2] = pixman_double_to_fixed(m.f - 0.5 * (m.d + m.e));
    pixman_image_set_transform(scene->source, &transform);
    pixman_image_set_filter(scene->source, PIXMAN_FILTER_NEAREST, nullptr, 0);
    scene->box = CoveredBox(row, g);
    return scene;
}

inline void DrawPixman(PixmanScene& scene) {
    const SDL_Rect& b = scene.box;
    pixman_image_composite32(PIXMAN_OP_OVER, scene.source, nullptr, scene.dest, b.x, b.y, 0, 0, b.x, b.y, b.w, b.h);
}

inline Argb ReadPixman(const Row& row, const PixmanScene& scene, int x, int y) {
    uint32_t v = 0;
    std::memcpy(&v, reinterpret_cast<const uint8_t*>(scene.destMemory.data()) + y * scene.destStride + x * (row.depth / 8),
                row.depth / 8);
    return FromPixel(v, row.depth);
}

// ---- SDL2 ----------------------------------------------------------------

struct SdlScene {
    SDL_Surface* dest = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    Corners corners;
    ~SdlScene() {
        if (texture) SDL_DestroyTexture(texture);
        if (renderer) SDL_DestroyRenderer(renderer);
        SDL_FreeSurface(dest);
    }
};

inline std::unique_ptr<SdlScene> MakeSdlScene(const Row& row, const Geometry& g) {
    auto scene = std::make_unique<SdlScene>();
    scene->dest = SDL_CreateRGBSurfaceWithFormat(0, g.targetWidth, g.targetHeight, row.depth, SdlFormat(row.depth));
    for (int y = 0; y < g.targetHeight; ++y)
        for (int x = 0; x < g.targetWidth; ++x) PutSdlPixel(scene->dest, x, y, DestColour(row, x, y));
    scene->renderer = SDL_CreateSoftwareRenderer(scene->dest);
    // A keyed source in the destination's format with its colour key (the
    // texture turns the key into clear pixels); an alpha source as ARGB.
    const Uint32 format = row.look == Look::kAlpha ? Uint32{SDL_PIXELFORMAT_ARGB8888} : SdlFormat(row.depth);
    SDL_Surface* source =
        SDL_CreateRGBSurfaceWithFormat(0, g.sourceWidth, g.sourceHeight, SDL_BITSPERPIXEL(format), format);
    for (int y = 0; y < g.sourceHeight; ++y)
        for (int x = 0; x < g.sourceWidth; ++x) PutSdlPixel(source, x, y, SourceColour(row, g, x, y));
    if (row.look == Look::kKeyed) SDL_SetColorKey(source, SDL_TRUE, SDL_MapRGB(source->format, 255, 0, 255));
    scene->texture = SDL_CreateTextureFromSurface(scene->renderer, source);
    SDL_FreeSurface(source);
    SDL_SetTextureBlendMode(scene->texture, SDL_BLENDMODE_BLEND);
    scene->corners = TurnedCorners(row, g);
    return scene;
}

inline void DrawSdl(Family family, const Row& row, const Geometry& g, SdlScene& scene) {
    if (family == Family::kRotate) {
        const SDL_Rect to{g.centreX - g.sourceWidth / 2, g.centreY - g.sourceHeight / 2, g.sourceWidth,
                          g.sourceHeight};
        const SDL_Point centre{g.sourceWidth / 2, g.sourceHeight / 2};
        SDL_RenderCopyEx(scene.renderer, scene.texture, nullptr, &to, row.degrees, &centre, SDL_FLIP_NONE);
    } else {
        const Corners& k = scene.corners;
        SDL_Vertex vertices[4];
        const float u[4] = {0, 1, 0, 1}, v[4] = {0, 0, 1, 1};
        for (int i = 0; i < 4; ++i)
            vertices[i] = SDL_Vertex{SDL_FPoint{static_cast<float>(k.x[i]), static_cast<float>(k.y[i])},
                                     SDL_Color{255, 255, 255, 255}, SDL_FPoint{u[i], v[i]}};
        const int indices[6] = {0, 1, 2, 1, 2, 3};
        SDL_RenderGeometry(scene.renderer, scene.texture, vertices, 4, indices, 6);
    }
    SDL_RenderFlush(scene.renderer);
}

// ---- The benchmarks ------------------------------------------------------

inline void RunSide(benchmark::State& state, Family family, Row row, Side side) {
    const Geometry g = GeometryOf(row);
    const std::string name = RowName(family, row) + "/" + SideName(side);
    bool check = false;
    if (!StartSide(state, name, &check)) return;
    std::string why;
    switch (side) {
    case Side::kOurs: {
        auto scene = MakeOurScene(row, g);
        if (check && !CheckOurs(family, row, g, *scene, &why)) return Fail(state, name, why);
        for (auto _ : state) {
            DrawOurs(family, row, g, *scene);
            benchmark::ClobberMemory();
        }
        break;
    }
    case Side::kPixman: {
        auto scene = MakePixmanScene(family, row, g);
        if (check) {
            DrawPixman(*scene);
            if (!CheckTransformed(row, g, MappingOf(family, row, g), false,
                                  [&](int x, int y) { return ReadPixman(row, *scene, x, y); }, &why))
                return Fail(state, name, why);
        }
        for (auto _ : state) {
            DrawPixman(*scene);
            benchmark::ClobberMemory();
        }
        break;
    }
    case Side::kSdl: {
        // SDL 2.26's software triangles crash on textures of a few thousand
        // texels (2048 x 2048 already).
        if (family == Family::kQuad && row.size == Size::kTarget)
            return NotAvailable(state, "SDL_RenderGeometry crashes on a 4096x4096 texture");
        auto scene = MakeSdlScene(row, g);
        if (check) {
            DrawSdl(family, row, g, *scene);
            if (!CheckTransformed(row, g, MappingOf(family, row, g), false,
                                  [&](int x, int y) { return GetSdlPixel(scene->dest, x, y); }, &why))
                return Fail(state, name, why);
        }
        for (auto _ : state) {
            DrawSdl(family, row, g, *scene);
            benchmark::ClobberMemory();
        }
        break;
    }
    }
    SetRate(state, static_cast<double>(g.sourceWidth) * g.sourceHeight);
}

inline int RunTransformedDrawBenchmarks(Family family, int argc, char** argv) {
    StartDrawBenchmark(&argc, argv);
    std::vector<std::string> names;
    for (const int depth : {16, 32})
        for (const Size size : {Size::kSprite, Size::kFrame, Size::kTarget})
            for (const int degrees : {0, 30})
                for (const Look look : {Look::kKeyed, Look::kAlpha}) {
                    const Row row{depth, size, degrees, look};
                    names.push_back(RowName(family, row));
                    for (const Side side : {Side::kOurs, Side::kPixman, Side::kSdl})
                        benchmark::RegisterBenchmark(
                            (RowName(family, row) + "/" + SideName(side)).c_str(),
                            [family, row, side](benchmark::State& state) { RunSide(state, family, row, side); })
                            ->Unit(benchmark::kMicrosecond);
                }
    benchmark::Initialize(&argc, argv);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintTable(reporter, names, {"sdl2"}, false);
    benchmark::Shutdown();
    return 0;
}

}  // namespace drawbench
