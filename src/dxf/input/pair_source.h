// What every DXF parser reads: (group code, value) pairs from a source of
// one input format. A text file and a binary file each have a source of
// their own (text_pairs.h, binary_pairs.h); everything above works on pairs
// only, never on lines or bytes.
//
// A parser asks for the next code, then takes that pair's value exactly
// once, in the form it needs: as text, as a number, or not at all. The
// sources keep the numbers that messages quote: text files count lines
// ("(L120)"), binary files pairs ("(P60)").
#pragma once

#include <charconv>
#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>

namespace vertoko {

enum class PairStatus : std::uint8_t {
    Ok,
    End,        // the file ended before the pair was complete
    Nul,        // a NUL byte in a text file: neither text nor binary DXF
    Malformed,  // binary DXF with a group code of no known value type
    BadNumber,  // the value holds no number of the kind asked for
};

// Code: the next pair's group code. Then exactly one of
//   Text: the value as written (at most 127 characters; see text_pairs.h),
//   Float: the value as a "%g" item would read it,
//   Int: the value as a "%d" item would read it,
//   IntPrefix: the value's leading integer, 0 when it has none (never BadNumber),
//   Skip: nothing.
// A view from Text lasts until the next call.
template <typename Source>
concept PairSource = requires(Source& pairs, const Source& constPairs, std::int32_t& integer,
                              float& real, std::string_view& text) {
    { pairs.Code(integer) } -> std::same_as<PairStatus>;
    { pairs.Text(text) } -> std::same_as<PairStatus>;
    { pairs.Float(real) } -> std::same_as<PairStatus>;
    { pairs.Int(integer) } -> std::same_as<PairStatus>;
    { pairs.IntPrefix(integer) } -> std::same_as<PairStatus>;
    { pairs.Skip() } -> std::same_as<PairStatus>;
    // The number the messages quote: the line or pair being read.
    { constPairs.MessageNumber() } -> std::same_as<std::int32_t>;
    { Source::kNumberLetter } -> std::convertible_to<char>;
};

// text followed by "(L<n>)" or "(P<n>)" with the number the source quotes
// now, and tail.
std::string NumberedMessage(std::string_view text, char letter, std::int32_t number,
                            std::string_view tail = {});

template <PairSource Source>
std::string MessageAt(const Source& pairs, std::string_view text, std::string_view tail = {}) {
    return NumberedMessage(text, Source::kNumberLetter, pairs.MessageNumber(), tail);
}

// The message that ends reading when input fails (status End, Nul or
// Malformed): the caller's end-of-input message, or the refusal of a file
// that holds NUL bytes or a group code of no value type.
template <PairSource Source>
std::string InputFailureMessage(const Source& pairs, PairStatus status, std::string_view endText,
                                std::string_view endTail = {}) {
    if (status == PairStatus::Nul)
        return MessageAt(
            pairs, "NULバイトを含むファイルです(テキストのDXFでもバイナリDXFでもありません).");
    if (status == PairStatus::Malformed)
        return MessageAt(pairs, "バイナリDXFのグループコードが不正です.");
    return MessageAt(pairs, endText, endTail);
}

}  // namespace vertoko
