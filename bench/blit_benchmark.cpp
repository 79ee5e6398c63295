// The software blits side by side with the two libraries a program would
// otherwise draw with: pixman (composite with SRC, OVER and ADD, nearest
// scaling) and SDL2's software blitter (SDL_BlitSurface, SDL_BlitScaled, with
// blending and colour keys, with and without its run-length encoding).
//
// Every row draws the same images the same way on each side: 16-bit 5-6-5 or
// 32-bit pixels; a 32x32 sprite onto a 640x480 frame, a whole 640x480 frame,
// or a whole 4096x4096 target; an opaque copy, a colour-keyed copy, an
// alpha-blended draw (every pixel translucent) or a saturating add. The
// stretched rows grow the source by 3/2 into the same destinations. Speed is
// destination megapixels per second; the opaque copies are also set against
// memcpy of the same rows, the bandwidth bound.
//
// Before a side is timed its pixels are checked once: ours must equal the
// literal reference blit exactly; the libraries, whose rounding (and, when
// scaling, whose sampling positions) differ, must give each pixel the
// operation's value within a small tolerance, from the source pixel at that
// place (scaled: from one of the source pixels next to the one ours samples).
// A side that fails its check is reported as an error, not timed.
//
// The program ends with a table of every row: ours, pixman, SDL2 (the faster
// of its plain and run-length-encoded surfaces), the ratio of ours to the
// faster peer, and for the copies memcpy and its ratio to ours.
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/base/framework_state.h"
#include "framework/graphics/draw_settings.h"
#include "framework/softrender/blend_tables.h"
#include "framework/softrender/blit_memimg.h"
#include "framework/softrender/stretch_blit.h"
// The literal reference of the tests, compiled into this program.
#include "tests/support/blend_reference.h"
#include "tests/support/reference_blit.h"
#include "bench/draw_benchmark_support.h"

namespace {

using namespace drawbench;

enum class Op { kOpaque, kKeyed, kAlpha, kAdd };
enum class Size { kSprite, kFrame, kTarget };
enum class Side { kOurs, kPixman, kSdl, kSdlRle, kMemcpy };

const char* OpName(Op op) {
    switch (op) {
    case Op::kOpaque: return "opaque";
    case Op::kKeyed: return "keyed";
    case Op::kAlpha: return "alpha";
    case Op::kAdd: return "add";
    }
    return "";
}
const char* SizeName(Size size) {
    switch (size) {
    case Size::kSprite: return "sprite32";
    case Size::kFrame: return "frame640x480";
    case Size::kTarget: return "target4096";
    }
    return "";
}
const char* SideName(Side side) {
    switch (side) {
    case Side::kOurs: return "ours";
    case Side::kPixman: return "pixman";
    case Side::kSdl: return "sdl2";
    case Side::kSdlRle: return "sdl2_rle";
    case Side::kMemcpy: return "memcpy";
    }
    return "";
}

struct Row {
    int depth;  // 16 or 32
    Size size;
    Op op;
    bool stretched;
};

std::string RowName(const Row& row) {
    return std::string(row.stretched ? "stretch/" : "blit/") + std::to_string(row.depth) + "/" +
           SizeName(row.size) + "/" + OpName(row.op);
}

// The source, the destination image and where the draw lands.
struct Geometry {
    int sourceWidth, sourceHeight;
    int targetWidth, targetHeight;
    int x, y, width, height;  // the drawn destination rectangle
};

Geometry GeometryOf(const Row& row) {
    switch (row.size) {
    case Size::kSprite:
        return row.stretched ? Geometry{32, 32, 640, 480, 100, 100, 48, 48}
                             : Geometry{32, 32, 640, 480, 100, 100, 32, 32};
    case Size::kFrame:
        return row.stretched ? Geometry{427, 320, 640, 480, 0, 0, 640, 480}
                             : Geometry{640, 480, 640, 480, 0, 0, 640, 480};
    case Size::kTarget:
        return row.stretched ? Geometry{2731, 2731, 4096, 4096, 0, 0, 4096, 4096}
                             : Geometry{4096, 4096, 4096, 4096, 0, 0, 4096, 4096};
    }
    return {};
}

Argb SourceColour(const Row& row, int x, int y, int width, int height) {
    const uint32_t h = Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 1);
    Argb c{255, (h >> 8) & 0xFF, (h >> 16) & 0xFF, (h >> 24) & 0xFF};
    if (c.r == 255 && c.g == 0 && c.b == 255) c.g = 1;
    if (row.op == Op::kKeyed) {
        // A disc: the corners are the key.
        const double dx = (x + 0.5) / width - 0.5, dy = (y + 0.5) / height - 0.5;
        if (dx * dx + dy * dy > 0.25) return kKey;
    }
    if (row.op == Op::kAlpha) c.a = 1 + h % 254;
    return Quantised(c, row.depth);
}

