#include "dxf/drawing/layer_patterns.h"

#include <cstdint>

namespace vertoko {

namespace {

// The code point at text[at], moving at past it; a byte that starts no
// valid sequence counts as one character of its own.
std::uint32_t NextChar(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char b = byte(at);
    std::size_t n = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
    if (n <= 1 || at + n > text.size()) {
        ++at;
        return n == 1 ? b : 0x110000u + b;  // outside Unicode: matches only itself
    }
    std::uint32_t c = b & (0x7Fu >> n);
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(at + k) & 0xC0) != 0x80) {
            ++at;
            return 0x110000u + b;
        }
        c = (c << 6) | (byte(at + k) & 0x3F);
    }
    at += n;
    return c;
}

std::uint32_t Fold(std::uint32_t c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

// Whether the set [...] at pattern[at] (at just after '[') holds c; at
// moves past its ']'. False in closed when the set has no ']': the '['
// is then an ordinary character.
bool InSet(std::string_view pattern, std::size_t& at, std::uint32_t c, bool& closed) {
    std::size_t i = at;
    bool negated = false;
    if (i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^')) {
        negated = true;
        ++i;
    }
    bool found = false;
    bool first = true;
    while (i < pattern.size() && (first || pattern[i] != ']')) {
        first = false;
        const std::uint32_t low = NextChar(pattern, i);
        std::uint32_t high = low;
        if (i + 1 < pattern.size() && pattern[i] == '-' && pattern[i + 1] != ']') {
            ++i;
            high = NextChar(pattern, i);
        }
        if ((c >= low && c <= high) || (Fold(c) >= Fold(low) && Fold(c) <= Fold(high)))
            found = true;
    }
    closed = i < pattern.size();
    if (!closed) return false;
    at = i + 1;
    return found != negated;
}

}  // namespace

bool MatchLayerPattern(std::string_view pattern, std::string_view name) {
    // Iterative, with the last '*' to fall back to: linear in practice, and
    // no recursion however many stars a pattern holds.
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = ++p;
            starN = n;
            continue;
        }
        std::size_t nextN = n;
        const std::uint32_t c = NextChar(name, nextN);
        bool matched = false;
        std::size_t nextP = p;
        if (p < pattern.size()) {
            if (pattern[p] == '?') {
                matched = true;
                nextP = p + 1;
            } else if (pattern[p] == '[') {
                std::size_t at = p + 1;
                bool closed = false;
                matched = InSet(pattern, at, c, closed);
                if (closed) {
                    nextP = at;
                } else {
                    matched = c == '[';
                    nextP = p + 1;
                }
            } else {
                const std::uint32_t want = NextChar(pattern, nextP);
                matched = Fold(want) == Fold(c);
            }
        }
        if (matched) {
            p = nextP;
            n = nextN;
        } else if (starP != std::string_view::npos) {
            // The last star takes one more character.
            p = starP;
            NextChar(name, starN);
            n = starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

LayerPatterns::LayerPatterns(std::string_view list) {
    std::size_t start = 0;
    bool inSet = false;
    auto take = [&](std::size_t end) {
        std::string_view item = list.substr(start, end - start);
        while (!item.empty() && (item.front() == ' ' || item.front() == '\t'))
            item.remove_prefix(1);
        while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) item.remove_suffix(1);
        if (!item.empty()) patterns_.emplace_back(item);
    };
    for (std::size_t i = 0; i < list.size(); ++i) {
        const char c = list[i];
        if (c == '[' && !inSet) {
            inSet = true;
        } else if (c == ']' && inSet) {
            inSet = false;
        } else if (c == ',' && !inSet) {
            take(i);
            start = i + 1;
        }
    }
    take(list.size());
}

bool LayerPatterns::Matches(std::string_view name) const {
    for (const std::string& pattern : patterns_) {
        if (MatchLayerPattern(pattern, name)) return true;
    }
    return false;
}

}  // namespace vertoko
