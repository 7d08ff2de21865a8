#include "app/application.h"

#include <exception>

#include "app/error_box.h"

namespace vertoko {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowErrorBox(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowErrorBox(QStringLiteral("不明なエラーが発生しました."));
    }
    return false;
}

}  // namespace vertoko
