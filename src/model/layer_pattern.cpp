#include "model/layer_pattern.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace vertoko {

namespace {

// A byte outside any valid sequence: above every code point, so that it
// equals only itself.
constexpr char32_t kLoneByte = 0x110000;

// The characters of UTF-8 text; each bad byte one character of its own.
std::vector<char32_t> Characters(std::string_view text) {
    std::vector<char32_t> out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t c = 0;
        char32_t least = 0;
        if (lead < 0x80) {
            length = 1;
            c = lead;
        } else if (lead >= 0xC2 && lead < 0xE0) {
            length = 2;
            c = lead & 0x1Fu;
            least = 0x80;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            length = 3;
            c = lead & 0x0Fu;
            least = 0x800;
        } else if (lead >= 0xF0 && lead < 0xF5) {
            length = 4;
            c = lead & 0x07u;
            least = 0x10000;
        }
        bool valid = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0u) == 0x80u;
            c = (c << 6) | (next & 0x3Fu);
        }
        // Overlong forms, surrogates and values past U+10FFFF are bytes.
        if (valid && (c < least || (c >= 0xD800 && c < 0xE000) || c > 0x10FFFF)) valid = false;
        if (!valid) {
            out.push_back(kLoneByte + lead);
            ++i;
            continue;
        }
        out.push_back(c);
        i += length;
    }
    return out;
}

// The small letter of a capital, for the scripts whose capitals lie at a
// fixed distance from their small letters.
char32_t Folded(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 0x20;
    if (c < 0xC0) return c;
    if (c <= 0xDE && c != 0xD7) return c + 0x20;                  // Latin-1
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;  // Greek
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;                // Cyrillic
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;                // Cyrillic Ѐ to Џ
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;              // fullwidth Latin
    return c;
}

struct Token {
    enum class Kind : std::uint8_t { Star, Any, Set, Literal } kind = Kind::Literal;
    char32_t literal = 0;                               // Literal, folded
    bool negated = false;                               // Set
    std::vector<std::pair<char32_t, char32_t>> ranges;  // Set, folded bounds
};

// The set at pattern[at] (just past its '['), or false when it has no ']'.
bool ParseSet(const std::vector<char32_t>& pattern, std::size_t& at, Token& token) {
    std::size_t i = at;
    if (i < pattern.size() && (pattern[i] == U'!' || pattern[i] == U'^')) {
        token.negated = true;
        ++i;
    }
    bool first = true;
    while (i < pattern.size() && (first || pattern[i] != U']')) {
        first = false;
        char32_t low = pattern[i];
        if (low == U'\\' && i + 1 < pattern.size()) low = pattern[++i];
        ++i;
        char32_t high = low;
        if (i + 1 < pattern.size() && pattern[i] == U'-' && pattern[i + 1] != U']') {
            high = pattern[i + 1];
            if (high == U'\\' && i + 2 < pattern.size()) high = pattern[++i + 1];
            i += 2;
        }
        // A range compares the characters themselves and, folded, again;
        // so [A-Z] takes small letters too.
        token.ranges.emplace_back(low, high);
        token.ranges.emplace_back(Folded(low), Folded(high));
    }
    if (i >= pattern.size()) return false;
    at = i + 1;
    return true;
}

std::vector<Token> Tokens(const std::vector<char32_t>& pattern) {
    std::vector<Token> tokens;
    for (std::size_t i = 0; i < pattern.size();) {
        const char32_t c = pattern[i++];
        Token token;
        token.kind = Token::Kind::Literal;
        if (c == U'*') {
            // A run of stars is one star.
            if (!tokens.empty() && tokens.back().kind == Token::Kind::Star) continue;
            token.kind = Token::Kind::Star;
        } else if (c == U'?') {
            token.kind = Token::Kind::Any;
        } else if (c == U'[') {
            std::size_t at = i;
            Token set;
            set.kind = Token::Kind::Set;
            if (ParseSet(pattern, at, set)) {
                tokens.push_back(std::move(set));
                i = at;
                continue;
            }
            token.literal = c;
        } else if (c == U'\\' && i < pattern.size()) {
            token.literal = Folded(pattern[i++]);
        } else {
            token.literal = Folded(c);
        }
        tokens.push_back(std::move(token));
    }
    return tokens;
}

bool TokenTakes(const Token& token, char32_t c) {
    switch (token.kind) {
        case Token::Kind::Star:
        case Token::Kind::Any:
            return true;
        case Token::Kind::Literal:
            return token.literal == Folded(c);
        case Token::Kind::Set: {
            const char32_t folded = Folded(c);
            bool inside = false;
            for (const auto& [low, high] : token.ranges) {
                if ((c >= low && c <= high) || (folded >= low && folded <= high)) {
                    inside = true;
                    break;
                }
            }
            return inside != token.negated;
        }
    }
    return false;
}

}  // namespace

bool LayerPatternMatches(std::string_view pattern, std::string_view name) {
    const std::vector<Token> tokens = Tokens(Characters(pattern));
    const std::vector<char32_t> text = Characters(name);
    // Every token but a star takes one character, so the last star is the
    // only one to go back to: when a later token fails, that star takes one
    // character more.
    std::size_t t = 0, c = 0;
    std::size_t starToken = tokens.size(), starText = 0;
    while (c < text.size()) {
        if (t < tokens.size() && tokens[t].kind == Token::Kind::Star) {
            starToken = t++;
            starText = c;
        } else if (t < tokens.size() && TokenTakes(tokens[t], text[c])) {
            ++t;
            ++c;
        } else if (starToken < tokens.size()) {
            t = starToken + 1;
            c = ++starText;
        } else {
            return false;
        }
    }
    while (t < tokens.size() && tokens[t].kind == Token::Kind::Star) ++t;
    return t == tokens.size();
}

}  // namespace vertoko
