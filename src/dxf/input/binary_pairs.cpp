// Value types follow the DXF group code ranges. A code outside every range
// cannot be read past (its value's size is unknown), so it ends the read
// instead of letting the pairs that follow be misread.
#include "dxf/input/binary_pairs.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

#include "dxf/input/dxf_numbers.h"

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

BinaryPairs::BinaryPairs(std::FILE* file, char* block, std::size_t capacity, std::size_t pos,
                         std::size_t length)
    : file_(file), block_(block), capacity_(capacity), pos_(pos), length_(length) {
    // Every file starts with "0 / SECTION": a one-byte code 0 is followed
    // by the letter S, a two-byte code 0 by a second zero byte.
    shortCodes_ = !(Ensure(2) && block_[pos_ + 1] == '\0');
}

bool BinaryPairs::Ensure(std::size_t n) {
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

PairStatus BinaryPairs::Code(std::int32_t& code) {
    ++pairs_;
    textLength_ = 0;
    if (!Ensure(shortCodes_ ? 1 : 2)) return PairStatus::End;
    const auto* bytes = reinterpret_cast<const unsigned char*>(block_ + pos_);
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

bool BinaryPairs::ReadString() {
    type_ = Type::String;
    for (;;) {
        if (!Ensure(1)) return false;
        const char* p = block_ + pos_;
        const std::size_t avail = length_ - pos_;
        const void* nul = std::memchr(p, '\0', avail);
        const std::size_t take = nul != nullptr ? static_cast<const char*>(nul) - p : avail;
        const std::size_t room = kValueLimit - textLength_;
        std::memcpy(text_ + textLength_, p, take < room ? take : room);
        textLength_ += take < room ? take : room;
        if (nul != nullptr) {
            pos_ += take + 1;
            return true;
        }
        pos_ = length_;
    }
}

bool BinaryPairs::ReadChunk() {
    type_ = Type::Chunk;
    if (!Ensure(1)) return false;
    const std::size_t size = static_cast<unsigned char>(block_[pos_]);
    if (!Ensure(1 + size)) return false;
    pos_ += 1 + size;
    return true;
}

template <typename T>
bool BinaryPairs::ReadInteger() {
    type_ = Type::Integer;
    if (!Ensure(sizeof(T))) return false;
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        bits |= std::uint64_t{static_cast<unsigned char>(block_[pos_ + i])} << (8 * i);
    pos_ += sizeof(T);
    T value;
    using Unsigned = std::make_unsigned_t<T>;
    const auto narrow = static_cast<Unsigned>(bits);
    std::memcpy(&value, &narrow, sizeof value);
    integer_ = static_cast<std::int64_t>(value);
    return true;
}

bool BinaryPairs::ReadReal() {
    type_ = Type::Real;
    if (!Ensure(8)) return false;
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < 8; ++i)
        bits |= std::uint64_t{static_cast<unsigned char>(block_[pos_ + i])} << (8 * i);
    pos_ += 8;
    real_ = std::bit_cast<double>(bits);
    return true;
}

std::string_view BinaryPairs::ValueText() {
    char* out = text_;
    char* const end = text_ + kValueLimit;
    switch (type_) {
        case Type::String:
        case Type::Chunk:
            return {text_, textLength_};
        case Type::Integer:
            out = std::to_chars(out, end, integer_).ptr;
            break;
        case Type::Real:
            if (std::isfinite(real_)) {
                // to_chars leaves out the "0x" that marks hexadecimal for the
                // parser.
                if (std::signbit(real_)) *out++ = '-';
                *out++ = '0';
                *out++ = 'x';
                out = std::to_chars(out, end, std::fabs(real_), std::chars_format::hex).ptr;
            } else {
                out = std::to_chars(out, end, real_).ptr;
            }
            break;
    }
    textLength_ = static_cast<std::size_t>(out - text_);
    type_ = Type::String;  // formatted once
    return {text_, textLength_};
}

PairStatus BinaryPairs::Text(std::string_view& value) {
    value = ValueText();
    return PairStatus::Ok;
}

PairStatus BinaryPairs::Float(float& value) {
    if (type_ == Type::Real) {
        // The text reader turns "nan" into the quiet NaN of its sign.
        value = std::isnan(real_) ? std::copysign(std::numeric_limits<float>::quiet_NaN(), real_)
                                  : static_cast<float>(real_);
        return PairStatus::Ok;
    }
    return ParseFloat(ValueText(), value) ? PairStatus::Ok : PairStatus::BadNumber;
}

PairStatus BinaryPairs::Int(std::int32_t& value) {
    if (type_ == Type::Integer) {
        // Beyond 32 bits the value saturates, as a decimal line would.
        constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
        constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
        value = static_cast<std::int32_t>(integer_ < kMin   ? kMin
                                          : integer_ > kMax ? kMax
                                                            : integer_);
        return PairStatus::Ok;
    }
    return ParseInt(ValueText(), value) ? PairStatus::Ok : PairStatus::BadNumber;
}

PairStatus BinaryPairs::IntPrefix(std::int32_t& value) {
    if (Int(value) != PairStatus::Ok) value = 0;
    return PairStatus::Ok;
}

}  // namespace vertoko
