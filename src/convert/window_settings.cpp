#include "convert/window_settings.h"

#include <optional>
#include <string_view>

#include "convert/settings.h"

namespace vertoko {

namespace {

constexpr std::string_view kOpenFolder = "OpenDir";
constexpr std::string_view kLeft = "Left";
constexpr std::string_view kTop = "Top";
constexpr std::string_view kWidth = "Width";
constexpr std::string_view kHeight = "Height";
constexpr std::string_view kMaximized = "Maximized";

std::int32_t IntOr(const IniFile& ini, std::string_view key, std::int32_t fallback) {
    const std::optional<std::string> text = ini.Get(kWindowSection, key);
    return text ? ParseSettingInt(*text, fallback) : fallback;
}

}  // namespace

WindowSettings ReadWindowSettings(const IniFile& ini) {
    WindowSettings window;
    window.openFolder = ini.ReadString(kWindowSection, kOpenFolder, "");
    window.left = IntOr(ini, kLeft, window.left);
    window.top = IntOr(ini, kTop, window.top);
    // 0 stands for a missing or unreadable number, which no size may be.
    const std::int32_t width = IntOr(ini, kWidth, 0);
    const std::int32_t height = IntOr(ini, kHeight, 0);
    // A size is taken whole or not at all, so that it never comes out half
    // from the file and half from the layout.
    if (width >= kMinWindowWidth && height >= kMinWindowHeight) {
        window.width = width;
        window.height = height;
    }
    window.maximized = IntOr(ini, kMaximized, 0) != 0 ? 1 : 0;
    return window;
}

void WriteWindowSettings(const WindowSettings& window, IniFile& ini) {
    ini.WriteString(kWindowSection, kOpenFolder, window.openFolder);
    ini.WriteString(kWindowSection, kLeft, std::to_string(window.left));
    ini.WriteString(kWindowSection, kTop, std::to_string(window.top));
    ini.WriteString(kWindowSection, kWidth, std::to_string(window.width));
    ini.WriteString(kWindowSection, kHeight, std::to_string(window.height));
    ini.WriteString(kWindowSection, kMaximized, std::to_string(window.maximized));
}

}  // namespace vertoko
