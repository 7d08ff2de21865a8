#include "controls/numedit_format.h"

#include <cmath>
#include <limits>

namespace vertoko {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Adds one unit in the last place of a digit string; may grow it by a digit.
void IncrementDigits(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

void StripLeadingZeros(std::string& digits) {
    std::size_t first = digits.find_first_not_of('0');
    digits.erase(0, first == std::string::npos ? digits.size() : first);
}

std::string GroupThousands(const std::string& integer) {
    std::string out;
    const std::size_t n = integer.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out.push_back(',');
        out.push_back(integer[i]);
    }
    return out;
}

}  // namespace

std::string CurrToStr(std::string_view text) {
    std::string out;
    const std::string_view considered = text.substr(0, 255);
    for (char c : considered) {
        if (IsDigit(c) || c == '-' || c == '.') out.push_back(c);
    }
    if (out.empty()) out = "0";
    return out;
}

std::optional<DecimalText> ParseDecimalText(std::string_view cleaned) {
    DecimalText number;
    std::size_t pos = 0;
    if (pos < cleaned.size() && cleaned[pos] == '-') {
        number.negative = true;
        ++pos;
    }
    bool seenPoint = false;
    bool seenDigit = false;
    for (; pos < cleaned.size(); ++pos) {
        const char c = cleaned[pos];
        if (IsDigit(c)) {
            (seenPoint ? number.fraction : number.integer).push_back(c);
            seenDigit = true;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            return std::nullopt;
        }
    }
    if (!seenDigit) return std::nullopt;
    StripLeadingZeros(number.integer);
    return number;
}

std::string FormatDecimal(const DecimalText& number, int decimals, bool thousands) {
    if (decimals < 0) decimals = 0;
    const std::size_t keep = static_cast<std::size_t>(decimals);
    std::string fraction = number.fraction.substr(0, keep);
    fraction.append(keep - fraction.size(), '0');
    std::string digits = number.integer + fraction;
    if (number.fraction.size() > keep && number.fraction[keep] >= '5') IncrementDigits(digits);

    std::string integer = digits.substr(0, digits.size() - keep);
    fraction = digits.substr(digits.size() - keep);
    StripLeadingZeros(integer);
    if (integer.empty()) integer = "0";

    const bool zero = integer == "0" && fraction.find_first_not_of('0') == std::string::npos;
    std::string out;
    if (number.negative && !zero) out.push_back('-');
    out += thousands ? GroupThousands(integer) : integer;
    if (keep > 0) {
        out.push_back('.');
        out += fraction;
    }
    return out;
}

std::optional<std::string> StrToFloat2(std::string_view text, int decimals) {
    const auto number = ParseDecimalText(CurrToStr(text));
    if (!number) return std::nullopt;
    return FormatDecimal(*number, decimals, false);
}

std::optional<std::string> StrToCurr(std::string_view text, int decimals) {
    const auto number = ParseDecimalText(CurrToStr(text));
    if (!number) return std::nullopt;
    return FormatDecimal(*number, decimals, true);
}

std::optional<std::int64_t> DecimalToFixed(const DecimalText& number) {
    std::string head = number.fraction.substr(0, 4);
    head.append(4 - head.size(), '0');
    std::string digits = number.integer + head;
    StripLeadingZeros(digits);
    const std::string rest = number.fraction.size() > 4 ? number.fraction.substr(4) : "";

    // 2^63 is the largest magnitude any signed 64-bit count can take.
    constexpr std::uint64_t kLimit = std::uint64_t{1} << 63;
    if (digits.size() > 19) return std::nullopt;
    std::uint64_t magnitude = 0;
    for (char c : digits) {
        const std::uint64_t d = static_cast<std::uint64_t>(c - '0');
        if (magnitude > (kLimit - d) / 10) return std::nullopt;
        magnitude = magnitude * 10 + d;
    }

    bool up = false;
    if (!rest.empty()) {
        if (rest[0] > '5') {
            up = true;
        } else if (rest[0] == '5') {
            const bool beyondHalf = rest.find_first_not_of('0', 1) != std::string::npos;
            up = beyondHalf || (magnitude % 2 == 1);
        }
    }
    if (up) {
        if (magnitude == kLimit) return std::nullopt;
        ++magnitude;
    }

    if (number.negative) {
        if (magnitude == kLimit) return std::numeric_limits<std::int64_t>::min();
        return -static_cast<std::int64_t>(magnitude);
    }
    if (magnitude >= kLimit) return std::nullopt;
    return static_cast<std::int64_t>(magnitude);
}

DecimalText FixedToDecimal(std::int64_t value) {
    DecimalText number;
    number.negative = value < 0;
    const std::uint64_t magnitude =
        number.negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    number.integer = std::to_string(magnitude / 10000);
    StripLeadingZeros(number.integer);
    const std::string fraction = std::to_string(magnitude % 10000);
    number.fraction = std::string(4 - fraction.size(), '0') + fraction;
    return number;
}

std::string FixedToShortest(std::int64_t value) {
    const DecimalText number = FixedToDecimal(value);
    // Fifteen significant digits; the integer part of a 64-bit count of
    // ten-thousandths has at most fifteen, so no exponent form is needed.
    int decimals = 4;
    if (!number.integer.empty()) {
        const int room = 15 - static_cast<int>(number.integer.size());
        decimals = room < decimals ? (room < 0 ? 0 : room) : decimals;
    }
    std::string out = FormatDecimal(number, decimals, false);
    if (out.find('.') != std::string::npos) {
        out.erase(out.find_last_not_of('0') + 1);
        if (out.back() == '.') out.pop_back();
    }
    if (out == "-0") out = "0";
    return out;
}

std::int64_t RoundHalfEven(double x) {
    if (std::isnan(x)) return 0;
    // 2^63 as a double; everything at or beyond it saturates.
    constexpr double kLimit = 9223372036854775808.0;
    if (x >= kLimit) return std::numeric_limits<std::int64_t>::max();
    if (x <= -kLimit) return std::numeric_limits<std::int64_t>::min();
    double r = std::floor(x);
    const double diff = x - r;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0.0)) r += 1.0;
    if (r >= kLimit) return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(r);
}

std::string NotAFloatMessage(std::string_view cleaned) {
    std::string message = "'";
    message += cleaned;
    message += "' は浮動小数点数ではありません";
    return message;
}

}  // namespace vertoko
