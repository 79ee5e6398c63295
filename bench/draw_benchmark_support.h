// What the software draw benchmarks share: colours in 8-bit channels and
// their 16-bit and 32-bit pixels, the tolerance a library's rounding gets,
// the check-once-then-time bookkeeping, SDL surface pixels, and the closing
// table of every row (ours, pixman, SDL2, the ratio to the faster peer).
//
// Every row is a draw that each side does the same way; before a side is
// timed its pixels are checked once, and a side that fails is reported as an
// error, not timed. Speed is destination megapixels per second.
#pragma once

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/base/framework_state.h"
#include "framework/softrender/blend_tables.h"
#include "framework/softrender/simd_level.h"

namespace drawbench {

// Colours: 8-bit channels, alpha in the top byte, not premultiplied.
struct Argb {
    uint32_t a, r, g, b;
};

inline uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 0x9E3779B1u ^ (y + seed) * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0xC2B2AE3Du;
    return h ^ (h >> 13);
}

// Every side draws 5-6-5 colours in the 16-bit rows: 8-bit channels that a
// 5-6-5 pixel holds exactly when widened by repeating their top bits.
inline Argb Quantised(Argb c, int depth) {
    if (depth == 32) return c;
    const uint32_t r5 = c.r >> 3, g6 = c.g >> 2, b5 = c.b >> 3;
    return {c.a, (r5 << 3) | (r5 >> 2), (g6 << 2) | (g6 >> 4), (b5 << 3) | (b5 >> 2)};
}

inline constexpr Argb kKey{255, 255, 0, 255};  // magenta
inline bool IsKey(Argb c) { return c.r == kKey.r && c.g == kKey.g && c.b == kKey.b; }

inline uint32_t To565(Argb c) { return (c.r >> 3) << 11 | (c.g >> 2) << 5 | c.b >> 3; }
inline uint32_t ToXrgb(Argb c) { return c.r << 16 | c.g << 8 | c.b; }
inline uint32_t ToPixel(Argb c, int depth) { return depth == 16 ? To565(c) : ToXrgb(c); }
inline uint32_t ToPremultiplied(Argb c) {
    const auto mul = [&](uint32_t v) { return (v * c.a + 127) / 255; };
    return c.a << 24 | mul(c.r) << 16 | mul(c.g) << 8 | mul(c.b);
}
inline Argb From565(uint32_t v) {
    return Quantised(Argb{255, ((v >> 11) & 31) << 3, ((v >> 5) & 63) << 2, (v & 31) << 3}, 16);
}
inline Argb FromXrgb(uint32_t v) { return Argb{255, (v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF}; }
inline Argb FromPixel(uint32_t v, int depth) { return depth == 16 ? From565(v) : FromXrgb(v); }

// Whether `result` is an operation's ideal value per channel, within the
// rounding a library may do: 3 levels of an 8-bit channel; for 5-6-5, the
// ideal taken to the channel's width and 3.5 of its levels (one library
// weighs 5-6-5 pixels by the alpha's top five bits).
inline bool Near(int depth, const double ideal[3], Argb result) {
    const uint32_t rc[3] = {result.r, result.g, result.b};
    for (int i = 0; i < 3; ++i) {
        if (depth == 32) {
            if (std::fabs(ideal[i] - rc[i]) > 3.0) return false;
        } else {
            const double levels = i == 1 ? 63.0 : 31.0;
            const double got = (rc[i] >> (i == 1 ? 2 : 3));
            if (std::fabs(ideal[i] * levels / 255.0 - got) > 3.5) return false;
        }
    }
    return true;
}

// The usual operations, channel by channel.
enum class Combine { kCopy, kBlend, kAdd, kMultiply };
inline bool NearCombined(int depth, Combine op, Argb s, Argb d, Argb result) {
    const uint32_t sc[3] = {s.r, s.g, s.b}, dc[3] = {d.r, d.g, d.b};
    double ideal[3];
    for (int i = 0; i < 3; ++i) {
        switch (op) {
        case Combine::kCopy: ideal[i] = sc[i]; break;
        case Combine::kBlend: ideal[i] = dc[i] + (static_cast<double>(sc[i]) - dc[i]) * s.a / 255.0; break;
        case Combine::kAdd: ideal[i] = std::min(255.0, static_cast<double>(sc[i]) + dc[i]); break;
        case Combine::kMultiply: ideal[i] = static_cast<double>(sc[i]) * dc[i] / 255.0; break;
        }
    }
    return Near(depth, ideal, result);
}

// ---- SDL surfaces ------------------------------------------------------------

inline void PutSdlPixel(SDL_Surface* s, int x, int y, Argb c) {
    uint8_t* at = static_cast<uint8_t*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    const uint32_t v = SDL_MapRGBA(s->format, static_cast<Uint8>(c.r), static_cast<Uint8>(c.g),
                                   static_cast<Uint8>(c.b), static_cast<Uint8>(c.a));
    std::memcpy(at, &v, s->format->BytesPerPixel);
}

inline Argb GetSdlPixel(SDL_Surface* s, int x, int y) {
    const uint8_t* at = static_cast<const uint8_t*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    uint32_t v = 0;
    std::memcpy(&v, at, s->format->BytesPerPixel);
    if (s->format->BytesPerPixel == 2) return From565(v);
    return FromXrgb(v);
}

inline Uint32 SdlFormat(int depth) { return depth == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888; }

// ---- Checking once, then timing -----------------------------------------------

// Each side is checked before its first timing only; a side that failed
// fails every later run too.
inline std::map<std::string, std::string>& CheckResults() {
    static std::map<std::string, std::string> results;
    return results;
}

// Whether the side `name` still has to be checked; reports a recorded failure.
inline bool StartSide(benchmark::State& state, const std::string& name, bool* check) {
    const auto found = CheckResults().find(name);
    if (found != CheckResults().end() && !found->second.empty()) {
        state.SkipWithError(found->second.c_str());
        for (auto _ : state) {
        }
        return false;
    }
    *check = found == CheckResults().end();
    CheckResults()[name];
    return true;
}

inline void Fail(benchmark::State& state, const std::string& name, const std::string& why) {
    CheckResults()[name] = why;
    state.SkipWithError(why.c_str());
    for (auto _ : state) {
    }
}

inline void SetRate(benchmark::State& state, double pixelsPerDraw) {
    state.counters["Mpix/s"] = benchmark::Counter(pixelsPerDraw * static_cast<double>(state.iterations()) / 1e6,
                                                  benchmark::Counter::kIsRate);
}

// ---- The closing table ------------------------------------------------------

// The start of the message of a side that cannot do a row at all.
inline constexpr const char* kNotAvailable = "not available: ";

// Reports that the side cannot do this row, and why.
inline void NotAvailable(benchmark::State& state, const std::string& why) {
    state.SkipWithError((kNotAvailable + why).c_str());
    for (auto _ : state) {
    }
}

// Collects each run's rate for the closing table while printing as usual;
// with repetitions (--benchmark_repetitions), the best of them, as other
// programs on the machine only ever slow a run down.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& reports) override {
        for (const Run& run : reports) {
            if (run.run_type != Run::RT_Iteration) continue;
            const std::string name = run.run_name.str();
            if (run.error_occurred) {
                rates_[name] = run.error_message.rfind(kNotAvailable, 0) == 0 ? -2 : -1;
                continue;
            }
            const auto found = run.counters.find("Mpix/s");
            if (found == run.counters.end() || rates_[name] < 0) continue;
            rates_[name] = std::max(rates_[name], found->second.value);
        }
        ConsoleReporter::ReportRuns(reports);
    }
    double Rate(const std::string& name) const {
        const auto found = rates_.find(name);
        return found == rates_.end() ? 0 : found->second;
    }

