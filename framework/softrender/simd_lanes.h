// The vector operations that the draw loops are written against, for the
// instruction set of one pass of draw_loops.h: 128-bit SSE2 registers, or
// 256-bit AVX2 ones when KILN_SIMD_AVX2 is 1. A loop written with `Lanes`
// alone takes Lanes::kBytes bytes a step and computes the same values in
// either pass; operations that move values between lanes keep them in order
// (AVX2's 256-bit packs and unpacks work on each 128-bit half apart, so
// those are put back in order here).
//
// No include guard: draw_loops.h includes this file once per pass, inside
// the pass's namespace.

// One 32-bit and one 16-bit value from memory, as vector lanes take them.
inline int Load32(const uint8_t* at) {
    int v;
    std::memcpy(&v, at, sizeof v);
    return v;
}
inline short Load16(const uint8_t* at) {
    short v;
    std::memcpy(&v, at, sizeof v);
    return v;
}

// 128 bits of lanes i from base + index[i] x kScale, one load a lane: four
// of 32 bits or eight of 16 bits.
template <int kScale>
inline __m128i HalfOf32(const uint8_t* base, const int32_t* index) {
    const auto at = [&](int i) { return Load32(base + static_cast<ptrdiff_t>(index[i]) * kScale); };
    return _mm_setr_epi32(at(0), at(1), at(2), at(3));
}
template <int kScale>
inline __m128i HalfOf16(const uint8_t* base, const int32_t* index) {
    const auto at = [&](int i) { return Load16(base + static_cast<ptrdiff_t>(index[i]) * kScale); };
    return _mm_setr_epi16(at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7));
}

// Copies `bytes` bytes, fewer than kLess, in pieces of fixed sizes: a copy of
// a length known only now would start up the processor's string move, which
// costs more than these few bytes.
template <size_t kLess>
inline void CopyFewBytes(uint8_t* to, const uint8_t* from, size_t bytes) {
    size_t at = 0;
    const auto piece = [&]<size_t kSize>() {
        if constexpr (kSize < kLess) {
            if (bytes & kSize) {
                uint8_t block[kSize];
                std::memcpy(block, from + at, kSize);
                std::memcpy(to + at, block, kSize);
                at += kSize;
            }
        }
    };
    piece.template operator()<32>();
    piece.template operator()<16>();
    piece.template operator()<8>();
    piece.template operator()<4>();
    piece.template operator()<2>();
    piece.template operator()<1>();
}

// Loops over rows ask for the memory this many bytes ahead of where they
// read and write: the processor's own prefetch does not always run far
// enough ahead of a loop with much work a vector.
inline constexpr ptrdiff_t kPrefetchAhead = 2048;
inline void PrefetchAhead(const uint8_t* at) {
    _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(at) + kPrefetchAhead), _MM_HINT_T0);
}

#if KILN_SIMD_AVX2

struct Lanes {
    using V = __m256i;
    static constexpr int kBytes = 32;

    static V Load(const uint8_t* at) { return _mm256_loadu_si256(reinterpret_cast<const V*>(at)); }
    static V LoadAligned(const uint8_t* at) { return _mm256_load_si256(reinterpret_cast<const V*>(at)); }
    static void Store(uint8_t* at, V v) { _mm256_storeu_si256(reinterpret_cast<V*>(at), v); }
    // `at` on a kBytes boundary (and LoadAligned's); the streaming store
    // bypasses the caches.
    static void StoreAligned(uint8_t* at, V v) { _mm256_store_si256(reinterpret_cast<V*>(at), v); }
    static void StoreStreaming(uint8_t* at, V v) { _mm256_stream_si256(reinterpret_cast<V*>(at), v); }