Argb DestColour(const Row& row, int x, int y) {
    const uint32_t h = Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 7);
    return Quantised(Argb{255, h & 0xFF, (h >> 8) & 0xFF, (h >> 16) & 0xFF}, row.depth);
}

// The operation's value of one channel, before rounding.
double Ideal(Op op, uint32_t s, uint32_t a, uint32_t d, bool keyed) {
    switch (op) {
    case Op::kOpaque: return s;
    case Op::kKeyed: return keyed ? d : s;
    case Op::kAlpha: return d + (static_cast<double>(s) - d) * a / 255.0;
    case Op::kAdd: return std::min(255.0, static_cast<double>(s) + d);
    }
    return 0;
}

// Whether `result` is the operation on source `s` over `d`, within the
// rounding a library may do.
bool Plausible(const Row& row, Argb s, Argb d, Argb result) {
    const bool keyed = IsKey(s) && row.op == Op::kKeyed;
    const uint32_t sc[3] = {s.r, s.g, s.b}, dc[3] = {d.r, d.g, d.b};
    double ideal[3];
    for (int i = 0; i < 3; ++i) ideal[i] = Ideal(row.op, sc[i], s.a, dc[i], keyed);
    return Near(row.depth, ideal, result);
}

// ---- Our side ------------------------------------------------------------

struct OurScene {
    std::unique_ptr<TestImage> source, dest;
    int flag = 0;
    ReferenceSettings settings;
};

std::unique_ptr<OurScene> MakeOurScene(const Row& row, const Geometry& g) {
    auto scene = std::make_unique<OurScene>();
    const int type = row.depth == 16 ? kMemImgColor565 : kMemImgColor32;
    const bool alpha = row.op == Op::kAlpha;
    const uint32_t key = row.depth == 16 ? To565(kKey) : ToXrgb(kKey);
    scene->source = MakeTestImage(g.sourceWidth, g.sourceHeight, type, 0, alpha ? 1 : 0, key);
    scene->dest = MakeTestImage(g.targetWidth, g.targetHeight, type);
    for (int y = 0; y < g.sourceHeight; ++y) {
        for (int x = 0; x < g.sourceWidth; ++x) {
            const Argb c = SourceColour(row, x, y, g.sourceWidth, g.sourceHeight);
            uint32_t v = row.depth == 16 ? To565(c) : ToXrgb(c);
            if (alpha) v |= row.depth == 16 ? c.a << 16 : c.a << 24;
            WriteTestPixel(scene->source->get(), x, y, v);
        }
    }
    if (row.op == Op::kKeyed || row.op == Op::kAlpha) MakeRunCodesValid(scene->source->get());
    scene->flag = row.op == Op::kKeyed || row.op == Op::kAlpha ? 1 : 0;
    scene->settings.blendMode = row.op == Op::kAdd ? 2 : 0;
    scene->settings.blendParam = 255;
    scene->settings.drawArea = RECT{0, 0, g.targetWidth, g.targetHeight};
    scene->settings.mmx = true;
    return scene;
}

