// The layer window in a run of the application on an X display: drawings
// written by ezdxf (make_layer_drawings.py) with Japanese layer names, their
// layers listed as ezdxf reads them, unchecked layers gone from the preview's
// pixels and from the saved faces and back when checked, and the choice kept
// per drawing for the run only.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest/QTest>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_windows.h"
#include "app/main_form.h"
#include "dialogs/layer_dlg.h"
#include "preview/gl_panel.h"
#include "preview/pview.h"
// After the Qt headers: it brings in the X11 headers.
#include "platform/gl_loader.h"

namespace vertoko {
namespace {

struct ExpectedLayer {
    QString name;
    QColor colour;
    int faces;
};

// The drawings and what expected.txt says of them, made once for the program.
QTemporaryDir* drawings = nullptr;
std::map<QString, std::vector<ExpectedLayer>> expected;

QString Drawing(const char* name) { return drawings->filePath(QString::fromUtf8(name)); }

// The faces of an OBJ file as their corner points.
std::vector<std::vector<std::array<double, 3>>> ObjFaces(const QString& path) {
    std::ifstream in(path.toStdString());
    std::vector<std::array<double, 3>> points;
    std::vector<std::vector<std::array<double, 3>>> faces;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "v") {
            std::array<double, 3> p{};
            words >> p[0] >> p[1] >> p[2];
            points.push_back(p);
        } else if (kind == "f") {
            std::vector<std::array<double, 3>> face;
            std::string corner;
            while (words >> corner) {
                const long index = std::stol(corner);  // "i", "i//n" or "i/t/n"
                EXPECT_TRUE(index >= 1 && index <= static_cast<long>(points.size())) << line;
                if (index >= 1 && index <= static_cast<long>(points.size()))
                    face.push_back(points[static_cast<std::size_t>(index - 1)]);
            }
            faces.push_back(face);
        }
    }
    return faces;
}

// Which part of the drawing a face lies in, by its centre: the floor's
// bands, the wall's centre square or the window frame's band.
QString PartOf(const std::vector<std::array<double, 3>>& face) {
    double x = 0, y = 0;
    for (const auto& p : face) {
        x += p[0] / static_cast<double>(face.size());
        y += p[1] / static_cast<double>(face.size());
    }
    if (std::abs(y) < 0.5 && std::abs(x) < 0.5) return QString::fromUtf8("壁");
    if (std::abs(y) < 0.5 && x > 0.5) return QString::fromUtf8("窓枠");
    return QString::fromUtf8("床");
}

std::map<QString, int> FacesByPart(const QString& obj) {
    std::map<QString, int> parts;
    for (const auto& face : ObjFaces(obj)) ++parts[PartOf(face)];
    return parts;
}

// One channel of a face toward the viewer under the preview's lights: the
// ambient 0.2 x 0.2 plus light 1's diffuse 0.9 by its cosine 100 / 150.
int LitChannel(int object) {
    return static_cast<int>(std::lround((0.04 + object / 255.0 * 0.9 * (100.0 / 150.0)) * 255.0));
}
const QColor kBackground(0, 77, 102);  // the default preview colours
const QColor kLitGrey(LitChannel(222), LitChannel(222), LitChannel(222));

bool Near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) <= 3 && std::abs(a.green() - b.green()) <= 3 &&
           std::abs(a.blue() - b.blue()) <= 3;
}

class MainFormLayersTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        drawings = new QTemporaryDir;
        const std::string command = "/usr/bin/python3 " VERTOKO_SOURCE_DIR
                                    "/tests/app/make_layer_drawings.py '" +
                                    drawings->path().toStdString() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        QFile list(drawings->filePath(QStringLiteral("expected.txt")));
        ASSERT_TRUE(list.open(QIODevice::ReadOnly));
        QString current;
        for (const QString& line : QString::fromUtf8(list.readAll()).split(QLatin1Char('\n'))) {
            const QStringList words = line.split(QLatin1Char(' '));
            if (words[0] == QStringLiteral("drawing")) current = words[1];
            if (words[0] == QStringLiteral("layer")) {
                expected[current].push_back(
                    {words[1], QColor(QStringLiteral("#") + words[2]), words[3].toInt()});
            }
        }
    }
    static void TearDownTestSuite() {
        delete drawings;
        drawings = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const std::string ini = dir.filePath("vertoko.ini").toStdString();
        CreateAppWindows({ini, ini}, {});
        MainForm->SetErrorReporter([](const QString&) {});
    }
    void TearDown() override { DestroyAppWindows(); }

    static QStringList Log() { return MainForm->Memo1->toPlainText().split(QLatin1Char('\n')); }

    // The layer window's rows, as name -> row.
    static std::map<QString, QTreeWidgetItem*> Rows() {
        std::map<QString, QTreeWidgetItem*> rows;
        QTreeWidget* list = MainForm->LayerDlg->LayerList;
        for (int row = 0; row < list->topLevelItemCount(); ++row)
            rows[list->topLevelItem(row)->text(TLayerDlg::NameColumn)] = list->topLevelItem(row);
        return rows;
    }

    // Opens the layer window, leaves out exactly the layers named and ends
    // it with OK (or Cancel); during runs while it shows.
    static void Choose(const std::set<QString>& leftOut, bool ok = true,
                       const std::function<void()>& during = {}) {
        QTimer::singleShot(0, MainForm, [leftOut, ok, during] {
            ASSERT_NE(MainForm->LayerDlg, nullptr);
            ASSERT_TRUE(MainForm->LayerDlg->isVisible());
            if (during) during();
            for (auto& [name, item] : Rows()) {
                if (item->flags() & Qt::ItemIsEnabled)
                    item->setCheckState(TLayerDlg::NameColumn,
                                        leftOut.count(name) ? Qt::Unchecked : Qt::Checked);
            }
            QTest::mouseClick(ok ? MainForm->LayerDlg->OkBtn : MainForm->LayerDlg->CanBtn,
                              Qt::LeftButton);
        });
        MainForm->mLayerClick();
    }

    // Saves OBJ and gives the faces of each part.
    std::map<QString, int> SaveAndCount(const char* name) {
        const QString obj = dir.filePath(QString::fromUtf8(name));
        MainForm->SaveAs(obj, 3);
        EXPECT_TRUE(QFile::exists(obj)) << Log().join(QLatin1Char('\n')).toStdString();
        return FacesByPart(obj);
    }

    QTemporaryDir dir;
};

using Parts = std::map<QString, int>;
const QString kFloor = QString::fromUtf8("床");
const QString kWall = QString::fromUtf8("壁");
const QString kFrame = QString::fromUtf8("窓枠");

TEST_F(MainFormLayersTest, WindowListsTheLayersAsEzdxfReadsThem) {
    EXPECT_FALSE(MainForm->mLayer->isEnabled());
    EXPECT_EQ(MainForm->mLayer->text(), QStringLiteral("ﾚｲﾔｰ(&L)"));
    for (const char* name : {"layers_r2018.dxf", "layers_r12.dxf", "layers_swapped.dxf"}) {
        SCOPED_TRACE(name);
        MainForm->LoadDxf(Drawing(name));
        ASSERT_TRUE(MainForm->mLayer->isEnabled());
        std::vector<ExpectedLayer> listed;
        Choose({}, false, [&listed] {
            QTreeWidget* list = MainForm->LayerDlg->LayerList;
            for (int row = 0; row < list->topLevelItemCount(); ++row) {
                const QTreeWidgetItem* item = list->topLevelItem(row);
                const int faces = item->text(TLayerDlg::FacesColumn).toInt();
                if (faces == 0) continue;  // the drawing's "0" and the like
                const QImage swatch =
                    item->icon(TLayerDlg::ColourColumn).pixmap(QSize(20, 12)).toImage();
                listed.push_back({item->text(TLayerDlg::NameColumn),
                                  swatch.pixelColor(swatch.width() / 2, swatch.height() / 2),
                                  faces});
                EXPECT_EQ(item->checkState(TLayerDlg::NameColumn), Qt::Checked);
            }
        });
        const std::vector<ExpectedLayer>& want = expected[QString::fromUtf8(name)];
        ASSERT_EQ(listed.size(), want.size());
        for (std::size_t i = 0; i < want.size(); ++i) {
            EXPECT_EQ(listed[i].name.toStdString(), want[i].name.toStdString());
            EXPECT_EQ(listed[i].colour, want[i].colour) << want[i].name.toStdString();
            EXPECT_EQ(listed[i].faces, want[i].faces) << want[i].name.toStdString();
        }
    }
}

