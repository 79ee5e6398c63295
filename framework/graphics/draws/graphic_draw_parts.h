// The draw information of a graphic on the hardware path: one entry for each
// texture piece that the graphic's rectangle overlaps, with the part of the
// piece it shows, as the hardware draws read it.
#pragma once

#include <cstdint>

#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_image.h"
#include "platform/d3d9/d3d9.h"

// A corner of a piece's part: its place in pixels from the graphic's
// top-left corner, and its texture coordinate.
struct GraphicDrawCorner {
    float x;
    float y;
    float tu;
    float tv;
};

enum GraphicDrawCornerIndex : int {
    kCornerTopLeft = 0,
    kCornerTopRight = 1,
    kCornerBottomLeft = 2,
    kCornerBottomRight = 3,
};

struct GraphicDrawPiece {
    int destX;  // the part's place in the graphic
    int destY;
    int sourceX;  // and in its texture
    int sourceY;
    int width;
    int height;
    GraphicDrawCorner corners[4];  // top-left, top-right, bottom-left, bottom-right
    TexturePiece* piece;
    // For each corner: 1 when it lies on or below the line from the graphic's
    // bottom-left corner to its top-right corner.
    uint8_t onOrBelowDiagonal[4];
};

// The device texture of a piece.
inline IDirect3DTexture9* PieceTexture(const TexturePiece* piece) {
    return piece != nullptr ? static_cast<IDirect3DTexture9*>(piece->texture) : nullptr;
}

// The device texture of the first texture piece of a graphic's image block,
// or null when the graphic has none.
inline IDirect3DTexture9* GraphicFirstTexture(const GraphicRecord* record) {
    const GraphicImage* image = record->image;
    if (image == nullptr || !image->hardware || image->pieceCount < 1 || image->pieces == nullptr) return nullptr;
    return PieceTexture(&image->pieces[0]);
}
