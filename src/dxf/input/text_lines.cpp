// Block-buffered line reading. The whole file is never held: one block of
// the file is in memory at a time, and a line that runs over the end of a
// block is gathered in a small line buffer.
#include "dxf/input/dxf_input.h"

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

DxfInput::DxfInput() : block_(static_cast<char*>(AllocateLarge(kBlockSize + 16))) {
    if (block_ == nullptr) throw std::bad_alloc();
    std::memset(block_, 0, 16);
}

DxfInput::~DxfInput() { ReleaseLarge(block_, kBlockSize + 16); }

void DxfInput::Reset(std::FILE* file) {
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
    started_ = false;
    binaryMode_ = false;
    lineCounter = 0;
}

void DxfInput::ResetAt(int fd, std::int64_t offset) {
    Reset(nullptr);
    fd_ = fd;
    atEnd_ = fd < 0;
    readOffset_ = blockOffset_ = offset;
    started_ = true;  // text by the caller's word: no sentinel to look for
}

bool DxfInput::JumpTo(const Mark& mark) {
    if (mark.offset < 0 || binaryMode_) return false;
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
    started_ = true;
    lineStart_ = nullptr;
    lastEnd_ = static_cast<LineEnd>(mark.lastEnd);
    return true;
}

void DxfInput::Start() {
    started_ = true;
    // An empty file is left to the text path, which reports its end.
    if (Fill() != LineStatus::Ok || !BinaryDxfInput::StartsWithSentinel(block_, length_)) return;
    binaryMode_ = true;
    binary_.Start(file_, block_, kBlockSize, BinaryDxfInput::kSentinelSize, length_);
    pos_ = stop_ = length_ = 0;
}

LineStatus DxfInput::ReadBinaryCode(std::string_view& line) {
    switch (binary_.ReadPair()) {
        case PairStatus::Ok:
            line = binary_.CodeText();
            return LineStatus::Ok;
        case PairStatus::End:
            return LineStatus::End;
        case PairStatus::Malformed:
            break;
    }
    return LineStatus::Malformed;
}

std::size_t DxfInput::ReadAt() {
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

LineStatus DxfInput::Fill() {
    while (pos_ >= stop_) {
        if (stop_ < length_) return LineStatus::Binary;
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

LineStatus DxfInput::ReadCodeLineSlow(std::string_view& line) {
    if (!started_) Start();
    if (binaryMode_) return ReadBinaryCode(line);
    for (;;) {
        if (LineStatus status = Fill(); status != LineStatus::Ok) return status;
        while (pos_ < stop_ && IsBlank(block_[pos_])) ++pos_;
        if (pos_ < stop_) break;
    }
    return CopyLine(line);
}

LineStatus DxfInput::ReadValueLineSlow(std::string_view& line) {
    if (!started_) Start();
    if (binaryMode_) {
        // The value came with its code.
        line = binary_.ValueText();
        return LineStatus::Ok;
    }
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

LineStatus DxfInput::CopyLine(std::string_view& line) {
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

LineStatus DxfInput::CopyLongLine(std::string_view& line) {
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

LineStatus DxfInput::SkipLine() {
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
