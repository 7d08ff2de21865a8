// The preview on a real X display with GLX (Xvfb + Mesa in CI): what the
// window draws is read back from the panel and compared with colours worked
// out from the lighting by hand.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "convert/drawing_load.h"
#include "preview/gl_panel.h"
#include "preview/load_opengl.h"
#include "preview/pview.h"
#include "test_tables.h"
// After Qt and gtest: the X headers behind it define None, Bool and friends.
#include "platform/gl_loader.h"

namespace vertoko {
namespace {

using testing::FreeTable;
using testing::MakeTable;

constexpr std::uint32_t kBack = 0x00664D00u;  // red 0, green 77, blue 102
constexpr std::uint32_t kGrey = 0x00DEDEDEu;  // 222, 222, 222
constexpr std::uint32_t kRed = 0x000000FFu;

// One channel of a face lit by the preview's lights: global ambient 0.2 on
// the default material ambient 0.2, plus the diffuse of light 1 (0.9) and
// light 2 (0.3) by the cosines of their angles to the normal.
int LitChannel(int object, double cos1, double cos2) {
    const double value =
        0.2 * 0.2 + object / 255.0 * (0.9 * std::max(0.0, cos1) + 0.3 * std::max(0.0, cos2));
    return static_cast<int>(std::lround(std::min(1.0, value) * 255.0));
}

// Light 1 shines from (80, 80, 100), whose length is 150.
constexpr double kL1x = 80.0 / 150.0, kL1y = 80.0 / 150.0, kL1z = 100.0 / 150.0;

void ExpectColor(const QImage& image, int x, int y, int red, int green, int blue,
                 int tolerance = 3) {
    ASSERT_FALSE(image.isNull());
    const QColor c = image.pixelColor(x, y);
    EXPECT_NEAR(c.red(), red, tolerance) << "at " << x << "," << y;
    EXPECT_NEAR(c.green(), green, tolerance) << "at " << x << "," << y;
    EXPECT_NEAR(c.blue(), blue, tolerance) << "at " << x << "," << y;
}

void ExpectBackground(const QImage& image, int x, int y) {
    ExpectColor(image, x, y, 0, 77, 102, 0);
}

void ExpectLitGreyFacingViewer(const QImage& image) {
    const int grey = LitChannel(222, kL1z, 0.0);
    ExpectColor(image, image.width() / 2, image.height() / 2, grey, grey, grey);
}

void SendMove(QWidget* panel, int x, int y, Qt::MouseButtons buttons) {
    QMouseEvent event(QEvent::MouseMove, QPointF(x, y), panel->mapToGlobal(QPointF(x, y)),
                      Qt::NoButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(panel, &event);
}

void SendDoubleClick(QWidget* panel, int x, int y) {
    QMouseEvent event(QEvent::MouseButtonDblClick, QPointF(x, y), panel->mapToGlobal(QPointF(x, y)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel, &event);
}

void SendWheel(QWidget* target, int delta) {
    QWheelEvent event(QPointF(10, 10), target->mapToGlobal(QPointF(10, 10)), QPoint(),
                      QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &event);
}

// Loads the libraries once for every test of this program (death tests run
// first, before any fixture would).
class OpenGLEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { LoadOpenGL(); }
};
[[maybe_unused]] ::testing::Environment* const openGLEnvironment =
    ::testing::AddGlobalTestEnvironment(new OpenGLEnvironment);

class PreviewWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(hOpenGL, nullptr) << "needs an X display with GLX";
        // A 2 x 2 square in the plane z = 0, counter-clockwise seen from +z.
        table = MakeTable({{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}}, {{{0, 1, 2, 3}}});
    }
    void TearDown() override { FreeTable(table); }

