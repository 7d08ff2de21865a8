// The line reader under every DXF parser: group code and value lines, read
// from large blocks of the file, with the line counter the messages quote.
// A binary DXF file is served through the same calls, pair by pair.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "dxf/input/binary_dxf_input.h"
#include "dxf/input/digit_words.h"
#include "dxf/input/dxf_numbers.h"
#include "dxf/input/line_scan.h"

namespace vertoko {

enum class LineStatus {
    Ok,
    End,        // the file ended before the line was complete
    Binary,     // a NUL byte: not a text DXF file
    Malformed,  // binary DXF with a group code of no known value type
};

class DxfInput {
  public:
    static constexpr std::size_t kLineLimit = 127;  // longer lines are cut
    static constexpr std::size_t kBlockSize = std::size_t{1} << 20;

    // The block lives as long as the reader; std::bad_alloc when it cannot
    // be had.
    DxfInput();
    ~DxfInput();
    DxfInput(const DxfInput&) = delete;
    DxfInput& operator=(const DxfInput&) = delete;

    // Starts reading file from its current position; the counter is 0.
    void Reset(std::FILE* file);

    // Starts reading the text file open as descriptor fd at offset, with
    // pread, so that another reader of the same file is not disturbed; the
    // counter is 0. The file is taken to be text DXF.
    void ResetAt(int fd, std::int64_t offset);

    // The file offset of the first character of the line the last read
    // returned, or -1 when it is not known (a line gathered across blocks,
    // a file without offsets such as a pipe, binary DXF).
    std::int64_t LastLineOffset() const {
        if (blockOffset_ < 0 || lineStart_ == nullptr) return -1;
        return blockOffset_ + (lineStart_ - block_);
    }

    // Where the reading stands between two lines: the file offset of the
    // next unread character and how the last line ended (a CR LF pair ends
    // a line once).
    struct Mark {
        std::int64_t offset = -1;
        int lastEnd = 0;
    };
    Mark Here() const {
        return {blockOffset_ < 0 ? -1 : blockOffset_ + static_cast<std::int64_t>(pos_),
                static_cast<int>(lastEnd_)};
    }

    // Goes on reading from mark, which another reader of the same file
    // took. False, with nothing changed, when the file cannot seek there.
    bool JumpTo(const Mark& mark);

    // True once the file has turned out to be binary DXF. Its code "lines"
    // are the group codes as decimal text, each followed by its value.
    bool IsBinary() const { return binaryMode_; }

    // The number the messages quote: the line counter, or for binary DXF
    // the number of the pair being read.
    std::int32_t MessageNumber() const { return binaryMode_ ? binary_.pairCounter : lineCounter; }

    // The next code line: blank lines and leading blanks are skipped. The
    // line holds at most 127 characters and never its line end; of a longer
    // line the 128th character is lost and the rest comes back as a line of
    // its own. The view stays valid until the next call.
    LineStatus ReadCodeLine(std::string_view& line);

    // The value line that follows a code line, even when it is empty or
    // blank; leading blanks are skipped, the 127-character cut applies.
    LineStatus ReadValueLine(std::string_view& line);

    // The commonest groups read in one pass over their characters, without
    // looking for the line end first. Each takes its line only when it lies
    // well inside the block and has the plain form, and then reads exactly
    // what ReadCodeLine or ReadValueLine would (the same position, line
    // start and line end); otherwise it reads nothing and says so, and the
    // caller reads the line the usual way.

    // A code line of one to four bare digits after blanks: its value, or -1.
    std::int32_t ReadBareCode();

    // A value line of an optional minus and a plain decimal of up to eight
    // digits on either side of the point (digit_words::PlainDecimal), after
    // blanks, whose value ParseFloat gets without its general conversion:
    // true with that value.
    bool ReadBareFloat(float& value);

    // Discards the rest of a line that the last read cut; does nothing when
    // that read ended at a line end.
    LineStatus SkipLine();

    // True when the last read stopped at 127 characters inside a line.
    bool LastLineCut() const { return lastEnd_ == LineEnd::Cut; }

    // Lines read so far; every caller adds 1 before each line it reads.
    std::int32_t lineCounter = 0;

  private:
    enum class LineEnd { None, Cr, Lf, Cut };

    // Far enough from the block end for a whole line after a few blanks.
    static constexpr std::size_t kFastSpan = kLineLimit + 1 + 32;
    static constexpr std::size_t kBlankRun = 16;