void ResetOurDest(const Row& row, MEMIMG* dest) {
    for (int y = 0; y < dest->height; ++y)
        for (int x = 0; x < dest->width; ++x) {
            const Argb c = DestColour(row, x, y);
            WriteTestPixel(dest, x, y, row.depth == 16 ? To565(c) : ToXrgb(c));
        }
}

void DrawOurs(const Row& row, const Geometry& g, OurScene& scene) {
    CurrentDrawSettings.blendMode = scene.settings.blendMode;
    CurrentDrawSettings.blendParam = scene.settings.blendParam;
    CurrentDrawSettings.brightColor = 0xFFFFFF;
    CurrentDrawSettings.drawArea = scene.settings.drawArea;
    if (row.stretched) {
        const RECT rect{g.x, g.y, g.x + g.width, g.y + g.height};
        StretchBlitMemImg(scene.dest->get(), scene.source->get(), &rect, scene.flag, nullptr, CurrentDrawSettings);
    } else {
        BlitMemImg(scene.dest->get(), scene.source->get(), g.x, g.y, scene.flag, nullptr, CurrentDrawSettings);
    }
}

template <typename ReadResult, typename ReadDest>
bool CheckPeer(const Row& row, const Geometry& g, ReadResult result, ReadDest before, std::string* why);

bool CheckOurs(const Row& row, const Geometry& g, OurScene& scene, std::string* why) {
    ResetOurDest(row, scene.dest->get());
    const int type = row.depth == 16 ? kMemImgColor565 : kMemImgColor32;
    auto expected = MakeTestImage(g.targetWidth, g.targetHeight, type);
    ResetOurDest(row, expected->get());
    DrawOurs(row, g, scene);
    if (row.stretched) {
        const RECT rect{g.x, g.y, g.x + g.width, g.y + g.height};
        ReferenceStretchBlit(expected->get(), scene.source->get(), rect, scene.flag, nullptr, scene.settings);
    } else {
        ReferenceBlit(expected->get(), scene.source->get(), g.x, g.y, scene.flag, nullptr, scene.settings);
    }
    const size_t bytes = static_cast<size_t>(row.depth / 8) * g.targetWidth;
    for (int y = 0; y < g.targetHeight; ++y) {
        const MEMIMG* a = scene.dest->get();
        const MEMIMG* b = expected->get();
        if (std::memcmp(a->pixels + y * a->base->pitch, b->pixels + y * b->base->pitch, bytes) != 0) {
            *why = "row " + std::to_string(y) + " differs from the reference";
            return false;
        }
    }
    // And the reference does the row's operation, as the libraries must.
    const auto result = [&](int x, int y) {
        const uint32_t v = ReadTestPixel(scene.dest->get(), x, y);
        return row.depth == 16 ? From565(v) : FromXrgb(v);
    };
    const auto before = [&](int x, int y) { return DestColour(row, x, y); };
    return CheckPeer(row, g, result, before, why);
}

// ---- The libraries' side -------------------------------------------------

// The source pixel a destination pixel shows, by our sampling; the libraries
// may take a neighbour when scaling.
struct Sampling {
    const Geometry& g;
    bool stretched;
    std::vector<int> columns, rows;
    Sampling(const Geometry& geometry, bool scaled) : g(geometry), stretched(scaled) {
        const int64_t rx = int64_t{g.width} * 65536 / g.sourceWidth, ry = int64_t{g.height} * 65536 / g.sourceHeight;
        for (int j = 0; j < g.width; ++j) columns.push_back(static_cast<int>(j * 65536LL / rx));
        for (int i = 0; i < g.height; ++i) rows.push_back(static_cast<int>(i * 65536LL / ry));
    }
};

