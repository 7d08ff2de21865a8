// Saves a picture of the save dialog in Japanese with its suggested name,
// after loading a drawing, for the README: save_dialog_screenshot FILE.dxf
// OUT.png (on any Qt platform; needs Qt's Japanese translation).
#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QPixmap>
#include <QTimer>
#include <QtTest/QTest>

#include "app/main_form.h"
#include "app/qt_translation.h"
#include "app/ui_font.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) return 2;
    QApplication::setFont(vertoko::UiFont());
    if (!vertoko::InstallQtTranslation()) return 1;
    vertoko::TMainForm form("/nonexistent/vertoko.ini", {});
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return 1;
    form.LoadDxf(QString::fromLocal8Bit(argv[1]));
    bool saved = false;
    QTimer::singleShot(0, form.SaveDialog, [&] {
        QFileDialog* dialog = form.SaveDialog;
        // The folder's listing arrives in the background.
        const auto* files = dialog->findChild<QFileSystemModel*>();
        const QString folder = dialog->directory().absolutePath();
        (void)QTest::qWaitFor([&] { return files->rowCount(files->index(folder)) > 0; }, 5000);
        QTest::qWait(200);
        saved = dialog->grab().save(QString::fromLocal8Bit(argv[2]));
        dialog->reject();
    });
    form.FileSaveAs();
    return saved ? 0 : 1;
}
