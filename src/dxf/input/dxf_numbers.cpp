// Number parsing with std::from_chars, which never consults the process
// locale, plus the small amount of scanf-like leniency DXF files rely on.
#include "dxf/input/dxf_numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace vertoko {

namespace {

inline bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

inline char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Skips leading blanks and one sign; returns whether the sign was '-'.
bool TakeSign(const char*& p, const char* end) {
    while (p < end && IsBlank(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    return negative;
}

// Reads the digits at p into value, saturating at the 32-bit range.
// Returns false when no digit is there.
bool TakeDigits(const char* p, const char* end, bool negative, std::int32_t& value) {
    if (p >= end || !IsDigit(*p)) return false;
    std::int64_t magnitude = 0;
    constexpr std::int64_t kLimit = std::int64_t{1} << 31;
    for (; p < end && IsDigit(*p); ++p) {
        if (magnitude <= kLimit) magnitude = magnitude * 10 + (*p - '0');
    }
    if (negative) {
        value = magnitude >= kLimit ? std::numeric_limits<std::int32_t>::min()
                                    : static_cast<std::int32_t>(-magnitude);
    } else {
        value = magnitude >= kLimit ? std::numeric_limits<std::int32_t>::max()
                                    : static_cast<std::int32_t>(magnitude);
    }
    return true;
}

bool StartsWithWord(const char* p, const char* end, std::string_view word) {
    if (static_cast<std::size_t>(end - p) < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (Lower(p[i]) != word[i]) return false;
    }
    return true;
}

// A number from_chars cannot represent as float: decide between infinity
// and zero the way strtof does, by the magnitude of the double value.
float OutOfRangeFloat(const char* p, const char* end, std::chars_format format) {
    double wide = 0.0;
    const auto result = std::from_chars(p, end, wide, format);
    if (result.ec == std::errc()) {
        if (std::fabs(wide) > static_cast<double>(std::numeric_limits<float>::max()))
            return std::numeric_limits<float>::infinity();
        return static_cast<float>(wide);
    }
    // Beyond double too: a negative exponent means underflow.
    for (const char* q = p; q + 1 < end; ++q) {
        const char c = Lower(*q);
        if ((c == 'e' || c == 'p') && q[1] == '-') return 0.0f;
    }
    return std::numeric_limits<float>::infinity();
}

// Exact powers of ten that a float holds without rounding.
constexpr float kPow10[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};

// Plain decimals such as "12.5" or "-0.001250" are by far the most common
// values. When the digits, without trailing zeros of the fraction, form an
// integer m of at most 2^24 and the fraction has at most 10 digits, both m
// and 10^k are exact floats and one IEEE division rounds m / 10^k correctly,
// which is what from_chars gives too. Returns false to leave the rest to it.
bool ParsePlainDecimal(const char* p, const char* end, float& value) {
    constexpr std::uint32_t kExactLimit = std::uint32_t{1} << 24;
    std::uint32_t mantissa = 0;
    int fraction = 0;      // fraction digits taken into the mantissa
    int pendingZeros = 0;  // fraction zeros not yet taken: maybe trailing
    bool anyDigit = false;
    for (; p < end && IsDigit(*p); ++p) {
        mantissa = mantissa * 10 + static_cast<std::uint32_t>(*p - '0');
        if (mantissa > kExactLimit) return false;
        anyDigit = true;
    }
    if (p < end && *p == '.') {
        for (++p; p < end && IsDigit(*p); ++p) {
            anyDigit = true;
            if (*p == '0') {
                ++pendingZeros;
                continue;
            }
            for (; pendingZeros > 0; --pendingZeros) {
                mantissa *= 10;
                ++fraction;
                if (mantissa > kExactLimit) return false;
            }
            mantissa = mantissa * 10 + static_cast<std::uint32_t>(*p - '0');
            ++fraction;
            if (mantissa > kExactLimit || fraction > 10) return false;
        }
    }
    if (!anyDigit || (p < end && (*p == 'e' || *p == 'E'))) return false;
    value = static_cast<float>(mantissa) / kPow10[fraction];
    return true;
}

}  // namespace

std::int32_t ParseIntPrefixSlow(std::string_view line) {
    const char* p = line.data();
    const char* end = p + line.size();
    const bool negative = TakeSign(p, end);
    std::int32_t value = 0;
    TakeDigits(p, end, negative, value);
    return value;
}

bool ParseInt(std::string_view line, std::int32_t& value) {
    const char* p = line.data();
    const char* end = p + line.size();
    const bool negative = TakeSign(p, end);
    return TakeDigits(p, end, negative, value);
}

bool ParseFloatSlow(std::string_view line, float& value) {
    const char* p = line.data();
    const char* end = p + line.size();
    const bool negative = TakeSign(p, end);
    if (p >= end) return false;

    float magnitude = 0.0f;
    const bool hexPrefix = end - p > 1 && p[0] == '0' && Lower(p[1]) == 'x';
    if (!hexPrefix && ParsePlainDecimal(p, end, magnitude)) {
        // done: the common case
    } else if (StartsWithWord(p, end, "inf")) {
        magnitude = std::numeric_limits<float>::infinity();
    } else if (StartsWithWord(p, end, "nan")) {
        magnitude = std::numeric_limits<float>::quiet_NaN();
    } else {
        std::chars_format format = std::chars_format::general;
        const bool hex =
            end - p > 2 && p[0] == '0' && Lower(p[1]) == 'x' &&
            (IsDigit(p[2]) || (Lower(p[2]) >= 'a' && Lower(p[2]) <= 'f') || p[2] == '.');
        if (hex) {
            p += 2;
            format = std::chars_format::hex;
        }
        const auto result = std::from_chars(p, end, magnitude, format);
        if (result.ec == std::errc::result_out_of_range) {
            magnitude = OutOfRangeFloat(p, end, format);
        } else if (result.ec != std::errc()) {
            // "0x" without hex digits still reads as the number 0.
            if (!hex) return false;
            magnitude = 0.0f;
        }
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

}  // namespace vertoko
