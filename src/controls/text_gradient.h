// The colour of each character of a caption painted with a text gradient.
// Characters are counted as the label counts them on a double-byte code
// page: a full-width character is one character of two bytes, ASCII and
// half-width katakana are one byte each.
#pragma once

#include <QString>
#include <vector>

#include "controls/colors.h"

namespace vertoko {

enum class TTextGradation { tgNone, tg2Colors, tg3Colors };

// One character (a surrogate pair stays together) and its colour.
struct GradientChar {
    QString text;
    TColor color = 0;
};

// The characters of `caption` as painted, in order.
std::vector<QString> SplitCharacters(const QString& caption);

// Bytes a character takes on the double-byte code page: 1 or 2.
int CharacterBytes(const QString& character);

// The characters with their colours for a gradient from `start` over `mid`
// (three colours only) to `end`; all colours resolved. Empty when the
// caption is painted in one colour: no gradient, or fewer than 2 characters.
std::vector<GradientChar> TextGradientColors(const QString& caption, TTextGradation mode,
                                             TColor start, TColor mid, TColor end);

}  // namespace vertoko