    // What the main window does at the preview command after a load.
    void ShowLoaded(TPView& view, bool newData = true) {
        view.SetColors(kBack, kGrey);
        view.ShowPreview(newData, 1, table);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    MeshObject* table = nullptr;
    const Extents extents = {{0, 0, 0}, {-1, -1, 0}, {1, 1, 0}};  // the square's box
};

TEST_F(PreviewWindowTest, WindowStartsHiddenWithItsCaptionAndLayout) {
    TPView view;
    EXPECT_FALSE(view.isVisible());
    EXPECT_EQ(view.windowTitle(), QStringLiteral("Pre View"));
    EXPECT_EQ(view.size(), QSize(403, 347));
    EXPECT_FALSE(view.GLPanel1->HasContext());  // no context before the first showing
    view.FitView(extents);
    ShowLoaded(view);
    EXPECT_TRUE(view.GLPanel1->HasContext());
    EXPECT_EQ(view.GLPanel1->size(), view.size());
    view.close();  // closing only hides
    EXPECT_FALSE(view.isVisible());
    EXPECT_TRUE(view.GLPanel1->HasContext());
}

TEST_F(PreviewWindowTest, BackgroundAtTheCornerAndLitObjectAtTheCentre) {
    TPView view;
    view.FitView(extents);
    ShowLoaded(view);
    EXPECT_EQ(view.ModelBuilds(), 1);
    const QImage frame = view.GLPanel1->GrabFrame();
    ASSERT_EQ(frame.size(), QSize(view.GLPanel1->SurfaceWidth(), view.GLPanel1->SurfaceHeight()));
    ExpectBackground(frame, 1, 1);
    ExpectBackground(frame, frame.width() - 2, frame.height() - 2);
    ExpectLitGreyFacingViewer(frame);
}

TEST_F(PreviewWindowTest, EmptyPreviewShowsOnlyTheBackground) {
    TPView view;
    view.SetColors(kBack, kGrey);
    view.ShowPreview(false, 0, nullptr);  // no file loaded yet
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const QImage frame = view.GLPanel1->GrabFrame();
    ExpectBackground(frame, frame.width() / 2, frame.height() / 2);
    ExpectBackground(frame, 0, 0);
}

TEST_F(PreviewWindowTest, SpaceTogglesOutlinesWhateverTheModifiers) {
    TPView view;
    view.FitView(extents);
    ShowLoaded(view);
    QTest::keyClick(&view, Qt::Key_Space);
    EXPECT_TRUE(view.Wireframe());
    QImage frame = view.GLPanel1->GrabFrame();
    // Only the edges are drawn: the centre shows the background, yet some
    // pixels are lit.
    ExpectBackground(frame, frame.width() / 2, frame.height() / 2);
    int lit = 0;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            if (frame.pixelColor(x, y) != QColor(0, 77, 102)) ++lit;
        }
    }
    EXPECT_GT(lit, 100);
    EXPECT_LT(lit, frame.width() * frame.height() / 10);

