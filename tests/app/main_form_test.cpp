// The main window under the offscreen platform: the load entry point shared
// by the open command, the command line and a drop; the save command for
// each file type; the settings file at creation and close.
#include "app/main_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QUrl>
#include <QtTest/QTest>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace vertoko {
namespace {

const QString kHouse = QStringLiteral(VERTOKO_SOURCE_DIR "/examples/house.dxf");
const QString kPyramid = QStringLiteral(VERTOKO_SOURCE_DIR "/examples/pyramid.dxf");

std::string ReadAll(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const QString& path, const std::string& text) {
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << text;
}

// A drag that enters the window and is dropped there, as the platform's
// drag and drop delivers it.
void DropOn(TMainForm& form, QMimeData& mime) {
    const QPoint at(20, 40);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &drop);
}

class MainFormTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // A window whose settings file lies in the test's own directory,
    // optionally written beforehand.
    std::unique_ptr<TMainForm> MakeForm(const std::string& settingsText = {},
                                        const QStringList& arguments = {}) {
        if (!settingsText.empty()) WriteText(SettingsFile(), settingsText);
        auto form = std::make_unique<TMainForm>(SettingsFile().toStdString(), arguments);
        form->SetErrorReporter([this](const QString& message) { errors << message; });
        return form;
    }

    QString SettingsFile() const { return dir.filePath(QStringLiteral("vertoko.ini")); }
    QString Out(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    static QStringList Log(const TMainForm& form) {
        return form.Memo1->toPlainText().split(QLatin1Char('\n'));
    }

    QTemporaryDir dir;
    QStringList errors;
};

TEST_F(MainFormTest, StartsWithNoTableAndTheSaveCommandDisabled) {
    auto form = MakeForm();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Vertoko"));
    EXPECT_FALSE(form->FileSaveAsItem->isEnabled());
    EXPECT_FALSE(form->mPview->isEnabled());
    EXPECT_TRUE(form->Memo1->isReadOnly());
    EXPECT_EQ(form->objects, nullptr);
    EXPECT_EQ(form->objectCount, 0);
    EXPECT_FALSE(form->newData);
    EXPECT_TRUE(form->optFirst);
    EXPECT_TRUE(form->colFirst);
    EXPECT_FALSE(form->openParam);
    EXPECT_EQ(form->Memo1->toPlainText(), QString());
}

TEST_F(MainFormTest, LoadLogsObjectsAndEnablesSave) {
    auto form = MakeForm();
    form->LoadDxf(kHouse);
    // Walls: 8 corners, 5 faces; roof: 4 faces over the wall tops and two
    // ridge points; cleaning merges the shared corners.
    const QStringList expected = {QString(), QStringLiteral("DXF:") + kHouse,
                                  QStringLiteral("Object数：1"),
                                  QStringLiteral("  #001：頂点数 = 10, ポリゴン数 = 9")};
    EXPECT_EQ(Log(*form), expected);
    EXPECT_TRUE(form->FileSaveAsItem->isEnabled());
    EXPECT_TRUE(form->newData);
    EXPECT_EQ(form->objectCount, 1);
    EXPECT_NE(form->objects, nullptr);
}

TEST_F(MainFormTest, SettingsChooseMultiObjectModeAndCleaning) {
    auto form = MakeForm("[options]\r\ndxfmulti=1\r\nDXFclv=0\r\n");
    EXPECT_EQ(form->settings.reader.dxfMulti, 1);
    EXPECT_EQ(form->settings.reader.dxfClv, 0);
    form->LoadDxf(kHouse);
    // Without cleaning every 3DFACE keeps its own corners: two quads and two
    // triangles give 4 + 4 + 3 + 3.
    const QStringList expected = {QString(), QStringLiteral("DXF:") + kHouse,
                                  QStringLiteral("Object数：2"),
                                  QStringLiteral("  #001：頂点数 = 8, ポリゴン数 = 5"),
                                  QStringLiteral("  #002：頂点数 = 14, ポリゴン数 = 4")};
    EXPECT_EQ(Log(*form), expected);
}

