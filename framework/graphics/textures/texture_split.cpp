// Cutting an image into texture pieces.
#include "framework/graphics/textures/texture_split.h"

#include "framework/graphics/handles/graphic_image.h"

namespace {

constexpr int kSmallestTexture = 8;

int Smaller(int a, int b) { return a < b ? a : b; }

}  // namespace

int DivideTextureAxis(int length, int maxTextureSize, int screenWidth, int noDivision, int* sizes) {
    if (length <= kSmallestTexture) {
        sizes[0] = kSmallestTexture;
        return 1;
    }
    int size = maxTextureSize;
    while (size > kSmallestTexture && size > length) size /= 2;

    // One texture when it may be one and the device takes it.
    const bool oneFits = size * 2 <= maxTextureSize;
    if (oneFits && (noDivision || length < screenWidth)) {
        sizes[0] = size < length ? size * 2 : size;
        return 1;
    }

    int count = 0;
    int remainder = length;
    for (;;) {
        if (count == kMaxTexturePieces) return -1;
        sizes[count++] = size;
        remainder -= size;
        if (remainder <= 0) break;
        // A remainder close to this length takes one texture of twice it.
        if (remainder > size * 3 / 4 && size < maxTextureSize) {
            sizes[count - 1] = size * 2;
            break;
        }
        while (size > remainder && size > kSmallestTexture) size /= 2;
    }
    if (count >= 2 && sizes[count - 1] == sizes[count - 2] && sizes[count - 1] * 2 <= maxTextureSize) {
        --count;
        sizes[count - 1] *= 2;
    }
    return count;
}

int LayOutTexturePieces(int width, int height, int maxTextureSize, int screenWidth, int noDivision,
                        int squareOnly, TexturePiece* pieces) {
    int columns[kMaxTexturePieces];
    int rows[kMaxTexturePieces];
    const int columnCount = DivideTextureAxis(width, maxTextureSize, screenWidth, noDivision, columns);
    const int rowCount = DivideTextureAxis(height, maxTextureSize, screenWidth, noDivision, rows);
    if (columnCount < 0 || rowCount < 0 || columnCount * rowCount > kMaxTexturePieces) return -1;

    const auto place = [width, height](TexturePiece& piece, int x, int y, int textureWidth, int textureHeight) {
        piece.x = x;
        piece.y = y;
        piece.textureWidth = textureWidth;
        piece.textureHeight = textureHeight;
        // A square cut past the image's edge holds none of its pixels.
        piece.usedWidth = x < width ? Smaller(width - x, textureWidth) : 0;
        piece.usedHeight = y < height ? Smaller(height - y, textureHeight) : 0;
    };
    int count = 0;
    for (int row = 0, y = 0; row < rowCount; y += rows[row++])
        for (int column = 0, x = 0; column < columnCount; x += columns[column++])
            place(pieces[count++], x, y, columns[column], rows[row]);

    if (squareOnly) {
        // An oblong piece keeps its first square; the others follow the list.
        const int laidOut = count;
        for (int i = 0; i < laidOut; ++i) {
            const TexturePiece oblong = pieces[i];
            const int w = oblong.textureWidth;
            const int h = oblong.textureHeight;
            if (w == h) continue;
            const int side = Smaller(w, h);
            place(pieces[i], oblong.x, oblong.y, side, side);
            for (int step = 1; step < (w < h ? h / w : w / h); ++step) {
                if (count == kMaxTexturePieces) return -1;
                place(pieces[count++], w < h ? oblong.x : oblong.x + step * side,
                      w < h ? oblong.y + step * side : oblong.y, side, side);
            }
        }
    }
    return count;
}
