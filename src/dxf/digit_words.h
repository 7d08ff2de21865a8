// Plain decimals read eight characters at a time: the digits of a coordinate
// line are found and converted with a few word operations instead of one
// step per character.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "dxf/dxf_numbers.h"

namespace vertoko::digit_words {

inline constexpr std::uint64_t kOnes = 0x0101010101010101ull;
inline constexpr std::uint64_t kHigh = 0x8080808080808080ull;

// The eight bytes at p, the first in the lowest byte.
inline std::uint64_t Load8(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    return word;
}

// The high bit of every byte of word that is not a digit '0' to '9'. Each
// byte is tested on its own: no carry crosses into the next.
inline std::uint64_t NonDigitBytes(std::uint64_t word) {
    const std::uint64_t a = word ^ (kOnes * '0');  // digits become 0 to 9
    return (((a & ~kHigh) + kOnes * (0x80 - 10)) | a) & kHigh;
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
// seven digits, and optionally a point with up to seven digits after it,
// ending at a CR or LF. Reads 16 bytes from p on. With at least one digit
// and a value PlainDecimalValue gets exactly, sets value and returns the
// line end; otherwise returns null, and the character-wise scan decides.
inline const char* PlainDecimal(const char* p, bool negative, float& value) {
    const std::uint64_t whole = Load8(p);
    const std::uint64_t wholeStops = NonDigitBytes(whole);
    if (wholeStops == 0) return nullptr;
    const int wholeCount = std::countr_zero(wholeStops) / 8;
    const std::uint64_t wholeDigits = whole ^ (kOnes * '0');
    const std::uint32_t wholeValue = wholeCount > 0 ? DigitsValue(wholeDigits, wholeCount) : 0;
    const char* end = p + wholeCount;
    if (*end != '.') {
        if (wholeCount == 0 || (*end != '\n' && *end != '\r')) return nullptr;
        if (!PlainDecimalValue(wholeValue, 0, negative, value)) return nullptr;
        return end;
    }
    const std::uint64_t part = Load8(end + 1);
    const std::uint64_t partStops = NonDigitBytes(part);
    if (partStops == 0) return nullptr;
    const int partCount = std::countr_zero(partStops) / 8;
    end += 1 + partCount;
    if ((*end != '\n' && *end != '\r') || wholeCount + partCount == 0) return nullptr;
    // Trailing zeros of the fraction change nothing in the value: dropped
    // here, so that the multiplication below stays small.
    std::uint64_t partDigits = part ^ (kOnes * '0');
    partDigits &= partCount == 0 ? 0 : ~std::uint64_t{0} >> (64 - 8 * partCount);
    const int fraction = partDigits == 0 ? 0 : (71 - std::countl_zero(partDigits)) / 8;
    static constexpr std::uint32_t kPow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};
    std::uint64_t m = std::uint64_t{wholeValue} * kPow10[fraction];
    if (fraction > 0) m += DigitsValue(partDigits, fraction);
    if (!PlainDecimalValue(m, fraction, negative, value)) return nullptr;
    return end;
}

}  // namespace vertoko::digit_words
