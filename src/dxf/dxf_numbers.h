// Locale-independent conversion of DXF group code and value lines.
#pragma once

#include <cstdint>
#include <string_view>

namespace vertoko {

// The decimal integer prefix of a line: leading blanks, an optional sign,
// digits. A line without digits gives 0; values beyond 32 bits saturate.
std::int32_t ParseIntPrefix(std::string_view line);

// Converts a line like one "%d" item in the C locale. False when the line
// holds no integer; trailing characters are ignored.
bool ParseInt(std::string_view line, std::int32_t& value);

// Converts a line like one "%g" item into a float in the C locale: leading
// blanks, an optional sign, a decimal or hexadecimal number, inf or nan.
// False when no number starts the line; trailing characters are ignored.
bool ParseFloat(std::string_view line, float& value);

}  // namespace vertoko
