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
bool ParseFloat(std::string_view line, float& value);

}  // namespace vertoko
