// The main window as a user drives it, under the offscreen platform: the
// caption naming the drawing, the usual keys, the open dialog's name
// completion and the save dialog's suggested name.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>
#include <memory>
#include <ostream>

#include "app/drawing_name.h"
#include "app/main_form.h"

// Failures show the text rather than its bytes.
inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace vertoko {
namespace {

const QString kExamples = QStringLiteral(VERTOKO_SOURCE_DIR "/examples");
const QString kHouse = kExamples + QStringLiteral("/house.dxf");

class MainFormCommandsTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        form =
            std::make_unique<TMainForm>(dir.filePath("vertoko.ini").toStdString(), QStringList{});
        form->SetErrorReporter([](const QString&) {});
    }
    void TearDown() override { form->hide(); }

    // Runs check once dialog shows (from a command run right after), then
    // ends it with reject; tells afterwards whether it showed at all.
    std::shared_ptr<bool> WhenShown(QFileDialog* dialog, std::function<void()> check = {}) {
        auto seen = std::make_shared<bool>(false);
        QTimer::singleShot(0, dialog, [dialog, check, seen] {
            *seen = dialog->isVisible();
            if (*seen && check) check();
            if (dialog->isVisible()) dialog->reject();
        });
        return seen;
    }

    // A modal dialog takes the activation; keys go to the active window.
    void Activate() {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == form.get(); }));
    }

    QTemporaryDir dir;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormCommandsTest, CaptionNamesTheDrawingWhoseTableIsLoaded) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Vertoko"));
    form->LoadDxf(kHouse);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Vertoko - house.dxf"));
    // A file that cannot be opened leaves the table, and so the caption.
    form->LoadDxf(dir.filePath("missing.dxf"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Vertoko - house.dxf"));
    // A failed read leaves no table.
    const QString bad = dir.filePath("notes.dxf");
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("0\nSECTION\n2\nENTITIES\n0\n3DFACE\n");
    file.close();
    form->LoadDxf(bad);
    EXPECT_EQ(form->objectCount, 0);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Vertoko"));
    form->LoadDxf(kExamples + QStringLiteral("/pyramid.dxf"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Vertoko - pyramid.dxf"));
    ASSERT_TRUE(form->FormClose());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Vertoko"));
}

TEST_F(MainFormCommandsTest, UsualKeysReachTheirCommands) {
    form->show();
    Activate();
    QSignalSpy help(form->mAbout, &QAction::triggered);

    // Ctrl+S does nothing while there is nothing to save.
    auto saveSeen = WhenShown(form->SaveDialog);
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    QTest::qWait(20);
    EXPECT_FALSE(*saveSeen);

    auto openSeen = WhenShown(form->OpenDialog);
    QTest::keyClick(form.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(*openSeen);

    form->LoadDxf(kHouse);
    Activate();
    saveSeen = WhenShown(form->SaveDialog);
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(*saveSeen);

    Activate();
    QTest::keyClick(form.get(), Qt::Key_F1);
    EXPECT_EQ(help.count(), 1);

    QTest::keyClick(form.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(form->isVisible());
}

// Types into the open dialog's name field so that its completion offers
// house.dxf, then takes the offer with Return, optionally after Down.
void TakeCompletion(QFileDialog* dialog, const char* typed, bool down) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (edit == nullptr || edit->completer() == nullptr) {
        ADD_FAILURE() << "the open dialog has no name field with completion";
        dialog->reject();
        return;
    }
    QCompleter* completer = edit->completer();
    QAbstractItemView* popup = completer->popup();
    // The dialog lists its folder in the background and then selects the
    // file chosen last; typing starts after that, over the selected name.
    const auto* files = dialog->findChild<QFileSystemModel*>();
    const QString folder = dialog->directory().absolutePath();
    EXPECT_TRUE(QTest::qWaitFor(
        [files, folder] { return files->rowCount(files->index(folder)) > 0; }, 5000));
    // The offer shows only while the field has the focus, as it has when
    // the user types.
    dialog->activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([dialog] { return QApplication::activeWindow() == dialog; }, 5000));
    edit->setFocus();
    edit->selectAll();
    // The folder is listed in the background; the offer comes after it.
    QTest::keyClicks(edit, "examples/");
    EXPECT_TRUE(QTest::qWaitFor([completer] { return completer->completionCount() > 0; }, 5000));
    QTest::keyClicks(edit, typed);
    if (!QTest::qWaitFor([popup] { return popup->isVisible(); }, 5000)) {
        ADD_FAILURE() << "no completion offered for " << typed;
        dialog->reject();
        return;
    }
    if (down) QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Return);
    if (dialog->isVisible()) {
        ADD_FAILURE() << "Return did not end the dialog";
        dialog->reject();
    }
}

TEST_F(MainFormCommandsTest, CompletionPopUpClosesWithTheOpenDialog) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    auto* edit = form->OpenDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    // The whole name typed, then the start of it chosen from the offer.
    for (const auto& [typed, down] : {std::pair{"house.dxf", false}, std::pair{"ho", true}}) {
        SCOPED_TRACE(typed);
        form->OpenDialog->setDirectory(QStringLiteral(VERTOKO_SOURCE_DIR));
        QTimer::singleShot(0, form->OpenDialog,
                           [this, typed, down] { TakeCompletion(form->OpenDialog, typed, down); });
        form->FileOpen();
        EXPECT_EQ(form->objectCount, 1);
        ASSERT_NE(edit, nullptr);
        // Nothing is left over the main window to catch the next click.
        EXPECT_FALSE(edit->completer()->popup()->isVisible());
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        if (QWidget* left = QApplication::activePopupWidget()) left->hide();
    }
}

TEST_F(MainFormCommandsTest, SaveDialogSuggestsTheDrawingWithTheTypeChosenLast) {
    form->LoadDxf(kHouse);
    // The first time: the drawing's folder and name with .pol.
    auto seen = WhenShown(form->SaveDialog, [this] {
        EXPECT_EQ(form->SaveDialog->selectedFiles(),
                  QStringList{kExamples + QStringLiteral("/house.pol")});
        EXPECT_EQ(form->SaveDialog->directory().absolutePath(), kExamples);
    });
    form->FileSaveAs();
    EXPECT_TRUE(*seen);

    // Saved once as OBJ elsewhere...
    const QString target = dir.filePath("plan.obj");
    QTimer::singleShot(0, form->SaveDialog, [this, target] {
        form->SaveDialog->selectNameFilter(form->SaveDialog->nameFilters().at(2));
        form->SaveDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(target);
        static_cast<QDialog*>(form->SaveDialog)->accept();
    });
    form->FileSaveAs();
    ASSERT_TRUE(QFile::exists(target)) << form->Memo1->toPlainText().toStdString();

    // ...the next suggestion is an OBJ name beside the drawing loaded now.
    const QString copy = dir.filePath("roof.v2.dxf");
    ASSERT_TRUE(QFile::copy(kHouse, copy));
    form->LoadDxf(copy);
    seen = WhenShown(form->SaveDialog, [this] {
        EXPECT_EQ(form->SaveDialog->selectedFiles(), QStringList{dir.filePath("roof.v2.obj")});
    });
    form->FileSaveAs();
    EXPECT_TRUE(*seen);
}

// Saves through the dialog with the type at filter chosen and name typed.
void SaveTyped(TMainForm& form, int filter, const QString& name) {
    QTimer::singleShot(0, form.SaveDialog, [&form, filter, name] {
        form.SaveDialog->selectNameFilter(form.SaveDialog->nameFilters().at(filter));
        form.SaveDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
        static_cast<QDialog*>(form.SaveDialog)->accept();
    });
    form.FileSaveAs();
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(MainFormCommandsTest, TypedExtensionPicksTheWriter) {
    form->LoadDxf(kHouse);
    // Each file as the type its extension names, whatever type is chosen;
    // what each writer writes first tells them apart.
    SaveTyped(*form, 2, dir.filePath("model.pol"));  // OBJ chosen
    SaveTyped(*form, 0, dir.filePath("MODEL.OBJ"));  // EASTRAY chosen
    SaveTyped(*form, 2, dir.filePath("scene.Pov"));
    SaveTyped(*form, 1, dir.filePath("short.p"));
    const QByteArray obj = Contents(dir.filePath("MODEL.OBJ"));
    EXPECT_TRUE(obj.contains("\nv ") && obj.contains("\nf ")) << obj.left(200).toStdString();
    for (const char* name : {"model.pol", "short.p"}) {
        const QByteArray pol = Contents(dir.filePath(name));
        ASSERT_FALSE(pol.isEmpty()) << name;
        EXPECT_FALSE(pol.contains("\nv ")) << name;
        EXPECT_FALSE(pol.contains("mesh")) << name;
    }
    EXPECT_TRUE(Contents(dir.filePath("scene.Pov")).contains("#include"));
    EXPECT_TRUE(QFile::exists(dir.filePath("scene.inc")));
    // Another extension keeps the chosen type's writer, as before.
    SaveTyped(*form, 2, dir.filePath("notes.txt"));
    const QByteArray notes = Contents(dir.filePath("notes.txt"));
    EXPECT_TRUE(notes.contains("\nv ") && notes.contains("\nf "));
    EXPECT_EQ(TMainForm::SaveIndexFor(QStringLiteral("a.b/c"), 2), 2);
    EXPECT_EQ(TMainForm::SaveIndexFor(QStringLiteral("c.POL"), 3), 1);
}

TEST_F(MainFormCommandsTest, OpenDialogStartsInTheLastDrawingsFolder) {
    // However the drawing came: here as a command-line or dropped file.
    form->LoadDxf(kHouse);
    auto seen = WhenShown(form->OpenDialog, [this] {
        EXPECT_EQ(form->OpenDialog->directory().absolutePath(), kExamples);
    });
    form->FileOpen();
    EXPECT_TRUE(*seen);
    // A drawing elsewhere moves it there; a file that cannot be opened
    // does not.
    const QString copy = dir.filePath("plan.dxf");
    ASSERT_TRUE(QFile::copy(kHouse, copy));
    form->LoadDxf(copy);
    form->LoadDxf(kExamples + QStringLiteral("/missing.dxf"));
    seen = WhenShown(form->OpenDialog, [this] {
        EXPECT_EQ(form->OpenDialog->directory().absolutePath(), QDir(dir.path()).absolutePath());
    });
    form->FileOpen();
    EXPECT_TRUE(*seen);
}

TEST(DrawingNameTest, SuggestionKeepsTheFolderAndCutsTheLastExtension) {
    EXPECT_EQ(SuggestedSaveName(QStringLiteral("/d.1/house.dxf"), QStringLiteral("pov")),
              QStringLiteral("/d.1/house.pov"));
    EXPECT_EQ(SuggestedSaveName(QStringLiteral("/d/house"), QStringLiteral("pol")),
              QStringLiteral("/d/house.pol"));
    EXPECT_EQ(SuggestedSaveName(QStringLiteral("/d/.dxf"), QStringLiteral("obj")),
              QStringLiteral("/d/.dxf.obj"));
    // A name from the command line is relative to the working folder.
    EXPECT_EQ(SuggestedSaveName(QStringLiteral("plans/a.dxf"), QStringLiteral("obj")),
              QDir::current().filePath(QStringLiteral("plans/a.obj")));
}

}  // namespace
}  // namespace vertoko
