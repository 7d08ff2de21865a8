// Colours as the system stores them, 0x00BBGGRR (red in the low byte), and
// their Qt counterparts.
#pragma once

#include <QColor>
#include <cstdint>

namespace vertoko {

inline QColor ColorFromRef(std::uint32_t ref) {
    return QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF),
                  static_cast<int>((ref >> 16) & 0xFF));
}

inline std::uint32_t RefFromColor(const QColor& color) {
    return static_cast<std::uint32_t>(color.red()) |
           (static_cast<std::uint32_t>(color.green()) << 8) |
           (static_cast<std::uint32_t>(color.blue()) << 16);
}

inline constexpr std::uint32_t RefFromRgb(int red, int green, int blue) {
    return static_cast<std::uint32_t>(red & 0xFF) |
           (static_cast<std::uint32_t>(green & 0xFF) << 8) |
           (static_cast<std::uint32_t>(blue & 0xFF) << 16);
}

}  // namespace vertoko
