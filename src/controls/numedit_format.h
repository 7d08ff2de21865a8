// Plain text and fixed-point arithmetic behind TNumEdit: cleaning typed text,
// reading it as a decimal number, and formatting it with the display
// patterns "###0.00" and "#,##0.00". Exact decimal arithmetic on the digit
// strings, so nothing depends on the C locale or on binary rounding.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vertoko {

// A decimal number as read from text: sign, integer digits without leading
// zeros (empty for zero) and fraction digits as typed.
struct DecimalText {
    bool negative = false;
    std::string integer;
    std::string fraction;
};

// Keeps the characters '0'..'9', '-' and '.' of the first 255 characters of
// text, in their order; "0" when none remains.
std::string CurrToStr(std::string_view text);

// Reads a cleaned text: an optional leading '-', digits and at most one '.',
// with at least one digit. Anything else is not a number.
std::optional<DecimalText> ParseDecimalText(std::string_view cleaned);

// Formats number rounded to decimals places (halves away from zero) with the
// pattern "###0" or, with thousands, "#,##0", plus "." and the decimals.
std::string FormatDecimal(const DecimalText& number, int decimals, bool thousands);

// Cleans text, reads it and formats it with "###0" (StrToFloat2) or "#,##0"
// (StrToCurr). Empty when the cleaned text is not a number.
std::optional<std::string> StrToFloat2(std::string_view text, int decimals);
std::optional<std::string> StrToCurr(std::string_view text, int decimals);

// number x 10000 rounded to the nearest integer, halves to the even
// neighbour; empty when the result does not fit a signed 64-bit count.
std::optional<std::int64_t> DecimalToFixed(const DecimalText& number);

// The fixed-point value (ten-thousandths) as an exact decimal.
DecimalText FixedToDecimal(std::int64_t value);

// The fixed-point value in its shortest decimal form: at most 15 significant
// digits, no trailing zeros ("0", "0.5", "-12.25").
std::string FixedToShortest(std::int64_t value);

// x rounded to the nearest integer, halves to even, saturated to the signed
// 64-bit range; NaN gives 0.
std::int64_t RoundHalfEven(double x);

// The error text for a cleaned text that is not a number.
std::string NotAFloatMessage(std::string_view cleaned);

}  // namespace vertoko
