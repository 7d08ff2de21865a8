// Value types follow the DXF group code ranges. A code outside every range
// cannot be read past (its value's size is unknown), so it ends the read
// instead of letting the pairs that follow be misread.
#include "dxf/input/binary_dxf_input.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace vertoko {

namespace {

enum class ValueType { String, Int16, Int32, Int64, Byte, Real, Chunk, Unknown };

bool In(std::int32_t code, std::int32_t first, std::int32_t last) {
    return code >= first && code <= last;
}

ValueType TypeOf(std::int32_t code) {
    if (In(code, 0, 9) || In(code, 100, 109) || In(code, 300, 309) || In(code, 320, 369) ||
        In(code, 390, 399) || In(code, 410, 419) || In(code, 430, 439) || In(code, 470, 481) ||
        code == 999 || In(code, 1000, 1003) || In(code, 1005, 1009))
        return ValueType::String;
    if (In(code, 10, 59) || In(code, 110, 149) || In(code, 210, 239) || In(code, 460, 469) ||
        In(code, 1010, 1059))
        return ValueType::Real;
    if (In(code, 60, 79) || In(code, 170, 179) || In(code, 270, 289) || In(code, 370, 389) ||
        In(code, 400, 409) || In(code, 1060, 1070))
        return ValueType::Int16;
    if (In(code, 90, 99) || In(code, 420, 429) || In(code, 440, 459) || code == 1071)
        return ValueType::Int32;
    if (In(code, 160, 169)) return ValueType::Int64;
    if (In(code, 290, 299)) return ValueType::Byte;
    if (In(code, 310, 319) || code == 1004) return ValueType::Chunk;
    return ValueType::Unknown;
}

}  // namespace

bool BinaryDxfInput::StartsWithSentinel(const char* data, std::size_t length) {
    static constexpr char kSentinel[kSentinelSize] = {'A', 'u', 't',  'o',  'C',    'A', 'D', ' ',
                                                      'B', 'i', 'n',  'a',  'r',    'y', ' ', 'D',
                                                      'X', 'F', '\r', '\n', '\x1a', '\0'};
    return length >= kSentinelSize && std::memcmp(data, kSentinel, kSentinelSize) == 0;
}

void BinaryDxfInput::Start(std::FILE* file, char* block, std::size_t capacity, std::size_t pos,
                           std::size_t length) {
    file_ = file;
    block_ = block;
    capacity_ = capacity;
    pos_ = pos;
    length_ = length;
    pairCounter = 0;
    codeLength_ = valueLength_ = 0;
    // Every file starts with "0 / SECTION": a one-byte code 0 is followed
    // by the letter S, a two-byte code 0 by a second zero byte.
    shortCodes_ = !(Ensure(2) && block_[pos_ + 1] == '\0');
}

bool BinaryDxfInput::Ensure(std::size_t n) {
    if (length_ - pos_ >= n) return true;
    const std::size_t rest = length_ - pos_;
    std::memmove(block_, block_ + pos_, rest);
    pos_ = 0;
    length_ = rest;
    while (length_ < n && file_ != nullptr) {
        const std::size_t got = std::fread(block_ + length_, 1, capacity_ - length_, file_);
        if (got == 0) break;
        length_ += got;
    }
    return length_ >= n;
}

PairStatus BinaryDxfInput::ReadPair() {
    ++pairCounter;
    valueLength_ = 0;
    if (!Ensure(shortCodes_ ? 1 : 2)) return PairStatus::End;
    const auto* bytes = reinterpret_cast<const unsigned char*>(block_ + pos_);
    std::int32_t code = 0;
    if (shortCodes_) {
        code = bytes[0];
        ++pos_;
        if (code == 255) {
            // Extended data: the escape byte is followed by a two-byte code.
            if (!Ensure(2)) return PairStatus::End;
            bytes = reinterpret_cast<const unsigned char*>(block_ + pos_);
            code = bytes[0] | (bytes[1] << 8);
            pos_ += 2;
        }
    } else {
        code = static_cast<std::int16_t>(bytes[0] | (bytes[1] << 8));
        pos_ += 2;
    }
    code_ = code;
    codeLength_ = static_cast<std::size_t>(
        std::to_chars(codeText_, codeText_ + sizeof codeText_, code).ptr - codeText_);

    bool ok = false;
    switch (TypeOf(code)) {
        case ValueType::String:
            ok = ReadString();
            break;
        case ValueType::Real:
            ok = ReadReal();
            break;
        case ValueType::Int16:
            ok = ReadInteger<std::int16_t>();
            break;
        case ValueType::Int32:
            ok = ReadInteger<std::int32_t>();
            break;
        case ValueType::Int64:
            ok = ReadInteger<std::int64_t>();
            break;
        case ValueType::Byte:
            ok = ReadInteger<std::uint8_t>();
            break;
        case ValueType::Chunk:
            ok = ReadChunk();
            break;
        case ValueType::Unknown:
            return PairStatus::Malformed;
    }
    return ok ? PairStatus::Ok : PairStatus::End;
}

bool BinaryDxfInput::ReadString() {
    for (;;) {
        if (!Ensure(1)) return false;
        const char* p = block_ + pos_;
        const std::size_t avail = length_ - pos_;
        const void* nul = std::memchr(p, '\0', avail);
        const std::size_t take = nul != nullptr ? static_cast<const char*>(nul) - p : avail;
        const std::size_t room = kValueLimit - valueLength_;
        std::memcpy(valueText_ + valueLength_, p, take < room ? take : room);
        valueLength_ += take < room ? take : room;
        if (nul != nullptr) {
            pos_ += take + 1;
            return true;
        }
        pos_ = length_;
    }
}

bool BinaryDxfInput::ReadChunk() {
    if (!Ensure(1)) return false;
    const std::size_t size = static_cast<unsigned char>(block_[pos_]);
    if (!Ensure(1 + size)) return false;
    pos_ += 1 + size;
    return true;
}

template <typename T>
bool BinaryDxfInput::ReadInteger() {
    if (!Ensure(sizeof(T))) return false;
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        bits |= std::uint64_t{static_cast<unsigned char>(block_[pos_ + i])} << (8 * i);
    pos_ += sizeof(T);
    T value;
    using Unsigned = std::make_unsigned_t<T>;
    const auto narrow = static_cast<Unsigned>(bits);
    std::memcpy(&value, &narrow, sizeof value);
    valueLength_ = static_cast<std::size_t>(
        std::to_chars(valueText_, valueText_ + kValueLimit, value).ptr - valueText_);
    return true;
}

bool BinaryDxfInput::ReadReal() {
    if (!Ensure(8)) return false;
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < 8; ++i)
        bits |= std::uint64_t{static_cast<unsigned char>(block_[pos_ + i])} << (8 * i);
    pos_ += 8;
    const double value = std::bit_cast<double>(bits);
    char* out = valueText_;
    char* const end = valueText_ + kValueLimit;
    if (std::isfinite(value)) {
        // to_chars leaves out the "0x" that marks hexadecimal for the parser.
        if (std::signbit(value)) *out++ = '-';
        *out++ = '0';
        *out++ = 'x';
        out = std::to_chars(out, end, std::fabs(value), std::chars_format::hex).ptr;
    } else {
        out = std::to_chars(out, end, value).ptr;
    }
    valueLength_ = static_cast<std::size_t>(out - valueText_);
    return true;
}

}  // namespace vertoko