TEST_F(MainFormTest, LaterOptionsTravelFromTheSettingsThroughTheWindowAndBack) {
    auto form = MakeForm(
        "[Options]\r\nDXFskip=1\r\nDXFinsert=1\r\nDXFcolor=1\r\nDXForient=1\r\n"
        "POVRcrease=45\r\nPOVRmesh2=1\r\nPOVRfit=1\r\nOBJnormal=1\r\nOUTzup=1\r\n"
        "POVRscene=1\r\n");
    EXPECT_EQ(form->settings.reader.dxfSkip, 1);
    EXPECT_EQ(form->settings.reader.dxfInsert, 1);
    EXPECT_EQ(form->settings.reader.dxfColor, 1);
    EXPECT_EQ(form->settings.reader.dxfOrient, 1);
    EXPECT_EQ(form->settings.writer.objNormal, 1);
    EXPECT_EQ(form->settings.writer.povOpt.crease, 45.0f);
    EXPECT_EQ(form->settings.writer.povOpt.mesh2, 1);
    EXPECT_EQ(form->settings.writer.povOpt.fit, 1);
    EXPECT_EQ(form->settings.writer.zUp, 1);
    EXPECT_EQ(form->settings.writer.povOpt.studio, 1);
    EXPECT_TRUE(form->FormClose());
    const std::string written = ReadAll(SettingsFile());
    for (const char* entry :
         {"DXFskip=1\r\n", "DXFinsert=1\r\n", "DXFcolor=1\r\n", "DXForient=1\r\n",
          "POVRcrease=45\r\n", "POVRmesh2=1\r\n", "POVRfit=1\r\n", "OBJnormal=1\r\n",
          "OUTzup=1\r\n", "POVRscene=1\r\n"})
        EXPECT_NE(written.find(entry), std::string::npos) << entry;
}

TEST_F(MainFormTest, PublicSampleLoadsOnePolygonPerFace) {
    const QString sample = QStringLiteral(VERTOKO_SAMPLES_DIR "/ezdxf/3dface.dxf");
    // Independent count of the 3DFACE entities: name lines after a code 0.
    std::istringstream lines(ReadAll(sample));
    std::string previous, line;
    int faces = 0;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "3DFACE" && previous.find_first_not_of(' ') != std::string::npos &&
            previous.substr(previous.find_first_not_of(' ')) == "0") {
            ++faces;
        }
        previous = line;
    }
    ASSERT_GT(faces, 0);
    auto form = MakeForm();
    form->LoadDxf(sample);
    const QStringList log = Log(*form);
    ASSERT_EQ(log.size(), 4);
    EXPECT_EQ(log[2], QStringLiteral("Object数：1"));
    EXPECT_TRUE(log[3].endsWith(QStringLiteral(", ポリゴン数 = %1").arg(faces)))
        << log[3].toStdString();
}

TEST_F(MainFormTest, FileThatCannotBeOpenedKeepsThePreviousTable) {
    auto form = MakeForm();
    form->LoadDxf(kHouse);
    MeshObject* before = form->objects;
    const qsizetype linesBefore = Log(*form).size();
    const QString missing = Out("missing.dxf");
    form->LoadDxf(missing);
    const QStringList log = Log(*form);
    ASSERT_EQ(log.size(), linesBefore + 3);
    EXPECT_EQ(log[linesBefore], QString());
    EXPECT_EQ(log[linesBefore + 1], QStringLiteral("DXF:") + missing);
    EXPECT_EQ(log[linesBefore + 2], QStringLiteral("ファイルのオープンに失敗."));
    EXPECT_EQ(form->objects, before);
    EXPECT_EQ(form->objectCount, 1);
    EXPECT_TRUE(form->FileSaveAsItem->isEnabled());
    EXPECT_TRUE(form->newData);
}

TEST_F(MainFormTest, ReaderFailureAfterAGoodLoadLeavesNoTable) {
    auto form = MakeForm();
    form->LoadDxf(kHouse);
    const QString bad = Out("notes.txt");
    WriteText(bad, "this is not a drawing\n");
    form->LoadDxf(bad);
    const QStringList log = Log(*form);
    ASSERT_EQ(log.size(), 7);
    EXPECT_EQ(log[4], QString());
    EXPECT_EQ(log[5], QStringLiteral("DXF:") + bad);
    EXPECT_TRUE(log[6].startsWith(QStringLiteral("Err：\""))) << log[6].toStdString();
    EXPECT_TRUE(log[6].endsWith(QLatin1Char('"')));
    EXPECT_GT(log[6].size(), 6);
    EXPECT_EQ(form->objects, nullptr);
    EXPECT_EQ(form->objectCount, 0);
    EXPECT_FALSE(form->FileSaveAsItem->isEnabled());
    EXPECT_FALSE(form->newData);
    // A save reached without the menu must not hand a null table on.
    form->SaveAs(Out("none.pol"), 1);
    EXPECT_EQ(Log(*form).size(), 7);
    EXPECT_FALSE(QFile::exists(Out("none.pol")));
}