template <typename ReadResult, typename ReadDest>
bool CheckPeer(const Row& row, const Geometry& g, ReadResult result, ReadDest before, std::string* why) {
    const Sampling sampling(g, row.stretched);
    const int reach = row.stretched ? 1 : 0;
    for (int i = 0; i < g.height; ++i) {
        for (int j = 0; j < g.width; ++j) {
            const Argb got = result(g.x + j, g.y + i);
            const Argb d = before(g.x + j, g.y + i);
            bool ok = false;
            for (int dy = -reach; dy <= reach && !ok; ++dy)
                for (int dx = -reach; dx <= reach && !ok; ++dx) {
                    const int sx = sampling.columns[j] + dx, sy = sampling.rows[i] + dy;
                    if (sx < 0 || sy < 0 || sx >= g.sourceWidth || sy >= g.sourceHeight) continue;
                    ok = Plausible(row, SourceColour(row, sx, sy, g.sourceWidth, g.sourceHeight), d, got);
                }
            if (!ok) {
                const Argb s = SourceColour(row, sampling.columns[j], sampling.rows[i], g.sourceWidth, g.sourceHeight);
                char text[200];
                std::snprintf(text, sizeof text,
                              "pixel (%d, %d): source %u,%u,%u alpha %u over %u,%u,%u gave %u,%u,%u",
                              g.x + j, g.y + i, s.r, s.g, s.b, s.a, d.r, d.g, d.b, got.r, got.g, got.b);
                *why = text;
                return false;
            }
        }
    }
    return true;
}

struct PixmanScene {
    std::vector<uint32_t> sourceMemory, destMemory;
    pixman_image_t* source = nullptr;
    pixman_image_t* dest = nullptr;
    pixman_op_t op = PIXMAN_OP_SRC;
    int destStride = 0;  // bytes
    ~PixmanScene() {
        if (source) pixman_image_unref(source);
        if (dest) pixman_image_unref(dest);
    }
};

std::unique_ptr<PixmanScene> MakePixmanScene(const Row& row, const Geometry& g) {
    auto scene = std::make_unique<PixmanScene>();
    // Keyed and alpha sources are premultiplied ARGB (a key pixel is clear);
    // the others have the destination's format.
    const bool argb = row.op == Op::kKeyed || row.op == Op::kAlpha;
    const pixman_format_code_t destFormat = row.depth == 16 ? PIXMAN_r5g6b5 : PIXMAN_x8r8g8b8;
    const pixman_format_code_t sourceFormat = argb ? PIXMAN_a8r8g8b8 : destFormat;
    const int sourceStride = argb || row.depth == 32 ? g.sourceWidth * 4 : (g.sourceWidth * 2 + 3) / 4 * 4;
    scene->destStride = row.depth == 32 ? g.targetWidth * 4 : (g.targetWidth * 2 + 3) / 4 * 4;
    scene->sourceMemory.assign(static_cast<size_t>(sourceStride / 4) * g.sourceHeight, 0);
    scene->destMemory.assign(static_cast<size_t>(scene->destStride / 4) * g.targetHeight, 0);
    uint8_t* bytes = reinterpret_cast<uint8_t*>(scene->sourceMemory.data());
    for (int y = 0; y < g.sourceHeight; ++y)
        for (int x = 0; x < g.sourceWidth; ++x) {
            Argb c = SourceColour(row, x, y, g.sourceWidth, g.sourceHeight);
            if (row.op == Op::kKeyed && c.r == kKey.r && c.g == kKey.g && c.b == kKey.b) c = Argb{0, 0, 0, 0};
            if (argb || row.depth == 32) {
                const uint32_t v = argb ? ToPremultiplied(c) : ToXrgb(c);
                std::memcpy(bytes + y * sourceStride + x * 4, &v, 4);
            } else {
                const uint16_t v = static_cast<uint16_t>(To565(c));
                std::memcpy(bytes + y * sourceStride + x * 2, &v, 2);
            }
        }
    scene->source = pixman_image_create_bits(sourceFormat, g.sourceWidth, g.sourceHeight,
                                             scene->sourceMemory.data(), sourceStride);
    scene->dest = pixman_image_create_bits(destFormat, g.targetWidth, g.targetHeight, scene->destMemory.data(),
                                           scene->destStride);
    if (row.stretched) {
        pixman_transform_t transform;
        pixman_transform_init_scale(&transform, pixman_double_to_fixed(static_cast<double>(g.sourceWidth) / g.width),
                                    pixman_double_to_fixed(static_cast<double>(g.sourceHeight) / g.height));
        pixman_image_set_transform(scene->source, &transform);
        pixman_image_set_filter(scene->source, PIXMAN_FILTER_NEAREST, nullptr, 0);
    }
    scene->op = row.op == Op::kOpaque ? PIXMAN_OP_SRC : row.op == Op::kAdd ? PIXMAN_OP_ADD : PIXMAN_OP_OVER;
    return scene;
}

