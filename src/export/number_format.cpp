#include "export/number_format.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace vertoko {

namespace {

// std::to_chars with a precision behaves as printf with the matching
// conversion in the "C" locale, whatever locale the process has set.
void AppendFloating(std::string& out, double value, std::chars_format format, int precision) {
    char buffer[400];  // %.4f of the largest double needs 309 digits before the point
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    out.append(buffer, result.ptr);
}

// Exact in double: 10^-4 to 10^9.
constexpr double kPow10[] = {1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1, 1e2,
                             1e3,  1e4,  1e5,  1e6,  1e7, 1e8, 1e9};
constexpr double Pow10(int e) { return kPow10[e + 4]; }

// %g of magnitudes from 10^-4 up to 10^6, the plain decimal form, without
// the general conversion: scale to six digits, round, place the point. The
// scaled value carries one rounding of at most 2^-53 relative; a value so
// near a rounding tie that this could decide it, or that rounds up into the
// next decade, is left to to_chars (returns null). Also null outside the
// range.
char* WritePlainG(char* at, double value) {
    double magnitude = value < 0.0 ? -value : value;
    if (!(magnitude >= 1e-4 && magnitude < 1e6)) return nullptr;
    int e = 5;  // decimal exponent: 10^e <= magnitude < 10^(e + 1)
    while (e > -4 && magnitude < Pow10(e)) --e;
    const double scaled = e <= 5 ? magnitude * Pow10(5 - e) : magnitude;
    if (!(scaled >= 1e5 && scaled < 1e6)) return nullptr;
    std::uint32_t digits = static_cast<std::uint32_t>(scaled);  // truncates: scaled > 0
    const double fraction = scaled - static_cast<double>(digits);
    if (std::fabs(fraction - 0.5) < 1e-6) return nullptr;
    if (fraction > 0.5) ++digits;
    if (digits >= 1000000) return nullptr;

    char text[6];
    for (int i = 5; i >= 0; --i) {
        text[i] = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }
    int length = 6;  // significant digits without trailing zeros
    while (length > 1 && text[length - 1] == '0') --length;
    if (value < 0.0) *at++ = '-';
    if (e >= 0) {
        const int whole = e + 1;  // digits before the point
        std::memcpy(at, text, static_cast<std::size_t>(whole));
        at += whole;
        if (length > whole) {
            *at++ = '.';
            std::memcpy(at, text + whole, static_cast<std::size_t>(length - whole));
            at += length - whole;
        }
        return at;
    }
    *at++ = '0';
    *at++ = '.';
    for (int i = -1; i > e; --i) *at++ = '0';
    std::memcpy(at, text, static_cast<std::size_t>(length));
    return at + length;
}

}  // namespace

char* WriteG(char* at, double value) {
    // Whole numbers below 10^6, the commonest coordinates of all, print as
    // the integer they are; a zero keeps its sign.
    if (value > -1e6 && value < 1e6) {
        const auto whole = static_cast<std::int32_t>(value);
        if (static_cast<double>(whole) == value) {
            if (whole == 0 && std::signbit(value)) *at++ = '-';
            return WriteInt(at, whole);
        }
    }
    if (char* end = WritePlainG(at, value)) return end;
    return std::to_chars(at, at + kGMaxLength, value, std::chars_format::general, 6).ptr;
}

char* WriteInt(char* at, std::int64_t value) { return std::to_chars(at, at + 20, value).ptr; }

void AppendG(std::string& out, double value) {
    char buffer[kGMaxLength];
    out.append(buffer, WriteG(buffer, value));
}

void AppendFixed4(std::string& out, double value) {
    AppendFloating(out, value, std::chars_format::fixed, 4);
}

void AppendShortest(std::string& out, float value) {
    char buffer[kGMaxLength];
    out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
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
