// The general conversion loop: every pixel is split into channels, each
// channel is changed to the destination's width (with optional dithering when
// it gets narrower), and the channels are packed again. It serves every pair
// and option that no faster loop takes.
#include "framework/graphics/image/color_convert_blit.h"
#include "framework/graphics/image/color_convert_job.h"
#include "framework/graphics/image/pixel_value.h"

namespace {

// The 4 x 4 ordered-dither matrix, indexed (y mod 4) x 4 + (x mod 4).
constexpr int kDitherMatrix[16] = {0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5};

enum { kRed, kGreen, kBlue, kAlpha, kChannelCount };

struct ChannelPlan {
    int from = 0;        // width of the value as read
    int to = 0;          // destination width
    uint32_t maximum = 0;
    int dropped = 0;     // low bits lost when narrowing, else 0
    uint32_t droppedMask = 0;
    uint32_t thresholds[16] = {};
};

uint32_t MaximumOf(int width) { return width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1u; }

void PlanChannel(ChannelPlan* plan, int from, int to) {
    plan->from = from;
    plan->to = to;
    plan->maximum = MaximumOf(to);
    plan->dropped = from > to ? from - to : 0;
    plan->droppedMask = MaximumOf(plan->dropped);
    for (int i = 0; i < 16; ++i) {
        plan->thresholds[i] = static_cast<uint32_t>((uint64_t{static_cast<uint32_t>(kDitherMatrix[i])}
                                                      << plan->dropped) / 16);
    }
}

// Bits of a raw source value that skipKey compares against, by bit depth.
uint32_t KeyForSkipping(const ColorConvertJob& job) {
    if (job.keyToAlpha) return job.key;
    switch (job.srcFormat.bitsPerPixel) {
    case 8:
        return job.key & 0xFFu;
    case 16:
        return job.key & 0xFFFFu;
    case 24:
        return job.key & 0xFFFFFFu;
    default:
        return job.key;
    }
}

}  // namespace

