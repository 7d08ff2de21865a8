// Names as the drawing writes them, turned into UTF-8: drawings before
// R2007 ($ACADVER before AC1021) in the code page $DWGCODEPAGE names,
// later ones in UTF-8, either with \U+XXXX and \M+nXXXX escapes. Bytes
// that do not decode become U+FFFD; a name is never refused.
#pragma once

#include <string>
#include <string_view>

namespace vertoko {

class TextDecoding {
  public:
    // The header's $ACADVER and $DWGCODEPAGE values, as they come.
    void SetVersion(std::string_view version);
    void SetCodePage(std::string_view codePage);

    // The iconv name of the code page the names are in; empty for UTF-8,
    // which is also what a drawing of unknown version and code page is
    // read as while its bytes are valid UTF-8 (otherwise CP1252, DXF's
    // default).
    const std::string& Charset() const { return charset_; }

    // text decoded to UTF-8, the escapes resolved.
    std::string Decode(std::string_view text) const;

  private:
    void Choose();

    bool unicode_ = false;  // AC1021 or later
    std::string codePage_;  // the iconv name $DWGCODEPAGE gives, or empty
    std::string charset_;
};

// text in charset (an iconv name) as UTF-8, bytes that do not decode as
// U+FFFD. Empty charset: text as UTF-8, its invalid bytes replaced.
std::string ToUtf8(std::string_view text, const std::string& charset);

// Resolves \U+XXXX (a code point in four hex digits) and \M+nXXXX (two
// bytes of the East Asian code page n: 1 CP932, 2 CP950, 3 CP949, 4
// JOHAB, 5 CP936) in UTF-8 text. Anything else stays as it is.
std::string ResolveEscapes(std::string_view text);

}  // namespace vertoko
