// Block-buffered line reading. The whole file is never held: one block of
// the file is in memory at a time, and a line that runs over the end of a
// block is gathered in a small line buffer.
#include "dxf/input/text_lines.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "memory/huge_pages.h"

#if defined(__unix__)
#include <unistd.h>

#include <cerrno>
#endif

namespace vertoko {

using line_scan::FindLineEnd;
using line_scan::IsBlank;
using line_scan::IsInlineBlank;
using line_scan::IsLineEnd;

TextLines::TextLines() : block_(static_cast<char*>(AllocateLarge(kBlockSize + 16))) {
    if (block_ == nullptr) throw std::bad_alloc();
    std::memset(block_, 0, 16);
}

TextLines::~TextLines() { ReleaseLarge(block_, kBlockSize + 16); }

void TextLines::Reset(std::FILE* file) {
    file_ = file;
    fd_ = -1;
    // Offsets are known for files that can tell their position.
    blockOffset_ = -1;
#if defined(__unix__)
    if (file != nullptr) blockOffset_ = ftello(file);
#endif
    lineStart_ = nullptr;
    pos_ = 0;
    length_ = 0;
    stop_ = 0;
    atEnd_ = file == nullptr;
    lastEnd_ = LineEnd::None;
}

void TextLines::ResetAt(int fd, std::int64_t offset) {
    Reset(nullptr);
    fd_ = fd;
    atEnd_ = fd < 0;
    readOffset_ = blockOffset_ = offset;
}

bool TextLines::JumpTo(const Mark& mark) {
    if (mark.offset < 0) return false;
    if (fd_ >= 0) {
        readOffset_ = mark.offset;
    } else {
#if defined(__unix__)
        if (file_ == nullptr || fseeko(file_, mark.offset, SEEK_SET) != 0) return false;
#else
        return false;
#endif
    }
    blockOffset_ = mark.offset;
    pos_ = length_ = stop_ = 0;
    atEnd_ = false;
    lineStart_ = nullptr;
    lastEnd_ = static_cast<LineEnd>(mark.lastEnd);
    return true;
}

bool TextLines::StartsWith(std::string_view prefix) {
    // The first block is read at most once here; a file shorter than the
    // prefix cannot begin with it.
    if (length_ == 0 && !atEnd_) Fill();
    const std::string_view held(block_ + pos_, length_ - pos_);
    return held.starts_with(prefix);
}

std::size_t TextLines::ReadAt() {
#if defined(__unix__)
    for (;;) {
        const ssize_t got = pread(fd_, block_, kBlockSize, static_cast<off_t>(readOffset_));
        if (got >= 0) {
            readOffset_ += got;
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) return 0;
    }
#else
    return 0;
#endif
}

LineStatus TextLines::Fill() {
    while (pos_ >= stop_) {
        if (stop_ < length_) return LineStatus::Nul;
        if (atEnd_) return LineStatus::End;
        if (blockOffset_ >= 0) blockOffset_ += static_cast<std::int64_t>(length_);
        lineStart_ = nullptr;  // the block it pointed into is replaced
        length_ = fd_ >= 0 ? ReadAt() : std::fread(block_, 1, kBlockSize, file_);
        std::memset(block_ + length_, 0, 16);
        pos_ = 0;
        if (length_ == 0) {
            atEnd_ = true;
            stop_ = 0;
            return LineStatus::End;
        }
        const void* nul = std::memchr(block_, '\0', length_);
        stop_ = nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - block_)
                               : length_;
    }
    return LineStatus::Ok;
}

LineStatus TextLines::ReadCodeLineSlow(std::string_view& line) {
    for (;;) {
        if (LineStatus status = Fill(); status != LineStatus::Ok) return status;
        while (pos_ < stop_ && IsBlank(block_[pos_])) ++pos_;
        if (pos_ < stop_) break;
    }
    return CopyLine(line);
}

