// The software renderer's memory image.
//
// A MEMIMG is a small view record (owned by the caller) onto a rectangle of a
// shared, reference-counted MemImgBase that holds the pixels and the work
// buffers the blits use to go fast: a premultiplied-colour plane for alpha
// images and run codes of transparent, opaque and translucent stretches.
// Sub-images share the base of the image they view.
//
// Colour types: 0 = 16-bit 5-6-5; 1 = 32-bit (blue, green, red, byte 3);
// 2 = 8-bit single channel; 3 = 16-bit single channel. Types 0 and 1 may carry
// alpha (type 0 then takes 4 bytes a pixel: code, alpha, one unused byte) or a
// palette (one index byte a pixel), never both.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

struct PixelFormat;
struct PixelImage;

// What every draw into a memory image reads of the draw settings, given to
// each draw by its caller (the framework's draw settings begin with it).
struct MemImgDrawSettings {
    // How a draw combines with the target: 0 to 4, 10 and 11 draw; 5 to 9 and
    // any value above 11 draw nothing.
    int blendMode = 0;
    // Strength of the blend mode, 0 to 255.
    int blendParam = 0;
    // Colour multiplied into every draw, 0x00RRGGBB (blue in byte 0, green in
    // byte 1, red in byte 2); all three 255 means no brightening.
    uint32_t brightColor = 0x00FFFFFF;
    // The clip rectangle of every draw; right and bottom exclusive.
    RECT drawArea = {0, 0, 0, 0};
};

constexpr uint32_t kMemImgMarker = 0x12345678;

enum : int32_t {
    kMemImgColor565 = 0,
    kMemImgColor32 = 1,
    kMemImgSingle8 = 2,
    kMemImgSingle16 = 3,
};

// Run codes: one byte each, row after row; every row ends with kRunEndOfRow.
// The low six bits of a run hold its length - 1 (runs of 1 to 64 pixels).
enum : uint8_t {
    kRunTransparent = 0x00,
    kRunOpaque = 0x40,
    kRunTranslucent = 0x80,  // alpha images only
    kRunEndOfRow = 0xC0,
    kRunKindMask = 0xC0,
    kRunLengthMask = 0x3F,
};
constexpr int kMaxRunLength = 64;

struct MemImgBase {
    int32_t referenceCount;   // MEMIMG records pointing here
    int32_t width;            // full size in pixels
    int32_t height;
    int32_t pitch;            // bytes from one row to the next
    int32_t pitchShift;       // log2 of the pitch when it is that power of two, else -1
    const PixelFormat* format;  // a stock format of GetStockPixelFormat
    // The pixel value that counts as transparent, in the image's own encoding
    // (a 5-6-5 code, a 32-bit code or a palette index).
    uint32_t transparentColor;
    // The palette entry that counts as transparent; written by the texture
    // upload for paletted images, read by the blits.
    int32_t transparentPaletteIndex;
    int32_t colorType;
    int32_t paletteFlag;        // 1: each pixel is one index byte into paletteTable
    int32_t paletteColorCount;  // entries in use, set when pixels are put in
    int32_t alphaFlag;          // 1: each pixel carries alpha
    int32_t premultipliedValid; // 1 once the plane holds the current pixels
    int32_t runCodesValid;      // 1 once the run codes hold the current pixels
    int32_t callerOwnedPixels;  // 1: pixelMemory is the caller's, never freed here
    // 256 entries (uint16_t 5-6-5 codes for type 0, uint32_t codes for type 1)
    // at the start of one 2048-byte block whose second 1024 bytes are the
    // second palette table, a copy of the first. Both null without a palette.
    void* paletteTable;
    void* secondPaletteTable;
    uint8_t* pixelMemory;        // pitch x height bytes
    uint8_t* premultipliedPlane; // pitch x height bytes, or null
    uint8_t* runCodeBuffer;      // (width + 5) x height bytes, or null
};

struct MEMIMG {
    uint32_t marker;               // kMemImgMarker while set up, else 0
    int32_t width;                 // size of this view
    int32_t height;
    uint8_t* pixels;               // top-left pixel of this view
    uint8_t* premultipliedPixels;  // the same pixel in the base's plane, or null
    MemImgBase* base;
};

// The static format of a colour type with or without alpha or a palette,
// filled on first request; null for a colour type above 3.
const PixelFormat* GetStockPixelFormat(int colorType, int alphaFlag, int paletteFlag);

// Sets up an unset record. pitch -1 asks for the automatic pitch (a multiple
// of 16 bytes); null pixelMemory asks for allocated memory, else the caller's
// block is used and never freed here. makeWorkBuffers allocates the
// premultiplied plane (alpha images) and the run-code buffer (all types but 2).
// Returns 0, or -1 for a record already set up, a bad size or a failed
// allocation (the record is then left unset and nothing stays allocated).
int SetUpMemImg(MEMIMG* image, int width, int height, int pitch, uint32_t transparentColor,
                int colorType, int paletteFlag, int alphaFlag, int makeWorkBuffers,
                void* pixelMemory);
// Clears the record and sets it up with the automatic pitch and no palette,
// alpha or work buffers. colorType -1 takes the screen's depth (16 -> 0, else 1).
int NewMemImg(MEMIMG* image, int width, int height, int colorType);
// Makes `view` show the rectangle (x, y, width, height) of `parent`, sharing
// its base. Ignored when the rectangle leaves the parent or the parent is not
// valid; a view that was set up is released first.
void MakeSubMemImg(MEMIMG* view, const MEMIMG* parent, int x, int y, int width, int height);
// Releases one reference; the last one frees the buffers. The record becomes unset.
void FreeMemImg(MEMIMG* image);
// 1 when the marker and the base are set, else 0.
int IsMemImgValid(const MEMIMG* image);

// Fills the rectangle (null: the whole image), clipped to the image, with a
// pixel value of the image's own encoding.
void FillMemImgRect(MEMIMG* image, const RECT* rect, uint32_t color);
// Converts the source rectangle (null: the whole source) into `destination` at
// (destX, destY). Returns ColorConvertBlit's result: negative on failure.
int CopyMemImgRect(MEMIMG* destination, const MEMIMG* source, const RECT* sourceRect, int destX,
                   int destY);
// Converts a rectangle of a PixelImage (with an optional alpha image) into
// the memory image; a whole-image put also rebuilds the premultiplied plane
// and the run codes. `option` turns the transparent colour into alpha.
// Returns the conversion's negative result, else 0.
int PutPixelsIntoMemImg(const PixelImage* source, const PixelImage* alphaImage,
                        MEMIMG* destination, int srcX, int srcY, int width, int height, int destX,
                        int destY, int option);
