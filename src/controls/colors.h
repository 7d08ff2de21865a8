// Colour values of the controls: 32-bit 0x00BBGGRR numbers (red in the low
// byte), or system colour identifiers (high bit set, the low byte naming
// the system colour) that are resolved against the application palette
// before any arithmetic is done on them.
#pragma once

#include <QColor>
#include <cstdint>

namespace vertoko {

using TColor = std::uint32_t;

constexpr TColor kSystemColorFlag = 0x80000000u;

// The system colours the controls use, numbered as the platform numbers them.
constexpr TColor clWindow = kSystemColorFlag | 5;
constexpr TColor clWindowText = kSystemColorFlag | 8;
constexpr TColor clHighlight = kSystemColorFlag | 13;
constexpr TColor clHighlightText = kSystemColorFlag | 14;
constexpr TColor clBtnFace = kSystemColorFlag | 15;
constexpr TColor clBtnShadow = kSystemColorFlag | 16;
constexpr TColor clBtnHighlight = kSystemColorFlag | 20;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor RGBColor(int red, int green, int blue) {
    return static_cast<TColor>((red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16);
}

// Resolves a colour (system identifiers through the application palette)
// and returns its three 8-bit components.
void GetRGB(TColor color, int& red, int& green, int& blue);

// The resolved colour as a plain 0x00BBGGRR value.
TColor ResolveColor(TColor color);

QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);

}  // namespace vertoko
