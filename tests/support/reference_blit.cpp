// The blits as their rules read: refusals, clipping, then each destination
// pixel from the source pixel the rules name.
#include "tests/support/reference_blit.h"

#include <algorithm>
#include <cstring>

#include "tests/support/blend_reference.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/softrender/memimg_work_buffers.h"

namespace {

int BytesPerPixel(const MEMIMG* image) { return image->base->format->bytesPerPixel; }

// The clipping routine: right raised to left and bottom to top when smaller,
// then each edge clamped into the clip's span.
RECT Clip(RECT r, const RECT& clip) {
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    r.bottom = std::clamp(r.bottom, clip.top, clip.bottom);
    r.top = std::clamp(r.top, clip.top, clip.bottom);
    r.right = std::clamp(r.right, clip.left, clip.right);
    r.left = std::clamp(r.left, clip.left, clip.right);
    return r;
}

// The draw area, kept inside the destination.
RECT DrawArea(const ReferenceSettings& settings, const MEMIMG* destination) {
    return Clip(settings.drawArea, RECT{0, 0, destination->width, destination->height});
}

// The weight of a blend-graphic byte under the border parameter and range.
int Weight(const ReferenceSettings& settings, int k) {
    const int b = settings.borderParam;
    const int g = settings.borderRange;
    const int step = 65536 / (g + 1);
    const int offset = 256 - ((step + 256) * b) / 256;
    int weight = (k * 256) / (g + 1) + offset;
    weight = std::min(weight, 255);
    if (offset <= 0) weight = std::max(weight, 0);
    return weight;
}

struct DrawnSource {
    ReferenceDraw draw;
    uint32_t palette[256] = {};
};

// The per-pixel settings of a draw of `source` in a family of draws.
DrawnSource Describe(const MEMIMG* source, int transparencyFlag, bool hasMask,
                         const ReferenceSettings& settings, const ReferenceFamily& family) {
    const MemImgBase* base = source->base;
    DrawnSource r;
    r.draw.depth = base->colorType == kMemImgColor565 ? 16 : 32;
    r.draw.source = base->paletteFlag ? kReferencePaletted : base->alphaFlag ? kReferenceAlpha : kReferencePlain;
    r.draw.mode = settings.blendMode;
    r.draw.p = settings.blendParam;
    r.draw.brightRed = (settings.brightColor >> 16) & 0xFF;
    r.draw.brightGreen = (settings.brightColor >> 8) & 0xFF;
    r.draw.brightBlue = settings.brightColor & 0xFF;
    r.draw.hasMask = hasMask;
    r.draw.transparencyFlag = transparencyFlag != 0;
    r.draw.transparentColour = base->transparentColor;
    r.draw.mmx = settings.mmx;
    r.draw.family = family;
    if (base->paletteFlag) {
        const int count = std::clamp(base->paletteColorCount, 0, 256);
        for (int i = 0; i < count; ++i) {
            if (base->colorType == kMemImgColor565)
                r.palette[i] = static_cast<const uint16_t*>(base->paletteTable)[i];
            else
                r.palette[i] = static_cast<const uint32_t*>(base->paletteTable)[i];
        }
    }
    return r;
}

// One destination pixel from source pixel (sx, sy) and the blend image at the
// same place.
void DrawPixel(MEMIMG* destination, int dx, int dy, const MEMIMG* source, int sx, int sy,
               const MEMIMG* mask, DrawnSource& r, const ReferenceSettings& settings) {
    if (mask != nullptr) {
        const uint8_t byte = mask->pixels[sy * mask->base->pitch + sx];
        r.draw.maskWeight = Weight(settings, byte);
    }
    const uint32_t before = ReadTestPixel(destination, dx, dy);
    WriteTestPixel(destination, dx, dy,
                   ReferenceBlend(r.draw, ReadTestPixel(source, sx, sy), r.palette, before));
}

// The refusals both blits make.
bool Refused(const MEMIMG* destination, const MEMIMG* source, const MEMIMG* blend) {
    const MemImgBase* s = source->base;
    const MemImgBase* d = destination->base;
    if (s->colorType != d->colorType || d->paletteFlag || d->alphaFlag) return true;
    if (s->colorType != kMemImgColor565 && s->colorType != kMemImgColor32) return true;
    return blend != nullptr && (blend->width < source->width || blend->height < source->height);
}

uint32_t AlphaOf(const MEMIMG* source, int x, int y) {
    const uint32_t cell = ReadTestPixel(source, x, y);
    return source->base->colorType == kMemImgColor565 ? (cell >> 16) & 0xFF : cell >> 24;
}

}  // namespace