TEST_F(MainFormTest, SecondGoodLoadReplacesTheFirst) {
    auto form = MakeForm();
    form->LoadDxf(kHouse);
    form->LoadDxf(kPyramid);
    const QStringList log = Log(*form);
    ASSERT_EQ(log.size(), 8);
    EXPECT_EQ(log[4], QString());
    EXPECT_EQ(log[5], QStringLiteral("DXF:") + kPyramid);
    // Pyramid (5 corners, 5 faces) and its base plate (4, 1) in one object.
    EXPECT_EQ(log[7], QStringLiteral("  #001：頂点数 = 9, ポリゴン数 = 6"));
}

TEST_F(MainFormTest, CommandLineArgumentOpensOnceAtFirstShowing) {
    auto form = MakeForm({}, {kHouse, kPyramid});
    EXPECT_TRUE(form->openParam);
    EXPECT_EQ(form->objectCount, 0);
    form->show();
    EXPECT_FALSE(form->openParam);
    form->hide();
    form->show();
    const QStringList log = Log(*form);
    EXPECT_EQ(log.filter(QStringLiteral("DXF:")), QStringList{QStringLiteral("DXF:") + kHouse});
    EXPECT_EQ(form->objectCount, 1);
    form->hide();
}

TEST_F(MainFormTest, DropOpensTheFirstFileOnly) {
    auto form = MakeForm();
    form->show();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(kPyramid), QUrl::fromLocalFile(kHouse),
                  QUrl::fromLocalFile(Out("third.dxf"))});
    DropOn(*form, mime);
    EXPECT_EQ(Log(*form).filter(QStringLiteral("DXF:")),
              QStringList{QStringLiteral("DXF:") + kPyramid});
    EXPECT_EQ(form->objectCount, 1);
    form->hide();
}

TEST_F(MainFormTest, DroppedFileOfAnotherTypeIsReadAsDxf) {
    auto form = MakeForm();
    const QString picture = Out("picture.png");
    WriteText(picture, "\x89PNG\r\n\x1a\n");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(picture)});
    DropOn(*form, mime);
    const QStringList log = Log(*form);
    ASSERT_EQ(log.size(), 3);
    EXPECT_EQ(log[1], QStringLiteral("DXF:") + picture);
    EXPECT_TRUE(log[2].startsWith(QStringLiteral("Err：\"")));
}

TEST_F(MainFormTest, SaveWritesOneFilePerTypeForOneObject) {
    auto form = MakeForm();
    form->LoadDxf(kHouse);
    form->SaveAs(Out("car.pol"), 1);
    form->SaveAs(Out("car.pov"), 2);
    form->SaveAs(Out("car.obj"), 3);
    const QStringList log = Log(*form);
    ASSERT_EQ(log.size(), 7);
    EXPECT_EQ(log[4], QStringLiteral("->POL:") + Out("car.pol"));
    EXPECT_EQ(log[5], QStringLiteral("->POL:") + Out("car.pov"));
    EXPECT_EQ(log[6], QStringLiteral("->POL:") + Out("car.obj"));
    EXPECT_TRUE(QFile::exists(Out("car.pol")));
    EXPECT_TRUE(QFile::exists(Out("car.pov")));
    EXPECT_TRUE(QFile::exists(Out("car.inc")));
    EXPECT_TRUE(QFile::exists(Out("car.obj")));
    // Written as text with CR LF line ends.
    const std::string obj = ReadAll(Out("car.obj"));
    EXPECT_NE(obj.find("\r\n"), std::string::npos);
    EXPECT_EQ(obj.find("\r\n"), obj.find('\n') - 1);
    // The table stays loaded and can be saved again.
    EXPECT_TRUE(form->FileSaveAsItem->isEnabled());
    EXPECT_EQ(form->objectCount, 1);
}

TEST_F(MainFormTest, SingleObjectUnderShortExtensionKeepsTheName) {
    auto form = MakeForm();
    form->LoadDxf(kHouse);
    form->SaveAs(Out("house.p"), 1);
    EXPECT_TRUE(QFile::exists(Out("house.p")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{QStringLiteral("house.p")}));
}

