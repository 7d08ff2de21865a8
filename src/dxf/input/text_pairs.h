// The pair source of a text DXF file: a code line and a value line per pair.
// The rules of text DXF live here and nowhere else:
// - every line counts one, and messages quote the count ("(L120)");
// - a line holds at most 127 characters; of a longer value line the rest is
//   discarded, so that the pairing stays intact (a longer code line's rest
//   is read as its value line, as the oldest readers did);
// - a pair whose code is 1000 or more (extended data) counts one line more,
//   wherever it stands; the extra line is counted when the next code is read.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "dxf/input/dxf_numbers.h"
#include "dxf/input/pair_source.h"
#include "dxf/input/text_lines.h"

namespace vertoko {

class TextPairs {
  public:
    static constexpr char kNumberLetter = 'L';

    // Reads file from its current position; std::bad_alloc when the block
    // cannot be had.
    explicit TextPairs(std::FILE* file) { lines_.Reset(file); }
    // Reads the file open as descriptor fd from offset, with pread.
    TextPairs(int fd, std::int64_t offset) { lines_.ResetAt(fd, offset); }

    PairStatus Code(std::int32_t& code) {
        if (extra_) [[unlikely]] {
            ++counted_;
            extra_ = false;
        }
        ++counted_;
        // A bare code has at most three digits: no extended data.
        code = lines_.ReadBareCode();
        if (code >= 0) return PairStatus::Ok;
        std::string_view line;
        if (const PairStatus status = lines_.ReadCodeLine(line); status != PairStatus::Ok)
            return status;
        code = ParseIntPrefix(line);
        extra_ = code >= 1000;
        return PairStatus::Ok;
    }

    PairStatus Text(std::string_view& value) {
        ++counted_;
        if (const PairStatus status = lines_.ReadValueLine(value); status != PairStatus::Ok)
            return status;
        if (lines_.LastLineCut()) {
            // The view may point into the block that discarding the rest
            // refills.
            std::memcpy(cut_, value.data(), value.size());
            value = std::string_view(cut_, value.size());
            lines_.SkipLine();
        }
        return PairStatus::Ok;
    }

    // Inlined: a coordinate costs little more than the call.
    [[gnu::always_inline]] PairStatus Float(float& value) {
        ++counted_;
        // A plain decimal, the bulk of a drawing, never needs the line end
        // found first and is never cut.
        if (lines_.ReadBareFloat(value)) return PairStatus::Ok;
        std::string_view line;
        if (const PairStatus status = lines_.ReadValueLine(line); status != PairStatus::Ok)
            return status;
        const bool number = ParseFloat(line, value);
        if (lines_.LastLineCut()) lines_.SkipLine();
        return number ? PairStatus::Ok : PairStatus::BadNumber;
    }

    PairStatus Int(std::int32_t& value) {
        std::string_view line;
        if (const PairStatus status = Text(line); status != PairStatus::Ok) return status;
        return ParseInt(line, value) ? PairStatus::Ok : PairStatus::BadNumber;
    }

    PairStatus IntPrefix(std::int32_t& value) {
        std::string_view line;
        if (const PairStatus status = Text(line); status != PairStatus::Ok) return status;
        value = ParseIntPrefix(line);
        return PairStatus::Ok;
    }

    PairStatus Skip() {
        ++counted_;
        std::string_view line;
        if (const PairStatus status = lines_.ReadValueLine(line); status != PairStatus::Ok)
            return status;
        if (lines_.LastLineCut()) lines_.SkipLine();
        return PairStatus::Ok;
    }

    std::int32_t MessageNumber() const { return counted_; }

    // Lines counted so far; the end report names one less, the EOF line
    // being the last one counted.
    std::int32_t Counted() const { return counted_; }

    // For the second reader of a large drawing, which starts at a known
    // line and hands its count over: where the lines stand.
    TextLines& Lines() { return lines_; }
    void SetCounted(std::int32_t lines) { counted_ = lines; }

  private:
    TextLines lines_;
    std::int32_t counted_ = 0;
    bool extra_ = false;  // a code of 1000 or more was read last
    char cut_[TextLines::kLineLimit + 1];
};

static_assert(PairSource<TextPairs>);

}  // namespace vertoko
