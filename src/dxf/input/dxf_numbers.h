// Locale-independent conversion of DXF group code and value lines.
#pragma once

#include <cstdint>
#include <string_view>

namespace vertoko {

// The decimal integer prefix of a line: leading blanks, an optional sign,
// digits. A line without digits gives 0; values beyond 32 bits saturate.
std::int32_t ParseIntPrefixSlow(std::string_view line);
inline std::int32_t ParseIntPrefix(std::string_view line) {
    // Group codes are mostly one to four bare digits.
    if (line.size() - 1 < 4) {
        std::int32_t value = 0;
        for (char c : line) {
            if (c < '0' || c > '9') return ParseIntPrefixSlow(line);
            value = value * 10 + (c - '0');
        }
        return value;
    }
    return ParseIntPrefixSlow(line);
}

// Converts a line like one "%d" item in the C locale. False when the line
// holds no integer; trailing characters are ignored.
bool ParseInt(std::string_view line, std::int32_t& value);

// Converts a line like one "%g" item into a float in the C locale: leading
// blanks, an optional sign, a decimal or hexadecimal number, inf or nan.
// False when no number starts the line; trailing characters are ignored.
bool ParseFloatSlow(std::string_view line, float& value);

// The value of a plain decimal whose digits, read without the point, form
// m with fraction digits after the point (0 without a point). Without the
// fraction's trailing zeros, when m <= 2^24 and at most 10 fraction digits
// remain, m and the power of ten are exact floats and one division rounds
// correctly, as the general conversion does; false otherwise, for the
// general conversion to decide.
[[gnu::always_inline]] inline bool PlainDecimalValue(std::uint64_t m, int fraction, bool negative,
                                                     float& value) {
    static constexpr float kPow10[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                       1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    // Trailing zeros are dropped only when they keep m or the power of ten
    // from being exact: dividing m * 10^k by 10^(f+k) gives the same float.
    if (m > (std::uint64_t{1} << 24) || fraction > 10) {
        while (fraction > 0 && m % 10 == 0) {
            m /= 10;
            --fraction;
        }
    }
    if (m > (std::uint64_t{1} << 24) || fraction > 10) return false;
    // A whole number needs no division, the slowest step.
    float magnitude = static_cast<float>(m);
    if (fraction > 0) magnitude /= kPow10[fraction];
    value = negative ? -magnitude : magnitude;
    return true;
}

// Reads digits with at most one point from p on, up to limit: the digits
// without the point form m, with fraction digits after the point (-1 when
// there is none). Returns where it stopped: at limit or at the first other
// character.
[[gnu::always_inline]] inline const char* ScanPlainDigits(const char* p, const char* limit,
                                                          std::uint64_t& m, int& fraction) {
    m = 0;
    fraction = -1;
    for (; p < limit; ++p) {
        const unsigned d = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0';
        if (d < 10) {
            m = m * 10 + d;
            if (fraction >= 0) ++fraction;
        } else if (*p == '.' && fraction < 0) {
            fraction = 0;
        } else {
            break;
        }
    }
    return p;
}

// Inlined into the parsers even where the compiler would rather call it: a
// coordinate line costs little more than the call.
[[gnu::always_inline]] inline bool ParseFloat(std::string_view line, float& value) {
    // The usual value line, inline: an optional minus and digits with at most
    // one point, nothing else.
    const char* p = line.data();
    const char* const end = p + line.size();
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    if (end - p < 1 || end - p > 18) return ParseFloatSlow(line, value);
    std::uint64_t m = 0;
    int fraction = -1;
    if (ScanPlainDigits(p, end, m, fraction) != end) return ParseFloatSlow(line, value);
    // A lone point has no digit.
    const bool digits = end - p > (fraction < 0 ? 0 : 1);
    if (fraction < 0) fraction = 0;
    if (!digits || !PlainDecimalValue(m, fraction, negative, value))
        return ParseFloatSlow(line, value);
    return true;
}

}  // namespace vertoko
