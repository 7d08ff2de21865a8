// The converter's scenes rendered by POV-Ray and its OBJ files read by
// assimp, checked on the pixels and the coordinates: an F drawn standing up
// reads upright and unmirrored with the drawing's Z axis up, framed models
// fill pictures of three aspect ratios, and the studio's floor shows the
// model's shadow. Pictures are small and rendered a few at a time: POV-Ray
// spends most of a small render's second waiting.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/mesh_builder.h"
#include "support/ppm_picture.h"

namespace vertoko {
namespace {

using test::Picture;
using test::ReadBytes;
using test::ReadPpm;
using test::TempDir;
using test::WriteBytes;

int Run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// vertoko-convert with arguments (each quoted), from within folder.
int Convert(const TempDir& folder, const std::vector<std::string>& arguments) {
    std::string command = "cd " + Quoted(folder.path().string()) + " && " VERTOKO_CONVERT;
    for (const std::string& argument : arguments) command += " " + Quoted(argument);
    return Run(command);
}

// A box of 3DFACEs in colour index color.
struct Box {
    std::array<double, 3> min, max;
    int color;
};

std::string Drawing(const std::vector<Box>& boxes) {
    static const int kFaces[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                                     {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    std::ostringstream out;
    out << "0\nSECTION\n2\nENTITIES\n";
    for (const Box& box : boxes) {
        for (const auto& face : kFaces) {
            out << "0\n3DFACE\n8\n0\n62\n" << box.color << "\n";
            for (int k = 0; k < 4; ++k) {
                const int c = face[k];
                out << 10 + k << "\n" << (c & 1 ? box.max[0] : box.min[0]) << "\n";
                out << 20 + k << "\n" << (c & 2 ? box.max[1] : box.min[1]) << "\n";
                out << 30 + k << "\n" << (c & 4 ? box.max[2] : box.min[2]) << "\n";
            }
        }
    }
    out << "0\nENDSEC\n0\nEOF\n";
    return out.str();
}

// An F standing up as drawn in a CAD program: its red stem along Z, its blue
// arms pointing to +X, seen from the front (from -Y).
const std::vector<Box> kF = {
    {{0, 0, 0}, {1, 1, 5}, 1}, {{1, 0, 4}, {3.5, 1, 5}, 5}, {{1, 0, 2.2}, {2.5, 1, 3.2}, 5}};

struct Render {
    std::string scene;  // in folder
    int width, height;
    std::string output;  // the PPM, filled in
};

// Renders every job, a few at a time, without anti-aliasing, one render
// thread each.
void RenderAll(const TempDir& folder, std::vector<Render>& jobs) {
    constexpr std::size_t kAtOnce = 6;
    for (std::size_t start = 0; start < jobs.size(); start += kAtOnce) {
        std::vector<std::thread> running;
        for (std::size_t i = start; i < std::min(jobs.size(), start + kAtOnce); ++i) {
            Render& job = jobs[i];
            job.output = job.scene + "-" + std::to_string(job.width) + "x" +
                         std::to_string(job.height) + "-" + std::to_string(i) + ".ppm";
            running.emplace_back([&folder, &job] {
                const std::string command = "cd " + Quoted(folder.path().string()) +
                                            " && HOME=" + Quoted(folder.path().string()) +
                                            " " POVRAY " -D -V -A +WT1 +FP +W" +
                                            std::to_string(job.width) + " +H" +
                                            std::to_string(job.height) + " +I" + Quoted(job.scene) +
                                            " +O" + Quoted(job.output);
                Run(command);
            });
        }
        for (std::thread& t : running) t.join();
    }
}

// The extent and centre of the pixels that pass a test.
struct Region {
    int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
    long count = 0;
    double sumX = 0, sumY = 0;
    void Add(int x, int y) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
        ++count;
        sumX += x;
        sumY += y;
    }
    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
    double CentreX() const { return sumX / static_cast<double>(count); }
    double CentreY() const { return sumY / static_cast<double>(count); }
};

Region RegionOf(const Picture& picture, const std::function<bool(const std::array<int, 3>&)>& in) {
    Region region;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (in(picture.At(x, y))) region.Add(x, y);
        }
    }
    return region;
}

bool Red(const std::array<int, 3>& p) { return p[0] >= 20 && p[0] > 2 * std::max(p[1], p[2]); }
bool Blue(const std::array<int, 3>& p) { return p[2] >= 20 && p[2] > 2 * std::max(p[0], p[1]); }

TEST(SceneRender, UprightFReadsAsDrawnWithZUp) {
    TempDir folder;
    WriteBytes(folder / "f.dxf", Drawing(kF));
    ASSERT_EQ(Convert(folder, {"--drawing-colors", "--z-up", "--pov-fit-camera", "f.dxf", "-o",
                               "upright.pov"}),
              0);
    ASSERT_EQ(
        Convert(folder, {"--drawing-colors", "--pov-fit-camera", "f.dxf", "-o", "as-drawn.pov"}),
        0);
    std::vector<Render> jobs = {{"upright.pov", 160, 120, {}}, {"as-drawn.pov", 160, 120, {}}};
    RenderAll(folder, jobs);

    const Picture upright = ReadPpm(folder / jobs[0].output);
    ASSERT_EQ(upright.width, 160) << "no picture of upright.pov";
    const Region stem = RegionOf(upright, Red);
    const Region arms = RegionOf(upright, Blue);
    ASSERT_GT(stem.count, 100);
    ASSERT_GT(arms.count, 100);
    // The stem stands: taller than wide.
    EXPECT_GT(stem.Height(), stem.Width());
    // The arms point right, past the stem's right side...
    EXPECT_GT(arms.CentreX(), stem.CentreX());
    EXPECT_GT(arms.right, stem.right + stem.Width());
    // ...from its top: the upper arm reaches the stem's top, and the arms
    // lie in its upper part.
    EXPECT_LE(arms.top, stem.top + stem.Height() / 10);
    EXPECT_LT(arms.CentreY(), stem.CentreY());
    std::cout << "upright F: stem " << stem.Width() << " x " << stem.Height() << " at x "
              << stem.left << ".." << stem.right << ", arms x " << arms.left << ".." << arms.right
              << " y " << arms.top << ".." << arms.bottom << "\n";

    // Without the option the F lies on its back and reads mirrored, its arms
    // pointing left: what the option mends.
    const Picture asDrawn = ReadPpm(folder / jobs[1].output);
    ASSERT_EQ(asDrawn.width, 160) << "no picture of as-drawn.pov";
    EXPECT_LT(RegionOf(asDrawn, Blue).CentreX(), RegionOf(asDrawn, Red).CentreX());
}

// The OBJ file of the F with Z up: every vertex at (x, z, -y) of a corner
// of the drawing, every such corner there, and assimp reads the upright F.
TEST(SceneRender, UprightFInObjIsTurnedToYUp) {
    TempDir folder;
    WriteBytes(folder / "f.dxf", Drawing(kF));
    ASSERT_EQ(Convert(folder, {"--z-up", "f.dxf", "-o", "f.obj"}), 0);
    std::set<std::array<double, 3>> expected;
    for (const Box& box : kF) {
        for (int c = 0; c < 8; ++c) {
            const double x = c & 1 ? box.max[0] : box.min[0];
            const double y = c & 2 ? box.max[1] : box.min[1];
            const double z = c & 4 ? box.max[2] : box.min[2];
            expected.insert({x, z, 0.0 - y});
        }
    }
    std::set<std::array<double, 3>> found;
    std::istringstream obj(ReadBytes(folder / "f.obj"));
    for (std::string line; std::getline(obj, line);) {
        if (line.rfind("v ", 0) != 0) continue;
        std::array<double, 3> v{};
        ASSERT_EQ(std::sscanf(line.c_str(), "v %lf %lf %lf", &v[0], &v[1], &v[2]), 3) << line;
        found.insert(v);
    }
    EXPECT_EQ(found, expected);

    const std::string info = folder / "info.txt";
    ASSERT_EQ(std::system(("cd " + Quoted(folder.path().string()) + " && " ASSIMP " info f.obj >" +
                           Quoted(info) + " 2>&1")
                              .c_str()),
              0);
    const std::string text = ReadBytes(info);
    // The F stands 5 high in Y, 3.5 wide in X, 1 deep toward -Z.
    EXPECT_NE(text.find("Minimum point      (0.000000 0.000000 -1.000000)"), std::string::npos)
        << text;
    EXPECT_NE(text.find("Maximum point      (3.500000 5.000000 0.000000)"), std::string::npos)
        << text;
}

// Every combination of the three options gives a scene POV-Ray renders,
// in either mesh form.
TEST(SceneRender, EveryCombinationOfTheOptionsRenders) {
    TempDir folder;
    WriteBytes(folder / "f.dxf", Drawing(kF));
    std::vector<Render> jobs;
    for (int options = 1; options < 8; ++options) {
        std::vector<std::string> arguments = {"--drawing-colors"};
        std::string scene = "scene";
        const char* const option[] = {"--pov-fit-camera", "--z-up", "--pov-studio"};
        const char* const name[] = {"-fit", "-up", "-studio"};
        for (int bit = 0; bit < 3; ++bit) {
            if ((options & (1 << bit)) == 0) continue;
            arguments.push_back(option[bit]);
            scene += name[bit];
        }
        if (options % 2 == 0) arguments.push_back("--pov-mesh2");
        scene += ".pov";
        arguments.insert(arguments.end(), {"f.dxf", "-o", scene});
        ASSERT_EQ(Convert(folder, arguments), 0) << scene;
        jobs.push_back({scene, 32, 24, {}});
    }
    RenderAll(folder, jobs);
    for (const Render& job : jobs) {
        const Picture picture = ReadPpm(folder / job.output);
        EXPECT_EQ(picture.width, 32) << "no picture of " << job.scene;
        EXPECT_GT(RegionOf(picture, Red).count + RegionOf(picture, Blue).count, 0) << job.scene;
    }
}

// The pixels of a rendered scene that are not the black background.
Region ModelIn(const Picture& picture) {
    return RegionOf(picture, [](const auto& p) { return std::max({p[0], p[1], p[2]}) > 4; });
}

TEST(SceneRender, FramedModelsFillEveryAspectWithAMargin) {
    TempDir folder;
    WriteBytes(folder / "beam.dxf", Drawing({{{0, 0, 0}, {100, 2, 3}, 7}}));
    WriteBytes(folder / "plate.dxf", Drawing({{{0, 0, 0}, {40, 30, 0.5}, 7}}));
    const std::string teapot = std::string(VERTOKO_SAMPLES_DIR) + "/libdxf/zcad-teapot_R2000.dxf";
    const std::vector<std::pair<std::string, std::string>> models = {
        {"teapot", teapot}, {"beam", folder / "beam.dxf"}, {"plate", folder / "plate.dxf"}};
    const std::array<int, 2> sizes[] = {{160, 120}, {160, 90}, {120, 120}};
    std::vector<Render> jobs;
    for (const auto& [name, input] : models) {
        for (const char* up : {"--z-up", "--no-z-up"}) {
            const std::string scene = name + up + ".pov";
            ASSERT_EQ(Convert(folder, {up, "--pov-fit-camera", input, "-o", scene}), 0) << scene;
            for (const auto& size : sizes) jobs.push_back({scene, size[0], size[1], {}});
        }
    }
    RenderAll(folder, jobs);
    for (const Render& job : jobs) {
        const Picture picture = ReadPpm(folder / job.output);
        ASSERT_EQ(picture.width, job.width) << "no picture of " << job.scene;
        const Region model = ModelIn(picture);
        ASSERT_GT(model.count, 0) << job.output;
        const double left = double(model.left) / job.width;
        const double right = double(job.width - 1 - model.right) / job.width;
        const double top = double(model.top) / job.height;
        const double bottom = double(job.height - 1 - model.bottom) / job.height;
        const double spanX = double(model.Width()) / job.width;
        const double spanY = double(model.Height()) / job.height;
        std::printf("%-22s %3d x %3d: margins %.3f %.3f %.3f %.3f, spans %.3f %.3f\n",
                    job.scene.c_str(), job.width, job.height, left, right, top, bottom, spanX,
                    spanY);
        EXPECT_GE(std::min({left, right, top, bottom}), 0.03) << job.output;
        EXPECT_GE(std::max(spanX, spanY), 0.85) << job.output;
    }
}

// The studio: the model drawn in an emitting magenta to tell it from the
// floor, and the same scene without the model; floor pixels much darker
// with the model than without are its shadow.
TEST(SceneRender, StudioFloorShowsTheModelsShadow) {
    TempDir folder;
    const std::string teapot = std::string(VERTOKO_SAMPLES_DIR) + "/libdxf/zcad-teapot_R2000.dxf";
    ASSERT_EQ(Convert(folder, {"--z-up", "--pov-fit-camera", "--pov-studio", "--orient-faces",
                               "--crease-angle", "30", teapot, "-o", "studio.pov"}),
              0);
    ASSERT_EQ(
        Convert(folder, {"--z-up", "--pov-fit-camera", "--pov-studio", "--pov-texture",
                         "texture { pigment {color rgb <1,0,1>} finish {emission 1 diffuse 0} }",
                         teapot, "-o", "marked.pov"}),
        0);
    std::string empty = ReadBytes(folder / "marked.pov");
    const std::size_t object = empty.find("object { dxfobj0 }");
    ASSERT_NE(object, std::string::npos);
    empty.erase(object, std::string("object { dxfobj0 }").size());
    WriteBytes(folder / "empty.pov", empty);

    // The render time of the studio scene at 640 x 480, on its own.
    const auto start = std::chrono::steady_clock::now();
    std::vector<Render> timed = {{"studio.pov", 640, 480, {}}};
    RenderAll(folder, timed);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(ReadPpm(folder / timed[0].output).width, 640) << "no picture of studio.pov";
    std::cout << "studio scene of the teapot, 640 x 480: " << seconds << " s\n";
    RecordProperty("studio_render_seconds", std::to_string(seconds));

    std::vector<Render> jobs = {{"marked.pov", 160, 120, {}}, {"empty.pov", 160, 120, {}}};
    RenderAll(folder, jobs);
    const Picture marked = ReadPpm(folder / jobs[0].output);
    const Picture floor = ReadPpm(folder / jobs[1].output);
    ASSERT_EQ(marked.width, 160);
    ASSERT_EQ(floor.width, 160);
    const auto isModel = [](const std::array<int, 3>& p) {
        return p[0] > 200 && p[2] > 200 && p[1] < 60;
    };
    const auto brightness = [](const std::array<int, 3>& p) { return p[0] + p[1] + p[2]; };
    const Region model = RegionOf(marked, isModel);
    ASSERT_GT(model.count, 1000);
    long shadowed = 0, touching = 0, lit = 0;
    double shadowSum = 0, litSum = 0;
    for (int y = 0; y < marked.height; ++y) {
        for (int x = 0; x < marked.width; ++x) {
            const auto& p = marked.At(x, y);
            if (isModel(p)) continue;
            if (brightness(p) < 0.75 * brightness(floor.At(x, y))) {
                ++shadowed;
                shadowSum += brightness(p);
                bool next = false;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        next = next || (nx >= 0 && ny >= 0 && nx < marked.width &&
                                        ny < marked.height && isModel(marked.At(nx, ny)));
                    }
                }
                touching += next;
            } else {
                ++lit;
                litSum += brightness(p);
            }
        }
    }
    std::cout << "studio floor: " << shadowed << " shadowed pixels (" << touching
              << " next to the model), mean brightness " << shadowSum / std::max(1L, shadowed)
              << " against " << litSum / std::max(1L, lit) << " elsewhere\n";
    EXPECT_GT(shadowed, 160 * 120 / 50);
    EXPECT_GT(touching, 10);
    EXPECT_LT(shadowSum / shadowed, 0.75 * litSum / lit);
}

}  // namespace
}  // namespace vertoko
