// Character tests and the line-end search shared by the line reader.
#pragma once

#include <bit>
#include <cstddef>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vertoko::line_scan {

inline bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

inline bool IsInlineBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

inline bool IsBlank(char c) { return IsInlineBlank(c) || IsLineEnd(c); }

// Index of the first CR or LF in p[0, limit), or limit. May look at up to
// 15 bytes beyond limit, which the block's padding keeps inside the array.
inline std::size_t FindLineEnd(const char* p, std::size_t limit) {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (; i < limit; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const int mask =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, lf), _mm_cmpeq_epi8(bytes, cr)));
        if (mask != 0) {
            const std::size_t at =
                i + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask)));
            return at < limit ? at : limit;
        }
    }
    return limit;
#else
    while (i < limit && !IsLineEnd(p[i])) ++i;
    return i;
#endif
}

}  // namespace vertoko::line_scan
