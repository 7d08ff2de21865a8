// Reading and building the EASTRAY option string edited in TOptDlg, and the
// POV-Ray statement as the dialog stores it. Plain code: the dialog calls
// it, tests call it without a window. The length limits, in bytes of UTF-8,
// are those of the option table's rows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vertoko {

// What reading an option string found. The reader only ever turns options
// on; a "k" or "c" at the end of the string brings no value.
struct EstrayOptionWords {
    bool smooth = false;                    // "s"
    bool normal = false;                    // "k"
    std::optional<std::int64_t> kValue;     // the word after "k", x 10000
    bool noShadow = false;                  // "n"
    bool colour = false;                    // "c"
    std::optional<std::string> colourName;  // the word after "c"
};

// Reads estrOpt word by word (words separated by blanks and tabs) and stops
// at the first word that is not one of the lower-case options s, k, n, c.
EstrayOptionWords ReadEstrayOptions(std::string_view estrOpt);

// The leading decimal number of word as the C library reads it (0 when
// there is none), x 10000 rounded halves to even and saturated. Numbers
// without an exponent are scaled exactly on their digits.
std::int64_t LeadingNumberToFixed(std::string_view word);

// Builds " s", " k %f", " n", " c %s" in that order for the options that are
// on; the colour word only when it is not empty. When the whole would be
// longer than maxBytes the colour name is cut to fit, and colourName is set
// to what was kept.
std::string BuildEstrayOptions(bool smooth, bool normal, std::int64_t kValue, bool noShadow,
                               bool colour, std::string& colourName, std::size_t maxBytes);

// kValue (ten-thousandths) as "%f" prints kValue x 0.0001: six decimals,
// exact for every 64-bit count.
std::string FixedToSixDecimals(std::int64_t value);

// The POV-Ray statement as stored: empty when text holds only blanks, tabs
// and line ends, otherwise text cut to maxBytes.
std::string StatementText(std::string_view text, std::size_t maxBytes);

// A UTF-8 text cut to at most maxBytes bytes without splitting a character.
std::string CutUtf8(std::string_view text, std::size_t maxBytes);

}  // namespace vertoko
