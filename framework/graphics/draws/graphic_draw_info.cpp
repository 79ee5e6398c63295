// Building a graphic's draw information from its place in its image block.
#include "framework/graphics/draws/graphic_draw_info.h"

#include <cstdint>

#include "framework/base/log.h"
#include "framework/base/tracked_memory.h"
#include "framework/graphics/draws/graphic_draw_parts.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_image.h"

namespace {

int Larger(int a, int b) { return a > b ? a : b; }
int Smaller(int a, int b) { return a < b ? a : b; }

bool Overlaps(const TexturePiece& piece, const GraphicRecord& record) {
    return Larger(piece.x, record.x) < Smaller(piece.x + piece.usedWidth, record.x + record.width) &&
           Larger(piece.y, record.y) < Smaller(piece.y + piece.usedHeight, record.y + record.height);
}

void FillDrawPiece(const GraphicRecord& record, TexturePiece& piece, GraphicDrawPiece& entry) {
    const int left = Larger(piece.x, record.x);
    const int top = Larger(piece.y, record.y);
    const int right = Smaller(piece.x + piece.usedWidth, record.x + record.width);
    const int bottom = Smaller(piece.y + piece.usedHeight, record.y + record.height);
    entry.destX = left - record.x;
    entry.destY = top - record.y;
    entry.sourceX = left - piece.x;
    entry.sourceY = top - piece.y;
    entry.width = right - left;
    entry.height = bottom - top;
    entry.piece = &piece;

    const float tu0 = static_cast<float>(entry.sourceX) / static_cast<float>(piece.textureWidth);
    const float tv0 = static_cast<float>(entry.sourceY) / static_cast<float>(piece.textureHeight);
    const float tu1 = static_cast<float>(entry.sourceX + entry.width) / static_cast<float>(piece.textureWidth);
    const float tv1 = static_cast<float>(entry.sourceY + entry.height) / static_cast<float>(piece.textureHeight);
    const int xs[4] = {entry.destX, entry.destX + entry.width, entry.destX, entry.destX + entry.width};
    const int ys[4] = {entry.destY, entry.destY, entry.destY + entry.height, entry.destY + entry.height};
    const float tus[4] = {tu0, tu1, tu0, tu1};
    const float tvs[4] = {tv0, tv0, tv1, tv1};
    const int64_t w = record.width;
    const int64_t h = record.height;
    for (int corner = 0; corner < 4; ++corner) {
        entry.corners[corner] = {static_cast<float>(xs[corner]), static_cast<float>(ys[corner]), tus[corner],
                                 tvs[corner]};
        // On or below the line from (0, h) to (w, 0): y / h + x / w >= 1.
        entry.onOrBelowDiagonal[corner] = ys[corner] * w + xs[corner] * h >= w * h ? 1 : 0;
    }
}

}  // namespace

int BuildGraphicDrawInfo(int handle) {
    GraphicRecord* record = GetGraphicRecord(handle);
    if (record == nullptr || record->image == nullptr) return -1;
    GraphicImage* image = record->image;
    if (!image->hardware) {
        MakeSubMemImg(&record->memImg, &image->memImg, record->x, record->y, record->width, record->height);
        return 0;
    }

    int count = 0;
    for (int i = 0; i < image->pieceCount; ++i)
        if (Overlaps(image->pieces[i], *record)) ++count;
    ReleaseGraphicDrawInfo(record);
    if (count == 0) return 0;
    auto* entries = static_cast<GraphicDrawPiece*>(
        AllocZeroedMemory(sizeof(GraphicDrawPiece) * static_cast<size_t>(count), __FILE__, __LINE__));
    if (entries == nullptr) {
        WriteLogLine("画像描画情報格納用メモリの確保に失敗しました\n");
        return -1;
    }
    int filled = 0;
    for (int i = 0; i < image->pieceCount; ++i)
        if (Overlaps(image->pieces[i], *record)) FillDrawPiece(*record, image->pieces[i], entries[filled++]);
    record->drawPieces = entries;
    record->drawPieceCount = count;
    return 0;
}

void ReleaseGraphicDrawInfo(GraphicRecord* record) {
    FreeMemory(record->drawPieces);
    record->drawPieces = nullptr;
    record->drawPieceCount = 0;
}
