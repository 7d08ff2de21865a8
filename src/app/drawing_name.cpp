#include "app/drawing_name.h"

#include <QDir>
#include <QFileInfo>

namespace vertoko {

QString MainWindowTitle(const QString& drawing) {
    const QString title = QStringLiteral("Vertoko");
    if (drawing.isEmpty()) return title;
    return title + QStringLiteral(" - ") + QFileInfo(drawing).fileName();
}

QString SuggestedSaveName(const QString& drawing, const QString& suffix) {
    const QFileInfo info(drawing);
    QString base = info.completeBaseName();
    // A name that is all extension (".dxf") keeps it rather than leave
    // nothing but the dot.
    if (base.isEmpty()) base = info.fileName();
    return QDir(info.absolutePath()).filePath(base + QLatin1Char('.') + suffix);
}

}  // namespace vertoko