TEST_F(MainFormTest, SeveralObjectsGetNumberedFilesExceptPovRay) {
    auto form = MakeForm("[Options]\r\nDXFmulti=1\r\n");
    form->LoadDxf(kHouse);
    ASSERT_EQ(form->objectCount, 2);
    QDir(dir.path()).mkdir(QStringLiteral("out.d"));
    const QString base = dir.filePath(QStringLiteral("out.d/car"));
    form->SaveAs(base + QStringLiteral(".p"), 1);
    form->SaveAs(base + QStringLiteral(".obj"), 3);
    form->SaveAs(base + QStringLiteral(".pov"), 2);
    const QStringList log = Log(*form);
    ASSERT_EQ(log.size(), 8);
    EXPECT_EQ(log[5], QStringLiteral("->POL:") + base + QStringLiteral("～.pol"));
    EXPECT_EQ(log[6], QStringLiteral("->POL:") + base + QStringLiteral("～.obj"));
    EXPECT_EQ(log[7], QStringLiteral("->POL:") + base + QStringLiteral(".pov"));
    QStringList files = QDir(dir.filePath(QStringLiteral("out.d"))).entryList(QDir::Files);
    files.sort();
    const QStringList expected = {"car.inc",    "car.pov",    "car001.obj",
                                  "car001.pol", "car002.obj", "car002.pol"};
    EXPECT_EQ(files, expected);
}

TEST_F(MainFormTest, FailedSaveLogsTargetThenWriterMessage) {
    auto form = MakeForm();
    form->LoadDxf(kHouse);
    const QString target = Out("no_such_dir/car.obj");
    form->SaveAs(target, 3);
    const QStringList log = Log(*form);
    ASSERT_EQ(log.size(), 7);
    EXPECT_EQ(log[4], QStringLiteral("->POL:") + target);
    EXPECT_EQ(log[5], QStringLiteral("ファイルのオープンに失敗しました."));
    EXPECT_EQ(log[6], QStringLiteral("フォルダーが見つかりません"));
    EXPECT_TRUE(form->FileSaveAsItem->isEnabled());
}

