// A small RGBA picture with the few drawing operations the placeholders need
// (boxes, lines, crosses and text in a built-in 5x7 font), written out as PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace placeholder {

struct Colour {
    uint8_t r, g, b, a;
};

class Canvas {
public:
    Canvas(int width, int height, Colour fill);

    int width() const { return width_; }
    int height() const { return height_; }
    const std::vector<uint8_t>& pixels() const { return pixels_; }

    void Plot(int x, int y, Colour colour);
    void FillRect(int x, int y, int w, int h, Colour colour);
    void FrameRect(int x, int y, int w, int h, Colour colour);
    void Cross(int cx, int cy, int arm, Colour colour);
    // Text of printable ASCII at (x, y), each glyph 6 * scale pixels wide and
    // 8 * scale high; other bytes draw as '?'. Clipped to the picture.
    void Text(int x, int y, const std::string& text, Colour colour, int scale = 1);
    // The text broken into lines of at most `columns` glyphs, from (x, y);
    // returns the y below the last line.
    int WrappedText(int x, int y, const std::string& text, int columns, Colour colour, int scale = 1);

private:
    int width_;
    int height_;
    std::vector<uint8_t> pixels_;
};

// Writes the canvas as an 8-bit RGBA PNG; false when the file cannot be
// written.
bool WritePng(const std::string& hostPath, const Canvas& canvas);

}  // namespace placeholder