    // The first `bytes` bytes (fewer than kBytes) of a vector, the rest zero;
    // and the first `bytes` bytes of `v` stored. Whole 32-bit lanes are read
    // and written under a mask, which reads nothing past them.
    static V LoadFirst(const uint8_t* at, size_t bytes) {
        if (bytes % 4 == 0)
            return _mm256_maskload_epi32(reinterpret_cast<const int*>(at), FirstLanes(bytes));
        alignas(32) uint8_t block[kBytes] = {};
        CopyFewBytes<kBytes>(block, at, bytes);
        return Load(block);
    }
    static void StoreFirst(uint8_t* at, V v, size_t bytes) {
        if (bytes % 4 == 0) return _mm256_maskstore_epi32(reinterpret_cast<int*>(at), FirstLanes(bytes), v);
        alignas(32) uint8_t block[kBytes];
        Store(block, v);
        CopyFewBytes<kBytes>(at, block, bytes);
    }
    // All ones in the 32-bit lanes below bytes / 4.
    static V FirstLanes(size_t bytes) {
        return _mm256_cmpgt_epi32(_mm256_set1_epi32(static_cast<int>(bytes / 4)), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    }

    static V Zero() { return _mm256_setzero_si256(); }
    static V Set32(uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }
    static V Set16(uint32_t v) { return _mm256_set1_epi16(static_cast<short>(v)); }

    // Lanes i of 32 bits from base + index[i] x kScale, and lanes of 16 bits
    // likewise: one load a lane, each half filled on its own (a 256-bit
    // vector filled lane by lane takes longer). With kHardware the 32-bit
    // lanes come by the processor's gather instead, which is the quicker on
    // some processors and much the slower on others (simd_level.h); there is
    // none for 16 bits, as a 32-bit gather would read past a row's last pixel.
    static constexpr bool kHasHardwareGather = true;
    template <int kScale, bool kHardware = false> static V Gather32(const uint8_t* base, const int32_t* index) {
        if constexpr (kHardware)
            return _mm256_i32gather_epi32(reinterpret_cast<const int*>(base),
                                          _mm256_loadu_si256(reinterpret_cast<const V*>(index)), kScale);
        else
            return _mm256_setr_m128i(HalfOf32<kScale>(base, index), HalfOf32<kScale>(base, index + 4));
    }
    template <int kScale> static V Gather16(const uint8_t* base, const int32_t* index) {
        return _mm256_setr_m128i(HalfOf16<kScale>(base, index), HalfOf16<kScale>(base, index + 8));
    }

    static V And(V a, V b) { return _mm256_and_si256(a, b); }
    static V Or(V a, V b) { return _mm256_or_si256(a, b); }
    static V Xor(V a, V b) { return _mm256_xor_si256(a, b); }
    // Lanes of `yes` where `mask` is all ones, of `no` where it is all zeros.
    static V Select(V mask, V yes, V no) { return _mm256_blendv_epi8(no, yes, mask); }

    static V Add32(V a, V b) { return _mm256_add_epi32(a, b); }
    static V Sub32(V a, V b) { return _mm256_sub_epi32(a, b); }
    static V Add16(V a, V b) { return _mm256_add_epi16(a, b); }
    static V Sub16(V a, V b) { return _mm256_sub_epi16(a, b); }
    static V AddSaturateU8(V a, V b) { return _mm256_adds_epu8(a, b); }
    // The low 16 bits of each 16-bit product; the high 16 bits of the signed
    // and of the unsigned product.
    static V MulLo16(V a, V b) { return _mm256_mullo_epi16(a, b); }
    static V MulHi16(V a, V b) { return _mm256_mulhi_epi16(a, b); }
    static V MulHiU16(V a, V b) { return _mm256_mulhi_epu16(a, b); }

    template <int n> static V ShiftLeft32(V v) { return _mm256_slli_epi32(v, n); }
    template <int n> static V ShiftRight32(V v) { return _mm256_srli_epi32(v, n); }
    template <int n> static V ShiftLeft16(V v) { return _mm256_slli_epi16(v, n); }
    template <int n> static V ShiftRight16(V v) { return _mm256_srli_epi16(v, n); }
    template <int n> static V ShiftRightSigned16(V v) { return _mm256_srai_epi16(v, n); }

    static V Equal32(V a, V b) { return _mm256_cmpeq_epi32(a, b); }
    static V Equal16(V a, V b) { return _mm256_cmpeq_epi16(a, b); }

    // The first and the second half of the 16-bit lanes, each widened with
    // zeros into 32-bit lanes.
    static V WidenLow16(V v) { return _mm256_cvtepu16_epi32(_mm256_castsi256_si128(v)); }
    static V WidenHigh16(V v) { return _mm256_cvtepu16_epi32(_mm256_extracti128_si256(v, 1)); }
    // The low 16 bits of each 32-bit lane of `a`, then of `b`.
    static V Narrow16(V a, V b) {
        const V low = _mm256_set1_epi32(0xFFFF);
        return _mm256_permute4x64_epi64(_mm256_packus_epi32(_mm256_and_si256(a, low), _mm256_and_si256(b, low)),
                                        0xD8);
    }
};

#else

struct Lanes {
    using V = __m128i;
    static constexpr int kBytes = 16;

    static V Load(const uint8_t* at) { return _mm_loadu_si128(reinterpret_cast<const V*>(at)); }
    static V LoadAligned(const uint8_t* at) { return _mm_load_si128(reinterpret_cast<const V*>(at)); }
    static void Store(uint8_t* at, V v) { _mm_storeu_si128(reinterpret_cast<V*>(at), v); }
    static void StoreAligned(uint8_t* at, V v) { _mm_store_si128(reinterpret_cast<V*>(at), v); }
    static void StoreStreaming(uint8_t* at, V v) { _mm_stream_si128(reinterpret_cast<V*>(at), v); }

