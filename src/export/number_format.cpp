#include "export/number_format.h"

#include <charconv>

namespace vertoko {

namespace {

// std::to_chars with a precision behaves as printf with the matching
// conversion in the "C" locale, whatever locale the process has set.
void AppendFloating(std::string& out, double value, std::chars_format format, int precision) {
    char buffer[400];  // %.4f of the largest double needs 309 digits before the point
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    out.append(buffer, result.ptr);
}

}  // namespace

void AppendG(std::string& out, double value) {
    AppendFloating(out, value, std::chars_format::general, 6);
}

void AppendFixed4(std::string& out, double value) {
    AppendFloating(out, value, std::chars_format::fixed, 4);
}

void AppendInt(std::string& out, std::int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void AppendInt03(std::string& out, std::int64_t value) {
    if (value >= 0 && value < 100)
        out += value < 10 ? "00" : "0";
    else if (value < 0 && value > -10) {
        // "%03d" of -5 is "-05": the sign counts toward the width.
        out += "-0";
        AppendInt(out, -value);
        return;
    }
    AppendInt(out, value);
}

}  // namespace vertoko
