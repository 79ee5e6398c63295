// The YUV tables and the conversion of decoded pictures into XRGB pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "framework/sound/movie/yuv_to_rgb_tables.h"
#include "framework/sound/movie/yuv_to_xrgb.h"

namespace {

int Clamp(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// The integer conversion of one pixel, written from the coefficients.
void ExpectedInteger(int y, int u, int v, uint8_t out[4]) {
    const int luma = -305120 + 19070 * y;
    out[0] = static_cast<uint8_t>(Clamp((luma + (-4231936 + 33062 * u)) / 16384));
    out[1] = static_cast<uint8_t>(Clamp((luma + (819968 - 6406 * u) + (1705984 - 13320 * v)) / 16384));
    out[2] = static_cast<uint8_t>(Clamp((luma + (-3346944 + 26148 * v)) / 16384));
    out[3] = 255;
}

void ExpectedFloat(int y, int u, int v, uint8_t out[4]) {
    auto clamp = [](double x) { return static_cast<uint8_t>(x < 0 ? 0 : (x > 255 ? 255 : x)); };
    const double luma = 1.164 * (y - 16);
    out[0] = clamp(luma + 2.018 * (u - 128));
    out[1] = clamp(luma - 0.391 * (u - 128) - 0.813 * (v - 128));
    out[2] = clamp(luma + 1.596 * (v - 128));
    out[3] = 255;
}

class YuvToXrgbTest : public ::testing::Test {
protected:
    void SetUp() override { InitYuvToRgbTables(); }
};

TEST_F(YuvToXrgbTest, TablesHoldTheFixedPointTermsAndTheClampEnds) {
    const YuvToRgbTables& t = GetYuvToRgbTables();
    struct Case { int i, y, vToR, uToG, vToG, uToB; };
    for (const Case& c : {Case{0, -305120, -3346944, 819968, 1705984, -4231936},
                          Case{16, 0, -2928576, 717472, 1492864, -3702944},
                          Case{128, 2135840, 0, 0, 1024, 0},
                          Case{255, 4557730, 3320796, -813562, -1690616, 4198874}}) {
        SCOPED_TRACE(c.i);
        EXPECT_EQ(t.y[c.i], c.y);
        EXPECT_EQ(t.vToR[c.i], c.vToR);
        EXPECT_EQ(t.uToG[c.i], c.uToG);
        EXPECT_EQ(t.vToG[c.i], c.vToG);
        EXPECT_EQ(t.uToB[c.i], c.uToB);
    }
    for (auto [in, out] : {std::pair{-512, 0}, {-1, 0}, {0, 0}, {77, 77}, {255, 255}, {256, 255}, {767, 255}})
        EXPECT_EQ(ClampYuvComponent(in), out) << in;
}

struct Picture {
    int width, height, chromaWidth, chromaHeight;
    std::vector<uint8_t> y, u, v;
    // Fills every sample with a value that changes across rows and columns,
    // so a wrong chroma position or row shows.
    Picture(int w, int h, int cw, int ch) : width(w), height(h), chromaWidth(cw), chromaHeight(ch) {
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c) y.push_back(static_cast<uint8_t>((r * 37 + c * 11) % 256));
        for (int r = 0; r < ch; ++r)
            for (int c = 0; c < cw; ++c) {
                u.push_back(static_cast<uint8_t>((r * 53 + c * 29 + 5) % 256));
                v.push_back(static_cast<uint8_t>((r * 17 + c * 71 + 200) % 256));
            }
    }
    YuvPlanes Planes() const {
        return {y.data(), u.data(), v.data(), width, height, width, chromaWidth, chromaHeight, chromaWidth};
    }
    // The same picture stored bottom row first, read with negative strides.
    YuvPlanes PlanesUpsideDown(std::vector<uint8_t>& yf, std::vector<uint8_t>& uf, std::vector<uint8_t>& vf) const {
        auto flip = [](const std::vector<uint8_t>& src, int w, int h) {
            std::vector<uint8_t> out;
            for (int r = h - 1; r >= 0; --r) out.insert(out.end(), src.begin() + r * w, src.begin() + (r + 1) * w);
            return out;
        };
        yf = flip(y, width, height);
        uf = flip(u, chromaWidth, chromaHeight);
        vf = flip(v, chromaWidth, chromaHeight);
        return {yf.data() + (height - 1) * width, uf.data() + (chromaHeight - 1) * chromaWidth,
                vf.data() + (chromaHeight - 1) * chromaWidth, width, height, -width, chromaWidth, chromaHeight,
                -chromaWidth};
    }
};

void ExpectPicture(const Picture& pic, const std::vector<uint8_t>& out, int pitch, bool integer) {
    for (int r = 0; r < pic.height; ++r)
        for (int c = 0; c < pic.width; ++c) {
            const int cr = r * pic.chromaHeight / pic.height, cc = c * pic.chromaWidth / pic.width;
            uint8_t want[4];
            const int yv = pic.y[r * pic.width + c], uv = pic.u[cr * pic.chromaWidth + cc],
                      vv = pic.v[cr * pic.chromaWidth + cc];
            if (integer)
                ExpectedInteger(yv, uv, vv, want);
            else
                ExpectedFloat(yv, uv, vv, want);
            for (int k = 0; k < 4; ++k)
                ASSERT_EQ(out[r * pitch + c * 4 + k], want[k]) << "row " << r << " col " << c << " byte " << k;
        }
}

TEST_F(YuvToXrgbTest, HalfSizedChromaGoesThroughTheTables) {
    const Picture pic(6, 4, 3, 2);
    const int pitch = 6 * 4 + 8;
    std::vector<uint8_t> out(pitch * 4, 0xEE);
    ConvertYuvToXrgb(pic.Planes(), out.data(), pitch);
    ExpectPicture(pic, out, pitch, true);
    EXPECT_EQ(out[6 * 4], 0xEE) << "the padding past a row stays untouched";

    std::vector<uint8_t> yf, uf, vf, flipped(pitch * 4);
    ConvertYuvToXrgb(pic.PlanesUpsideDown(yf, uf, vf), flipped.data(), pitch);
    ExpectPicture(pic, flipped, pitch, true);
}

TEST_F(YuvToXrgbTest, OtherLayoutsTakeTheirChromaSampleAtTheSameFraction) {
    for (auto [cw, ch] : {std::pair{8, 4}, std::pair{4, 4}}) {  // 4:4:4, then 4:2:2
        SCOPED_TRACE(cw);
        const Picture pic(8, 4, cw, ch);
        std::vector<uint8_t> out(8 * 4 * 4);
        ConvertYuvToXrgb(pic.Planes(), out.data(), 8 * 4);
        ExpectPicture(pic, out, 8 * 4, false);
        std::vector<uint8_t> yf, uf, vf, flipped(out.size());
        ConvertYuvToXrgb(pic.PlanesUpsideDown(yf, uf, vf), flipped.data(), 8 * 4);
        EXPECT_EQ(flipped, out);
    }
}

}  // namespace