    // Reads the first block and looks for the binary DXF sentinel.
    void Start();
    LineStatus ReadBinaryCode(std::string_view& line);
    LineStatus ReadCodeLineSlow(std::string_view& line);
    LineStatus ReadValueLineSlow(std::string_view& line);
    // Takes the line at p when its end lies within 127 characters.
    bool TakeShortLine(const char* p, std::string_view& line) {
        const std::size_t end = line_scan::FindLineEnd(p, kLineLimit + 1);
        if (end > kLineLimit) return false;
        line = std::string_view(p, end);
        EndLine(p, p + end);
        return true;
    }
    // Takes the line from start to its line end at end (CR or LF).
    void EndLine(const char* start, const char* end) {
        lineStart_ = start;
        lastEnd_ = *end == '\r' ? LineEnd::Cr : LineEnd::Lf;
        pos_ = static_cast<std::size_t>(end + 1 - block_);
    }

    // Makes at least one byte available at pos_, refilling the block.
    LineStatus Fill();
    // Fills the block with pread; 0 at the end or on an error.
    std::size_t ReadAt();
    LineStatus CopyLine(std::string_view& line);
    // A line that is longer than 127 characters or runs over the block end.
    LineStatus CopyLongLine(std::string_view& line);

    std::FILE* file_ = nullptr;
    int fd_ = -1;                    // read with pread when not negative
    std::int64_t readOffset_ = 0;    // the next pread's offset
    std::int64_t blockOffset_ = -1;  // file offset of block_[0]; -1 when unknown
    const char* lineStart_ = nullptr;
    std::size_t pos_ = 0;
    std::size_t length_ = 0;
    std::size_t stop_ = 0;  // first NUL byte of the block, or length_
    bool atEnd_ = false;
    // Binary mode keeps stop_ == pos_, so the inline paths always fall
    // through to the slow ones, which serve the binary pairs.
    bool started_ = false;
    bool binaryMode_ = false;
    BinaryDxfInput binary_;
    LineEnd lastEnd_ = LineEnd::None;
    char line_[kLineLimit + 1] = {};
    // kBlockSize bytes and 16 of padding, which let the line-end search read
    // whole 16-byte groups; in huge pages, and never cleared as a whole:
    // every byte the search may look at has been read into or zeroed.
    char* block_;
};

// The common case inline: the line lies well inside the block.
inline LineStatus DxfInput::ReadCodeLine(std::string_view& line) {
    if (stop_ - pos_ > kFastSpan) {
        const char* p = block_ + pos_;
        const char* const blankEnd = p + kBlankRun;
        while (p < blankEnd && line_scan::IsBlank(*p)) ++p;
        if (p < blankEnd && TakeShortLine(p, line)) return LineStatus::Ok;
    }
    return ReadCodeLineSlow(line);
}

inline LineStatus DxfInput::ReadValueLine(std::string_view& line) {
    if (stop_ - pos_ > kFastSpan) {
        const char* p = block_ + pos_;
        if (lastEnd_ == LineEnd::Cr && *p == '\n') ++p;
        const char* const blankEnd = p + kBlankRun;
        while (p < blankEnd && line_scan::IsInlineBlank(*p)) ++p;
        if (p < blankEnd && TakeShortLine(p, line)) return LineStatus::Ok;
    }
    return ReadValueLineSlow(line);
}

inline std::int32_t DxfInput::ReadBareCode() {
    if (stop_ - pos_ <= kFastSpan) return -1;
    const char* p = block_ + pos_;
    const char* const blankEnd = p + kBlankRun;
    while (p < blankEnd && line_scan::IsBlank(*p)) ++p;
    if (p == blankEnd) return -1;
    const char* const start = p;
    std::int32_t code = 0;
    for (; p - start < 5; ++p) {
        const unsigned digit = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0';
        if (digit >= 10) break;
        code = code * 10 + static_cast<std::int32_t>(digit);
    }
    if (p == start || p - start > 4 || !line_scan::IsLineEnd(*p)) return -1;
    EndLine(start, p);
    return code;
}

inline bool DxfInput::ReadBareFloat(float& value) {
    if (stop_ - pos_ <= kFastSpan) return false;
    const char* p = block_ + pos_;
    if (lastEnd_ == LineEnd::Cr && *p == '\n') ++p;
    const char* const blankEnd = p + kBlankRun;
    while (p < blankEnd && line_scan::IsInlineBlank(*p)) ++p;
    if (p == blankEnd) return false;
    const char* const start = p;
    const bool negative = *p == '-';
    if (negative) ++p;
    // Anything PlainDecimal declines (longer numbers, exponents, a lone point
    // or minus) is left to the usual path, which gives it the same value.
    const char* const end = digit_words::PlainDecimal(p, negative, value);
    if (end == nullptr) return false;
    EndLine(start, end);
    return true;
}

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