    QTest::keyClick(&view, Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_FALSE(view.Wireframe());
    ExpectLitGreyFacingViewer(view.GLPanel1->GrabFrame());
    QTest::keyClick(&view, Qt::Key_A);
    EXPECT_FALSE(view.Wireframe());
}

TEST_F(PreviewWindowTest, NewObjectColourAppearsAtTheNextPaintWithoutARebuild) {
    TPView view;
    view.FitView(extents);
    ShowLoaded(view);
    ExpectLitGreyFacingViewer(view.GLPanel1->GrabFrame());
    const int builds = view.ModelBuilds();
    view.SetColors(kBack, kRed);
    const QImage frame = view.GLPanel1->GrabFrame();
    ExpectColor(frame, frame.width() / 2, frame.height() / 2, LitChannel(255, kL1z, 0),
                LitChannel(0, kL1z, 0), LitChannel(0, kL1z, 0));
    EXPECT_EQ(view.ModelBuilds(), builds);
    // A new background colour too.
    view.SetColors(0x00000000u, kRed);
    ExpectColor(view.GLPanel1->GrabFrame(), 0, 0, 0, 0, 0, 0);
}

TEST_F(PreviewWindowTest, LeftDragTurnsTheModelUnderFixedLightsAndDoubleClickResets) {
    TPView view;
    view.FitView(extents);
    ShowLoaded(view);
    SendMove(view.GLPanel1, 100, 100, Qt::NoButton);
    SendMove(view.GLPanel1, 160, 100, Qt::LeftButton);  // 60 degrees about y
    EXPECT_EQ(view.LastX(), 160);
    // The normal (0, 0, 1) turns to (sin 60, 0, cos 60): more of light 1,
    // none of light 2 from the left.
    const double sx = std::sin(M_PI / 3), cz = std::cos(M_PI / 3);
    const int turned = LitChannel(222, sx * kL1x + cz * kL1z, -sx);
    QImage frame = view.GLPanel1->GrabFrame();
    ExpectColor(frame, frame.width() / 2, frame.height() / 2, turned, turned, turned);

    // Hiding and showing again without a new table keeps the turn.
    view.hide();
    view.ShowPreview(false, 1, table);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_EQ(view.ModelBuilds(), 1);
    frame = view.GLPanel1->GrabFrame();
    ExpectColor(frame, frame.width() / 2, frame.height() / 2, turned, turned, turned);

    QTest::keyClick(&view, Qt::Key_Space);               // outlines survive the reset
    SendMove(view.GLPanel1, 200, 200, Qt::RightButton);  // moves the camera too
    SendDoubleClick(view.GLPanel1, 50, 50);
    EXPECT_FLOAT_EQ(view.Camera().eyeX, 0.0f);
    EXPECT_FLOAT_EQ(view.Camera().eyeY, 0.0f);
    EXPECT_FLOAT_EQ(view.Camera().eyeZ, 4.0f);
    EXPECT_TRUE(view.Wireframe());
    QTest::keyClick(&view, Qt::Key_Space);
    ExpectLitGreyFacingViewer(view.GLPanel1->GrabFrame());
}

void SendRelease(QWidget* panel, int x, int y) {
    QMouseEvent event(QEvent::MouseButtonRelease, QPointF(x, y), panel->mapToGlobal(QPointF(x, y)),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel, &event);
}

TEST_F(PreviewWindowTest, LargeModelIsDrawnLighterWhileDraggedAndWholeAfterTheRelease) {
    // 2 x 180 x 180 = 64,800 triangles, more than the drag budget.
    MeshObject* grid = testing::MakeGrid(180);
    TPView view;
    view.FitView({{90, 90, 0}, {0, 0, -0.3f}, {180, 180, 0.3f}});
    view.SetColors(kBack, kGrey);
    view.ShowPreview(true, 1, grid);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_TRUE(view.HasDragModel());
    const QImage still = view.GLPanel1->GrabFrame();

    // A drag that has not moved yet turns nothing but already draws the
    // stand-in: the same field, other triangles.
    SendMove(view.GLPanel1, 100, 100, Qt::NoButton);
    SendMove(view.GLPanel1, 100, 100, Qt::LeftButton);
    EXPECT_TRUE(view.DrawsDragModel());
    const QImage dragged = view.GLPanel1->GrabFrame();
    EXPECT_NE(dragged, still);
    ExpectBackground(dragged, 1, 1);
    EXPECT_NE(dragged.pixelColor(dragged.width() / 2, dragged.height() / 2),
              still.pixelColor(1, 1));

    // The release brings the full model back, pixel for pixel.
    SendRelease(view.GLPanel1, 100, 100);
    EXPECT_FALSE(view.DrawsDragModel());
    EXPECT_EQ(view.GLPanel1->GrabFrame(), still);

    // The wheel has no release: the full model comes back once it rests.
    SendWheel(&view, -120);
    EXPECT_TRUE(view.DrawsDragModel());
    EXPECT_TRUE(QTest::qWaitFor([&view] { return !view.DrawsDragModel(); }, 2000));

    // A drag whose release happens outside the window ends at the next
    // move without buttons.
    SendMove(view.GLPanel1, 100, 100, Qt::LeftButton);
    EXPECT_TRUE(view.DrawsDragModel());
    SendMove(view.GLPanel1, 120, 100, Qt::NoButton);
    EXPECT_FALSE(view.DrawsDragModel());
    view.hide();
    testing::FreeTable(grid);
}

TEST_F(PreviewWindowTest, SmallModelIsDraggedAsItIs) {
    TPView view;
    view.FitView(extents);
    ShowLoaded(view);
    EXPECT_FALSE(view.HasDragModel());
    SendMove(view.GLPanel1, 100, 100, Qt::NoButton);
    SendMove(view.GLPanel1, 100, 100, Qt::LeftButton);
    EXPECT_FALSE(view.DrawsDragModel());
    ExpectLitGreyFacingViewer(view.GLPanel1->GrabFrame());
}

TEST_F(PreviewWindowTest, NewTableDropsTheRotation) {
    TPView view;
    view.FitView(extents);
    ShowLoaded(view);
    SendMove(view.GLPanel1, 0, 0, Qt::NoButton);
    SendMove(view.GLPanel1, 0, 70, Qt::LeftButton);
    view.hide();
    ShowLoaded(view, true);
    EXPECT_EQ(view.ModelBuilds(), 2);
    ExpectLitGreyFacingViewer(view.GLPanel1->GrabFrame());
}

TEST_F(PreviewWindowTest, RightDragMovesAndBothButtonsZoomWithinTheBounds) {
    TPView view;
    view.FitView(extents);  // s = 2: eyeZ 4, bounds -2 and 16, step 0.02
    ShowLoaded(view);
    QWidget* panel = view.GLPanel1;
    SendMove(panel, 100, 100, Qt::MiddleButton);  // the middle button only tracks
    EXPECT_EQ(view.LastX(), 100);
    EXPECT_FLOAT_EQ(view.Camera().eyeX, 0.0f);

    SendMove(panel, 110, 95, Qt::RightButton);
    EXPECT_FLOAT_EQ(view.Camera().eyeX, -0.2f);
    EXPECT_FLOAT_EQ(view.Camera().eyeY, -0.1f);
    SendMove(panel, 100, 100, Qt::RightButton);  // back to the middle
    EXPECT_NEAR(view.Camera().eyeX, 0.0f, 1e-6);

    SendMove(panel, 105, 103, Qt::LeftButton | Qt::RightButton);  // horizontal wins
    EXPECT_FLOAT_EQ(view.Camera().eyeZ, 4.0f - 5 * 0.02f);
    SendMove(panel, 108, 106, Qt::LeftButton | Qt::RightButton);  // a tie goes vertical
    EXPECT_FLOAT_EQ(view.Camera().eyeZ, 4.0f - 2 * 0.02f);

    // Far past the far bound: stopped there, and the last position stays.
    SendMove(panel, 108, 2000, Qt::LeftButton | Qt::RightButton);
    EXPECT_FLOAT_EQ(view.Camera().eyeZ, 16.0f);
    EXPECT_EQ(view.LastX(), 108);
    EXPECT_EQ(view.LastY(), 106);
    // The next move still measures from the last unstopped one.
    SendMove(panel, 108, 56, Qt::LeftButton | Qt::RightButton);
    EXPECT_FLOAT_EQ(view.Camera().eyeZ, 15.0f);
    EXPECT_EQ(view.LastY(), 56);
    // Past the near bound.
    SendMove(panel, 108, -5000, Qt::LeftButton | Qt::RightButton);
    EXPECT_FLOAT_EQ(view.Camera().eyeZ, -2.0f);
    EXPECT_EQ(view.LastY(), 56);
}

TEST_F(PreviewWindowTest, WheelZoomsTwelveStepsPerNotchUpToTheBounds) {
    TPView view;
    view.FitView(extents);
    ShowLoaded(view);
    // Real wheel events reach the window through the panel, which leaves
    // them alone; synthesized ones are not passed on, so send them here.
    SendWheel(&view, 120);
    EXPECT_FLOAT_EQ(view.Camera().eyeZ, 4.0f + 12 * 0.02f);
    SendWheel(&view, -240);
    EXPECT_FLOAT_EQ(view.Camera().eyeZ, 4.0f - 12 * 0.02f);
    SendWheel(&view, 120 * 100);
    EXPECT_FLOAT_EQ(view.Camera().eyeZ, 16.0f);
    // Zoomed right in, the square fills the whole window.
    view.FitView(extents);
    SendWheel(&view, -120 * 12);  // eyeZ 4 - 144 x 0.02 = 1.12
    EXPECT_NEAR(view.Camera().eyeZ, 1.12f, 1e-5);
    const QImage frame = view.GLPanel1->GrabFrame();
    const int grey = LitChannel(222, kL1z, 0.0);
    ExpectColor(frame, 1, 1, grey, grey, grey);
}

TEST_F(PreviewWindowTest, PolygonsWithDrawingColoursAreLitInTheirOwnColours) {
    // The square as two triangles split along its rising diagonal: red
    // below it, blue above it; the object colour no longer shows.
    MeshObject* colored =
        MakeTable({{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}}, {{{0, 1, 2}}, {{0, 2, 3}}});
    colored->polygons->color = kPolygonColorSet | 0xFF0000u;
    colored->polygons->next->color = kPolygonColorSet | 0x0000FFu;
    TPView view;
    view.FitView(extents);
    view.SetColors(kBack, kGrey);
    view.ShowPreview(true, 1, colored);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const QImage frame = view.GLPanel1->GrabFrame();
    const int full = LitChannel(255, kL1z, 0.0);
    const int none = LitChannel(0, kL1z, 0.0);
    const int cx = frame.width() / 2, cy = frame.height() / 2, d = frame.height() / 10;
    ExpectColor(frame, cx + d, cy + d, full, none, none);  // x > 0, y < 0: below
    ExpectColor(frame, cx - d, cy - d, none, none, full);  // x < 0, y > 0: above
    view.hide();
    FreeTable(colored);
}

TEST_F(PreviewWindowTest, PolygonsWithBadCornersAreSkipped) {
    MeshObject* bad =
        MakeTable({{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}}, {{{0, 1, 7}}, {{0}}, {{}}, {{0, -1, 2}}});
    TPView view;
    view.FitView(extents);
    view.SetColors(kBack, kGrey);
    view.ShowPreview(true, 1, bad);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const QImage frame = view.GLPanel1->GrabFrame();
    ExpectBackground(frame, frame.width() / 2, frame.height() / 2);
    view.hide();
    FreeTable(bad);
}

// A shape standing in the drawing's front plane y = 0, facing the front
// (-y): a red bar below z = 0 and above it a blue square on the right only,
// so that a mirror image shows too.
class ZUpPreviewTest : public PreviewWindowTest {
  protected:
    void SetUp() override {
        PreviewWindowTest::SetUp();
        standing = MakeTable(
            {{-1, 0, -1}, {1, 0, -1}, {1, 0, 0}, {-1, 0, 0}, {0, 0, 0}, {1, 0, 1}, {0, 0, 1}},
            {{{0, 1, 2, 3}}, {{4, 2, 5, 6}}});
        standing->polygons->color = kPolygonColorSet | 0xFF0000u;
        standing->polygons->next->color = kPolygonColorSet | 0x0000FFu;
    }
    void TearDown() override {
        FreeTable(standing);
        PreviewWindowTest::TearDown();
    }
    void Show(TPView& view, bool newData = true) {
        view.SetColors(kBack, kGrey);
        view.ShowPreview(newData, 1, standing);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    // Red below the middle, blue above it on the right and nothing on the
    // left: the drawing's Z up and its X to the right on the screen.
    static void ExpectStanding(const QImage& frame) {
        const int cx = frame.width() / 2, cy = frame.height() / 2, d = frame.height() / 10;
        const QColor right = frame.pixelColor(cx + d, cy - d);
        const QColor below = frame.pixelColor(cx, cy + d);
        EXPECT_GT(right.blue(), 50);
        EXPECT_GT(right.blue(), 2 * std::max(right.red(), right.green()));
        EXPECT_GT(below.red(), 50);
        EXPECT_GT(below.red(), 2 * std::max(below.green(), below.blue()));
        ExpectBackground(frame, cx - d, cy - d);
    }

    MeshObject* standing = nullptr;
    const Extents standingBox = {{0, 0, 0}, {-1, 0, -1}, {1, 0, 1}};
};

TEST_F(ZUpPreviewTest, DrawingLiesFlatWithoutAndStandsWithZUp) {
    TPView view;
    view.FitView(standingBox);
    Show(view);
    // As drawn, the square is seen edge-on from +z.
    QImage frame = view.GLPanel1->GrabFrame();
    ExpectBackground(frame, frame.width() / 2, frame.height() / 2 - frame.height() / 10);

    // Turned on while shown: drawn again at once, standing.
    const int builds = view.ModelBuilds();
    view.SetZUp(true);
    EXPECT_TRUE(view.ZUp());
    EXPECT_EQ(view.ModelBuilds(), builds + 1);
    frame = view.GLPanel1->GrabFrame();
    ExpectStanding(frame);
    // Seen from the front right, the shape is narrower than high on the
    // screen.
    int left = frame.width(), right = -1;
    const int row = frame.height() / 2 + frame.height() / 10;
    for (int x = 0; x < frame.width(); ++x) {
        if (frame.pixelColor(x, row) == QColor(0, 77, 102)) continue;
        left = std::min(left, x);
        right = std::max(right, x);
    }
    int top = frame.height(), bottom = -1;
    for (int y = 0; y < frame.height(); ++y) {
        if (frame.pixelColor(frame.width() / 2, y) == QColor(0, 77, 102)) continue;
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    EXPECT_LT(right - left, bottom - top);

    // A drag turns it upside down; a double click comes back to the Z-up
    // view.
    SendMove(view.GLPanel1, 100, 100, Qt::NoButton);
    SendMove(view.GLPanel1, 100, 280, Qt::LeftButton);  // 180 degrees about x
    frame = view.GLPanel1->GrabFrame();
    EXPECT_GT(frame.pixelColor(frame.width() / 2, frame.height() / 2 - frame.height() / 10).red(),
              50);
    SendDoubleClick(view.GLPanel1, 50, 50);
    ExpectStanding(view.GLPanel1->GrabFrame());

    view.SetZUp(false);
    frame = view.GLPanel1->GrabFrame();
    ExpectBackground(frame, frame.width() / 2, frame.height() / 2 - frame.height() / 10);
    view.hide();
}

TEST_F(ZUpPreviewTest, HiddenPreviewTakesTheTurnAtTheNextShowing) {
    TPView view;
    view.FitView(standingBox);
    Show(view);
    view.hide();
    // Hidden, the window may hold a table that is gone: nothing is drawn
    // until the preview command hands over the table again.
    const int builds = view.ModelBuilds();
    view.SetZUp(true);
    EXPECT_EQ(view.ModelBuilds(), builds);
    Show(view, false);
    EXPECT_EQ(view.ModelBuilds(), builds + 1);
    ExpectStanding(view.GLPanel1->GrabFrame());
    // Showing again the same way up builds nothing.
    view.hide();
    Show(view, false);
    EXPECT_EQ(view.ModelBuilds(), builds + 1);
    view.hide();
}

TEST(PreviewSampleTest, LoadedSampleIsDrawnLitOnTheBackground) {
    ASSERT_NE(hOpenGL, nullptr);
    const std::string name =
        std::string(VERTOKO_SAMPLES_DIR) + "/libdxf/blender-monkey_head_example_R12.dxf";
    std::FILE* file = std::fopen(name.c_str(), "rb");
    ASSERT_NE(file, nullptr) << name;
    MeshObject* objects = nullptr;
    std::string message;
    DrawingLoad load = LoadDrawing(file, ReaderOptions{});
    const std::int32_t count = load.count;
    objects = load.objects;
    message = load.message;
    std::fclose(file);
    ASSERT_GT(count, 0) << message;
    const Extents extents = ComputeExtents(count, objects);
    {
        TPView view;
        view.FitView(extents);
        view.SetColors(kBack, kGrey);
        view.ShowPreview(true, count, objects);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        const QImage frame = view.GLPanel1->GrabFrame();
        ExpectBackground(frame, 0, 0);
        ExpectBackground(frame, frame.width() - 1, 0);
        // The head covers the centre: a grey lit above the ambient level.
        const QColor centre = frame.pixelColor(frame.width() / 2, frame.height() / 2);
        EXPECT_NEAR(centre.red(), centre.green(), 1);
        EXPECT_NEAR(centre.green(), centre.blue(), 1);
        EXPECT_GT(centre.red(), LitChannel(222, 0.0, 0.0) + 20);
        int model = 0;
        for (int y = 0; y < frame.height(); ++y) {
            for (int x = 0; x < frame.width(); ++x) {
                if (frame.pixelColor(x, y) != QColor(0, 77, 102)) ++model;
            }
        }
        EXPECT_GT(model, frame.width() * frame.height() / 20);
        EXPECT_LT(model, frame.width() * frame.height() / 2);
    }
    FreeObjectTable(count, objects);
}

TEST(GLPanelTest, PostInitThenResizeBeforeTheFirstDrawAndEveryPaintSwaps) {
    ASSERT_NE(hOpenGL, nullptr);
    std::vector<std::string> events;
    TGLPanel panel(nullptr);
    panel.resize(64, 48);
    panel.OnGLPostInit = [&](TGLPanel*) { events.push_back("init"); };
    panel.OnGLResize = [&](TGLPanel*) { events.push_back("resize"); };
    panel.OnGLDraw = [&](TGLPanel*) { events.push_back("draw"); };
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0], "init");
    EXPECT_EQ(events[1], "resize");
    panel.repaint();
    EXPECT_EQ(events.back(), "draw");
    EXPECT_GE(panel.SwapCount(), 1);