    // The first `bytes` bytes (fewer than kBytes) of a vector, the rest zero;
    // and the first `bytes` bytes of `v` stored. The bytes go between memory
    // and the register in pieces, never through a block on the stack: a
    // vector read of bytes just written in pieces waits for the writes to
    // reach the cache.
    // Always inlined: a call from a loop of the other pass would cost it the
    // upper halves of its registers.
    __attribute__((always_inline)) static V LoadFirst(const uint8_t* at, size_t bytes) {
        if (bytes < 8) return _mm_cvtsi64_si128(static_cast<long long>(LoadFewBytes(at, bytes)));
        uint64_t low;
        std::memcpy(&low, at, sizeof low);
        return _mm_set_epi64x(static_cast<long long>(LoadFewBytes(at + 8, bytes - 8)), static_cast<long long>(low));
    }
    __attribute__((always_inline)) static void StoreFirst(uint8_t* at, V v, size_t bytes) {
        const uint64_t low = static_cast<uint64_t>(_mm_cvtsi128_si64(v));
        if (bytes < 8) return StoreFewBytes(at, low, bytes);
        std::memcpy(at, &low, sizeof low);
        StoreFewBytes(at + 8, static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(v, v))), bytes - 8);
    }
    // `bytes` (fewer than 8) bytes as the low bytes of a value, and back.
    __attribute__((always_inline)) static uint64_t LoadFewBytes(const uint8_t* at, size_t bytes) {
        uint64_t v = 0;
        size_t done = 0;
        if (bytes & 4) {
            uint32_t p;
            std::memcpy(&p, at, sizeof p);
            v = p;
            done = 4;
        }
        if (bytes & 2) {
            uint16_t p;
            std::memcpy(&p, at + done, sizeof p);
            v |= uint64_t{p} << (8 * done);
            done += 2;
        }
        if (bytes & 1) v |= uint64_t{at[done]} << (8 * done);
        return v;
    }
    __attribute__((always_inline)) static void StoreFewBytes(uint8_t* at, uint64_t v, size_t bytes) {
        if (bytes & 4) {
            const uint32_t p = static_cast<uint32_t>(v);
            std::memcpy(at, &p, sizeof p);
            at += 4;
            v >>= 32;
        }
        if (bytes & 2) {
            const uint16_t p = static_cast<uint16_t>(v);
            std::memcpy(at, &p, sizeof p);
            at += 2;
            v >>= 16;
        }
        if (bytes & 1) *at = static_cast<uint8_t>(v);
    }

    static V Zero() { return _mm_setzero_si128(); }
    static V Set32(uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
    static V Set16(uint32_t v) { return _mm_set1_epi16(static_cast<short>(v)); }

    // One load a lane; SSE2 has no gather.
    static constexpr bool kHasHardwareGather = false;
    template <int kScale, bool kHardware = false> static V Gather32(const uint8_t* base, const int32_t* index) {
        static_assert(!kHardware, "SSE2 has no gather");
        return HalfOf32<kScale>(base, index);
    }
    template <int kScale> static V Gather16(const uint8_t* base, const int32_t* index) {
        return HalfOf16<kScale>(base, index);
    }

    static V And(V a, V b) { return _mm_and_si128(a, b); }
    static V Or(V a, V b) { return _mm_or_si128(a, b); }
    static V Xor(V a, V b) { return _mm_xor_si128(a, b); }
    static V Select(V mask, V yes, V no) { return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no)); }

    static V Add32(V a, V b) { return _mm_add_epi32(a, b); }
    static V Sub32(V a, V b) { return _mm_sub_epi32(a, b); }
    static V Add16(V a, V b) { return _mm_add_epi16(a, b); }
    static V Sub16(V a, V b) { return _mm_sub_epi16(a, b); }
    static V AddSaturateU8(V a, V b) { return _mm_adds_epu8(a, b); }
    static V MulLo16(V a, V b) { return _mm_mullo_epi16(a, b); }
    static V MulHi16(V a, V b) { return _mm_mulhi_epi16(a, b); }
    static V MulHiU16(V a, V b) { return _mm_mulhi_epu16(a, b); }

    template <int n> static V ShiftLeft32(V v) { return _mm_slli_epi32(v, n); }
    template <int n> static V ShiftRight32(V v) { return _mm_srli_epi32(v, n); }
    template <int n> static V ShiftLeft16(V v) { return _mm_slli_epi16(v, n); }
    template <int n> static V ShiftRight16(V v) { return _mm_srli_epi16(v, n); }
    template <int n> static V ShiftRightSigned16(V v) { return _mm_srai_epi16(v, n); }

    static V Equal32(V a, V b) { return _mm_cmpeq_epi32(a, b); }
    static V Equal16(V a, V b) { return _mm_cmpeq_epi16(a, b); }

    static V WidenLow16(V v) { return _mm_unpacklo_epi16(v, _mm_setzero_si128()); }
    static V WidenHigh16(V v) { return _mm_unpackhi_epi16(v, _mm_setzero_si128()); }
    // SSE2 packs with signed saturation only: the low 16 bits are first
    // sign-extended so that the pack keeps them as they are.
    static V Narrow16(V a, V b) {
        return _mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(a, 16), 16), _mm_srai_epi32(_mm_slli_epi32(b, 16), 16));
    }
};

#endif
