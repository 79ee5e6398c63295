// A Theora movie's off-screen YUV surface: made on the Direct3D device in
// use in the first video format it offers, and filled from a decoded
// picture in that format, so that the device converts the colours as it
// copies the surface into the movie's texture.
#include <cstring>

#include "framework/graphics/device/direct3d_device.h"
#include "framework/sound/movie/theora_movie.h"
#include "framework/sound/movie/theora_movie_record.h"

namespace {

// In the order they are tried.
constexpr D3DFORMAT kVideoFormats[] = {D3DFMT_YV12, D3DFMT_YUY2, D3DFMT_UYVY};

int Smaller(int a, int b) { return a < b ? a : b; }

// YV12: the Y rows, then the V rows and the U rows at half the pitch.
void FillPlanar(const TheoraStockFrame& picture, uint8_t* bits, int pitch, int width, int height) {
    const int lumaWidth = Smaller(width, picture.yWidth);
    const int lumaRows = Smaller(height, picture.yHeight);
    for (int row = 0; row < lumaRows; ++row)
        std::memcpy(bits + static_cast<long>(row) * pitch, picture.y + static_cast<long>(row) * picture.yStride,
                    static_cast<size_t>(lumaWidth));
    const int halfPitch = pitch / 2;
    const int chromaWidth = Smaller(width / 2, picture.chromaWidth);
    const int chromaRows = Smaller(height / 2, picture.chromaHeight);
    uint8_t* v = bits + static_cast<long>(pitch) * height;
    uint8_t* u = v + static_cast<long>(halfPitch) * (height / 2);
    for (int row = 0; row < chromaRows; ++row) {
        const long from = static_cast<long>(row) * picture.chromaStride;
        std::memcpy(v + static_cast<long>(row) * halfPitch, picture.v + from, static_cast<size_t>(chromaWidth));
        std::memcpy(u + static_cast<long>(row) * halfPitch, picture.u + from, static_cast<size_t>(chromaWidth));
    }
}

// YUY2 (Y0 U Y1 V) and UYVY (U Y0 V Y1): two pixels share a chroma pair,
// and one chroma row serves two rows of pixels.
void FillPacked(const TheoraStockFrame& picture, bool chromaFirst, uint8_t* bits, int pitch, int width, int height) {
    const int pairs = Smaller(width, picture.yWidth) / 2;
    const int rows = Smaller(height, picture.yHeight);
    const int lumaAt = chromaFirst ? 1 : 0;
    const int chromaAt = chromaFirst ? 0 : 1;
    for (int row = 0; row < rows; ++row) {
        const uint8_t* y = picture.y + static_cast<long>(row) * picture.yStride;
        const long chromaRow = static_cast<long>(row / 2) * picture.chromaStride;
        const uint8_t* u = picture.u + chromaRow;
        const uint8_t* v = picture.v + chromaRow;
        uint8_t* out = bits + static_cast<long>(row) * pitch;
        for (int pair = 0; pair < pairs; ++pair, out += 4) {
            out[lumaAt] = y[2 * pair];
            out[lumaAt + 2] = y[2 * pair + 1];
            out[chromaAt] = u[pair];
            out[chromaAt + 2] = v[pair];
        }
    }
}

}  // namespace

void ReleaseTheoraYuvSurface(TheoraMovie* movie) {
    if (movie->yuvSurface != nullptr) movie->yuvSurface->Release();
    movie->yuvSurface = nullptr;
    movie->yuvFourCC = 0;
    movie->surfaceReady = 0;
}

int CreateTheoraYuvSurface(TheoraMovie* movie) {
    ReleaseTheoraYuvSurface(movie);
    IDirect3DDevice9* device = Direct3DDevice.device;
    // The surface's chroma is 4:2:0: other pictures would need it made up,
    // which only the RGB conversion does.
    if (device == nullptr || movie->info.pixelformat != OC_PF_420) return 0;
    for (const D3DFORMAT format : kVideoFormats) {
        IDirect3DSurface9* surface = nullptr;
        if (device->CreateOffscreenPlainSurface(movie->info.width, movie->info.height, format, D3DPOOL_DEFAULT,
                                                &surface, nullptr) == D3D_OK &&
            surface != nullptr) {
            movie->yuvSurface = surface;
            movie->yuvFourCC = static_cast<uint32_t>(format);
            return 0;
        }
    }
    return 0;
}

IDirect3DSurface9* GetTheoraYuvSurface(TheoraMovie* movie) { return movie->yuvSurface; }

void FillTheoraYuvSurface(const TheoraStockFrame& picture, uint32_t fourCC, uint8_t* bits, int pitch, int width,
                          int height) {
    // Only 4:2:0 pictures have the surface's chroma; any other leaves it as
    // it was.
    if (picture.chromaWidth * 2 != picture.yWidth || picture.chromaHeight * 2 != picture.yHeight) return;
    switch (fourCC) {
        case D3DFMT_YV12: FillPlanar(picture, bits, pitch, width, height); break;
        case D3DFMT_YUY2: FillPacked(picture, false, bits, pitch, width, height); break;
        case D3DFMT_UYVY: FillPacked(picture, true, bits, pitch, width, height); break;
        default: break;
    }
}