int ConvertWithGeneralLoop(const ColorConvertJob& job) {
    const PixelFormat& src = job.srcFormat;
    const PixelFormat& dst = job.dstFormat;
    const PixelFormat& alphaFormat = job.alphaFormat;
    const int srcBytes = src.bytesPerPixel;
    const int dstBytes = dst.bytesPerPixel;
    const int alphaBytes = alphaFormat.bytesPerPixel;
    const bool hasAlphaImage = job.alpha != nullptr;
    const bool paletteSource = srcBytes == 1;

    // The width the alpha value arrives in before it is changed to the
    // destination's; equal to the destination's when it is made there.
    int alphaFrom = dst.alphaWidth;
    if (job.alphaFromRed) {
        alphaFrom = src.redWidth;
    } else if (!job.keyToAlpha) {
        if (hasAlphaImage) {
            alphaFrom = alphaFormat.redWidth;
        } else if (src.alphaMask != 0) {
            alphaFrom = src.alphaWidth;
        }
    }

    ChannelPlan plan[kChannelCount];
    PlanChannel(&plan[kRed], src.redWidth, dst.redWidth);
    PlanChannel(&plan[kGreen], src.greenWidth, dst.greenWidth);
    PlanChannel(&plan[kBlue], src.blueWidth, dst.blueWidth);
    PlanChannel(&plan[kAlpha], alphaFrom, dst.alphaWidth);
    const bool dithering =
        job.dither != 0 && (src.redWidth != dst.redWidth || src.greenWidth != dst.greenWidth ||
                            (hasAlphaImage && alphaFormat.redWidth != dst.alphaWidth));
    uint32_t carried[kChannelCount] = {};

    // The key colour split like a source pixel; a palette source matches the
    // colour of the palette entry nearest to the key.
    uint32_t keyChannels[3] = {};
    if (job.keyToAlpha) {
        const int red = static_cast<int>((job.key >> 16) & 0xFF);
        const int green = static_cast<int>((job.key >> 8) & 0xFF);
        const int blue = static_cast<int>(job.key & 0xFF);
        uint32_t keyValue = PixelCodeFromRgba(&src, red, green, blue, 255);
        if (paletteSource) keyValue = PaletteEntryValue(src, keyValue);
        keyChannels[kRed] = (keyValue & src.redMask) >> src.redShift;
        keyChannels[kGreen] = (keyValue & src.greenMask) >> src.greenShift;
        keyChannels[kBlue] = (keyValue & src.blueMask) >> src.blueShift;
    }
    const uint32_t skipValue = KeyForSkipping(job);
    const uint32_t spare = (dstBytes == 2 || dstBytes == 4) ? dst.spareMask : 0;

    for (int y = 0; y < job.height; ++y) {
        const uint8_t* source = job.SourceRow(y);
        const uint8_t* alphaSource = hasAlphaImage ? job.AlphaRow(y) : nullptr;
        uint8_t* destination = job.DestRow(y);
        for (int i = 0; i < job.width; ++i) {
            const uint32_t raw = ReadPixelValue(source + i * srcBytes, srcBytes);
            const uint32_t value = paletteSource ? PaletteEntryValue(src, raw) : raw;
            if (job.skipKey) {
                // Without keyToAlpha the key is a raw source value, which for
                // a palette image is its index.
                const uint32_t compared = (paletteSource && !job.keyToAlpha) ? raw : value;
                if (compared == skipValue) continue;
            }

            uint32_t channel[kChannelCount];
            channel[kRed] = (value & src.redMask) >> src.redShift;
            channel[kGreen] = (value & src.greenMask) >> src.greenShift;
            channel[kBlue] = (value & src.blueMask) >> src.blueShift;

            if (job.alphaFromRed) {
                channel[kAlpha] = channel[kRed];
            } else if (job.keyToAlpha) {
                const bool isKey = channel[kRed] == keyChannels[kRed] &&
                                   channel[kGreen] == keyChannels[kGreen] &&
                                   channel[kBlue] == keyChannels[kBlue];
                channel[kAlpha] = isKey ? 0 : plan[kAlpha].maximum;
            } else if (hasAlphaImage) {
                const uint32_t rawAlpha = ReadPixelValue(alphaSource + i * alphaBytes, alphaBytes);
                const uint32_t alphaValue =
                    alphaBytes == 1 ? PaletteEntryValue(alphaFormat, rawAlpha) : rawAlpha;
                channel[kAlpha] = (alphaValue & alphaFormat.redMask) >> alphaFormat.redShift;
            } else if (src.alphaMask == 0) {
                channel[kAlpha] = plan[kAlpha].maximum;
            } else {
                channel[kAlpha] = (value & src.alphaMask) >> src.alphaShift;
            }

            uint32_t converted[kChannelCount];
            for (int c = 0; c < kChannelCount; ++c) {
                converted[c] = ChangeChannelWidth(channel[c], plan[c].from, plan[c].to);
            }
            if (job.colourZero) {
                converted[kRed] = converted[kGreen] = converted[kBlue] = 0;
                channel[kRed] = channel[kGreen] = channel[kBlue] = 0;
            }
            if (dithering) {
                const int cell = (y & 3) * 4 + (i & 3);
                for (int c = 0; c < kChannelCount; ++c) {
                    const ChannelPlan& p = plan[c];
                    if (p.dropped == 0) continue;
                    const uint32_t lost = channel[c] & p.droppedMask;
                    if (job.dither == kDitherOrdered) {
                        if (lost > p.thresholds[cell]) ++converted[c];
                    } else if (job.dither == kDitherErrorCarry) {
                        carried[c] += lost;
                        if (carried[c] > p.droppedMask) {
                            ++converted[c];
                            carried[c] &= p.droppedMask;
                        }
                    }
                }
            }

            // Dithering may have raised a channel one past its maximum.
            uint32_t packed = spare;
            const auto place = [&](int c, int width, int shift) {
                if (width == 0) return;
                const uint32_t v = converted[c] > plan[c].maximum ? plan[c].maximum : converted[c];
                packed |= v << shift;
            };
            place(kRed, dst.redWidth, dst.redShift);
            place(kGreen, dst.greenWidth, dst.greenShift);
            place(kBlue, dst.blueWidth, dst.blueShift);
            place(kAlpha, dst.alphaWidth, dst.alphaShift);
            WritePixelValue(destination + job.DestColumn(i) * dstBytes, dstBytes, packed);
        }
    }
    return 0;
}
