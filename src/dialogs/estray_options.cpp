#include "dialogs/estray_options.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "controls/numedit_format.h"

namespace vertoko {

namespace {

bool IsWordSeparator(char c) { return c == ' ' || c == '\t'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest prefix of text that strtod would read as a decimal
// number (sign, digits with at most one point, optional exponent).
std::size_t DecimalPrefixLength(std::string_view text) {
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    std::size_t digits = 0;
    while (pos < text.size() && IsDigit(text[pos])) ++pos, ++digits;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && IsDigit(text[pos])) ++pos, ++digits;
    }
    if (digits == 0) return 0;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t exp = pos + 1;
        if (exp < text.size() && (text[exp] == '+' || text[exp] == '-')) ++exp;
        if (exp < text.size() && IsDigit(text[exp])) {
            while (exp < text.size() && IsDigit(text[exp])) ++exp;
            pos = exp;
        }
    }
    return pos;
}

}  // namespace

EstrayOptionWords ReadEstrayOptions(std::string_view estrOpt) {
    enum class Expect { Option, KValue, ColourName };
    EstrayOptionWords found;
    Expect expect = Expect::Option;
    std::size_t pos = 0;
    while (true) {
        while (pos < estrOpt.size() && IsWordSeparator(estrOpt[pos])) ++pos;
        if (pos >= estrOpt.size()) break;
        std::size_t end = pos;
        while (end < estrOpt.size() && !IsWordSeparator(estrOpt[end])) ++end;
        const std::string_view word = estrOpt.substr(pos, end - pos);
        pos = end;

        if (expect == Expect::KValue) {
            found.kValue = LeadingNumberToFixed(word);
            expect = Expect::Option;
        } else if (expect == Expect::ColourName) {
            found.colourName = std::string(word);
            expect = Expect::Option;
        } else if (word == "s") {
            found.smooth = true;
        } else if (word == "k") {
            found.normal = true;
            expect = Expect::KValue;
        } else if (word == "n") {
            found.noShadow = true;
        } else if (word == "c") {
            found.colour = true;
            expect = Expect::ColourName;
        } else {
            break;
        }
    }
    return found;
}

std::int64_t LeadingNumberToFixed(std::string_view word) {
    std::size_t length = DecimalPrefixLength(word);
    if (length == 0) return 0;
    std::string_view number = word.substr(0, length);
    if (number.front() == '+') number.remove_prefix(1);
    if (number.find_first_of("eE") == std::string_view::npos) {
        // A plain decimal is scaled exactly, so that a half ten-thousandth
        // is a true half and goes to the even neighbour.
        if (const auto decimal = ParseDecimalText(number)) {
            if (const auto fixed = DecimalToFixed(*decimal)) return *fixed;
            return decimal->negative ? std::numeric_limits<std::int64_t>::min()
                                     : std::numeric_limits<std::int64_t>::max();
        }
    }
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: strtod gives +-HUGE_VAL or 0.
        const bool tiny = number.find_first_of("eE") != std::string_view::npos &&
                          number[number.find_first_of("eE") + 1] == '-';
        if (tiny) return 0;
        value = number.front() == '-' ? -HUGE_VAL : HUGE_VAL;
    } else if (result.ec != std::errc()) {
        return 0;
    }
    return RoundHalfEven(value * 10000.0);
}

std::string FixedToSixDecimals(std::int64_t value) {
    const DecimalText number = FixedToDecimal(value);
    return FormatDecimal(number, 6, false);
}

std::string BuildEstrayOptions(bool smooth, bool normal, std::int64_t kValue, bool noShadow,
                               bool colour, std::string& colourName, std::size_t maxBytes) {
    std::string out;
    if (smooth) out += " s";
    if (normal) {
        out += " k ";
        out += FixedToSixDecimals(kValue);
    }
    if (noShadow) out += " n";
    if (colour && !colourName.empty()) {
        const std::size_t used = out.size() + 3;  // " c "
        colourName = CutUtf8(colourName, used < maxBytes ? maxBytes - used : 0);
        if (!colourName.empty()) {
            out += " c ";
            out += colourName;
        }
    }
    return out;
}

std::string StatementText(std::string_view text, std::size_t maxBytes) {
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) return {};
    return CutUtf8(text, maxBytes);
}

std::string CutUtf8(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return std::string(text);
    std::size_t cut = maxBytes;
    // Step back over continuation bytes (10xxxxxx) to a character start.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return std::string(text.substr(0, cut));
}

}  // namespace vertoko