    const PixelFormatDescriptor& chosen = panel.ChosenFormat();
    EXPECT_TRUE(chosen.dwFlags & PFD_SUPPORT_OPENGL);
    EXPECT_TRUE(chosen.dwFlags & PFD_DOUBLEBUFFER);
    EXPECT_FALSE(chosen.dwFlags & PFD_NEED_PALETTE);
    EXPECT_EQ(chosen.iPixelType, PFD_TYPE_RGBA);
    EXPECT_GE(chosen.cColorBits, 24);
    EXPECT_GT(chosen.cDepthBits, 0);
    EXPECT_EQ(panel.GetPalette(), 0u);

    events.clear();
    panel.resize(80, 40);
    EXPECT_EQ(std::count(events.begin(), events.end(), "resize"), 1);
}

TEST(GLPanelTest, WithoutDoubleBufferNoSwapAndUnassignedEventsAreSkipped) {
    ASSERT_NE(hOpenGL, nullptr);
    TGLPanel single(nullptr);
    single.PixelFlags = kPixelDrawToWindow | kPixelSupportOpenGL;
    single.resize(32, 32);
    single.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&single));
    single.repaint();
    EXPECT_TRUE(single.HasContext());
    EXPECT_EQ(single.SwapCount(), 0);

    TGLPanel bare(nullptr);
    bare.resize(32, 32);
    bare.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bare));
    const int before = bare.SwapCount();
    bare.repaint();
    EXPECT_EQ(bare.SwapCount(), before + 1);
}