private:
    std::map<std::string, double> rates_;
};

inline std::string Cell(double rate) {
    char text[32];
    if (rate == -2) return "n/a";
    if (rate < 0) return "FAILED";
    if (rate == 0) return "-";
    std::snprintf(text, sizeof text, "%.1f", rate);
    return text;
}

// The table: for each row, ours, pixman and SDL2 (the best of the columns
// whose side names start "sdl2"), the ratio of ours to the faster peer, and
// with `memcpy`, memcpy of the same bytes and its ratio to ours.
inline void PrintTable(const TableReporter& reporter, const std::vector<std::string>& rows,
                       const std::vector<std::string>& sdlSides, bool memcpyColumn) {
    std::printf("\nDestination megapixels per second, best of the repetitions "
                "(FAILED: the pixels are not the operation's; n/a: the side cannot draw the row)\n");
    std::printf("%-40s %10s %10s", "row", "ours", "pixman");
    for (const std::string& side : sdlSides) std::printf(" %10s", side.c_str());
    std::printf(" %9s", "ours/best");
    if (memcpyColumn) std::printf(" %10s %11s", "memcpy", "memcpy/ours");
    std::printf("\n");
    for (const std::string& row : rows) {
        const double ours = reporter.Rate(row + "/ours");
        const double pixman = reporter.Rate(row + "/pixman");
        double best = pixman;
        std::printf("%-40s %10s %10s", row.c_str(), Cell(ours).c_str(), Cell(pixman).c_str());
        for (const std::string& side : sdlSides) {
            const double rate = reporter.Rate(row + "/" + side);
            best = std::max(best, rate);
            std::printf(" %10s", Cell(rate).c_str());
        }
        char ratio[16] = "-";
        if (ours > 0 && best > 0) std::snprintf(ratio, sizeof ratio, "%.2f", ours / best);
        std::printf(" %9s", ratio);
        if (memcpyColumn) {
            const double copy = reporter.Rate(row + "/memcpy");
            char bound[16] = "-";
            if (ours > 0 && copy > 0) std::snprintf(bound, sizeof bound, "%.2f", copy / ours);
            std::printf(" %10s %11s", Cell(copy).c_str(), bound);
        }
        std::printf("\n");
    }
}

// Reads our own flag, --sse2 (time our baseline loops on a processor that has
// AVX2), off the command line, and sets up what every draw needs.
inline void StartDrawBenchmark(int* argc, char** argv) {
    for (int i = 1; i < *argc; ++i)
        if (std::strcmp(argv[i], "--sse2") == 0) {
            UseSimdLevel(SimdLevel::kSse2);
            std::copy(argv + i + 1, argv + *argc, argv + i);
            --*argc;
            break;
        }
    if (ActiveSimdLevel() == SimdLevel::kAvx2)
        std::printf("our loops: AVX2, scattered texels by %s\n",
                    ActiveGatherFetch() == GatherFetch::kHardware ? "the processor's gather" : "loads");
    else
        std::printf("our loops: SSE2\n");
    BuildBlendTables();
    // The processor facts that start-up measures on this machine.
    CpuHasMmx = 1;
}

}  // namespace drawbench