Argb ReadPixman(const Row& row, const PixmanScene& scene, int x, int y) {
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(scene.destMemory.data()) + y * scene.destStride;
    if (row.depth == 16) {
        uint16_t v;
        std::memcpy(&v, bytes + x * 2, 2);
        return From565(v);
    }
    uint32_t v;
    std::memcpy(&v, bytes + x * 4, 4);
    return FromXrgb(v);
}

void ResetPixmanDest(const Row& row, const Geometry& g, PixmanScene& scene) {
    uint8_t* bytes = reinterpret_cast<uint8_t*>(scene.destMemory.data());
    for (int y = 0; y < g.targetHeight; ++y)
        for (int x = 0; x < g.targetWidth; ++x) {
            const Argb c = DestColour(row, x, y);
            if (row.depth == 16) {
                const uint16_t v = static_cast<uint16_t>(To565(c));
                std::memcpy(bytes + y * scene.destStride + x * 2, &v, 2);
            } else {
                const uint32_t v = ToXrgb(c);
                std::memcpy(bytes + y * scene.destStride + x * 4, &v, 4);
            }
        }
}

void DrawPixman(const Geometry& g, PixmanScene& scene) {
    pixman_image_composite32(scene.op, scene.source, nullptr, scene.dest, 0, 0, 0, 0, g.x, g.y, g.width, g.height);
}

struct SdlScene {
    SDL_Surface* source = nullptr;
    SDL_Surface* dest = nullptr;
    ~SdlScene() {
        SDL_FreeSurface(source);
        SDL_FreeSurface(dest);
    }
};

std::unique_ptr<SdlScene> MakeSdlScene(const Row& row, const Geometry& g, bool rle) {
    auto scene = std::make_unique<SdlScene>();
    const Uint32 destFormat = row.depth == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    const Uint32 sourceFormat = row.op == Op::kAlpha ? Uint32{SDL_PIXELFORMAT_ARGB8888} : destFormat;
    scene->source = SDL_CreateRGBSurfaceWithFormat(0, g.sourceWidth, g.sourceHeight, SDL_BITSPERPIXEL(sourceFormat), sourceFormat);
    scene->dest = SDL_CreateRGBSurfaceWithFormat(0, g.targetWidth, g.targetHeight, row.depth, destFormat);
    for (int y = 0; y < g.sourceHeight; ++y)
        for (int x = 0; x < g.sourceWidth; ++x)
            PutSdlPixel(scene->source, x, y, SourceColour(row, x, y, g.sourceWidth, g.sourceHeight));
    switch (row.op) {
    case Op::kOpaque: SDL_SetSurfaceBlendMode(scene->source, SDL_BLENDMODE_NONE); break;
    case Op::kKeyed:
        SDL_SetSurfaceBlendMode(scene->source, SDL_BLENDMODE_NONE);
        SDL_SetColorKey(scene->source, SDL_TRUE, SDL_MapRGB(scene->source->format, 255, 0, 255));
        break;
    case Op::kAlpha: SDL_SetSurfaceBlendMode(scene->source, SDL_BLENDMODE_BLEND); break;
    case Op::kAdd: SDL_SetSurfaceBlendMode(scene->source, SDL_BLENDMODE_ADD); break;
    }
    if (rle) SDL_SetSurfaceRLE(scene->source, 1);
    return scene;
}

