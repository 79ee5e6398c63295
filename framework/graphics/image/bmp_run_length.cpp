// Run-length decoding of 4- and 8-bit bitmaps. The data comes from a file,
// so a run never writes past its row, a delta moves only right and down (its
// bytes are unsigned) and ends the bitmap when it would leave the image, and
// every read is checked against the data's end.
#include "framework/graphics/image/bmp_run_length.h"

namespace {

class RunLengthOutput {
public:
    RunLengthOutput(uint8_t* block, int pitch, int width, int rows, bool bottomUp)
        : block_(block), pitch_(pitch), width_(width), rows_(rows), bottomUp_(bottomUp) {}

    bool Finished() const { return row_ >= rows_; }
    // Writes one pixel and moves right; pixels past the row's end are dropped.
    void Put(uint8_t value) {
        if (column_ >= width_) return;
        const int imageRow = bottomUp_ ? rows_ - 1 - row_ : row_;
        block_[static_cast<ptrdiff_t>(imageRow) * pitch_ + column_] = value;
        ++column_;
    }
    void EndLine() {
        column_ = 0;
        ++row_;
    }
    // False when the move leaves the image.
    bool Move(int right, int down) {
        if (column_ + right > width_ || row_ + down >= rows_) return false;
        column_ += right;
        row_ += down;
        return true;
    }

private:
    uint8_t* block_;
    int pitch_;
    int width_;
    int rows_;
    bool bottomUp_;
    int column_ = 0;
    int row_ = 0;
};

// Pixel `i` of a group packed at `bytes`: whole bytes for 8 bits, else the
// high nibble first.
uint8_t PackedPixel(const uint8_t* bytes, int bits, int i) {
    if (bits == 8) return bytes[i];
    const uint8_t byte = bytes[i / 2];
    return (i % 2 == 0) ? static_cast<uint8_t>(byte >> 4) : static_cast<uint8_t>(byte & 0x0F);
}

}  // namespace

bool DecodeBmpRunLength(const uint8_t* data, size_t size, int bits, int width, int rows,
                        bool bottomUp, uint8_t* block, int pitch) {
    RunLengthOutput out(block, pitch, width, rows, bottomUp);
    size_t at = 0;
    while (!out.Finished()) {
        if (size - at < 2) return false;
        const int count = data[at];
        const uint8_t code = data[at + 1];
        at += 2;
        if (count > 0) {
            // A run repeats one byte: two alternating nibbles for 4 bits.
            for (int i = 0; i < count; ++i) out.Put(bits == 8 ? code : PackedPixel(&code, bits, i % 2));
            continue;
        }
        switch (code) {
        case 0:
            out.EndLine();
            break;
        case 1:
            return true;
        case 2:
            if (size - at < 2) return false;
            if (!out.Move(data[at], data[at + 1])) return true;
            at += 2;
            break;
        default: {
            // A literal of `code` pixels, padded to an even number of bytes.
            const size_t bytes = bits == 8 ? code : (code + 1u) / 2u;
            if (size - at < bytes) return false;
            for (int i = 0; i < code; ++i) out.Put(PackedPixel(data + at, bits, i));
            at += bytes + (bytes & 1u);
            if (at > size) at = size;
            break;
        }
        }
    }
    return true;
}
