// The plain parts of the preview: camera fitting and movement, the
// pixel-format descriptor, the palette and the face normals.
#include <gtest/gtest.h>

// clang-format off
// After gtest: the X headers behind GLX define None, Bool and friends.
#include <GL/glx.h>
// clang-format on

#include <cmath>

#include "preview/camera.h"
#include "preview/pixel_format.h"
#include "preview/preview_scene.h"

namespace vertoko {
namespace {

constexpr float kPi = 3.14159265f;

Extents Box(Point3f min, Point3f max) {
    return {{(min.x + max.x) * 0.5f, (min.y + max.y) * 0.5f, (min.z + max.z) * 0.5f}, min, max};
}

TEST(FitViewTest, CubeOfTwoGivesTheWorkedCamera) {
    PreviewCamera camera;
    camera.eyeX = 7;
    camera.eyeY = -3;
    FitView(camera, Box({0, 0, 0}, {2, 2, 2}));
    EXPECT_FLOAT_EQ(camera.farPlane, 20.0f);
    EXPECT_FLOAT_EQ(camera.eyeX, 0.0f);
    EXPECT_FLOAT_EQ(camera.eyeY, 0.0f);
    EXPECT_FLOAT_EQ(camera.eyeZ, 5.0f);
    EXPECT_FLOAT_EQ(camera.minZ, -2.0f);
    EXPECT_FLOAT_EQ(camera.maxZ, 17.0f);
    EXPECT_FLOAT_EQ(camera.step, 0.02f);
}

TEST(FitViewTest, WidthOrHeightDecidesTheDistanceAndDepthOnlyTheFarPlane) {
    PreviewCamera camera;
    // Flat in z, taller than wide: s = 4 from y.
    FitView(camera, Box({0, 0, 3}, {1, 4, 3}));
    EXPECT_FLOAT_EQ(camera.farPlane, 40.0f);
    EXPECT_FLOAT_EQ(camera.eyeZ, 8.0f);
    EXPECT_FLOAT_EQ(camera.minZ, -4.0f);
    EXPECT_FLOAT_EQ(camera.maxZ, 32.0f);

    // Deeper than wide: far plane from the depth, eye from the width.
    FitView(camera, Box({-1, -1, -10}, {1, 1, 10}));
    EXPECT_FLOAT_EQ(camera.farPlane, 200.0f);
    EXPECT_FLOAT_EQ(camera.eyeZ, 10.0f + 4.0f);
    EXPECT_FLOAT_EQ(camera.step, 0.02f);
}

// With Z up the box is stood up as (x, z, -y), turned 45 degrees about y
// and tilted 30 about x; worked by hand for a box of half extents 2, 1, 3:
// upright (2, 3, 1), turned x and z up to (2 + 1) / sqrt 2, tilted y up to
// 3 cos 30 + 3 / sqrt 2 sin 30 and z up to 3 sin 30 + 3 / sqrt 2 cos 30.
TEST(FitViewTest, ZUpViewBoxHoldsTheTurnedModel) {
    const Extents view = ZUpViewBox(Box({10, 20, 30}, {14, 22, 36}));
    const float turned = 3.0f / std::sqrt(2.0f);
    const float high = 3.0f * std::cos(kPi / 6) + turned * std::sin(kPi / 6);
    const float deep = 3.0f * std::sin(kPi / 6) + turned * std::cos(kPi / 6);
    EXPECT_FLOAT_EQ(view.center.x, 0.0f);
    EXPECT_NEAR(view.min.x, -turned, 1e-5);
    EXPECT_NEAR(view.max.x, turned, 1e-5);
    EXPECT_NEAR(view.min.y, -high, 1e-5);
    EXPECT_NEAR(view.max.y, high, 1e-5);
    EXPECT_NEAR(view.max.z, deep, 1e-5);
    PreviewCamera camera;
    FitView(camera, view);
    EXPECT_NEAR(camera.eyeZ, deep + 2 * 2 * high, 1e-4);
}

TEST(FitViewTest, CoincidentVerticesFreezeTheCamera) {
    PreviewCamera camera;
    FitView(camera, Box({5, 5, 5}, {5, 5, 5}));
    EXPECT_FLOAT_EQ(camera.step, 0.0f);
    EXPECT_FLOAT_EQ(camera.eyeZ, 0.0f);
    MoveCamera(camera, 40, -25);
    EXPECT_FLOAT_EQ(camera.eyeX, 0.0f);
    EXPECT_FLOAT_EQ(camera.eyeY, 0.0f);
    EXPECT_TRUE(ZoomCamera(camera, WheelZoomDelta(camera, 120)));
    EXPECT_FLOAT_EQ(camera.eyeZ, 0.0f);
}

TEST(CameraInputTest, ButtonsChooseTheDragMode) {
    EXPECT_EQ(DragModeFor(false, false), DragMode::Idle);
    EXPECT_EQ(DragModeFor(true, false), DragMode::Rotate);
    EXPECT_EQ(DragModeFor(false, true), DragMode::Move);
    EXPECT_EQ(DragModeFor(true, true), DragMode::Zoom);
}

TEST(CameraInputTest, MoveMakesTheModelFollowTheMouse) {
    PreviewCamera camera;
    FitView(camera, Box({0, 0, 0}, {2, 2, 2}));
    MoveCamera(camera, 10, 5);  // right and down
    EXPECT_FLOAT_EQ(camera.eyeX, -0.2f);
    EXPECT_FLOAT_EQ(camera.eyeY, 0.1f);
    EXPECT_FLOAT_EQ(camera.eyeZ, 5.0f);
}

TEST(CameraInputTest, ZoomFollowsTheDominantMotionAndTiesGoVertical) {
    EXPECT_EQ(ZoomAmount(5, 3), -5);
    EXPECT_EQ(ZoomAmount(3, 3), 3);
    EXPECT_EQ(ZoomAmount(-4, 1), 4);
    EXPECT_EQ(ZoomAmount(0, -7), -7);
}

TEST(CameraInputTest, ZoomStopsAtTheBounds) {
    PreviewCamera camera;
    FitView(camera, Box({0, 0, 0}, {2, 2, 2}));
    EXPECT_TRUE(ZoomCamera(camera, -5 * camera.step));
    EXPECT_FLOAT_EQ(camera.eyeZ, 4.9f);
    EXPECT_FALSE(ZoomCamera(camera, -100.0f));
    EXPECT_FLOAT_EQ(camera.eyeZ, -2.0f);
    EXPECT_FALSE(ZoomCamera(camera, 100.0f));
    EXPECT_FLOAT_EQ(camera.eyeZ, 17.0f);
    // Exactly on the bound is still inside.
    EXPECT_TRUE(ZoomCamera(camera, 0.0f));
}

TEST(CameraInputTest, OneWheelNotchIsTwelveSteps) {
    PreviewCamera camera;
    FitView(camera, Box({0, 0, 0}, {2, 2, 2}));
    EXPECT_FLOAT_EQ(WheelZoomDelta(camera, 120), 12 * 0.02f);
    EXPECT_FLOAT_EQ(WheelZoomDelta(camera, -240), -24 * 0.02f);
}

TEST(CameraInputTest, ColoursAreRedInTheLowByte) {
    float rgb[3];
    ColorToFloats(0x00664D00u, rgb);  // red 0, green 77, blue 102
    EXPECT_FLOAT_EQ(rgb[0], 0.0f);
    EXPECT_FLOAT_EQ(rgb[1], 77 / 255.0f);
    EXPECT_FLOAT_EQ(rgb[2], 102 / 255.0f);
    ColorToFloats(0xFF0000FFu, rgb);  // the top byte is ignored
    EXPECT_FLOAT_EQ(rgb[0], 1.0f);
    EXPECT_FLOAT_EQ(rgb[2], 0.0f);
}

TEST(PixelFormatTest, DefaultPanelRequestsWindowOpenGLDoubleBuffer) {
    const PixelFormatDescriptor pfd = MakeRequestedDescriptor(
        kPixelDrawToWindow | kPixelSupportOpenGL | kPixelDoubleBuffer, 0, 24, 24, 0);
    EXPECT_EQ(pfd.nSize, 40);
    EXPECT_EQ(pfd.nVersion, 1);
    EXPECT_EQ(pfd.dwFlags, 0x25u);  // DRAW_TO_WINDOW | SUPPORT_OPENGL | DOUBLEBUFFER
    EXPECT_EQ(pfd.iPixelType, 0);
    EXPECT_EQ(pfd.cColorBits, 24);
    EXPECT_EQ(pfd.cDepthBits, 24);
    EXPECT_EQ(pfd.iLayerType, 0);
    EXPECT_EQ(pfd.cRedBits, 0);
    EXPECT_EQ(pfd.dwLayerMask, 0u);
}

TEST(PixelFormatTest, PropertiesMapByBitAndLowByte) {
    // Bits 11 to 15: depth, double-buffer and stereo don't-care, swap copy
    // and swap exchange.
    PixelFormatDescriptor pfd = MakeRequestedDescriptor(0xF800, 1, 0x118, -1, 2);
    EXPECT_EQ(pfd.dwFlags, 0xE0000600u);
    EXPECT_EQ(pfd.iPixelType, 1);
    EXPECT_EQ(pfd.cColorBits, 0x18);
    EXPECT_EQ(pfd.cDepthBits, 0xFF);
    EXPECT_EQ(pfd.iLayerType, -1);

    pfd = MakeRequestedDescriptor(1u << 6, 7, 8, 0, 9);  // out-of-range enums
    EXPECT_EQ(pfd.dwFlags, 0x80u);
    EXPECT_EQ(pfd.iPixelType, 0);
    EXPECT_EQ(pfd.iLayerType, 0);
    EXPECT_EQ(MakeRequestedDescriptor(0, 0, 0, 0, 1).iLayerType, 1);
}

bool Has(const std::vector<int>& list, int attribute, int value) {
    for (std::size_t i = 0; i + 1 < list.size(); ++i) {
        if (list[i] == attribute && list[i + 1] == value) return true;
    }
    return false;
}

bool HasFlag(const std::vector<int>& list, int attribute) {
    for (int a : list) {
        if (a == attribute) return true;
    }
    return false;
}

TEST(PixelFormatTest, GlxAttributesFollowTheDescriptor) {
    PixelFormatDescriptor pfd = MakeRequestedDescriptor(0x109, 0, 24, 24, 0);
    std::vector<int> strict = GlxAttributes(pfd, false);
    EXPECT_EQ(strict.back(), 0);
    EXPECT_TRUE(HasFlag(strict, GLX_RGBA));
    EXPECT_TRUE(HasFlag(strict, GLX_DOUBLEBUFFER));
    EXPECT_TRUE(Has(strict, GLX_RED_SIZE, 8));
    EXPECT_TRUE(Has(strict, GLX_BLUE_SIZE, 8));
    EXPECT_TRUE(Has(strict, GLX_DEPTH_SIZE, 24));
    EXPECT_FALSE(HasFlag(strict, GLX_LEVEL));
    std::vector<int> relaxed = GlxAttributes(pfd, true);
    EXPECT_TRUE(Has(relaxed, GLX_GREEN_SIZE, 1));
    EXPECT_TRUE(Has(relaxed, GLX_DEPTH_SIZE, 1));

    // Colour index, single buffer, stereo, underlay, depth don't-care.
    pfd = MakeRequestedDescriptor(0x0A09, 1, 8, 16, 2);
    std::vector<int> index = GlxAttributes(pfd, false);
    EXPECT_FALSE(HasFlag(index, GLX_RGBA));
    EXPECT_FALSE(HasFlag(index, GLX_DOUBLEBUFFER));
    EXPECT_FALSE(HasFlag(index, GLX_DEPTH_SIZE));
    EXPECT_TRUE(HasFlag(index, GLX_STEREO));
    EXPECT_TRUE(Has(index, GLX_BUFFER_SIZE, 8));
    EXPECT_TRUE(Has(index, GLX_LEVEL, -1));
}

TEST(PaletteTest, ComponentLevelsByBitCount) {
    EXPECT_EQ(PaletteComponent(1, 1, 0), 255);
    EXPECT_EQ(PaletteComponent(2, 1, 0), 0);
    EXPECT_EQ(PaletteComponent(6, 2, 1), 255);  // 6 >> 1 = 3
    EXPECT_EQ(PaletteComponent(9, 2, 0), 85);   // 9 mod 4 = 1
    EXPECT_EQ(PaletteComponent(5 << 3, 3, 3), 182);
    EXPECT_EQ(PaletteComponent(255, 3, 0), 255);
    EXPECT_EQ(PaletteComponent(255, 4, 0), 0);
    EXPECT_EQ(PaletteComponent(255, 0, 0), 0);
}

PixelFormatDescriptor ThreeThreeTwo() {
    PixelFormatDescriptor pfd{};
    pfd.cColorBits = 8;
    pfd.cRedBits = 3;
    pfd.cRedShift = 0;
    pfd.cGreenBits = 3;
    pfd.cGreenShift = 3;
    pfd.cBlueBits = 2;
    pfd.cBlueShift = 6;
    return pfd;
}

TEST(PaletteTest, EightBitThreeThreeTwoGetsTheSystemColours) {
    const std::vector<PaletteEntry> palette = BuildPalette(ThreeThreeTwo());
    ASSERT_EQ(palette.size(), 256u);
    auto rgb = [&](int i) {
        return std::vector<int>{palette[i].red, palette[i].green, palette[i].blue,
                                palette[i].flags};
    };
    EXPECT_EQ(rgb(3), (std::vector<int>{128, 0, 0, 0}));
    EXPECT_EQ(rgb(255), (std::vector<int>{255, 255, 255, 0}));
    EXPECT_EQ(rgb(0), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(rgb(164), (std::vector<int>{160, 160, 164, 0}));
    EXPECT_EQ(rgb(91), (std::vector<int>{128, 128, 128, 0}));
    EXPECT_EQ(rgb(247), (std::vector<int>{255, 251, 240, 0}));
    // Computed entries: 7 is full red, 7 << 3 full green, 3 << 6 full blue,
    // 2 + (1 << 3) + (2 << 6) = 138 is (73, 36, 170).
    EXPECT_EQ(rgb(7), (std::vector<int>{255, 0, 0, 0}));
    EXPECT_EQ(rgb(56), (std::vector<int>{0, 255, 0, 0}));
    EXPECT_EQ(rgb(192), (std::vector<int>{0, 0, 255, 0}));
    EXPECT_EQ(rgb(138), (std::vector<int>{73, 36, 170, 0}));
}

TEST(PaletteTest, OtherLayoutsKeepTheComputedEntries) {
    PixelFormatDescriptor pfd = ThreeThreeTwo();
    pfd.cBlueShift = 5;  // not the 3-3-2 layout: entry 3 stays computed
    std::vector<PaletteEntry> palette = BuildPalette(pfd);
    ASSERT_EQ(palette.size(), 256u);
    EXPECT_EQ(palette[3].red, 109);
    EXPECT_EQ(palette[3].green, 0);

    pfd = PixelFormatDescriptor{};
    pfd.cColorBits = 4;
    pfd.cRedBits = 1;
    pfd.cGreenBits = 2;
    pfd.cGreenShift = 1;
    pfd.cBlueBits = 1;
    pfd.cBlueShift = 3;
    palette = BuildPalette(pfd);
    ASSERT_EQ(palette.size(), 16u);
    EXPECT_EQ(palette[15].red, 255);
    EXPECT_EQ(palette[15].green, 255);
    EXPECT_EQ(palette[15].blue, 255);
    EXPECT_EQ(palette[2].green, 85);
}

TEST(FaceNormalTest, CounterClockwiseTriangleFacesTheViewer) {
    const Point3f n = FaceNormal({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    EXPECT_FLOAT_EQ(n.x, 0.0f);
    EXPECT_FLOAT_EQ(n.y, 0.0f);
    EXPECT_FLOAT_EQ(n.z, 1.0f);
    const Point3f back = FaceNormal({0, 0, 0}, {0, 1, 0}, {1, 0, 0});
    EXPECT_FLOAT_EQ(back.z, -1.0f);
}

TEST(FaceNormalTest, LongNormalsAreScaledToUnitLength) {
    // (3, 0, 0) x (0, 0, 4) = (0, -12, 0).
    const Point3f n = FaceNormal({1, 1, 1}, {4, 1, 1}, {1, 1, 5});
    EXPECT_FLOAT_EQ(n.x, 0.0f);
    EXPECT_FLOAT_EQ(n.y, -1.0f);
    EXPECT_FLOAT_EQ(n.z, 0.0f);
}

TEST(FaceNormalTest, DegenerateCornersKeepTheirShortNormal) {
    const Point3f zero = FaceNormal({0, 0, 0}, {1, 1, 1}, {2, 2, 2});
    EXPECT_FLOAT_EQ(zero.x, 0.0f);
    EXPECT_FLOAT_EQ(zero.y, 0.0f);
    EXPECT_FLOAT_EQ(zero.z, 0.0f);
    // Length 1e-6, below the threshold: passed on as it is.
    const Point3f tiny = FaceNormal({0, 0, 0}, {0.001f, 0, 0}, {0, 0.001f, 0});
    EXPECT_NEAR(tiny.z, 1e-6f, 1e-9f);
}

TEST(FaceNormalTest, NormalUsesFirstSecondAndLastCorner) {
    std::int32_t a = -1, b = -1, c = -1;
    NormalCorners(4, a, b, c);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(c, 3);
    NormalCorners(2, a, b, c);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(c, 1);
    NormalCorners(1, a, b, c);  // no corner 1: stays inside the polygon
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(c, 0);
}

}  // namespace
}  // namespace vertoko
