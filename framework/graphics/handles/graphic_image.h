// The image block behind one or more graphics: the pixels of a graphic live
// here, as Direct3D textures cut into pieces on the hardware path or as one
// memory image on the software path. Graphics that show parts of one image
// share its block through the block's reference count.
#pragma once

#include <cstdint>

#include "framework/softrender/memimg.h"

struct IUnknown;

// One texture of a hardware image block and where it sits in the image.
struct TexturePiece {
    IUnknown* texture;
    IUnknown* surface;             // the texture's level-0 surface
    IUnknown* renderTargetObject;  // a render target's further device object, or null
    int x;                         // place of the piece in the image
    int y;
    int usedWidth;                 // the image's pixels the piece holds
    int usedHeight;
    int textureWidth;
    int textureHeight;
};

struct GraphicImage {
    int referenceCount;  // graphics that use the block; 1 when made
    int formatIndex;     // pixel layout of the textures or the memory image

    // How the image is held.
    uint8_t hardware;             // 1: textures, 0: a memory image
    uint8_t alphaChannel;
    uint8_t renderTarget;
    uint8_t unmanaged;            // textures in the device's default pool
    uint8_t compressedKind;       // 0 none, 1 to 5 the block-compressed kinds
    uint8_t mipLevels;
    uint8_t alphaTest;            // the transparent colour is in use
    uint8_t colorBits;            // 16 or 32
    uint8_t oneBytePerPixel;      // software path: one-byte-per-pixel source
    uint8_t paletteTransparency;  // software path: key the transparent palette index

    uint32_t transparentColor;  // 0xRRGGBB, taken from the draw settings when made
    int width;
    int height;

    // Hardware path.
    int mipLevelCount;
    int pieceCount;
    TexturePiece* pieces;  // pieceCount pieces, owned by the block

    // Software path: the image, and a render target's further memory image.
    MEMIMG memImg;
    MEMIMG renderTargetMemImg;
};

// Releases each piece's surface, then its texture (hardware blocks only).
// Returns 0.
int ReleaseGraphicTextures(GraphicImage* image);
// Render targets only: releases each piece's further device object on the
// hardware path, or frees the further memory image on the software path.
// Returns 0.
int ReleaseRenderTargetObjects(GraphicImage* image);
// Drops one reference; the last one releases the device objects, then the
// pieces or the memory image, and frees the block.
void ReleaseGraphicImage(GraphicImage* image);
