// The framed camera of POV-Ray scenes, checked without POV-Ray: the outline
// against every vertex, and the scene's framing, read back from its text and
// worked out as POV-Ray's parser would, against the vertices projected
// through a look_at camera built here from its location and look_at.
#include "export/pov_framing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "export/pov_writer.h"
#include "support/mesh_builder.h"

namespace vertoko {
namespace {

using test::TestTable;
using Vec = std::array<double, 3>;

Vec Sub(const Vec& a, const Vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec Add(const Vec& a, double t, const Vec& b) {
    return {a[0] + t * b[0], a[1] + t * b[1], a[2] + t * b[2]};
}
double Dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec Cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Vec Unit(const Vec& a) {
    const double l = std::sqrt(Dot(a, a));
    return {a[0] / l, a[1] / l, a[2] / l};
}

Extents BoxAround(const std::vector<Point3f>& points) {
    Extents e{{}, points[0], points[0]};
    for (const Point3f& p : points) {
        e.min = {std::min(e.min.x, p.x), std::min(e.min.y, p.y), std::min(e.min.z, p.z)};
        e.max = {std::max(e.max.x, p.x), std::max(e.max.y, p.y), std::max(e.max.z, p.z)};
    }
    e.center = {(e.min.x + e.max.x) / 2, (e.min.y + e.max.y) / 2, (e.min.z + e.max.z) / 2};
    return e;
}

// The eight corners of a box and its twelve triangles.
void AddBox(TestTable& table, Point3f a, Point3f b) {
    std::vector<Point3f> corners;
    for (int c = 0; c < 8; ++c)
        corners.push_back({c & 1 ? b.x : a.x, c & 2 ? b.y : a.y, c & 4 ? b.z : a.z});
    table.Add(corners, {{0, 1, 3},
                        {0, 3, 2},
                        {4, 6, 7},
                        {4, 7, 5},
                        {0, 4, 5},
                        {0, 5, 1},
                        {2, 3, 7},
                        {2, 7, 6},
                        {0, 2, 6},
                        {0, 6, 4},
                        {1, 5, 7},
                        {1, 7, 3}});
}

// Scattered points, every three of them a triangle.
void AddCloud(TestTable& table, unsigned seed, int count, Point3f size) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::vector<Point3f> points;
    std::vector<std::vector<std::int32_t>> triangles;
    for (int i = 0; i < count; ++i) {
        points.push_back({unit(random) * size.x, unit(random) * size.y, unit(random) * size.z});
        if (i % 3 == 2) triangles.push_back({i - 2, i - 1, i});
    }
    table.Add(points, triangles);
}

// The vertices as the scene places them: POV-Ray's (x, z, y) with Z up.
std::vector<Vec> ScenePoints(TestTable& table, bool zUp) {
    std::vector<Vec> points;
    for (std::int32_t i = 0; i < table.size(); ++i) {
        for (const Point3f& p : test::Coordinates(table[static_cast<std::size_t>(i)])) {
            if (zUp)
                points.push_back({p.x, p.z, p.y});
            else
                points.push_back({p.x, p.y, p.z});
        }
    }
    return points;
}

Extents TableBox(TestTable& table) {
    std::vector<Point3f> all;
    for (std::int32_t i = 0; i < table.size(); ++i) {
        for (const Point3f& p : test::Coordinates(table[static_cast<std::size_t>(i)]))
            all.push_back(p);
    }
    return BoxAround(all);
}

// The number after key in text, or NaN.
double NumberAfter(const std::string& text, const std::string& key) {
    const std::size_t at = text.find(key);
    if (at == std::string::npos) return std::nan("");
    return std::strtod(text.c_str() + at + key.size(), nullptr);
}

Vec VectorAfter(const std::string& text, const std::string& key) {
    Vec v{std::nan(""), std::nan(""), std::nan("")};
    const std::size_t at = text.find(key + "<");
    if (at == std::string::npos) return v;
    const char* p = text.c_str() + at + key.size() + 1;
    char* end = nullptr;
    for (double& c : v) {
        c = std::strtod(p, &end);
        p = end + 1;  // past the comma
    }
    return v;
}

// The points of "#declare name = array[n] {<a,b>, ...}".
std::vector<std::array<double, 2>> ArrayOf(const std::string& text, const std::string& name) {
    std::vector<std::array<double, 2>> points;
    const std::size_t at = text.find("#declare " + name + " = array[");
    if (at == std::string::npos) return points;
    const char* p = text.c_str() + at + name.size() + 18;
    char* end = nullptr;
    const long n = std::strtol(p, &end, 10);
    p = end;
    for (long i = 0; i < n; ++i) {
        while (*p != '<') ++p;
        const double a = std::strtod(p + 1, &end);
        const double b = std::strtod(end + 1, &end);
        points.push_back({a, b});
        p = end;
    }
    return points;
}

// The camera the scene's SDL works out for a picture of aspect width over
// height: what POV-Ray computes from the declarations.
struct Camera {
    Vec location, lookAt;
    double lens;
};

Camera FramedCamera(const std::string& scene, double aspect) {
    const Vec centre = VectorAfter(scene, "#declare View_Centre = ");
    const Vec right = VectorAfter(scene, "#declare View_Right = ");
    const Vec up = VectorAfter(scene, "#declare View_Up = ");
    const Vec forward = VectorAfter(scene, "#declare View_Forward = ");
    const double lens = NumberAfter(scene, "#declare View_Lens = ");
    const double margin = NumberAfter(scene, "#declare Frame_Margin = ");
    const double nearest = NumberAfter(scene, "#declare Frame_Nearest = ");
    const double width = (1 - 2 * margin) * aspect / (2 * lens);
    const double height = (1 - 2 * margin) / (2 * lens);
    auto reach = [&](const char* name, double slope) {
        const auto points = ArrayOf(scene, name);
        EXPECT_FALSE(points.empty()) << name;
        double r = -1e300;
        for (const auto& p : points) r = std::max(r, p[0] - slope * p[1]);
        return r;
    };
    const double r = reach("Frame_Right", width), l = reach("Frame_Left", width);
    const double t = reach("Frame_Top", height), b = reach("Frame_Bottom", height);
    const double distance = std::max({nearest, (r + l) / (2 * width), (t + b) / (2 * height)});
    const Vec aim = Add(Add(centre, (r - l) / 2, right), (t - b) / 2, up);
    return {Add(aim, -distance, forward), aim, lens};
}

// Where the points fall in the picture of a look_at camera with sky +y,
// direction length lens, up 1 and right aspect: fractions of the width and
// height from the left and the top.
struct Spread {
    double left = 1e300, right = -1e300, top = 1e300, bottom = -1e300;
    double nearestDepth = 1e300;
};

Spread Project(const Camera& camera, double aspect, const std::vector<Vec>& points) {
    const Vec forward = Unit(Sub(camera.lookAt, camera.location));
    const Vec right = Unit(Cross({0, 1, 0}, forward));
    const Vec up = Cross(forward, right);
    Spread s;
    for (const Vec& p : points) {
        const Vec d = Sub(p, camera.location);
        const double depth = Dot(d, forward);
        s.nearestDepth = std::min(s.nearestDepth, depth);
        const double x = 0.5 + Dot(d, right) * camera.lens / depth / aspect;
        const double y = 0.5 - Dot(d, up) * camera.lens / depth;
        s.left = std::min(s.left, x);
        s.right = std::max(s.right, x);
        s.top = std::min(s.top, y);
        s.bottom = std::max(s.bottom, y);
    }
    return s;
}

constexpr double kAspects[] = {4.0 / 3.0, 16.0 / 9.0, 1.0, 9.0 / 16.0};

// Every vertex inside with 3 % free on every side, and the model spanning
// 85 % of the width or the height, at every aspect.
void ExpectFilled(const std::string& scene, const std::vector<Vec>& points, const char* what) {
    for (const double aspect : kAspects) {
        const Camera camera = FramedCamera(scene, aspect);
        const Spread s = Project(camera, aspect, points);
        ASSERT_GT(s.nearestDepth, 0) << what;
        EXPECT_GE(s.left, 0.03) << what << " aspect " << aspect;
        EXPECT_GE(s.top, 0.03) << what << " aspect " << aspect;
        EXPECT_LE(s.right, 0.97) << what << " aspect " << aspect;
        EXPECT_LE(s.bottom, 0.97) << what << " aspect " << aspect;
        EXPECT_GE(std::max(s.right - s.left, s.bottom - s.top), 0.85)
            << what << " aspect " << aspect;
    }
}

TEST(PovFraming, ModelsFillThePictureAtEveryAspectUprightOrAsDrawn) {
    struct Model {
        const char* name;
        void (*add)(TestTable&);
    };
    const Model models[] = {
        {"cube",
         [](TestTable& t) {
             AddBox(t, {0, 0, 0}, {1, 1, 1});
         }},
        {"beam",
         [](TestTable& t) {
             AddBox(t, {0, 0, 0}, {100, 2, 3});
         }},
        {"beam along y",
         [](TestTable& t) {
             AddBox(t, {-1, -50, 0}, {1, 50, 3});
         }},
        {"column",
         [](TestTable& t) {
             AddBox(t, {0, 0, 0}, {1, 1, 40});
         }},
        {"plate",
         [](TestTable& t) {
             AddBox(t, {0, 0, 0}, {40, 30, 0.5f});
         }},
        {"part of 5 mm far out",
         [](TestTable& t) {
             AddBox(t, {1000, 2000, 10}, {1000.005f, 2000.003f, 10.002f});
         }},
        {"cloud",
         [](TestTable& t) {
             AddCloud(t, 7, 3000, {3, 1, 2});
         }},
        {"two objects",
         [](TestTable& t) {
             AddBox(t, {0, 0, 0}, {1, 1, 1});
             AddBox(t, {5, 3, 0}, {6, 4, 8});
         }},
    };
    for (const Model& model : models) {
        for (const bool zUp : {false, true}) {
            TestTable table;
            model.add(table);
            const std::string scene = PovSceneText("m.inc", table.size(), table.data(),
                                                   TableBox(table), {.fit = true, .zUp = zUp});
            EXPECT_NE(scene.find("\tright x*image_width/image_height\r\n"), std::string::npos);
            ExpectFilled(scene, ScenePoints(table, zUp), model.name);
        }
    }
}

TEST(PovFraming, OnlyDrawnVerticesCountAndABareBoxStillFrames) {
    // A stray vertex far away that no triangle uses does not shrink the
    // model; a table without triangles frames the box's corners.
    TestTable table;
    table.Add({{0, 0, 0}, {1, 0, 0}, {0, 1, 1}, {500, 500, 500}}, {{0, 1, 2}, {0, 3}});
    const Extents box = TableBox(table);
    const std::string scene = PovSceneText("m.inc", 1, table.data(), box, {.fit = true});
    std::vector<Vec> drawn = ScenePoints(table, false);
    drawn.pop_back();
    ExpectFilled(scene, drawn, "stray vertex");

    TestTable bare;
    bare.Add({{0, 0, 0}, {2, 1, 3}}, {{0, 1}});
    const std::string boxScene =
        PovSceneText("b.inc", 1, bare.data(), TableBox(bare), {.fit = true, .zUp = true});
    std::vector<Vec> corners;
    for (int c = 0; c < 8; ++c)
        corners.push_back({c & 1 ? 2.0 : 0.0, c & 4 ? 3.0 : 0.0, c & 2 ? 1.0 : 0.0});
    ExpectFilled(boxScene, corners, "box corners");
    EXPECT_EQ(boxScene.find("object {"), std::string::npos);
}

TEST(PovFraming, CameraStaysOffAModelWithoutWidth) {
    // A single point, and a needle along the three-quarter line of sight:
    // nothing to fill, but the camera must stand in front of them.
    const Vec sight{std::sin(M_PI / 4) * std::cos(M_PI / 6), std::sin(M_PI / 6),
                    -std::cos(M_PI / 4) * std::cos(M_PI / 6)};
    TestTable needle;
    needle.Add({{3, 4, 5},
                {static_cast<float>(3 + 2 * sight[0]), static_cast<float>(4 + 2 * sight[2]),
                 static_cast<float>(5 + 2 * sight[1])},
                {static_cast<float>(3 - 2 * sight[0]), static_cast<float>(4 - 2 * sight[2]),
                 static_cast<float>(5 - 2 * sight[1])}},
               {{0, 1, 2}});
    TestTable point;
    point.Add({{3, 4, 5}, {3, 4, 5}, {3, 4, 5}}, {{0, 1, 2}});
    for (TestTable* table : {&needle, &point}) {
        const std::string scene =
            PovSceneText("n.inc", 1, table->data(), TableBox(*table), {.fit = true, .zUp = true});
        for (const double aspect : kAspects) {
            const Camera camera = FramedCamera(scene, aspect);
            EXPECT_GT(Project(camera, aspect, ScenePoints(*table, true)).nearestDepth, 0.001)
                << scene;
        }
    }
}

// A vertex that is not a number (a DXF may say "nan") has no place in the
// picture; the others are framed as without it.
TEST(PovFraming, VerticesThatAreNotNumbersAreLeftOut) {
    TestTable table;
    AddBox(table, {0, 0, 0}, {2, 1, 3});
    TestTable withNan;
    AddBox(withNan, {0, 0, 0}, {2, 1, 3});
    withNan.Add({{0, 0, 0}, {NAN, 1, 1}, {1, NAN, NAN}}, {{0, 1, 2}});
    const Extents box = TableBox(table);
    for (const bool zUp : {false, true}) {
        const std::string clean =
            PovSceneText("m.inc", table.size(), table.data(), box, {.fit = true, .zUp = zUp});
        const std::string dirty =
            PovSceneText("m.inc", withNan.size(), withNan.data(), box, {.fit = true, .zUp = zUp});
        EXPECT_EQ(dirty.find("nan"), std::string::npos);
        EXPECT_EQ(dirty.substr(0, dirty.find("object {")), clean.substr(0, clean.find("object {")));
    }
}

// The outline against every point: each side's reach is that of all the
// points for any slope, so that the scene frames exactly.
TEST(PovFraming, OutlineReachesAsFarAsEveryVertex) {
    for (const unsigned seed : {1u, 2u, 3u}) {
        TestTable table;
        AddCloud(table, seed, 900, {4, 1, 2});
        AddBox(table, {5, 5, 5}, {6, 7, 5.5f});
        const Extents box = TableBox(table);
        const Vector3d centre{box.center.x, box.center.y, box.center.z};
        const ViewAxes axes = LookAtAxes({-0.4, -0.5, 0.7});
        const Outline outline = ModelOutline(
            table.size(), table.data(), +[](const Point3f& p) { return p; }, box, centre, axes);
        const std::vector<Vec> points = ScenePoints(table, false);
        // Measured from halfway between the nearest and the furthest point.
        double nearest = 1e300, furthest = -1e300;
        for (const Vec& p : points) {
            const Vec d = Sub(p, {centre[0], centre[1], centre[2]});
            const double along = Dot(d, {axes.forward[0], axes.forward[1], axes.forward[2]});
            nearest = std::min(nearest, along);
            furthest = std::max(furthest, along);
        }
        const double middle = (nearest + furthest) / 2;
        EXPECT_NEAR(outline.depthShift, middle, 1e-12);
        EXPECT_NEAR(outline.nearest, middle - nearest, 1e-12);
        for (int side = 0; side < 4; ++side) {
            EXPECT_LE(outline.side[side].size(), kMaxOutlinePoints);
            for (const double slope : {0.001, 0.05, 0.2, 0.5, 1.0, 3.0, 40.0, 1e4}) {
                double all = -1e300;
                for (const Vec& p : points) {
                    const Vec d = Sub(p, {centre[0], centre[1], centre[2]});
                    const Vec right{axes.right[0], axes.right[1], axes.right[2]};
                    const Vec up{axes.up[0], axes.up[1], axes.up[2]};
                    const double across = side == 0   ? Dot(d, right)
                                          : side == 1 ? -Dot(d, right)
                                          : side == 2 ? Dot(d, up)
                                                      : -Dot(d, up);
                    const double along =
                        Dot(d, {axes.forward[0], axes.forward[1], axes.forward[2]}) - middle;
                    all = std::max(all, across - slope * along);
                }
                EXPECT_NEAR(OutlineReach(outline.side[side], slope), all,
                            1e-12 * std::max(1.0, std::abs(all) + slope))
                    << "side " << side << " slope " << slope;
            }
        }
    }
}

// A finely divided ring seen from the side has hundreds of outline points;
// the thinned outline reaches at least as far, and hardly further.
TEST(PovFraming, LongOutlinesAreThinnedOutward) {
    constexpr int kSegments = 4000;
    std::vector<Point3f> points;
    std::vector<std::vector<std::int32_t>> triangles;
    for (int i = 0; i < kSegments; ++i) {
        const double a = 2 * M_PI * i / kSegments;
        points.push_back(
            {static_cast<float>(10 * std::cos(a)), 0.0f, static_cast<float>(10 * std::sin(a))});
        if (i >= 2) triangles.push_back({0, i - 1, i});
    }
    TestTable table;
    table.Add(points, triangles);
    const Extents box = TableBox(table);
    const Vector3d centre{box.center.x, box.center.y, box.center.z};
    // Looking along z at the ring standing in the plane y = 0, seen edge-on
    // from slightly above: the left and right sides see half the ring.
    const ViewAxes axes = LookAtAxes({0.0, -0.1, 1.0});
    const Outline outline = ModelOutline(
        1, table.data(), +[](const Point3f& p) { return p; }, box, centre, axes);
    for (int side = 0; side < 2; ++side) {
        EXPECT_LE(outline.side[side].size(), kMaxOutlinePoints);
        EXPECT_GT(outline.side[side].size(), 16u);
        for (const double slope : {0.01, 0.2, 0.4, 1.0, 5.0}) {
            double all = -1e300;
            for (const Point3f& p : points) {
                const Vec d{p.x - centre[0], p.y - centre[1], p.z - centre[2]};
                const double across =
                    (side == 0 ? 1 : -1) * Dot(d, {axes.right[0], axes.right[1], axes.right[2]});
                const double along = Dot(d, {axes.forward[0], axes.forward[1], axes.forward[2]}) -
                                     outline.depthShift;
                all = std::max(all, across - slope * along);
            }
            const double reach = OutlineReach(outline.side[side], slope);
            EXPECT_GE(reach, all - 1e-9) << "slope " << slope;
            EXPECT_LE(reach, all + 0.002 * 10 * (1 + slope)) << "slope " << slope;
        }
    }
}

}  // namespace
}  // namespace vertoko