TEST(GLPanelDeathTest, NoMatchingPixelFormatEndsWithTheAssertionReport) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ASSERT_NE(hOpenGL, nullptr);
    EXPECT_DEATH(
        {
            TGLPanel panel(nullptr);
            panel.LayerType = 1;  // an overlay plane, which the X server lacks
            panel.resize(16, 16);
            panel.show();
            QTest::qWait(50);
        },
        "Assertion failed: nPixelFormat, file .*gl_panel\\.cpp, line [0-9]+");
}

// Run last: it closes the libraries that the tests above share.
TEST(PreviewUnavailableTest, MissingGluDisablesThePreview) {
    FreeOpenGL();
    EXPECT_FALSE(LoadOpenGL("libGL.so.1", "libvertoko-missing-glu.so.1"));
    EXPECT_EQ(hOpenGL, nullptr);
    EXPECT_EQ(FglBegin, nullptr);
    // The window is still safe to use: it draws nothing and calls nothing.
    const Extents extents = {{0, 0, 0}, {-1, -1, 0}, {1, 1, 0}};
    TPView view;
    view.FitView(extents);
    view.SetColors(kBack, kGrey);
    view.ShowPreview(true, 0, nullptr);
    EXPECT_TRUE(view.isVisible());
    EXPECT_FALSE(view.GLPanel1->HasContext());
    QTest::keyClick(&view, Qt::Key_Space);
    SendMove(view.GLPanel1, 5, 5, Qt::LeftButton);
    EXPECT_TRUE(view.GLPanel1->GrabFrame().isNull());
    view.hide();
    EXPECT_TRUE(LoadOpenGL());
}

}  // namespace
}  // namespace vertoko
