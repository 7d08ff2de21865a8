// Binary DXF: group codes and typed values, little-endian, turned into the
// same code and value texts that an ASCII file holds, so that every parser
// reads both kinds of file with one code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace vertoko {

enum class PairStatus {
    Ok,
    End,        // the file ended inside a pair, or before one
    Malformed,  // a group code that no value type belongs to
};

class BinaryDxfInput {
  public:
    // "AutoCAD Binary DXF" CR LF SUB NUL: the first bytes of every binary file.
    static constexpr std::size_t kSentinelSize = 22;
    static bool StartsWithSentinel(const char* data, std::size_t length);

    // Reads on from block[pos, length), which holds the start of the file
    // just after the sentinel, refilling the block (capacity bytes) from
    // file. The first pair tells whether codes take one byte (up to R12)
    // or two.
    void Start(std::FILE* file, char* block, std::size_t capacity, std::size_t pos,
               std::size_t length);

    // Reads the next pair and counts it.
    PairStatus ReadPair();

    // The code of the last pair as decimal text, and its value as text:
    // strings as they are (at most kValueLimit bytes; the rest is dropped),
    // integers in decimal, reals in hexadecimal floating notation, which
    // converts to float exactly as the double would, binary chunks empty.
    std::string_view CodeText() const { return {codeText_, codeLength_}; }
    std::string_view ValueText() const { return {valueText_, valueLength_}; }
    std::int32_t Code() const { return code_; }

    // Pairs read so far, the one being read included.
    std::int32_t pairCounter = 0;

    static constexpr std::size_t kValueLimit = 127;

  private:
    // At least n bytes at pos_, refilling as needed; false at end of file.
    bool Ensure(std::size_t n);
    bool ReadString();
    bool ReadChunk();
    template <typename T>
    bool ReadInteger();
    bool ReadReal();

    std::FILE* file_ = nullptr;
    char* block_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t pos_ = 0;
    std::size_t length_ = 0;
    bool shortCodes_ = false;
    std::int32_t code_ = 0;
    char codeText_[8] = {};
    std::size_t codeLength_ = 0;
    char valueText_[kValueLimit + 1] = {};
    std::size_t valueLength_ = 0;
};

}  // namespace vertoko
