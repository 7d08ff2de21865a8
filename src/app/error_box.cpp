#include "app/error_box.h"

#include <QApplication>
#include <QMessageBox>

namespace vertoko {

void ShowErrorBox(const QString& message) {
    QMessageBox::critical(QApplication::activeWindow(), QCoreApplication::applicationName(),
                          message);
}

}  // namespace vertoko
