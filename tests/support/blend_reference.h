// A slow, literal statement of how a software draw combines one source pixel
// with the destination pixel under it, for checking the fast per-pixel
// operations. It is written rule by rule, with plain divisions in place of the
// lookup tables and 64-bit arithmetic throughout, and shares no code with the
// framework's blend kernels.
#pragma once

#include <cstdint>

// The speed cases and orderings a drawing family has (all off: the general
// rules).
struct ReferenceFamily {
    bool halfBlend = false;         // mode 1 at 128 by halving both pixels
    bool mixTable = false;          // 16-bit mode 1 through the 64-level mixing
    bool copyIgnoresAlpha = false;  // copy of an alpha source with the flag off
    bool fullAdd = false;           // 32-bit mode 2 at 255 on whole pixels
    bool fullSubtract = false;      // 32-bit mode 3 at 255 on whole pixels
    bool brightBeforeMask = false;  // 16-bit modes 2 and 3 with a mask
    bool fineGreen = false;         // 16-bit mode 11, alpha, no mask, white
};

enum ReferenceSource { kReferencePlain, kReferencePaletted, kReferenceAlpha };

struct ReferenceDraw {
    int depth = 32;  // 16 or 32
    ReferenceSource source = kReferencePlain;
    int mode = 0;
    int p = 255;
    int brightRed = 255, brightGreen = 255, brightBlue = 255;
    bool hasMask = false;
    int maskWeight = 0;  // the weight the mask byte stands for, 0 to 255
    bool transparencyFlag = false;
    uint32_t transparentColour = 0;
    bool mmx = false;
    ReferenceFamily family;
};

// The destination pixel after drawing `source` onto `dest`.
// `source` is the stored source pixel: a 5-6-5 code; for a 16-bit alpha source
// its 4-byte cell read little-endian (code in bits 0-15, alpha in bits 16-23);
// a 32-bit pixel (alpha in byte 3 for an alpha source); or a palette index.
// `palette` holds 256 entries: 5-6-5 codes or 32-bit pixels.
uint32_t ReferenceBlend(const ReferenceDraw& draw, uint32_t source, const uint32_t* palette,
                        uint32_t dest);

// Each channel of the packed saturating operations as their behaviour reads
// channel by channel (rather than as the packed formula).
uint32_t ReferenceSatAdd32(uint32_t d, uint32_t a);
uint32_t ReferenceSatSub32(uint32_t d, uint32_t a);
uint32_t ReferenceSatAdd16(uint32_t d, uint32_t a);
uint32_t ReferenceSatSub16(uint32_t d, uint32_t a);
