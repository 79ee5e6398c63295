// Graphic handles: the table of graphic records, making, finding and deleting
// them.
//
// A GraphicHandle (kind 0x08000000, 32768 slots) names a GraphicRecord: a
// graphic's place and size inside a shared image block, where its pixels came
// from (so that they can be loaded again), and what a draw of it needs.
#pragma once

#include <cstdint>

#include "framework/base/handle_table.h"
#include "framework/graphics/handles/graphic_calls.h"
#include "framework/softrender/memimg.h"

struct GraphicDrawPiece;
struct GraphicImage;
struct GraphicSourceFileName;
struct TexturePiece;

constexpr int kGraphicHandleKind = 0x08000000;
constexpr int kGraphicSlotCount = 32768;

struct GraphicRecord {
    int check;             // the check value the record was made with
    int handle;            // the record's own handle value
    int* notifyFlag;       // a caller's int that deletion sets to 1, or null
    GraphicImage* image;   // the shared image block, or null
    int movieHandle;       // the movie the graphic shows, or -1
    GraphicSourceFileName* sourceFileName;  // shared, reference-counted; or null
    int transferX;         // where the last image was transferred into the graphic
    int transferY;
    int transferFlags;     // the flags of that transfer, used again to reload it
    int x;                 // the graphic's place inside the block's image
    int y;
    int width;
    int height;
    // Software path: the graphic's own memory image, a view of the block's
    // image at the graphic's place and size.
    MEMIMG memImg;
    // Hardware path: the draw information, one entry per texture piece the
    // graphic overlaps, in the order of the block's pieces; the array is the
    // record's own (graphic_draw_parts.h).
    int drawPieceCount;
    GraphicDrawPiece* drawPieces;
};

extern HandleTable GraphicHandleTable;

// A new graphic whose record is zero-filled apart from its check value, its
// own handle value and the movie handle (-1). Never -1: a full table or a
// failed allocation ends the process.
int AllocGraphicHandle();
// The record of a live graphic handle, or null.
GraphicRecord* GetGraphicRecord(int handle);
// 1 for a live graphic handle, else 0.
int IsValidGraphicHandle(int handle);
