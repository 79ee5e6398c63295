// The picture behind a stage's tile map, assembled from rectangular parts of
// images that a small layout file in "resource\mapdata" arranges in rows.
#pragma once

#include <memory>
#include <vector>

// The longest layout line read; a longer one is logged and ignored.
constexpr int kBackgroundLineLimit = 511;

class CStageBackground {
public:
    CStageBackground() = default;
    CStageBackground(const CStageBackground&) = delete;
    CStageBackground& operator=(const CStageBackground&) = delete;
    virtual ~CStageBackground();

    // Reads the layout: the first line the comma-separated column widths,
    // every further line a row height, a comma and one digit per cell (at
    // most one cell per column width). Stops at the end or at an empty line.
    // False only when the file cannot be opened.
    bool LoadFromCsv(const char* fileName);
    // Frees every row and empties the widths, heights and rows.
    void Clear();
    // Draws the layout with its top-left corner at (x0, y0): rows above the
    // screen are skipped whole, drawing stops at the first row below it, and
    // a row stops at the first piece right of it. Cell 0, a piece beyond
    // pieceCount and a cell beyond the column widths draw nothing.
    void Draw(int x0, int y0) const;

    std::vector<int> columnWidths;
    std::vector<int> rowHeights;
    // One per row: its cell values, 0 empty, n the n-th layout image.
    std::vector<std::unique_ptr<std::vector<int>>> rows;
    // Set per stage by the stage scene; the handles are not owned.
    const int* pieceImages = nullptr;
    int pieceCount = 0;
    bool transparent = false;
};
