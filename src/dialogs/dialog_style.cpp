#include "dialogs/dialog_style.h"

#include <QApplication>
#include <QDialog>
#include <QPalette>

namespace vertoko {

void ApplyDialogFrame(QDialog* dialog, const QString& caption, int width, int height) {
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog->setFixedSize(width, height);
    dialog->setFont(DialogFont(12));
}

QFont DialogFont(int pixelSize) {
    QFont font;
    // Japanese families that Debian installs stand in for the Windows one,
    // so that kana and kanji never fall back to boxes.
    font.setFamilies({QString::fromUtf8("ＭＳ Ｐゴシック"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("Noto Sans JP"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("VL PGothic")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}

void SetInputUsable(QWidget* input, bool usable) {
    const QPalette standard = QApplication::palette(input);
    const QColor colour =
        standard.color(QPalette::Active, usable ? QPalette::Base : QPalette::Button);
    QPalette palette = input->palette();
    // Every colour group, so that the disabled look does not override it.
    palette.setColor(QPalette::Active, QPalette::Base, colour);
    palette.setColor(QPalette::Inactive, QPalette::Base, colour);
    palette.setColor(QPalette::Disabled, QPalette::Base, colour);
    input->setPalette(palette);
    input->setEnabled(usable);
}

}  // namespace vertoko
