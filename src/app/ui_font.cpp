#include "app/ui_font.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>

namespace vertoko {

QFont UiFont() {
    const QString preferred = QStringLiteral("ＭＳ Ｐゴシック");
    // Debian's fonts-noto-cjk; the fallbacks keep kana and kanji from
    // turning into boxes where only another CJK family is installed.
    const QStringList fallbacks = {QStringLiteral("Noto Sans CJK JP"),
                                   QStringLiteral("Noto Sans JP"), QStringLiteral("IPAPGothic"),
                                   QStringLiteral("VL PGothic")};
    QFont font;
    if (QFontDatabase::families().contains(preferred)) {
        font.setFamily(preferred);
    } else {
        font.setFamilies(fallbacks);
    }
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    return font;
}

}  // namespace vertoko
