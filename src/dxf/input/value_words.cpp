#include "dxf/input/value_words.h"

namespace vertoko {

using line_scan::IsBlank;

std::size_t ReadToken(std::string_view line, char* out, std::size_t capacity) {
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    std::size_t n = 0;
    for (; i < line.size() && n + 1 < capacity; ++i) {
        char c = line[i];
        if (c == '\0' || IsBlank(c)) break;
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        out[n++] = c;
    }
    if (capacity > 0) out[n] = '\0';
    return n;
}

}  // namespace vertoko
