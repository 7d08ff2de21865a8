#include "dxf/input/pair_source.h"

namespace vertoko {

std::string NumberedMessage(std::string_view text, char letter, std::int32_t number,
                            std::string_view tail) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    std::string message;
    message.reserve(text.size() + tail.size() + 16);
    message.append(text).append(1, '(').append(1, letter).append(digits, result.ptr).append(")");
    message.append(tail);
    return message;
}

}  // namespace vertoko
