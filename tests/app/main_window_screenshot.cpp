// Saves a picture of the main window after loading a drawing, for the
// README: main_window_screenshot FILE.dxf OUT.png (on any Qt platform).
#include <QApplication>
#include <QPixmap>
#include <QtTest/QTest>

#include "app/main_form.h"
#include "app/ui_font.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) return 2;
    QApplication::setFont(vertoko::UiFont());
    vertoko::TMainForm form("/nonexistent/vertoko.ini", {});
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return 1;
    form.LoadDxf(QString::fromLocal8Bit(argv[1]));
    QTest::qWait(100);
    return form.grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
