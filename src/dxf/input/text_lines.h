// The lines of a text DXF file under its pair source (text_pairs.h): code
// and value lines read from large blocks of the file, the 127-character cut,
// and where each line lies in the file, which the second reader of a large
// drawing needs to meet the first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "dxf/input/digit_words.h"
#include "dxf/input/dxf_numbers.h"
#include "dxf/input/line_scan.h"
#include "dxf/input/pair_source.h"

namespace vertoko {

// Ok, End, or Nul for a NUL byte: not a text DXF file.
using LineStatus = PairStatus;

class TextLines {
  public:
    static constexpr std::size_t kLineLimit = 127;  // longer lines are cut
    static constexpr std::size_t kBlockSize = std::size_t{1} << 20;

    // The block lives as long as the reader; std::bad_alloc when it cannot
    // be had.
    TextLines();
    ~TextLines();
    TextLines(const TextLines&) = delete;
    TextLines& operator=(const TextLines&) = delete;

    // Starts reading file from its current position.
    void Reset(std::FILE* file);

    // Starts reading the text file open as descriptor fd at offset, with
    // pread, so that another reader of the same file is not disturbed.
    void ResetAt(int fd, std::int64_t offset);

    // True when the file, from where reading started, begins with prefix;
    // nothing is consumed. Reads the first block when none is read yet.
    bool StartsWith(std::string_view prefix);

    // What the block holds from the next unread byte on, with the file it
    // came from: a reader of another format goes on from there.
    struct Buffered {
        std::FILE* file;
        char* block;
        std::size_t capacity;
        std::size_t pos;
        std::size_t length;
    };
    Buffered Rest() const { return {file_, block_, kBlockSize, pos_, length_}; }

    // The file offset of the first character of the line the last read
    // returned, or -1 when it is not known (a line gathered across blocks,
    // a file without offsets such as a pipe).
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

    // A code line of one to three bare digits after blanks: its value, or
    // -1. Codes of 1000 and more (extended data) are left to the usual path.
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

  private:
    enum class LineEnd { None, Cr, Lf, Cut };

    // Far enough from the block end for a whole line after a few blanks.
    static constexpr std::size_t kFastSpan = kLineLimit + 1 + 32;
    static constexpr std::size_t kBlankRun = 16;

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
    LineEnd lastEnd_ = LineEnd::None;
    char line_[kLineLimit + 1] = {};
    // kBlockSize bytes and 16 of padding, which let the line-end search read
    // whole 16-byte groups; in huge pages, and never cleared as a whole:
    // every byte the search may look at has been read into or zeroed.
    char* block_;
};

// The common case inline: the line lies well inside the block.
inline LineStatus TextLines::ReadCodeLine(std::string_view& line) {
    if (stop_ - pos_ > kFastSpan) {
        const char* p = block_ + pos_;
        const char* const blankEnd = p + kBlankRun;
        while (p < blankEnd && line_scan::IsBlank(*p)) ++p;
        if (p < blankEnd && TakeShortLine(p, line)) return LineStatus::Ok;
    }
    return ReadCodeLineSlow(line);
}

inline LineStatus TextLines::ReadValueLine(std::string_view& line) {
    if (stop_ - pos_ > kFastSpan) {
        const char* p = block_ + pos_;
        if (lastEnd_ == LineEnd::Cr && *p == '\n') ++p;
        const char* const blankEnd = p + kBlankRun;
        while (p < blankEnd && line_scan::IsInlineBlank(*p)) ++p;
        if (p < blankEnd && TakeShortLine(p, line)) return LineStatus::Ok;
    }
    return ReadValueLineSlow(line);
}

inline std::int32_t TextLines::ReadBareCode() {
    if (stop_ - pos_ <= kFastSpan) return -1;
    const char* p = block_ + pos_;
    const char* const blankEnd = p + kBlankRun;
    while (p < blankEnd && line_scan::IsBlank(*p)) ++p;
    if (p == blankEnd) return -1;
    const char* const start = p;
    std::int32_t code = 0;
    for (; p - start < 4; ++p) {
        const unsigned digit = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0';
        if (digit >= 10) break;
        code = code * 10 + static_cast<std::int32_t>(digit);
    }
    if (p == start || p - start > 3 || !line_scan::IsLineEnd(*p)) return -1;
    EndLine(start, p);
    return code;
}

inline bool TextLines::ReadBareFloat(float& value) {
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

}  // namespace vertoko
