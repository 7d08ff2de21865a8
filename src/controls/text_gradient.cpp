#include "controls/text_gradient.h"

#include "controls/gradient.h"

namespace vertoko {

std::vector<QString> SplitCharacters(const QString& caption) {
    std::vector<QString> characters;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const bool pair = caption[i].isHighSurrogate() && i + 1 < caption.size() &&
                          caption[i + 1].isLowSurrogate();
        characters.push_back(caption.mid(i, pair ? 2 : 1));
        if (pair) ++i;
    }
    return characters;
}

int CharacterBytes(const QString& character) {
    const char32_t code = character.isEmpty() ? 0 : character.toUcs4().value(0);
    if (code < 0x80) return 1;
    if (code >= 0xFF61 && code <= 0xFF9F) return 1;  // half-width katakana
    return 2;
}

namespace {

// A run from colour a to colour b over characters [first, last).
void AppendRun(const std::vector<QString>& characters, std::size_t first, std::size_t last,
               TColor a, TColor b, std::vector<GradientChar>& out) {
    const std::size_t n = last - first;
    for (std::size_t k = 0; k < n; ++k) {
        const double f = n > 1 ? double(k) / double(n - 1) : 0.0;
        out.push_back({characters[first + k], GradientColor(a, b, f)});
    }
}

}  // namespace

std::vector<GradientChar> TextGradientColors(const QString& caption, TTextGradation mode,
                                             TColor start, TColor mid, TColor end) {
    std::vector<GradientChar> out;
    const std::vector<QString> characters = SplitCharacters(caption);
    const std::size_t n = characters.size();
    if (mode == TTextGradation::tgNone || n < 2) return out;
    if (mode == TTextGradation::tg2Colors || n == 2) {
        AppendRun(characters, 0, n, start, end, out);
        return out;
    }
    // Split at the middle byte; the character holding that byte (both bytes
    // of a double-byte one) closes the first part.
    int totalBytes = 0;
    for (const QString& c : characters) totalBytes += CharacterBytes(c);
    const int middle = totalBytes / 2;
    std::size_t split = 0;
    int bytes = 0;
    while (split < n && bytes < middle) bytes += CharacterBytes(characters[split++]);
    AppendRun(characters, 0, split, start, mid, out);
    if (n - split == 1)
        out.push_back({characters[split], end});
    else
        AppendRun(characters, split, n, mid, end, out);
    return out;
}

}  // namespace vertoko
