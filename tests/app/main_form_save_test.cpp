// Saves through the main window's save dialog, as a user makes them: POV-Ray
// scenes of drawings named in Japanese, with spaces and with 200 characters
// render in POV-Ray 3.7, and a save that fails leaves the files before it
// and no temporary.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>
#include <ostream>

#include "app/main_form.h"

inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace vertoko {
namespace {

const QString kHouse = QStringLiteral(VERTOKO_SOURCE_DIR "/examples/house.dxf");
constexpr int kPovFilter = 1;  // the save dialog's POV-Ray entry, from 0

class MainFormSaveTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        form =
            std::make_unique<TMainForm>(dir.filePath("vertoko.ini").toStdString(), QStringList{});
        form->SetErrorReporter([](const QString&) {});
    }
    void TearDown() override { form->hide(); }

    // Saves through the dialog, with the filter and the name a user picks.
    void SaveThroughDialog(int filter, const QString& target) {
        QTimer::singleShot(0, form->SaveDialog, [this, filter, target] {
            form->SaveDialog->selectNameFilter(form->SaveDialog->nameFilters().at(filter));
            form->SaveDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                ->setText(target);
            static_cast<QDialog*>(form->SaveDialog)->accept();
        });
        form->FileSaveAs();
    }

    QStringList Log() const { return form->Memo1->toPlainText().split(QLatin1Char('\n')); }

    // The hidden temporaries of a save, which none may leave.
    QStringList Temporaries(const QString& folder) const {
        return QDir(folder).entryList({QStringLiteral(".*.vertoko-*.tmp")},
                                      QDir::Files | QDir::Hidden);
    }

    QTemporaryDir dir;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormSaveTest, ScenesOfEveryDrawingNameRenderInPovRay) {
    const QString povray = QStandardPaths::findExecutable(QStringLiteral("povray"));
    if (povray.isEmpty()) GTEST_SKIP() << "povray is not installed";
    for (const QString& name :
         {QStringLiteral("住宅 モデル"), QStringLiteral("a b"), QString(200, QLatin1Char('w'))}) {
        SCOPED_TRACE(name.toStdString());
        QDir folder(dir.filePath(QStringLiteral("render")));
        ASSERT_TRUE(folder.removeRecursively() || !folder.exists());
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("render")));
        const QString drawing = folder.filePath(name + QStringLiteral(".dxf"));
        ASSERT_TRUE(QFile::copy(kHouse, drawing));
        form->LoadDxf(drawing);
        ASSERT_EQ(form->objectCount, 1);
        const QString scene = folder.filePath(name + QStringLiteral(".pov"));
        SaveThroughDialog(kPovFilter, scene);
        ASSERT_TRUE(QFile::exists(scene)) << Log().join(QLatin1Char('\n')).toStdString();

        QFile file(scene);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray first = file.readLine();
        ASSERT_TRUE(first.startsWith("#include \"") && first.endsWith("\"\r\n")) << first.data();
        const QByteArray include = first.mid(10, first.size() - 13);
        for (const char c : include) EXPECT_TRUE(c >= 0x20 && c <= 0x7E) << include.data();
        EXPECT_TRUE(folder.exists(QString::fromLatin1(include)));
        // The Japanese name's include is not the plain one, and the log says so.
        if (name.startsWith(QStringLiteral("住"))) {
            EXPECT_EQ(Log().back(),
                      QStringLiteral("インクルードファイルはPOV-Rayが開ける名前にしました：") +
                          QString::fromLatin1(include));
        } else {
            EXPECT_EQ(QString::fromLatin1(include), name + QStringLiteral(".inc"));
            EXPECT_EQ(Log().back(), QStringLiteral("->POL:") + scene);
        }

        // POV-Ray 3.7 takes only ASCII scene names too: an ASCII link leads
        // to the scene, whose include it must then open.
        ASSERT_TRUE(QFile::link(name + QStringLiteral(".pov"), folder.filePath("scene.pov")));
        QProcess render;
        render.setWorkingDirectory(folder.path());
        render.start(povray, {QStringLiteral("+Iscene.pov"), QStringLiteral("+Oscene.png"),
                              QStringLiteral("+W64"), QStringLiteral("+H48"), QStringLiteral("-D"),
                              QStringLiteral("-P")});
        ASSERT_TRUE(render.waitForFinished(120000));
        EXPECT_EQ(render.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
        EXPECT_GT(QFileInfo(folder.filePath("scene.png")).size(), 0);
        EXPECT_TRUE(Temporaries(folder.path()).isEmpty());
    }
}

// The scene is written before the include fails: it must not be left, and
// the earlier scene stays.
TEST_F(MainFormSaveTest, FailedSaveLeavesTheEarlierFilesAndNoTemporary) {
    form->LoadDxf(kHouse);
    ASSERT_EQ(form->objectCount, 1);
    const QString scene = dir.filePath(QStringLiteral("house.pov"));
    QFile earlier(scene);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier scene\r\n");
    earlier.close();
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("house.inc")));

    // The user's yes to replacing the scene is not what is tested here.
    form->SaveDialog->setOption(QFileDialog::DontConfirmOverwrite);
    SaveThroughDialog(kPovFilter, scene);
    const QStringList log = Log();
    ASSERT_GE(log.size(), 3);
    EXPECT_EQ(log.mid(log.size() - 3),
              (QStringList{QStringLiteral("->POL:") + scene,
                           QStringLiteral("incファイルのオープンに失敗しました."),
                           QStringLiteral("同じ名前のフォルダーがあります")}));
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), QByteArray("earlier scene\r\n"));
    EXPECT_TRUE(Temporaries(dir.path()).isEmpty());
    EXPECT_TRUE(form->FileSaveAsItem->isEnabled());
}

}  // namespace
}  // namespace vertoko
