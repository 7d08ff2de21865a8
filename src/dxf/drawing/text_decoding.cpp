#include "dxf/drawing/text_decoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace vertoko {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

void AppendCodePoint(std::string& out, std::uint32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        out += kReplacement;
    } else if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The length of the valid UTF-8 sequence at text[at], or 0.
std::size_t Utf8Length(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char b = byte(at);
    if (b < 0x80) return 1;
    std::size_t n = 0;
    std::uint32_t min = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4, min = 0x10000;
    } else {
        return 0;
    }
    if (at + n > text.size()) return 0;
    std::uint32_t c = b & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(at + k) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (byte(at + k) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return n;
}

bool ValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = Utf8Length(text, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::string CleanUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = Utf8Length(text, i);
        if (n == 0) {
            out += kReplacement;
            ++i;
        } else {
            out.append(text.substr(i, n));
            i += n;
        }
    }
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The value of the count hex digits at text[at], or -1.
std::int32_t HexAt(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) return -1;
    std::int32_t value = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const int digit = HexValue(text[at + k]);
        if (digit < 0) return -1;
        value = value * 16 + digit;
    }
    return value;
}

// The iconv name of a $DWGCODEPAGE value: ANSI_n and DOSn are the
// Windows and DOS code pages n, which glibc knows as CPn. Empty for UTF-8
// and anything unknown.
std::string CharsetOf(std::string_view codePage) {
    std::string upper;
    for (char c : codePage) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        upper += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    std::string_view digits;
    if (upper.starts_with("ANSI_")) {
        digits = std::string_view(upper).substr(5);
    } else if (upper.starts_with("DOS")) {
        digits = std::string_view(upper).substr(3);
    } else {
        return {};
    }
    if (digits.empty() || digits.size() > 5) return {};
    for (char c : digits) {
        if (c < '0' || c > '9') return {};
    }
    std::string charset = "CP" + std::string(digits);
    // Only what this system's iconv can open.
    const iconv_t probe = iconv_open("UTF-8", charset.c_str());
    if (probe == reinterpret_cast<iconv_t>(-1)) return {};
    iconv_close(probe);
    return charset;
}

}  // namespace

std::string ToUtf8(std::string_view text, const std::string& charset) {
    if (charset.empty()) return ValidUtf8(text) ? std::string(text) : CleanUtf8(text);
    const iconv_t cd = iconv_open("UTF-8", charset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return CleanUtf8(text);
    std::string out;
    char buffer[256];
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    while (inLeft > 0) {
        char* to = buffer;
        std::size_t toLeft = sizeof buffer;
        const std::size_t done = iconv(cd, &in, &inLeft, &to, &toLeft);
        out.append(buffer, static_cast<std::size_t>(to - buffer));
        if (done != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // A byte that starts no character, or a character cut off at the
        // end: replaced, and decoding goes on after it.
        out += kReplacement;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

std::string ResolveEscapes(std::string_view text) {
    if (text.find('\\') == std::string_view::npos) return std::string(text);
    static const char* const kEastAsian[] = {"CP932", "CP950", "CP949", "JOHAB", "CP936"};
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 2 < text.size() && text[i + 2] == '+') {
            const char kind = text[i + 1];
            if (kind == 'U' || kind == 'u') {
                const std::int32_t c = HexAt(text, i + 3, 4);
                if (c >= 0) {
                    AppendCodePoint(out, static_cast<std::uint32_t>(c));
                    i += 6;
                    continue;
                }
            } else if (kind == 'M' || kind == 'm') {
                const std::int32_t page = i + 3 < text.size() ? HexValue(text[i + 3]) : -1;
                const std::int32_t code = HexAt(text, i + 4, 4);
                if (page >= 1 && page <= 5 && code >= 0) {
                    const char bytes[2] = {static_cast<char>(code >> 8),
                                           static_cast<char>(code & 0xFF)};
                    out +=
                        ToUtf8(std::string_view(bytes, code > 0xFF ? 2 : 1), kEastAsian[page - 1]);
                    i += 7;
                    continue;
                }
            }
        }
        out += text[i];
    }
    return out;
}

void TextDecoding::SetVersion(std::string_view version) {
    while (!version.empty() && (version.front() == ' ' || version.front() == '\t'))
        version.remove_prefix(1);
    // AC1021 is R2007: from it on, text is UTF-8.
    unicode_ = version.size() >= 6 && (version[0] == 'A' || version[0] == 'a') &&
               (version[1] == 'C' || version[1] == 'c') && version.substr(2, 4) >= "1021";
    Choose();
}

void TextDecoding::SetCodePage(std::string_view codePage) {
    codePage_ = CharsetOf(codePage);
    Choose();
}

void TextDecoding::Choose() { charset_ = unicode_ ? std::string() : codePage_; }

std::string TextDecoding::Decode(std::string_view text) const {
    std::string utf8;
    if (charset_.empty() && !unicode_ && !ValidUtf8(text)) {
        utf8 = ToUtf8(text, "CP1252");
    } else {
        utf8 = ToUtf8(text, charset_);
    }
    return ResolveEscapes(utf8);
}

}  // namespace vertoko
