// Saturating add and subtract and the 50 % blend on whole packed pixels, so
// that the three channels of a pixel are combined in one integer operation
// instead of three tests.
//
// The general operations keep a channel's carry or borrow from spilling into
// the next channel by leaving out the lowest bit of green and red, so those
// lowest bits come out of the carry logic rather than the arithmetic. The
// results, low bits included, are what the draws have always produced, and
// every draw that saturates uses these same functions.
#pragma once

#include <cstdint>

// 32-bit add: D the whole destination pixel, A the contribution (byte 3 zero).
// Blue saturates exactly; green and red add their upper seven bits, take their
// lowest bit from the operands and the carry of the channel below, and
// saturate to 255 on overflow. Byte 3 becomes red's overflow (0 or 1).
constexpr uint32_t SatAdd32(uint32_t d, uint32_t a) {
    const uint32_t t = (d & 0x00FEFEFFu) + (a & 0x00FEFEFFu);
    const uint32_t c = t & 0x01010100u;
    return t | (c - (c >> 8)) | ((d | a) & 0x00010100u);
}

// 32-bit subtract. Blue clamps exactly at 0; green and red subtract their
// upper seven bits and have their lowest bit set exactly when the channel
// below did not go below zero. Byte 3 becomes 0.
constexpr uint32_t SatSub32(uint32_t d, uint32_t a) {
    const uint32_t t = (d | 0x01010100u) - (a & 0xFEFEFEFFu);
    const uint32_t c = t & 0x01010100u;
    return t & (c - (c >> 8));
}

// The 32-bit add of the copy-speed add path: like SatAdd32 but without the
// operands' lowest bits of green and red, which come out 0 unless the channel
// below overflowed.
constexpr uint32_t SatAdd32Coarse(uint32_t d, uint32_t s) {
    const uint32_t t = (d & 0x00FEFEFFu) + (s & 0x00FEFEFFu);
    const uint32_t c = t & 0x01010100u;
    return (c - (c >> 8)) | t;
}

// 16-bit 5-6-5 add. Blue saturates exactly at 31; green adds its upper five
// bits and ORs the operands' lowest bits and blue's overflow into its lowest
// bit; red adds its upper four bits likewise with green's overflow.
constexpr uint16_t SatAdd(uint32_t d, uint32_t a) {
    const uint32_t t = (d & 0xF7DEF7DFu) + (a & 0xF7DEF7DFu);
    const uint32_t c = t & 0x08210820u;
    return static_cast<uint16_t>(t | (c - (c >> 5)) | ((d | a) & 0x820u));
}

// 16-bit 5-6-5 subtract. Blue clamps exactly at 0; green subtracts its upper
// five bits and its lowest bit comes out 0; red's lowest bit is 1 exactly when
// neither green nor red went below zero.
constexpr uint16_t SatSub(uint32_t d, uint32_t a) {
    const uint32_t t = (d | 0x08210820u) - (a & 0xF7DEF7DFu);
    const uint32_t c = t & 0x08210820u;
    return static_cast<uint16_t>(t & (c - (c >> 5)));
}

// Each of the four bytes becomes min(255, d + s): the result of the
// processor's unsigned saturating byte add, computed on plain integers. The
// low seven bits of every byte are added apart from the top bits so no carry
// crosses into the next byte; the top bit and the byte's overflow follow.
constexpr uint32_t AddBytesSaturated(uint32_t d, uint32_t s) {
    const uint32_t low = (d & 0x7F7F7F7Fu) + (s & 0x7F7F7F7Fu);
    const uint32_t sum = low ^ ((d ^ s) & 0x80808080u);
    const uint32_t overflow = ((d & s) | ((d | s) & ~sum)) & 0x80808080u;
    return sum | ((overflow >> 7) * 0xFFu);
}

// Each of the four bytes becomes max(0, d - s), the processor's unsigned
// saturating byte subtract on plain integers: the top bit of every byte is
// forced so no borrow crosses bytes, then put right and the byte's borrow out
// clears the bytes that went below zero.
constexpr uint32_t SubtractBytesSaturated(uint32_t d, uint32_t s) {
    const uint32_t forced = (d | 0x80808080u) - (s & 0x7F7F7F7Fu);
    const uint32_t diff = forced ^ ((d ^ ~s) & 0x80808080u);
    const uint32_t borrow = ((~d & s) | ((~d | s) & diff)) & 0x80808080u;
    return diff & ~((borrow >> 7) * 0xFFu);
}

// 50 % blend of two 32-bit pixels by halving each channel first: every
// channel becomes (s >> 1) + (d >> 1), byte 3 becomes 0.
constexpr uint32_t HalfBlend32(uint32_t s, uint32_t d) {
    return ((s >> 1) & 0x007F7F7Fu) + ((d >> 1) & 0x007F7F7Fu);
}

// The same on 5-6-5 pixels: each channel becomes (s >> 1) + (d >> 1).
constexpr uint16_t HalfBlend16(uint32_t s, uint32_t d) {
    return static_cast<uint16_t>(((s >> 1) & 0x7BEF7BEFu) + ((d >> 1) & 0x7BEF7BEFu));
}
