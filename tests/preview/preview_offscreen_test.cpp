// Without an X display (Qt's offscreen platform) the preview is unavailable
// exactly as without OpenGL, and its window stays harmless.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>

#include "preview/gl_panel.h"
#include "preview/load_opengl.h"
#include "preview/pview.h"
// After Qt and gtest: the X headers behind it define None, Bool and friends.
#include "platform/gl_loader.h"

namespace vertoko {

namespace {

TEST(PreviewOffscreenTest, LoadOpenGLSaysNoAndLoadsNothing) {
    EXPECT_FALSE(PreviewPlatformAvailable());
    EXPECT_FALSE(LoadOpenGL());
    EXPECT_FALSE(LoadOpenGL("libGL.so.1", "libGLU.so.1"));
    EXPECT_EQ(hOpenGL, nullptr);
    EXPECT_EQ(hGLU, nullptr);
    EXPECT_EQ(FglBegin, nullptr);
}

TEST(PreviewOffscreenTest, WindowWithoutOpenGLShowsAndTakesInputWithoutDrawing) {
    const Extents extents = {{1, 1, 1}, {0, 0, 0}, {2, 2, 2}};
    TPView view;
    EXPECT_FALSE(view.isVisible());
    EXPECT_EQ(view.windowTitle(), QStringLiteral("Pre View"));
    view.FitView(extents);
    EXPECT_FLOAT_EQ(view.Camera().eyeZ, 5.0f);
    view.SetColors(0x00664D00u, 0x00DEDEDEu);
    view.ShowPreview(true, 0, nullptr);
    EXPECT_TRUE(view.isVisible());
    EXPECT_FALSE(view.GLPanel1->HasContext());
    EXPECT_EQ(view.ModelBuilds(), 0);
    QTest::keyClick(&view, Qt::Key_Space);
    EXPECT_TRUE(view.Wireframe());
    EXPECT_TRUE(view.GLPanel1->GrabFrame().isNull());
    view.close();
    EXPECT_FALSE(view.isVisible());
}

}  // namespace
}  // namespace vertoko
