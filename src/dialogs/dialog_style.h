// Look shared by the option dialogs: the fixed single frame with only the
// system menu, the dialog font, and the two colours that tell whether a
// dependent input can be used.
#pragma once

#include <QFont>
#include <QString>

class QDialog;
class QWidget;

namespace vertoko {

// Caption, a fixed client size and a title bar with only the close box.
void ApplyDialogFrame(QDialog* dialog, const QString& caption, int width, int height);

// The same for a dialog whose layout gives its size.
void ApplyDialogFrame(QDialog* dialog, const QString& caption);

// "ＭＳ Ｐゴシック" at pixelSize, falling back to a Japanese sans serif.
QFont DialogFont(int pixelSize);

// Keeps input as wide as digits characters "0" of its font, also after its
// font changes, so that a field grows with the text it holds.
void SetWidthInDigits(QWidget* input, int digits);

// Enables input with the window background colour, or disables it with the
// button-face colour. Its text and value stay as they are.
void SetInputUsable(QWidget* input, bool usable);

}  // namespace vertoko
