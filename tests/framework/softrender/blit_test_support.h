// What the tests of the blit at a position and of the stretched blit share:
// fixtures that keep the draw settings and the processor flag as they found
// them, the source shapes the sweeps run over, and small pixel helpers.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "framework/base/framework_state.h"
#include "framework/graphics/draw_settings.h"
#include "framework/softrender/blend_tables.h"
#include "framework/softrender/simd_level.h"
#include "tests/support/reference_blit.h"

namespace blittest {

// The draw settings a blit reads, and the processor flag, set together.
inline void UseDrawSettings(int mode, int param, RECT area, uint32_t bright = 0xFFFFFF) {
    CurrentDrawSettings.blendMode = mode;
    CurrentDrawSettings.blendParam = param;
    CurrentDrawSettings.brightColor = bright;
    CurrentDrawSettings.drawArea = area;
}
inline void UseReferenceSettings(const ReferenceSettings& settings) {
    CpuHasMmx = settings.mmx ? 1 : 0;
    UseDrawSettings(settings.blendMode, settings.blendParam, settings.drawArea, settings.brightColor);
}

// Builds the blend tables and puts the draw settings and the processor flag
// back as they were when it goes.
class DrawStateGuard {
public:
    DrawStateGuard() : savedMmx_(CpuHasMmx), savedSettings_(CurrentDrawSettings) { BuildBlendTables(); }
    ~DrawStateGuard() {
        CpuHasMmx = savedMmx_;
        CurrentDrawSettings = savedSettings_;
    }
    DrawStateGuard(const DrawStateGuard&) = delete;
    DrawStateGuard& operator=(const DrawStateGuard&) = delete;

private:
    int savedMmx_;
    DrawSettings savedSettings_;
};

// The cases' fixture: default settings, no MMX, and a weight table whose
// byte 255 weighs 255.
class SoftwareDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        BuildParamTable(128, 255);
        CpuHasMmx = 0;
        CurrentDrawSettings = DrawSettings{};
    }
    static void UseSettings(int mode, int param, RECT area, uint32_t bright = 0xFFFFFF) {
        UseDrawSettings(mode, param, area, bright);
    }

private:
    DrawStateGuard guard_;
};

// Every pixel of `destination` set to the pixel of `source` at the same place.
inline void CopyTestPixels(MEMIMG* destination, const MEMIMG* source) {
    for (int y = 0; y < destination->height; ++y)
        for (int x = 0; x < destination->width; ++x)
            WriteTestPixel(destination, x, y, ReadTestPixel(source, x, y));
}

struct SourceShape {
    int colorType;
    int paletteFlag;
    int alphaFlag;
};

inline void PrintTo(const SourceShape& s, std::ostream* out) {
    *out << "colour type " << s.colorType << (s.paletteFlag ? ", paletted" : s.alphaFlag ? ", alpha" : ", plain");
}

inline std::string ShapeName(const ::testing::TestParamInfo<SourceShape>& info) {
    const SourceShape& s = info.param;
    return std::string(s.colorType == kMemImgColor565 ? "Color16" : "Color32") +
           (s.paletteFlag ? "Paletted" : s.alphaFlag ? "Alpha" : "Plain");
}

// Both depths, each plain, paletted and with alpha.
inline auto AllSourceShapes() {
    return ::testing::Values(SourceShape{kMemImgColor565, 0, 0}, SourceShape{kMemImgColor565, 1, 0},
                             SourceShape{kMemImgColor565, 0, 1}, SourceShape{kMemImgColor32, 0, 0},
                             SourceShape{kMemImgColor32, 1, 0}, SourceShape{kMemImgColor32, 0, 1});
}

// Runs `body` once with each kind of loop this processor has forced in turn
// (the baseline SSE2 loops, then the AVX2 ones fetching scattered texels
// one load a texel and by the processor's gather), then puts the choice
// back. Every kind of loop must give the reference's pixels.
template <typename Body>
void ForEachSimdLevel(Body body) {
    const SimdLevel savedLevel = ActiveSimdLevel();
    const GatherFetch savedFetch = ActiveGatherFetch();
    struct Loops {
        SimdLevel level;
        GatherFetch fetch;
        const char* name;
    };
    for (const Loops& loops : {Loops{SimdLevel::kSse2, GatherFetch::kLoads, "SSE2 loops"},
                               Loops{SimdLevel::kAvx2, GatherFetch::kLoads, "AVX2 loops, texels by loads"},
                               Loops{SimdLevel::kAvx2, GatherFetch::kHardware, "AVX2 loops, texels by gather"}}) {
        if (loops.level > HighestSimdLevel()) continue;
        UseSimdLevel(loops.level);
        UseGatherFetch(loops.fetch);
        SCOPED_TRACE(loops.name);
        body();
    }
    UseSimdLevel(savedLevel);
    UseGatherFetch(savedFetch);
}

// The sweeps' fixture.
class SweepTest : public ::testing::TestWithParam<SourceShape> {
private:
    DrawStateGuard guard_;
};

}  // namespace blittest
