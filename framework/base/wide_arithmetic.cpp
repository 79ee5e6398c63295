// Exact 64x64->128-bit multiplication and 128/64-bit division in 32-bit and
// 64-bit words, so that a 64-bit counter can be scaled by a factor without
// overflow and without floating point.
#include "framework/base/base_functions.h"

void Multiply64To128(const uint64_t* a, const uint64_t* b, uint32_t out[4]) {
    const uint64_t aLow = static_cast<uint32_t>(*a), aHigh = *a >> 32;
    const uint64_t bLow = static_cast<uint32_t>(*b), bHigh = *b >> 32;

    const uint64_t lowLow = aLow * bLow;
    const uint64_t lowHigh = aLow * bHigh;
    const uint64_t highLow = aHigh * bLow;
    const uint64_t highHigh = aHigh * bHigh;

    // Word 1 collects three 32-bit pieces; its sum fits in 64 bits and the
    // part above 32 bits carries into words 2 and 3.
    const uint64_t middle = (lowLow >> 32) + static_cast<uint32_t>(lowHigh) +
                            static_cast<uint32_t>(highLow);
    const uint64_t upper = highHigh + (lowHigh >> 32) + (highLow >> 32) + (middle >> 32);

    out[0] = static_cast<uint32_t>(lowLow);
    out[1] = static_cast<uint32_t>(middle);
    out[2] = static_cast<uint32_t>(upper);
    out[3] = static_cast<uint32_t>(upper >> 32);
}

void Divide128By64(const uint32_t dividend[4], const uint64_t* divisor, uint64_t* quotient) {
    const uint64_t d = *divisor;
    if (d == 0) {
        *quotient = 0;
        return;
    }
    const uint64_t high = (static_cast<uint64_t>(dividend[3]) << 32) | dividend[2];
    const uint64_t low = (static_cast<uint64_t>(dividend[1]) << 32) | dividend[0];

    // Only the low 64 bits of the quotient are kept, so the high word only
    // contributes its remainder; the low word is then divided bit by bit
    // (restoring long division). The running remainder is below d, so after
    // a shift it needs at most 65 bits: the bit shifted out is kept apart.
    uint64_t remainder = high % d;
    uint64_t result = 0;
    for (int bit = 63; bit >= 0; --bit) {
        const bool overflow = (remainder >> 63) != 0;
        remainder = (remainder << 1) | ((low >> bit) & 1);
        result <<= 1;
        if (overflow || remainder >= d) {
            remainder -= d;
            result |= 1;
        }
    }
    *quotient = result;
}
