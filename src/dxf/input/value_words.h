// The first word of a value, as entity names, layer names and subclass
// markers are compared: upper-cased, without blanks. The same for both
// input formats.
#pragma once

#include <cstddef>
#include <string_view>

#include "dxf/input/line_scan.h"

namespace vertoko {

// The first word of line, upper-cased (bytes a to z only, so Shift-JIS and
// UTF-8 pass through), at most capacity - 1 bytes, NUL-terminated in out.
// Returns the number of bytes copied.
std::size_t ReadToken(std::string_view line, char* out, std::size_t capacity);

// The same word as a view: line itself when it is the word already (no
// blank, NUL or lower-case letter, short enough), as entity names mostly
// are, and otherwise ReadToken's copy in out. Comparisons read it with wide
// loads, which wait for a copy just written byte by byte to reach the cache,
// behind every store before it: in multi-object mode those of the face just
// stored, scattered over thousands of objects. The view into line lasts as
// long as line does.
inline std::string_view TokenView(std::string_view line, char* out, std::size_t capacity) {
    bool plain = line.size() < capacity;
    for (const char c : line) {
        if (c == '\0' || line_scan::IsBlank(c) || (c >= 'a' && c <= 'z')) plain = false;
    }
    if (plain) return line;
    return std::string_view(out, ReadToken(line, out, capacity));
}

}  // namespace vertoko