TEST_F(MainFormLayersTest, SaveLeavesOutTheUncheckedLayersAndTakesThemBack) {
    MainForm->LoadDxf(Drawing("layers_r2018.dxf"));
    const std::vector<ExpectedLayer>& layers = expected[QStringLiteral("layers_r2018.dxf")];
    Parts all;
    for (const ExpectedLayer& layer : layers) all[layer.name] = layer.faces;
    EXPECT_EQ(SaveAndCount("all.obj"), all);
    const MeshObject* loaded = MainForm->objects;
    EXPECT_EQ(MainForm->ShownObjects(), loaded);  // every layer kept: the table itself

    Choose({kWall});
    Parts some = all;
    some.erase(kWall);
    EXPECT_EQ(SaveAndCount("some.obj"), some);
    EXPECT_EQ(Log()[Log().size() - 2], QStringLiteral("ﾚｲﾔｰを 1 個除いて保存します."));
    EXPECT_EQ(MainForm->objects, loaded);  // not read again

    Choose({kWall, kFrame});
    EXPECT_EQ(SaveAndCount("floor.obj"), (Parts{{kFloor, all[kFloor]}}));

    // Cancel keeps the choice as it was.
    Choose({}, false);
    EXPECT_EQ(SaveAndCount("still.obj"), (Parts{{kFloor, all[kFloor]}}));

    Choose({});
    EXPECT_EQ(SaveAndCount("again.obj"), all);
    EXPECT_EQ(MainForm->ShownObjects(), loaded);
    EXPECT_EQ(Log().back(), QStringLiteral("->POL:") + dir.filePath(QStringLiteral("again.obj")));
}

TEST_F(MainFormLayersTest, NamedObjectsOfAThinnedSaveAreTheKeptLayers) {
    // One object per layer: leaving one out renumbers the rest, and each
    // saved file must still name its own layer.
    MainForm->settings.reader.dxfMulti = 1;
    MainForm->settings.writer.outNames = 1;
    MainForm->LoadDxf(Drawing("layers_r2018.dxf"));
    Choose({kWall});
    const QString obj = dir.filePath(QStringLiteral("named.obj"));
    MainForm->SaveAs(obj, 3);
    std::set<QString> named;
    for (int i = 1; i <= 3; ++i) {
        QFile file(dir.filePath(QStringLiteral("named%1.obj").arg(i, 3, 10, QLatin1Char('0'))));
        if (!file.open(QIODevice::ReadOnly)) continue;
        for (const QString& line :
             QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"))) {
            if (line.startsWith(QStringLiteral("o "))) named.insert(line.mid(2));
        }
    }
    EXPECT_EQ(named, (std::set<QString>{kFloor, kFrame}))
        << Log().join(QLatin1Char('\n')).toStdString();
}

TEST_F(MainFormLayersTest, PreviewLosesTheUncheckedFacesAndGetsThemBack) {
    if (hOpenGL == nullptr) GTEST_SKIP() << "no OpenGL on this display";
    MainForm->LoadDxf(Drawing("layers_r2018.dxf"));
    MainForm->mPviewClick();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(PView));
    const QImage full = PView->GLPanel1->GrabFrame();
    // The square [-1, 1]^2 on the middle row: its edges give where a
    // point x of the drawing shows, the model being centred.
    const int row = full.height() / 2;
    int left = -1, right = -1;
    for (int x = 0; x < full.width(); ++x) {
        if (Near(full.pixelColor(x, row), kBackground)) continue;
        if (left < 0) left = x;
        right = x;
    }
    ASSERT_GT(right - left, 40);
    auto at = [&](const QImage& frame, double x) {
        return frame.pixelColor(
            static_cast<int>(std::lround((left + right) / 2.0 + x * (right - left) / 2.0)), row);
    };
    auto expect = [&](const QImage& frame, bool floor, bool wall, bool frame_) {
        EXPECT_TRUE(Near(at(frame, -0.75), floor ? kLitGrey : kBackground)) << "floor";
        EXPECT_TRUE(Near(at(frame, 0.0), wall ? kLitGrey : kBackground)) << "wall";
        EXPECT_TRUE(Near(at(frame, 0.75), frame_ ? kLitGrey : kBackground)) << "window frame";
    };
    expect(full, true, true, true);

    // The shown preview follows each choice at once.
    const int builds = PView->ModelBuilds();
    Choose({kWall});
    EXPECT_TRUE(PView->isVisible());
    EXPECT_EQ(PView->ModelBuilds(), builds + 1);
    expect(PView->GLPanel1->GrabFrame(), true, false, true);
    Choose({kWall, kFrame});
    expect(PView->GLPanel1->GrabFrame(), true, false, false);
    Choose({});
    EXPECT_EQ(PView->GLPanel1->GrabFrame(), full);

    // A hidden preview shows the choice at its next opening.
    PView->close();
    Choose({kFrame});
    MainForm->mPviewClick();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(PView));
    expect(PView->GLPanel1->GrabFrame(), true, true, false);
}