void ReferenceBlit(MEMIMG* destination, const MEMIMG* source, int x, int y, int transparencyFlag,
                   const MEMIMG* blendGraphic, const ReferenceSettings& settings) {
    if (Refused(destination, source, blendGraphic)) return;
    const RECT r = Clip(RECT{x, y, x + source->width, y + source->height}, DrawArea(settings, destination));
    if (r.right == r.left || r.bottom == r.top) return;

    // The whole-image path follows the run codes, which differ from the
    // per-pixel test only in mode 4, where they pass over clear pixels. They
    // are trusted only when they key the same pixels as the per-pixel test.
    const MemImgBase* base = source->base;
    bool keyFits = true;
    if (base->paletteFlag) keyFits = base->transparentColor <= 0xFF;
    else if (!base->alphaFlag && base->colorType == kMemImgColor565) keyFits = base->transparentColor <= 0xFFFF;
    const bool wholeImage = transparencyFlag == 1 && base->runCodesValid && keyFits &&
                            r.right - r.left == source->width && r.bottom - r.top == source->height;

    ReferenceFamily blit;
    blit.halfBlend = blit.mixTable = blit.copyIgnoresAlpha = blit.fullAdd = blit.fullSubtract = true;
    DrawnSource described = Describe(source, transparencyFlag, blendGraphic != nullptr, settings, blit);
    for (int dy = r.top; dy < r.bottom; ++dy) {
        for (int dx = r.left; dx < r.right; ++dx) {
            const int sx = dx - x;
            const int sy = dy - y;
            if (wholeImage && settings.blendMode == 4 && base->alphaFlag && !base->paletteFlag &&
                AlphaOf(source, sx, sy) == 0)
                continue;
            DrawPixel(destination, dx, dy, source, sx, sy, blendGraphic, described, settings);
        }
    }
}

void ReferenceStretchBlit(MEMIMG* destination, const MEMIMG* source, const RECT& rect, int transparencyFlag,
                          const MEMIMG* blendImage, const ReferenceSettings& settings) {
    const int64_t x1 = std::min(rect.left, rect.right), x2 = std::max(rect.left, rect.right);
    const int64_t y1 = std::min(rect.top, rect.bottom), y2 = std::max(rect.top, rect.bottom);
    const bool mirrorX = rect.left > rect.right, mirrorY = rect.top > rect.bottom;
    const int64_t w = x2 - x1, h = y2 - y1;
    if (w == 0 || h == 0) return;
    const int64_t sw = source->width, sh = source->height;
    if (w == sw && h == sh && !mirrorX && !mirrorY) {
        ReferenceBlit(destination, source, static_cast<int>(x1), static_cast<int>(y1), transparencyFlag,
                      blendImage, settings);
        return;
    }
    if (Refused(destination, source, blendImage)) return;
    // The limits of the 16.16 arithmetic.
    if (w >= 32768 || h >= 32768) return;
    const int64_t rx = w * 65536 / sw, ry = h * 65536 / sh;
    if (rx == 0 || ry == 0) return;
    if ((w - 1) * 65536 / rx >= sw || (h - 1) * 65536 / ry >= sh) return;

    const RECT c = Clip(RECT{static_cast<LONG>(x1), static_cast<LONG>(y1), static_cast<LONG>(x2),
                             static_cast<LONG>(y2)},
                        DrawArea(settings, destination));
    if (c.right == c.left || c.bottom == c.top) return;

    const MemImgBase* base = source->base;
    const int mode = settings.blendMode;
    const int p = settings.blendParam;
    const bool strict = blendImage == nullptr && (settings.brightColor & 0xFFFFFF) == 0xFFFFFF &&
                        (base->paletteFlag || !base->alphaFlag) &&
                        (mode == 0 || (mode == 1 && p == 255) || (mode == 3 && p == 255));

    // The source index of each drawn column or row, counted from the edge the
    // drawing starts at. The general rule is the closed form; the strict rule
    // starts where the general one does and then steps as its loop says.
    const auto samples = [strict](int64_t first, int64_t count, int64_t step) {
        std::vector<int64_t> out;
        if (!strict) {
            for (int64_t j = first; j < first + count; ++j) out.push_back(j * 65536 / step);
            return out;
        }
        int64_t index = first * 65536 / step;
        int64_t accumulator = step - first * 65536 % step;
        for (int64_t j = 0; j < count; ++j) {
            out.push_back(index);
            accumulator -= 65536;
            if (accumulator <= 0) {
                do {
                    accumulator += step;
                    ++index;
                } while (accumulator < 0);
            }
        }
        return out;
    };
    const std::vector<int64_t> columns = samples(c.left - x1, c.right - c.left, rx);
    const std::vector<int64_t> rows = samples(c.top - y1, c.bottom - c.top, ry);

    ReferenceFamily stretch;
    stretch.copyIgnoresAlpha = stretch.fullSubtract = true;
    DrawnSource described = Describe(source, transparencyFlag, blendImage != nullptr, settings, stretch);
    for (int i = 0; i < c.bottom - c.top; ++i) {
        const int sy = static_cast<int>(mirrorY ? sh - 1 - rows[i] : rows[i]);
        for (int j = 0; j < c.right - c.left; ++j) {
            const int sx = static_cast<int>(mirrorX ? sw - 1 - columns[j] : columns[j]);
            DrawPixel(destination, c.left + j, c.top + i, source, sx, sy, blendImage, described, settings);
        }
    }
}

