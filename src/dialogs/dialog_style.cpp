#include "dialogs/dialog_style.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QPalette>

namespace vertoko {

namespace {

// Sets its widget's width from the widget's font, now and at every font change.
class DigitWidth : public QObject {
  public:
    DigitWidth(QWidget* input, int digits) : QObject(input), input_(input), digits_(digits) {
        input->installEventFilter(this);
        Apply();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == input_ && event->type() == QEvent::FontChange) Apply();
        return false;
    }

  private:
    void Apply() {
        // The frame and the text margins of a line edit take a few pixels
        // on either side.
        const int text = QFontMetrics(input_->font()).horizontalAdvance(QString(digits_, u'0'));
        input_->setFixedWidth(text + 10);
    }

    QWidget* input_;
    int digits_;
};

}  // namespace

void ApplyDialogFrame(QDialog* dialog, const QString& caption) {
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog->setFont(DialogFont(12));
}

void ApplyDialogFrame(QDialog* dialog, const QString& caption, int width, int height) {
    ApplyDialogFrame(dialog, caption);
    dialog->setFixedSize(width, height);
}

void SetWidthInDigits(QWidget* input, int digits) { new DigitWidth(input, digits); }

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