TEST_F(MainFormLayersTest, ChoiceStaysWithItsDrawingForTheRun) {
    const QString drawing = dir.filePath(QStringLiteral("図面.dxf"));
    ASSERT_TRUE(QFile::copy(Drawing("layers_r2018.dxf"), drawing));
    MainForm->LoadDxf(drawing);
    Choose({kWall});
    Parts withoutWall = {{kFloor, 3}, {kFrame, 4}};
    Parts all = {{kFloor, 3}, {kWall, 2}, {kFrame, 4}};

    // Another drawing with the same layers starts with all of them.
    MainForm->LoadDxf(Drawing("layers_r2018_other.dxf"));
    EXPECT_EQ(MainForm->KeptLayers(), std::vector<bool>(MainForm->layers_.layers.size(), true));
    EXPECT_EQ(SaveAndCount("other.obj"), all);

    // Read again, the first has its choice back, and the log says so.
    MainForm->LoadDxf(drawing);
    EXPECT_TRUE(Log().contains(QStringLiteral("ﾚｲﾔｰの選択を引き継ぎます. 1 個のﾚｲﾔｰを除きます.")));
    EXPECT_EQ(SaveAndCount("again.obj"), withoutWall);
    // Also when a changed reading option reads it again: one object per
    // layer, the wall's left out along with its label.
    MainForm->settings.reader.dxfMulti = 1;
    MainForm->LoadDxf(MainForm->LastOpenedDrawing());
    EXPECT_EQ(MainForm->objectCount, 3);
    ASSERT_EQ(MainForm->ShownCount(), 2);
    ASSERT_EQ(MainForm->ShownLabels().size(), 2u);
    for (const ObjectLabel& label : MainForm->ShownLabels()) {
        ASSERT_GE(label.layer, 0);
        EXPECT_NE(MainForm->layers_.layers[static_cast<std::size_t>(label.layer)].name, "壁");
    }
    MainForm->settings.reader.dxfMulti = 0;

    // The choice goes by the layer's name: the drawing changed on disk with
    // its layers in another order still leaves out the wall.
    ASSERT_TRUE(QFile::remove(drawing));
    ASSERT_TRUE(QFile::copy(Drawing("layers_swapped.dxf"), drawing));
    MainForm->LoadDxf(drawing);
    EXPECT_EQ(SaveAndCount("swapped.obj"), withoutWall);
    const std::vector<bool> kept = MainForm->KeptLayers();
    for (std::size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(kept[i], MainForm->layers_.layers[i].name != "壁")
            << MainForm->layers_.layers[i].name;
    }

    // Nothing of it reaches the settings file, and the next run starts
    // with every layer.
    ASSERT_TRUE(MainForm->FormClose());
    QFile ini(dir.filePath(QStringLiteral("vertoko.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray settings = ini.readAll();
    EXPECT_FALSE(settings.contains("壁")) << settings.data();
    EXPECT_FALSE(settings.contains("図面")) << settings.data();
    DestroyAppWindows();
    const std::string path = dir.filePath("vertoko.ini").toStdString();
    CreateAppWindows({path, path}, {});
    MainForm->LoadDxf(drawing);
    EXPECT_EQ(SaveAndCount("next_run.obj"), all);
}

}  // namespace
}  // namespace vertoko