LineStatus TextLines::ReadValueLineSlow(std::string_view& line) {
    if (LineStatus status = Fill(); status != LineStatus::Ok) return status;
    // A CR LF pair ends the code line as one line end.
    if (lastEnd_ == LineEnd::Cr && block_[pos_] == '\n') {
        ++pos_;
        if (LineStatus status = Fill(); status != LineStatus::Ok) return status;
    }
    for (;;) {
        while (pos_ < stop_ && IsInlineBlank(block_[pos_])) ++pos_;
        if (pos_ < stop_) break;
        if (LineStatus status = Fill(); status != LineStatus::Ok) return status;
    }
    return CopyLine(line);
}

LineStatus TextLines::CopyLine(std::string_view& line) {
    // Fast path: the line end is at most 127 characters away, so the whole
    // line lies in the block. A line of exactly 127 characters reads the
    // same either way: its line end is the character after the cut.
    const std::size_t avail = stop_ - pos_;
    const std::size_t limit = avail < kLineLimit + 1 ? avail : kLineLimit + 1;
    const std::size_t end = FindLineEnd(block_ + pos_, limit);
    if (end < limit) {
        line = std::string_view(block_ + pos_, end);
        lineStart_ = block_ + pos_;
        lastEnd_ = block_[pos_ + end] == '\r' ? LineEnd::Cr : LineEnd::Lf;
        pos_ += end + 1;
        return LineStatus::Ok;
    }
    return CopyLongLine(line);
}

LineStatus TextLines::CopyLongLine(std::string_view& line) {
    // Fast path: the line lies wholly in the block and the view points there.
    std::size_t gathered = 0;  // characters already in line_
    bool inBuffer = false;
    for (;;) {
        const std::size_t want = kLineLimit - gathered;
        const std::size_t avail = stop_ - pos_;
        const std::size_t limit = avail < want ? avail : want;
        const char* p = block_ + pos_;
        const std::size_t i = FindLineEnd(p, limit);
        if (i < limit) {
            lastEnd_ = p[i] == '\r' ? LineEnd::Cr : LineEnd::Lf;
            pos_ += i + 1;
            if (inBuffer) {
                std::memcpy(line_ + gathered, p, i);
                line = std::string_view(line_, gathered + i);
                lineStart_ = nullptr;
            } else {
                line = std::string_view(p, i);
                lineStart_ = p;
            }
            return LineStatus::Ok;
        }
        if (limit == want) {
            // 127 characters without a line end: the line is cut here and
            // the character after the cut is consumed and lost.
            pos_ += limit;
            if (inBuffer || pos_ >= stop_) {
                std::memcpy(line_ + gathered, p, limit);
                line = std::string_view(line_, kLineLimit);
                lineStart_ = nullptr;
            } else {
                line = std::string_view(p, kLineLimit);
                lineStart_ = p;
            }
            if (LineStatus status = Fill(); status != LineStatus::Ok) {
                if (status != LineStatus::End) return status;
                lastEnd_ = LineEnd::None;
                return LineStatus::Ok;
            }
            const char lost = block_[pos_++];
            lastEnd_ = lost == '\r' ? LineEnd::Cr : lost == '\n' ? LineEnd::Lf : LineEnd::Cut;
            return LineStatus::Ok;
        }
        // The block ends inside the line: keep what we have and refill.
        std::memcpy(line_ + gathered, p, limit);
        gathered += limit;
        inBuffer = true;
        pos_ += limit;
        if (LineStatus status = Fill(); status != LineStatus::Ok) {
            // The end of the file ends the last line as a line end would.
            if (status != LineStatus::End) return status;
            lastEnd_ = LineEnd::None;
            line = std::string_view(line_, gathered);
            lineStart_ = nullptr;
            return LineStatus::Ok;
        }
    }
}

LineStatus TextLines::SkipLine() {
    if (lastEnd_ != LineEnd::Cut) return LineStatus::Ok;
    for (;;) {
        if (LineStatus status = Fill(); status != LineStatus::Ok) return status;
        while (pos_ < stop_ && !IsLineEnd(block_[pos_])) ++pos_;
        if (pos_ < stop_) {
            lastEnd_ = block_[pos_] == '\r' ? LineEnd::Cr : LineEnd::Lf;
            ++pos_;
            return LineStatus::Ok;
        }
    }
}

}  // namespace vertoko
