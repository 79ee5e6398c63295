// Reading the background's layout file and drawing its rows of image parts.
#include "game/stage/stage_background.h"

#include <cstdint>
#include <string>

#include "framework/base/log.h"
#include "framework/graphics/graphics.h"
#include "framework/files/file_access_table.h"
#include "framework/files/file_read_interface.h"
#include "game/framework/file_numbers.h"

namespace {

// Leading blanks, a sign and the digits, as atoi reads them; 0 for none. A
// width or height is held within the pixel range, so that a piece's place
// plus its size stays inside int.
int ParseLeadingInt(const std::string& text) { return File::ReadClampedInt(text.c_str(), File::kPixels); }

// Tokens as strtok gives them: runs of bytes outside the delimiters. The first
// token ends only at a comma, the later ones at a comma, CR or LF.
std::vector<int> ParseWidths(const std::string& line) {
    std::vector<int> widths;
    const char* delimiters = ",";
    size_t at = 0;
    for (;;) {
        at = line.find_first_not_of(delimiters, at);
        if (at == std::string::npos) break;
        const size_t end = line.find_first_of(delimiters, at);
        widths.push_back(ParseLeadingInt(line.substr(at, end == std::string::npos ? end : end - at)));
        if (end == std::string::npos) break;
        at = end;
        delimiters = ",\r\n";
    }
    return widths;
}

enum class LineRead { Line, TooLong, End };

// One line without its CR LF (a lone CR stays in it, a last LF goes). A line
// of more than kBackgroundLineLimit bytes is read to its end and reported as
// too long.
LineRead ReadLayoutLine(uintptr_t file, std::string* line) {
    line->clear();
    size_t length = 0;
    bool any = false;
    bool previousCr = false;
    for (;;) {
        const int byte = ReadFileChar(file);
        if (byte < 0) break;
        any = true;
        if (byte == '\n' && previousCr) {
            --length;
            break;
        }
        previousCr = byte == '\r';
        if (line->size() <= static_cast<size_t>(kBackgroundLineLimit)) line->push_back(static_cast<char>(byte));
        ++length;
    }
    if (!any) return LineRead::End;
    if (length > static_cast<size_t>(kBackgroundLineLimit)) return LineRead::TooLong;
    line->resize(length);
    if (!line->empty() && line->back() == '\n') line->pop_back();
    return LineRead::Line;
}

}  // namespace

CStageBackground::~CStageBackground() { Clear(); }

void CStageBackground::Clear() {
    rows.clear();
    columnWidths.clear();
    rowHeights.clear();
}

bool CStageBackground::LoadFromCsv(const char* fileName) {
    const uintptr_t file = fileName != nullptr ? OpenFileForRead(fileName, 0) : 0;
    if (file == 0) return false;
    std::string line;
    bool widthsRead = false;
    for (int lineNumber = 1;; ++lineNumber) {
        const LineRead read = ReadLayoutLine(file, &line);
        if (read == LineRead::End) break;
        if (read == LineRead::TooLong) {
            WriteLogFormat("%s: line %d is longer than %d bytes and is ignored\n", fileName, lineNumber,
                           kBackgroundLineLimit);
            widthsRead = true;
            continue;
        }
        if (line.empty()) break;
        if (!widthsRead) {
            columnWidths = ParseWidths(line);
            widthsRead = true;
            continue;
        }
        // A row: its height, a comma, then one digit per cell up to the line's
        // end, at most one per column. A line without cells is not a row.
        const size_t comma = line.find(',');
        if (comma == std::string::npos || comma + 1 >= line.size()) continue;
        const char firstCell = line[comma + 1];
        if (firstCell == '\r' || firstCell == '\n' || firstCell == '\0') continue;
        auto cells = std::make_unique<std::vector<int>>();
        for (size_t at = comma + 1; at < line.size() && cells->size() < columnWidths.size(); ++at) {
            const char c = line[at];
            if (c == '\r' || c == '\n' || c == '\0') break;
            cells->push_back(c - '0');
        }
        rowHeights.push_back(ParseLeadingInt(line));
        rows.push_back(std::move(cells));
    }
    FileStreamClose(file);
    return true;
}

// The running positions are summed wide: widths and heights may be anything
// an int holds. A piece is drawn only within a span of the screen, so its
// position fits an int again.
void CStageBackground::Draw(int x0, int y0) const {
    long long y = y0;
    size_t rowCount = rows.size() < rowHeights.size() ? rows.size() : rowHeights.size();
    for (size_t r = 0; r < rowCount; ++r) {
        int h = rowHeights[r];
        if (y + h >= 0) {
            if (y > 480) return;
            long long x = x0;
            const std::vector<int>& cells = *rows[r];
            // A row with more cells than column widths draws the cells that
            // have a width and ignores the rest.
            size_t cellCount = cells.size() < columnWidths.size() ? cells.size() : columnWidths.size();
            for (size_t c = 0; c < cellCount; ++c) {
                int w = columnWidths[c];
                int v = cells[c];
                if (v >= 1 && v - 1 < pieceCount && pieceImages != nullptr && x + w >= 0) {
                    if (x > 640) break;
                    DrawGraphicPart(static_cast<int>(x), static_cast<int>(y), 0, 0, w, h, pieceImages[v - 1],
                                    transparent ? 1 : 0, 0);
                }
                x += w;
            }
        }
        y += h;
    }
}