std::unique_ptr<TestImage> MakeTestImage(int width, int height, int colorType, int paletteFlag, int alphaFlag,
                                         uint32_t transparentColor, std::vector<uint8_t>* exactMemory) {
    auto image = std::make_unique<TestImage>();
    void* memory = nullptr;
    int pitch = -1;
    if (exactMemory != nullptr) {
        const int bytes = paletteFlag ? 1
                          : colorType == kMemImgColor565 ? (alphaFlag ? 4 : 2)
                          : colorType == kMemImgSingle8  ? 1
                          : colorType == kMemImgSingle16 ? 2
                                                         : 4;
        pitch = width * bytes;
        exactMemory->assign(static_cast<size_t>(pitch) * height, 0);
        memory = exactMemory->data();
    }
    if (SetUpMemImg(image->get(), width, height, pitch, transparentColor, colorType, paletteFlag, alphaFlag, 1,
                    memory) != 0)
        return nullptr;
    std::memset(image->get()->pixels, 0, static_cast<size_t>(image->base()->pitch) * height);
    if (paletteFlag) image->base()->paletteColorCount = 256;
    return image;
}

std::unique_ptr<TestImage> MakeTestView(const MEMIMG* parent, int x, int y, int width, int height) {
    auto view = std::make_unique<TestImage>();
    MakeSubMemImg(view->get(), parent, x, y, width, height);
    return view;
}

uint32_t ReadTestPixel(const MEMIMG* image, int x, int y) {
    const int bytes = BytesPerPixel(image);
    uint32_t value = 0;
    std::memcpy(&value, image->pixels + y * image->base->pitch + x * bytes, static_cast<size_t>(bytes));
    return value;
}

void WriteTestPixel(MEMIMG* image, int x, int y, uint32_t value) {
    const int bytes = BytesPerPixel(image);
    std::memcpy(image->pixels + y * image->base->pitch + x * bytes, &value, static_cast<size_t>(bytes));
}

std::vector<uint32_t> TestPixels(const MEMIMG* image) {
    std::vector<uint32_t> out;
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x) out.push_back(ReadTestPixel(image, x, y));
    return out;
}

void MakeRunCodesValid(MEMIMG* image) {
    BuildRunCodes(image->base);
    image->base->runCodesValid = 1;
}

void FillRandom(MEMIMG* image, std::mt19937& random) {
    MemImgBase* base = image->base;
    if (base->paletteFlag) {
        for (int i = 0; i < 256; ++i) {
            const uint32_t entry = random();
            if (base->colorType == kMemImgColor565)
                static_cast<uint16_t*>(base->paletteTable)[i] = static_cast<uint16_t>(entry);
            else
                static_cast<uint32_t*>(base->paletteTable)[i] = entry;
        }
    }
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            const uint32_t choice = random() % 4;
            uint32_t value = random();
            if (base->colorType == kMemImgSingle8 || base->paletteFlag) {
                value &= 0xFF;
                if (base->paletteFlag && choice == 0) value = base->transparentColor;
            } else if (base->alphaFlag) {
                const uint32_t alpha = choice == 0 ? 0 : choice == 1 ? 255 : (value >> 24);
                if (base->colorType == kMemImgColor565)
                    value = (value & 0xFF00FFFF) | alpha << 16;
                else
                    value = (value & 0x00FFFFFF) | alpha << 24;
            } else if (base->colorType == kMemImgColor565) {
                value = choice == 0 ? base->transparentColor : value & 0xFFFF;
            } else if (choice == 0) {
                value = base->transparentColor;
            }
            WriteTestPixel(image, x, y, value);
        }
    }
}

uint32_t HashPixels(const MEMIMG* image) {
    uint32_t hash = 2166136261u;
    for (const uint32_t value : TestPixels(image)) {
        for (int byte = 0; byte < 4; ++byte) {
            hash ^= (value >> (8 * byte)) & 0xFF;
            hash *= 16777619u;
        }
    }
    return hash;
}
