#include "controls/colors.h"

#include <QApplication>
#include <QPalette>

namespace vertoko {

namespace {

// The palette entry that stands for a system colour on this platform.
QColor SystemColor(TColor color) {
    const QPalette palette = QApplication::palette();
    switch (color & 0xFF) {
        case clWindow & 0xFF:
            return palette.color(QPalette::Active, QPalette::Base);
        case clWindowText & 0xFF:
            return palette.color(QPalette::Active, QPalette::WindowText);
        case clHighlight & 0xFF:
            return palette.color(QPalette::Active, QPalette::Highlight);
        case clHighlightText & 0xFF:
            return palette.color(QPalette::Active, QPalette::HighlightedText);
        case clBtnFace & 0xFF:
            return palette.color(QPalette::Active, QPalette::Button);
        case clBtnShadow & 0xFF:
            return palette.color(QPalette::Active, QPalette::Dark);
        case clBtnHighlight & 0xFF:
            return palette.color(QPalette::Active, QPalette::Light);
        default:
            return palette.color(QPalette::Active, QPalette::Window);
    }
}

}  // namespace

TColor ResolveColor(TColor color) {
    if ((color & kSystemColorFlag) == 0) return color & 0x00FFFFFF;
    const QColor system = SystemColor(color);
    return RGBColor(system.red(), system.green(), system.blue());
}

void GetRGB(TColor color, int& red, int& green, int& blue) {
    const TColor rgb = ResolveColor(color);
    red = static_cast<int>(rgb & 0xFF);
    green = static_cast<int>((rgb >> 8) & 0xFF);
    blue = static_cast<int>((rgb >> 16) & 0xFF);
}

QColor ToQColor(TColor color) {
    int red = 0, green = 0, blue = 0;
    GetRGB(color, red, green, blue);
    return QColor(red, green, blue);
}

TColor FromQColor(const QColor& color) {
    return RGBColor(color.red(), color.green(), color.blue());
}

}  // namespace vertoko
