// The pair source of a binary DXF file: little-endian group codes, each
// followed by a value whose type its code decides (DXF's group code ranges).
// Numbers are handed over as numbers: a real converts to float exactly as
// its double would. Messages quote the number of the pair being read
// ("(P60)").
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "dxf/input/pair_source.h"

namespace vertoko {

class BinaryPairs {
  public:
    static constexpr char kNumberLetter = 'P';

    // "AutoCAD Binary DXF" CR LF SUB NUL: the first bytes of every binary file.
    static constexpr std::string_view kSentinel{"AutoCAD Binary DXF\r\n\x1a\0", 22};

    // Strings longer than this are cut; the rest is dropped.
    static constexpr std::size_t kValueLimit = 127;

    // Reads on from block[pos, length), which holds the start of the file
    // just after the sentinel, refilling the block (capacity bytes, which
    // the caller owns) from file. The first pair tells whether codes take
    // one byte (up to R12) or two.
    BinaryPairs(std::FILE* file, char* block, std::size_t capacity, std::size_t pos,
                std::size_t length);

    PairStatus Code(std::int32_t& code);
    PairStatus Text(std::string_view& value);
    PairStatus Float(float& value);
    PairStatus Int(std::int32_t& value);
    PairStatus IntPrefix(std::int32_t& value);
    PairStatus Skip() { return PairStatus::Ok; }  // the value came with its code

    std::int32_t MessageNumber() const { return pairs_; }

    // Pairs read so far, the one being read included.
    std::int32_t Counted() const { return pairs_; }

  private:
    enum class Type : std::uint8_t { String, Integer, Real, Chunk };

    // At least n bytes at pos_, refilling as needed; false at end of file.
    bool Ensure(std::size_t n);
    bool ReadString();
    bool ReadChunk();
    template <typename T>
    bool ReadInteger();
    bool ReadReal();
    // The value as text DXF would write it, for a parser that asks a number
    // of a string or text of a number: integers in decimal, reals in
    // hexadecimal floating notation, which reads back to the same value.
    std::string_view ValueText();

    std::FILE* file_ = nullptr;
    char* block_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t pos_ = 0;
    std::size_t length_ = 0;
    bool shortCodes_ = false;
    std::int32_t pairs_ = 0;
    Type type_ = Type::String;
    std::int64_t integer_ = 0;
    double real_ = 0.0;
    char text_[kValueLimit + 1] = {};
    std::size_t textLength_ = 0;
};

static_assert(PairSource<BinaryPairs>);

}  // namespace vertoko
