// What the desktop application keeps between runs besides the options: the
// folder of the last drawing and the main window's place. They are no
// conversion options, so they stay out of the option table; they live in
// the settings file's section [Window], written after the table's rows so
// that older files keep their layout.
#pragma once

#include <cstdint>
#include <string>

#include "convert/ini_file.h"

namespace vertoko {

struct WindowSettings {
    std::string openFolder;  // where the open dialog starts; empty: the working folder
    // The main window's frame corner and client size in device-independent
    // pixels, as laid out when nothing is kept.
    std::int32_t left = 237;
    std::int32_t top = 105;
    std::int32_t width = 397;
    std::int32_t height = 326;
    std::int32_t maximized = 0;  // nonzero: shown maximized, the size above kept for later
};

// The smallest client size a kept size may give; a smaller or unreadable
// one takes the default, so that a damaged file never hides the window.
inline constexpr std::int32_t kMinWindowWidth = 160;
inline constexpr std::int32_t kMinWindowHeight = 120;

// The section that holds them.
inline constexpr const char* kWindowSection = "Window";

// Every key, each with its default when missing or unreadable.
WindowSettings ReadWindowSettings(const IniFile& ini);

// Writes every key; after WriteSettings, so the section comes last.
void WriteWindowSettings(const WindowSettings& window, IniFile& ini);

}  // namespace vertoko
