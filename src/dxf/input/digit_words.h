// Plain decimals read a word at a time: a coordinate line's end, point and
// digits are found with one 16-byte load and its digits converted eight at a
// time, instead of one step per character.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "dxf/input/dxf_numbers.h"

namespace vertoko::digit_words {

inline constexpr std::uint64_t kOnes = 0x0101010101010101ull;

// The eight bytes at p, the first in the lowest byte.
inline std::uint64_t Load8(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    return word;
}

// The value of the first count (1 to 8) bytes of digits, which hold the
// numbers 0 to 9 (a digit character xor '0'): the bytes are moved to the top
// of the word behind zeros and joined in pairs, fours and eights.
inline std::uint32_t DigitsValue(std::uint64_t digits, int count) {
    std::uint64_t v = digits << (8 * (8 - count));
    v = v * 10 + (v >> 8);
    constexpr std::uint64_t kMask = 0x000000FF000000FFull;
    constexpr std::uint64_t kMul1 = 100 + (1000000ull << 32);
    constexpr std::uint64_t kMul2 = 1 + (10000ull << 32);
    v = (((v & kMask) * kMul1) + (((v >> 16) & kMask) * kMul2)) >> 32;
    return static_cast<std::uint32_t>(v);
}

// The plain decimal at p (after its minus sign, which negative gives): up to
// eight digits, and optionally a point with up to eight significant digits
// after it (trailing zeros aside), ending at a CR or LF. Reads 16 bytes from
// p on. With at least one digit and a value PlainDecimalValue gets exactly,
// sets value and returns the line end; otherwise returns null, and the
// character-wise scan decides.
inline const char* PlainDecimal(const char* p, bool negative, float& value) {
    // Where the line ends and where its point is come first and from one
    // load: the next line's reading waits for the end, not for the value.
    unsigned digits;  // bit i: p[i] is a digit
    unsigned points;  // bit i: p[i] is '.'
    unsigned ends;    // bit i: p[i] is CR or LF
    unsigned zeros;   // bit i: p[i] is '0'
#if defined(__SSE2__)
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i shifted = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
    digits = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(shifted, _mm_set1_epi8(9)), shifted)));
    points = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('.'))));
    ends = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
        _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')))));
    zeros = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('0'))));
#else
    digits = points = ends = zeros = 0;
    for (unsigned i = 0; i < 16; ++i) {
        const char c = p[i];
        digits |= static_cast<unsigned>(c >= '0' && c <= '9') << i;
        points |= static_cast<unsigned>(c == '.') << i;
        ends |= static_cast<unsigned>(c == '\n' || c == '\r') << i;
        zeros |= static_cast<unsigned>(c == '0') << i;
    }
#endif
    const unsigned stops = ~(digits | points) & 0xFFFFu;
    if (stops == 0) return nullptr;
    const int length = std::countr_zero(stops);
    if (((ends >> length) & 1u) == 0) return nullptr;
    const unsigned before = (1u << length) - 1;
    points &= before;
    if ((points & (points - 1)) != 0) return nullptr;  // a second point
    const int whole = points != 0 ? std::countr_zero(points) : length;
    if (whole > 8 || length == (points != 0 ? 1 : 0)) return nullptr;
    // The fraction's digits up to its last that is not 0.
    const unsigned significant = digits & ~zeros & before & ~((2u << whole) - 1);
    const int fraction = significant != 0 ? 32 - std::countl_zero(significant) - whole - 1 : 0;
    if (fraction > 8) return nullptr;
    static constexpr std::uint32_t kPow10[] = {1,      10,      100,      1000,     10000,
                                               100000, 1000000, 10000000, 100000000};
    std::uint64_t m = whole > 0 ? DigitsValue(Load8(p) ^ (kOnes * '0'), whole) : 0;
    if (fraction > 0) {
        m = m * kPow10[fraction] + DigitsValue(Load8(p + whole + 1) ^ (kOnes * '0'), fraction);
    }
    if (!PlainDecimalValue(m, fraction, negative, value)) return nullptr;
    return p + length;
}

}  // namespace vertoko::digit_words