// The relative luminance of an sRGB colour, for contrast ratios.
double Luminance(const QColor& colour) {
    auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

// The colour log line (0-based) is drawn in.
QColor LineColour(const TMainForm& form, int line) {
    const QTextBlock block = form.Memo1->document()->findBlockByNumber(line);
    const QTextCharFormat format =
        block.begin().atEnd() ? block.charFormat() : block.begin().fragment().charFormat();
    return format.hasProperty(QTextFormat::ForegroundBrush)
               ? format.foreground().color()
               : form.Memo1->palette().color(QPalette::Text);
}

TEST_F(MainFormTest, ErrorLinesStandOutInReadableRed) {
    auto form = MakeForm();
    form->LoadDxf(kHouse);
    form->LoadDxf(Out("missing.dxf"));
    const QString bad = Out("notes.txt");
    WriteText(bad, "this is not a drawing\n");
    form->LoadDxf(bad);
    form->LoadDxf(kHouse);
    form->SaveAs(Out("no_such_dir/car.obj"), 3);
    const QStringList log = Log(*form);
    // Lines 6 and 9 are the two failed loads, the last two the failed save
    // and the system's reason; the save's target line before them is no error.
    const int last = static_cast<int>(log.size()) - 1;
    const QList<int> failures = {6, 9, last - 1, last};
    ASSERT_EQ(log[6], QStringLiteral("ファイルのオープンに失敗."));
    ASSERT_TRUE(log[9].startsWith(QStringLiteral("Err：")));
    ASSERT_TRUE(log[last - 2].startsWith(QStringLiteral("->POL:")));
    ASSERT_EQ(log[last], QStringLiteral("フォルダーが見つかりません"));
    const QColor normal = form->Memo1->palette().color(QPalette::Text);
    const QColor base = form->Memo1->palette().color(QPalette::Base);
    for (int line = 0; line < log.size(); ++line) {
        SCOPED_TRACE(log[line].toStdString());
        const QColor colour = LineColour(*form, line);
        EXPECT_EQ(form->IsErrorLine(line), failures.contains(line));
        if (!failures.contains(line)) {
            EXPECT_EQ(colour, normal);
            continue;
        }
        // Red: red well above green and blue, and as readable on the
        // background as the guidelines for text ask (4.5 to 1).
        EXPECT_GT(colour.red(), 3 * std::max(colour.green(), colour.blue()) + 100);
        const double contrast = (Luminance(base) + 0.05) / (Luminance(colour) + 0.05);
        EXPECT_GE(contrast, 4.5);
    }
}

TEST_F(MainFormTest, RefusalNamesThePolylineKindAndTheWayToTheOption) {
    // A 2D polyline (flags 0) among faces: the strict reading refuses it.
    const QString drawing = Out("flat.dxf");
    WriteText(drawing,
              "0\nSECTION\n2\nENTITIES\n0\nPOLYLINE\n8\n0\n66\n1\n70\n0\n0\nVERTEX\n8\n0\n10\n0\n"
              "20\n0\n30\n0\n0\nVERTEX\n8\n0\n10\n1\n20\n0\n30\n0\n0\nSEQEND\n0\nENDSEC\n0\nEOF\n");
    auto form = MakeForm();
    form->LoadDxf(drawing);
    const QStringList log = Log(*form);
    ASSERT_EQ(log.size(), 5);
    // The line of the second VERTEX, whose start ends the first record.
    EXPECT_EQ(log[2],
              QStringLiteral("Err：\"POLYLINE:対応していない形式です.(L24) 種類：2Dポリライン\""));
    EXPECT_EQ(log[4],
              QStringLiteral("「未対応の図形を読み飛ばす」は ｵﾌﾟｼｮﾝ → ﾃﾞｰﾀ入出力 にあります. "
                             "変更すると図面を読み直します."));
    EXPECT_TRUE(form->IsErrorLine(2));
    EXPECT_FALSE(form->IsErrorLine(3));
    EXPECT_FALSE(form->IsErrorLine(4));
    EXPECT_EQ(form->LastOpenedDrawing(), drawing);
}

TEST_F(MainFormTest, EmptyResultIsExplainedAndCannotBeSaved) {
    // The only face lies in a block that nothing inserts.
    const QString drawing = Out("library.dxf");
    WriteText(
        drawing,
        "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n0\n2\nCHAIR\n70\n0\n10\n0\n20\n0\n30\n0\n"
        "0\n3DFACE\n8\n0\n10\n0\n20\n0\n30\n0\n11\n1\n21\n0\n31\n0\n12\n1\n22\n1\n32\n0\n"
        "13\n0\n23\n1\n33\n0\n0\nENDBLK\n8\n0\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\nENDSEC\n"
        "0\nEOF\n");
    auto form = MakeForm("[Options]\r\nDXFinsert=1\r\n");
    form->LoadDxf(kHouse);
    form->LoadDxf(drawing);
    const QStringList log = Log(*form);
    ASSERT_EQ(log.size(), 9);
    EXPECT_EQ(log[7], QStringLiteral("  #001：頂点数 = 0, ポリゴン数 = 0"));
    EXPECT_EQ(log[8], QStringLiteral(
                          "図面の面は、どこからも挿入されていないブロックの中にしかありません."));
    // Nothing to save or show: the commands follow, the caption names none.
    EXPECT_FALSE(form->FileSaveAsItem->isEnabled());
    EXPECT_FALSE(form->newData);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Vertoko"));
}

TEST_F(MainFormTest, WindowPlaceAndLastFolderSurviveTheNextStart) {
    {
        auto form = MakeForm("[Window]\r\nLeft=50\r\nTop=60\r\nWidth=640\r\nHeight=480\r\n");
        EXPECT_EQ(form->pos(), QPoint(50, 60));
        EXPECT_EQ(form->size(), QSize(640, 480));
        form->LoadDxf(kHouse);
        form->move(70, 80);
        form->resize(500, 400);
        ASSERT_TRUE(form->FormClose());
    }
    const std::string text = ReadAll(SettingsFile());
    const std::string folder = QFileInfo(kHouse).absolutePath().toStdString();
    // The file's own order is kept; the entries are in its [Window].
    EXPECT_EQ(text.rfind("[Window]\r\nLeft=70\r\nTop=80\r\nWidth=500\r\nHeight=400\r\n"
                         "OpenDir=" +
                             folder + "\r\nMaximized=0\r\n\r\n[Options]\r\n",
                         0),
              0u)
        << text;
    auto again = MakeForm();
    EXPECT_EQ(again->pos(), QPoint(70, 80));
    EXPECT_EQ(again->size(), QSize(500, 400));
    EXPECT_EQ(again->OpenDialog->directory().absolutePath(), QFileInfo(kHouse).absolutePath());
}

TEST_F(MainFormTest, CloseWithoutLoadWritesTheDefaultSettings) {
    auto form = MakeForm();
    EXPECT_TRUE(form->FormClose());
    EXPECT_EQ(ReadAll(SettingsFile()),
              "[Options]\r\nDXFmulti=0\r\nDXFclv=1\r\nDXFvdist=0\r\nESTRopt=s\r\nPOVRsmt=1\r\n"
              "POVRstate=pigment {color rgb <1,1,1>}\r\n"
              "DXFskip=0\r\nDXFinsert=0\r\nDXFcolor=0\r\nDXForient=0\r\nPOVRcrease=180\r\n"
              "POVRmesh2=0\r\nPOVRfit=0\r\nOBJnormal=0\r\n"
              "DXFthick=0\r\nDXFsegments=32\r\nOUTunits=as-drawn\r\nOUTzup=0\r\nPOVRscene=0\r\n"
              "DXFvisible=0\r\nDXFlayers=\r\nDXFnolayers=\r\nOUTnames=0\r\nOUTmaterials=\r\n\r\n"
              "[Pview]\r\nbackcol=0,77,102\r\nobjcol=222,222,222\r\n\r\n"
              "[Window]\r\nOpenDir=\r\nLeft=237\r\nTop=105\r\nWidth=397\r\nHeight=326\r\n"
              "Maximized=0\r\n\r\n");
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(MainFormTest, ValuesChangedDuringARunSurviveTheNextStart) {
    {
        auto form = MakeForm("; kept until the first close\r\n[Options]\r\nDXFclv=1\r\nMine=1\r\n");
        form->settings.reader.dxfClv = 0;
        form->settings.reader.dxfVdist = 0.001f;
        form->settings.pviewObj = 0x000A141Eu;
        form->LoadDxf(kHouse);
        ASSERT_TRUE(form->FormClose());
        EXPECT_EQ(form->objects, nullptr);
        EXPECT_FALSE(form->FileSaveAsItem->isEnabled());
    }
    const std::string text = ReadAll(SettingsFile());
    EXPECT_EQ(text.find(';'), std::string::npos);
    EXPECT_NE(text.find("Mine=1\r\n"), std::string::npos);
    EXPECT_NE(text.find("DXFvdist=0.00100000004749745\r\n"), std::string::npos);
    EXPECT_NE(text.find("objcol=30,20,10\r\n"), std::string::npos);
    auto again = MakeForm();
    EXPECT_EQ(again->settings.reader.dxfClv, 0);
    EXPECT_EQ(again->settings.reader.dxfVdist, 0.001f);
    EXPECT_EQ(again->settings.pviewObj, 0x000A141Eu);
    EXPECT_EQ(again->settings.pviewBack, 0x00664D00u);
}

TEST_F(MainFormTest, FailedSettingsWriteIsReportedAndASecondCloseEndsSafely) {
    const std::string path = dir.filePath(QStringLiteral("gone/vertoko.ini")).toStdString();
    auto form = std::make_unique<TMainForm>(path, QStringList{});
    form->SetErrorReporter([this](const QString& message) { errors << message; });
    form->LoadDxf(kHouse);
    form->show();
    // The close box: the first failure keeps the window open.
    form->close();
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0],
              QStringLiteral("ファイル %1 を作成できません").arg(QString::fromStdString(path)));
    EXPECT_EQ(form->objects, nullptr);
    EXPECT_EQ(form->objectCount, 0);
    EXPECT_FALSE(form->FileSaveAsItem->isEnabled());
    // The second close frees nothing again and lets the window go.
    form->FileExit();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(errors.size(), 2);
    // Closing once more after that does nothing at all.
    EXPECT_TRUE(form->FormClose());
    EXPECT_EQ(errors.size(), 2);
}

TEST_F(MainFormTest, UnreadableSettingsFileStopsTheCreation) {
    QDir(dir.path()).mkdir(QStringLiteral("vertoko.ini"));
    try {
        TMainForm form(SettingsFile().toStdString(), {});
        FAIL() << "created despite an unreadable settings file";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()),
                  QStringLiteral("ファイル %1 は開けません").arg(SettingsFile()));
    }
}

}  // namespace
}  // namespace vertoko