void ResetSdlDest(const Row& row, const Geometry& g, SdlScene& scene) {
    for (int y = 0; y < g.targetHeight; ++y)
        for (int x = 0; x < g.targetWidth; ++x) PutSdlPixel(scene.dest, x, y, DestColour(row, x, y));
}

void DrawSdl(const Row& row, const Geometry& g, SdlScene& scene) {
    SDL_Rect to{g.x, g.y, g.width, g.height};
    if (row.stretched)
        SDL_BlitScaled(scene.source, nullptr, scene.dest, &to);
    else
        SDL_BlitSurface(scene.source, nullptr, scene.dest, &to);
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
            DrawOurs(row, g, *scene);
            benchmark::ClobberMemory();
        }
        break;
    }
    case Side::kPixman: {
        auto scene = MakePixmanScene(row, g);
        if (check) {
            ResetPixmanDest(row, g, *scene);
            DrawPixman(g, *scene);
            const auto result = [&](int x, int y) { return ReadPixman(row, *scene, x, y); };
            const auto before = [&](int x, int y) { return DestColour(row, x, y); };
            if (!CheckPeer(row, g, result, before, &why)) return Fail(state, name, why);
        }
        for (auto _ : state) {
            DrawPixman(g, *scene);
            benchmark::ClobberMemory();
        }
        break;
    }
    case Side::kSdl:
    case Side::kSdlRle: {
        auto scene = MakeSdlScene(row, g, side == Side::kSdlRle);
        if (check) {
            ResetSdlDest(row, g, *scene);
            DrawSdl(row, g, *scene);
            const auto result = [&](int x, int y) { return GetSdlPixel(scene->dest, x, y); };
            const auto before = [&](int x, int y) { return DestColour(row, x, y); };
            if (!CheckPeer(row, g, result, before, &why)) return Fail(state, name, why);
        }
        for (auto _ : state) {
            DrawSdl(row, g, *scene);
            benchmark::ClobberMemory();
        }
        break;
    }
    case Side::kMemcpy: {
        // The rows a copy moves, between the same two images ours draws with.
        auto scene = MakeOurScene(row, g);
        const size_t rowBytes = static_cast<size_t>(g.width) * (row.depth / 8);
        const MEMIMG* from = scene->source->get();
        MEMIMG* to = scene->dest->get();
        uint8_t* first = to->pixels + g.y * to->base->pitch + g.x * (row.depth / 8);
        for (auto _ : state) {
            for (int y = 0; y < g.height; ++y)
                std::memcpy(first + y * to->base->pitch, from->pixels + y * from->base->pitch, rowBytes);
            benchmark::ClobberMemory();
        }
        break;
    }
    }
    SetRate(state, static_cast<double>(g.width) * g.height);
}

std::vector<Row> AllRows() {
    std::vector<Row> rows;
    for (const bool stretched : {false, true})
        for (const int depth : {16, 32})
            for (const Size size : {Size::kSprite, Size::kFrame, Size::kTarget})
                for (const Op op : {Op::kOpaque, Op::kKeyed, Op::kAlpha, Op::kAdd})
                    rows.push_back(Row{depth, size, op, stretched});
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    StartDrawBenchmark(&argc, argv);
    std::vector<std::string> names;
    for (const Row& row : AllRows()) {
        names.push_back(RowName(row));
        std::vector<Side> sides{Side::kOurs, Side::kPixman, Side::kSdl};
        if (row.op == Op::kKeyed || row.op == Op::kAlpha) sides.push_back(Side::kSdlRle);
        if (row.op == Op::kOpaque && !row.stretched) sides.push_back(Side::kMemcpy);
        for (const Side side : sides) {
            benchmark::RegisterBenchmark((RowName(row) + "/" + SideName(side)).c_str(),
                                         [row, side](benchmark::State& state) { RunSide(state, row, side); })
                ->Unit(benchmark::kMicrosecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintTable(reporter, names, {"sdl2", "sdl2_rle"}, true);
    benchmark::Shutdown();
    return 0;
}
