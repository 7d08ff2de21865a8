// The desktop window's entries of the settings file: after the option
// table's sections, read back as written, and a damaged size or a missing
// entry giving the laid-out window.
#include "convert/window_settings.h"

#include <gtest/gtest.h>

#include "convert/settings.h"

namespace vertoko {
namespace {

TEST(WindowSettings, WrittenAfterTheOptionsAndReadBack) {
    IniFile ini = IniFile::Parse("[Pview]\nbackcol=1,2,3\n");
    WriteSettings(AppSettings{}, ini);
    WindowSettings window;
    window.openFolder = "/home/user/図面 2024";
    window.left = -1500;  // a screen left of the primary one
    window.top = 40;
    window.width = 1024;
    window.height = 700;
    window.maximized = 1;
    WriteWindowSettings(window, ini);
    const std::string text = ini.Serialize();
    const std::string tail =
        "[Window]\r\nOpenDir=/home/user/図面 2024\r\nLeft=-1500\r\nTop=40\r\nWidth=1024\r\n"
        "Height=700\r\nMaximized=1\r\n\r\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << text;
    // The options keep their place in front of it.
    EXPECT_EQ(text.rfind("[Pview]\r\nbackcol=0,77,102\r\n", 0), 0u) << text;
    EXPECT_LT(text.find("[Options]"), text.find("[Window]"));

    const WindowSettings back = ReadWindowSettings(IniFile::Parse(text));
    EXPECT_EQ(back.openFolder, window.openFolder);
    EXPECT_EQ(back.left, -1500);
    EXPECT_EQ(back.top, 40);
    EXPECT_EQ(back.width, 1024);
    EXPECT_EQ(back.height, 700);
    EXPECT_EQ(back.maximized, 1);
}

TEST(WindowSettings, MissingOrDamagedEntriesGiveTheLaidOutWindow) {
    const WindowSettings none = ReadWindowSettings(IniFile::Parse(""));
    EXPECT_EQ(none.openFolder, "");
    EXPECT_EQ(none.left, 237);
    EXPECT_EQ(none.top, 105);
    EXPECT_EQ(none.width, 397);
    EXPECT_EQ(none.height, 326);
    EXPECT_EQ(none.maximized, 0);
    // A size too small to use, or half unreadable, is dropped whole; a
    // position that is no number keeps the layout's.
    for (const char* text : {"[window]\nwidth=20\nheight=500\n", "[Window]\nWidth=800\nHeight=x\n",
                             "[Window]\nWidth=800\n"}) {
        const WindowSettings damaged = ReadWindowSettings(IniFile::Parse(text));
        EXPECT_EQ(damaged.width, 397) << text;
        EXPECT_EQ(damaged.height, 326) << text;
    }
    const WindowSettings odd =
        ReadWindowSettings(IniFile::Parse("[Window]\nLeft=far\nMaximized=5\n"));
    EXPECT_EQ(odd.left, 237);
    EXPECT_EQ(odd.maximized, 1);
}

}  // namespace
}  // namespace vertoko
