#include "dxf/read_state.h"

#include <charconv>


namespace vertoko {

namespace {

thread_local DxfReadState* threadState = nullptr;

}  // namespace

DxfReadState& ReadState() {
    if (threadState != nullptr) return *threadState;
    // Allocated once and kept for the whole run: the input block is large.
    static DxfReadState* state = new DxfReadState;  // every member has its initialiser
    return *state;
}

void ThreadReadState(DxfReadState* state) { threadState = state; }

std::string LineMessage(std::string_view text, std::string_view tail) {
    char digits[16];
    const DxfInput& input = ReadState().input;
    const auto result = std::to_chars(digits, digits + sizeof digits, input.MessageNumber());
    std::string message;
    message.reserve(text.size() + tail.size() + 16);
    message.append(text)
        .append(input.IsBinary() ? "(P" : "(L")
        .append(digits, result.ptr)
        .append(")")
        .append(tail);
    return message;
}

std::string InputFailureMessage(LineStatus status, std::string_view endText,
                                std::string_view endTail) {
    if (status == LineStatus::Binary)
        return LineMessage(
            "NULバイトを含むファイルです(テキストのDXFでもバイナリDXFでもありません).");
    if (status == LineStatus::Malformed)
        return LineMessage("バイナリDXFのグループコードが不正です.");
    return LineMessage(endText, endTail);
}

}  // namespace vertoko
