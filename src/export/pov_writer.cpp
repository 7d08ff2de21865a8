#include "export/pov_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <string_view>
#include <vector>

#include "export/file_names.h"
#include "export/layer_output.h"
#include "export/number_format.h"
#include "export/output_axes.h"
#include "export/output_file.h"
#include "export/polygon_colors.h"
#include "export/pov_framing.h"
#include "export/pov_mesh2.h"
#include "export/save_transaction.h"
#include "export/vertex_text.h"
#include "mesh/triangulate.h"

namespace vertoko {

namespace {

constexpr const char* kDefaultTexture = "pigment {color rgb <1,1,1>}";

// "%d" of a float truncated toward zero, clamped where no int holds it.
std::int32_t TruncateToInt(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0f) return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0f) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

void AppendVector4(std::string& out, double x, double y, double z) {
    out += '<';
    AppendFixed4(out, x);
    out += ',';
    AppendFixed4(out, y);
    out += ',';
    AppendFixed4(out, z);
    out += '>';
}

char* WriteVectorG(char* at, float x, float y, float z) {
    *at++ = '<';
    at = WriteG(at, x);
    *at++ = ',';
    at = WriteG(at, y);
    *at++ = ',';
    at = WriteG(at, z);
    *at++ = '>';
    return at;
}

// A point or normal as the scene takes it. Vectors in the drawing's axes are
// formatted as they always were, with no choice inside the formatting.
char* WriteVectorG(char* at, const Point3f& p, bool zUp) {
    if (!zUp) return WriteVectorG(at, p.x, p.y, p.z);
    const Point3f q = PovPoint(p, true);
    return WriteVectorG(at, q.x, q.y, q.z);
}

char* WriteText(char* at, std::string_view text) {
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

// The texture line of a triangle of an object of several colours; nothing
// for an object of one colour.
void AppendTriangleTexture(std::string& out, const MeshPolygon& polygon, std::int32_t objectNumber,
                           const ObjectColors* colors) {
    if (colors == nullptr) return;
    out += "\r\n\ttexture { ";
    AppendColorTextureName(out, objectNumber, colors->Position(polygon));
    out += " }";
}

// One mesh entry: three lines, the corners and, when smoothing, each corner's
// normal after it, formatted in place and appended whole. cornerBase numbers
// the triangle's first corner among the object's written corners. A triangle
// of an object of several colours names its texture on a line of its own
// before the closing brace.
void AppendTriangle(std::string& out, const MeshObject& object, const MeshPolygon& polygon,
                    const ObjectNormals* normals, std::size_t cornerBase, std::int32_t objectNumber,
                    const ObjectColors* colors, bool zUp) {
    char text[6 * (3 * kGMaxLength + 4) + 64];
    char* at =
        WriteText(text, normals != nullptr ? "\tsmooth_triangle {\r\n\t" : "\ttriangle {\r\n\t");
    for (std::int32_t k = 0; k < 3; ++k) {
        const MeshVertex& v = *object.vtbl[polygon.p[k]];
        if (k > 0) at = WriteText(at, ", ");
        at = WriteVectorG(at, {v.x, v.y, v.z}, zUp);
        if (normals != nullptr) {
            const Point3f& n =
                normals->vectors[static_cast<std::size_t>(normals->Index(polygon, cornerBase, k))];
            *at++ = ',';
            at = WriteVectorG(at, n, zUp);
        }
    }
    out.append(text, at);
    AppendTriangleTexture(out, polygon, objectNumber, colors);
    out += "\r\n\t}\r\n";
}

// The same from the texts of the vertices.
void AppendTriangle(std::string& out, const VertexTexts& texts, const MeshPolygon& polygon,
                    bool smooth, std::int32_t objectNumber, const ObjectColors* colors) {
    out += smooth ? "\tsmooth_triangle {\r\n\t" : "\ttriangle {\r\n\t";
    out += texts[polygon.p[0]];
    out += ", ";
    out += texts[polygon.p[1]];
    out += ", ";
    out += texts[polygon.p[2]];
    AppendTriangleTexture(out, polygon, objectNumber, colors);
    out += "\r\n\t}\r\n";
}

// The plain scene's light: the direction of the box's corner of largest
// coordinates from the centre, five times as far, in whole units.
void AppendLight(std::string& out, const Extents& e) {
    out += "light_source { <";
    AppendInt(out, TruncateToInt(e.center.x + (e.max.x - e.center.x) * 5));
    out += ',';
    AppendInt(out, TruncateToInt(e.center.y + (e.max.y - e.center.y) * 5));
    out += ',';
    AppendInt(out, TruncateToInt(e.center.z + (e.max.z - e.center.z) * 5));
    out += "> color rgb <1,1,1> }\r\n\r\n";
}

// The plain scene's camera: above the corner of largest x and z, looking at
// the centre; s is the larger of the x and y extents.
Vector3d PlainLocation(const Extents& e) {
    const float xExtent = e.max.x - e.min.x;
    const float yExtent = e.max.y - e.min.y;
    const float s = yExtent > xExtent ? yExtent : xExtent;
    const float locationY = e.center.y + s;
    return {e.max.x, locationY, e.max.z + 1.8 * s};
}

// Numbers of the scenes with options: the shortest text of their float.
void AppendNumber(std::string& out, double value) {
    AppendShortest(out, static_cast<float>(value));
}

void AppendVector(std::string& out, const Vector3d& v) {
    out += '<';
    AppendNumber(out, v[0]);
    out += ',';
    AppendNumber(out, v[1]);
    out += ',';
    AppendNumber(out, v[2]);
    out += '>';
}

Vector3d Plus(const Vector3d& a, double t, const Vector3d& b) {
    return {a[0] + t * b[0], a[1] + t * b[1], a[2] + t * b[2]};
}

constexpr double kDegree = 3.14159265358979323846 / 180.0;

// The unit vector heading degrees round from the front (POV-Ray's -z, the
// drawing's -Y with Z up) toward the right (+x), elevation degrees above
// the floor.
Vector3d Heading(double heading, double elevation) {
    const double h = heading * kDegree;
    const double e = elevation * kDegree;
    return {std::sin(h) * std::cos(e), std::sin(e), -std::cos(h) * std::cos(e)};
}

// With Z up the camera sees the model from the front right and above: the
// three-quarter view of architects' and product pictures.
constexpr double kViewHeading = 45.0;
constexpr double kViewElevation = 30.0;
// The light of a scene without the studio comes from the camera's left and
// higher up, so that top, front and right side of a box take three shades.
// The studio's key light comes from further left, so that the shadow falls
// beside the model where the camera sees it, and its fill light from the
// camera's right and low lights the side the key light leaves dark.
constexpr double kLightTurn = -25.0;
constexpr double kLightElevation = 50.0;
constexpr double kKeyTurn = -70.0;
constexpr double kKeyElevation = 50.0;
constexpr double kFillTurn = 60.0;
constexpr double kFillElevation = 15.0;
// The framed camera leaves this share of the picture's width and height
// free on each side; the model spans the rest of one of them.
constexpr const char* kFrameMargin = "0.05";

const char* const kSideNames[4] = {"Frame_Right", "Frame_Left", "Frame_Top", "Frame_Bottom"};

// The SDL that works out the framed camera (see pov_framing.h) and its
// camera statement.
void AppendFramedCamera(std::string& out, const Vector3d& boxCentre, const ViewAxes& axes,
                        const Outline& outline, double radius) {
    const Vector3d centre = Plus(boxCentre, outline.depthShift, axes.forward);
    out +=
        "// The camera looks along View_Forward. How far it stands and where it aims\r\n"
        "// are worked out for the aspect ratio of the picture being rendered, from\r\n"
        "// the model's outline as seen along that line: every vertex stays inside the\r\n"
        "// picture with Frame_Margin of its width and height free on every side, and\r\n"
        "// the model spans the rest of its width or of its height.\r\n";
    out += "#declare View_Centre = ";
    AppendVector(out, centre);
    out += ";\r\n#declare View_Right = ";
    AppendVector(out, axes.right);
    out += ";\r\n#declare View_Up = ";
    AppendVector(out, axes.up);
    out += ";\r\n#declare View_Forward = ";
    AppendVector(out, axes.forward);
    out +=
        ";\r\n"
        "// The length of the camera's direction: 2 is a normal lens, half the angle\r\n"
        "// of POV-Ray's default, whose wide view makes the near parts of a model\r\n"
        "// that fills it loom.\r\n"
        "#declare View_Lens = 2;\r\n"
        "#declare Frame_Margin = ";
    out += kFrameMargin;
    out +=
        ";\r\n"
        "// The outline: for each side of the picture the points <across, along> that\r\n"
        "// can reach furthest toward it, across measured from View_Centre toward that\r\n"
        "// side and along measured along View_Forward. They hold for this line of\r\n"
        "// sight only.\r\n";
    for (int s = 0; s < 4; ++s) {
        const std::vector<OutlinePoint>& points = outline.side[s];
        out += "#declare ";
        out += kSideNames[s];
        out += " = array[";
        AppendInt(out, static_cast<std::int64_t>(points.size()));
        out += "] {";
        for (std::size_t i = 0; i < points.size(); ++i) {
            out += i == 0 ? "" : ",";
            out += i % 4 == 0 ? "\r\n\t<" : " <";
            AppendNumber(out, points[i].across);
            out += ',';
            AppendNumber(out, points[i].along);
            out += '>';
        }
        out += "\r\n}\r\n";
    }
    // The camera never comes nearer than a hundredth of the model's size
    // to its nearest point (a model seen edge-on, or a single point, has no
    // width to frame).
    out += "#declare Frame_Nearest = ";
    AppendNumber(out, outline.nearest + 0.01 * (outline.size > 0.0 ? outline.size : radius));
    out +=
        ";\r\n"
        "// How far the points reach past the side of a view whose half width is\r\n"
        "// Slope times the distance, seen from the centre.\r\n"
        "#macro Frame_Reach(Points, Slope)\r\n"
        "\t#local Reach = Points[0].u - Slope * Points[0].v;\r\n"
        "\t#for (I, 1, dimension_size(Points, 1) - 1)\r\n"
        "\t\t#local Reach = max(Reach, Points[I].u - Slope * Points[I].v);\r\n"
        "\t#end\r\n"
        "\t(Reach)\r\n"
        "#end\r\n"
        "// The half width and height of the view inside the margins, over the distance.\r\n"
        "#declare Frame_Width = (1 - 2 * Frame_Margin) * image_width / image_height / (2 * "
        "View_Lens);\r\n"
        "#declare Frame_Height = (1 - 2 * Frame_Margin) / (2 * View_Lens);\r\n"
        "#declare Frame_Right_Reach = Frame_Reach(Frame_Right, Frame_Width);\r\n"
        "#declare Frame_Left_Reach = Frame_Reach(Frame_Left, Frame_Width);\r\n"
        "#declare Frame_Top_Reach = Frame_Reach(Frame_Top, Frame_Height);\r\n"
        "#declare Frame_Bottom_Reach = Frame_Reach(Frame_Bottom, Frame_Height);\r\n"
        "#declare Frame_Distance = max(Frame_Nearest,\r\n"
        "\t(Frame_Right_Reach + Frame_Left_Reach) / (2 * Frame_Width),\r\n"
        "\t(Frame_Top_Reach + Frame_Bottom_Reach) / (2 * Frame_Height));\r\n"
        "#declare Frame_Aim = View_Centre\r\n"
        "\t+ (Frame_Right_Reach - Frame_Left_Reach) / 2 * View_Right\r\n"
        "\t+ (Frame_Top_Reach - Frame_Bottom_Reach) / 2 * View_Up;\r\n"
        "\r\n"
        "camera {\r\n"
        "\tlocation Frame_Aim - Frame_Distance * View_Forward\r\n"
        "\tdirection z*View_Lens\r\n"
        "\tright x*image_width/image_height\r\n"
        "\tlook_at Frame_Aim\r\n"
        "}\r\n\r\n";
}

// The studio's settings a user may want to change, at the top of the scene.
void AppendStudioSettings(std::string& out) {
    out +=
        "global_settings { assumed_gamma 1.0 ambient_light rgb 0.4 }\r\n"
        "\r\n"
        "// The studio: the floor's texture, the lights' and the sky's colours.\r\n"
        "#declare Floor_Texture = texture {\r\n"
        "\tpigment { color rgb <0.5,0.5,0.48> }\r\n"
        "\tfinish { ambient 0 diffuse 0.8 }\r\n"
        "}\r\n"
        "#declare Key_Light_Color = rgb <0.95,0.9,0.82>;\r\n"
        "#declare Fill_Light_Color = rgb <0.22,0.25,0.3>;\r\n"
        "#declare Sky_Horizon_Color = rgb <0.86,0.89,0.93>;\r\n"
        "#declare Sky_Zenith_Color = rgb <0.34,0.5,0.78>;\r\n"
        "\r\n";
}

// Sky, floor and lights, all sized from the model's radius so that a part
// of millimetres and a building of tens of metres look alike.
void AppendStudio(std::string& out, const Extents& box, const Vector3d& centre, double radius,
                  double heading) {
    out +=
        "sky_sphere {\r\n"
        "\tpigment {\r\n"
        "\t\tgradient y\r\n"
        "\t\tcolor_map { [0.5 color Sky_Horizon_Color] [1 color Sky_Zenith_Color] }\r\n"
        "\t\tscale 2\r\n"
        "\t\ttranslate -y\r\n"
        "\t}\r\n"
        "}\r\n"
        "\r\n";
    // Just below the lowest point, so that faces lying on it do not flicker
    // into the floor.
    out += "plane { y, ";
    AppendNumber(out, box.min.y - 0.001 * radius);
    out += " texture { Floor_Texture } }\r\n\r\n";
    out += "light_source {\r\n\t";
    AppendVector(out, Plus(centre, 6.0 * radius, Heading(heading + kKeyTurn, kKeyElevation)));
    out += "\r\n\tcolor Key_Light_Color\r\n\tarea_light <";
    AppendNumber(out, radius);
    out += ",0,0>, <0,0,";
    AppendNumber(out, radius);
    out += ">, 5, 5\r\n\tadaptive 1\r\n\tjitter\r\n\tcircular\r\n\torient\r\n}\r\n\r\n";
    out += "light_source { ";
    AppendVector(out, Plus(centre, 6.0 * radius, Heading(heading + kFillTurn, kFillElevation)));
    out += " color Fill_Light_Color shadowless }\r\n\r\n";
}

void AppendObjects(std::string& out, std::int32_t count, const MeshObject* objects) {
    for (std::int32_t i = 0; i < count; ++i) {
        if (!HasTriangle(objects[i])) continue;
        out += "object { dxfobj";
        AppendInt(out, i);
        out += " }\r\n";
    }
}

// A scene with any of the options.
std::string SceneWithOptions(const std::string& includeName, std::int32_t count,
                             const MeshObject* objects, const Extents& extents,
                             const PovScene& scene) {
    Point3f (*const map)(const Point3f&) = scene.zUp
                                               ? +[](const Point3f& p) { return LeftHandedYUp(p); }
                                               : +[](const Point3f& p) { return p; };
    const Extents box = scene.zUp ? LeftHandedYUp(extents) : extents;
    const Vector3d centre{box.center.x, box.center.y, box.center.z};
    const Vector3d half{static_cast<double>(box.max.x) - box.center.x,
                        static_cast<double>(box.max.y) - box.center.y,
                        static_cast<double>(box.max.z) - box.center.z};
    double radius = std::sqrt(half[0] * half[0] + half[1] * half[1] + half[2] * half[2]);
    // A model of one point still needs the camera and the lights off it.
    if (!(radius > 0.0) || !std::isfinite(radius)) radius = 1.0;

    // The line of sight: with Z up the three-quarter view, at the distance
    // where the sphere around the box fills the height of a 4:3 view;
    // otherwise the plain scene's camera.
    Vector3d toCamera;
    double distance;
    if (scene.zUp) {
        toCamera = Heading(kViewHeading, kViewElevation);
        distance = radius * std::sqrt(5.0);
    } else {
        const Vector3d location = PlainLocation(box);
        toCamera = {location[0] - centre[0], location[1] - centre[1], location[2] - centre[2]};
        distance = std::sqrt(toCamera[0] * toCamera[0] + toCamera[1] * toCamera[1] +
                             toCamera[2] * toCamera[2]);
        if (!(distance > 0.0) || !std::isfinite(distance)) {
            toCamera = {0.0, 0.0, 1.0};
            distance = 1.0;
        }
        for (double& c : toCamera) c /= distance;
    }
    const double heading = std::atan2(toCamera[0], -toCamera[2]) / kDegree;

    std::string out;
    if (scene.studio) AppendStudioSettings(out);
    out += "#include \"";
    out += includeName;
    out += "\"\r\n\r\n";
    if (scene.fit) {
        const ViewAxes axes = LookAtAxes({-toCamera[0], -toCamera[1], -toCamera[2]});
        AppendFramedCamera(out, centre, axes,
                           ModelOutline(count, objects, map, extents, centre, axes), radius);
    } else {
        out += "camera {\r\n\tlocation ";
        AppendVector(out, Plus(centre, distance, toCamera));
        out += "\r\n\tright x*image_width/image_height\r\n\tlook_at ";
        AppendVector(out, centre);
        out += "\r\n}\r\n\r\n";
    }

    if (scene.studio) {
        AppendStudio(out, box, centre, radius, heading);
    } else if (scene.zUp) {
        // Twice as far as the camera.
        const Vector3d key = Heading(heading + kLightTurn, kLightElevation);
        out += "light_source { ";
        if (scene.fit) {
            out += "View_Centre + 2 * Frame_Distance * ";
            AppendVector(out, key);
        } else {
            AppendVector(out, Plus(centre, 2.0 * distance, key));
        }
        out += " color rgb <1,1,1> }\r\n\r\n";
    } else {
        // Only the framed camera brings a scene without Z up or the studio
        // here. The light keeps the plain scene's direction from the centre
        // and moves with the camera: five times the corner's offset at the
        // plain camera's distance.
        out += "light_source { View_Centre + Frame_Distance * ";
        AppendVector(
            out, {5.0 * half[0] / distance, 5.0 * half[1] / distance, 5.0 * half[2] / distance});
        out += " color rgb <1,1,1> }\r\n\r\n";
    }
    AppendObjects(out, count, objects);
    return out;
}

}  // namespace

bool HasTriangle(const MeshObject& object) {
    for (const MeshPolygon* polygon = object.polygons; polygon != nullptr;
         polygon = polygon->next) {
        if (IsTriangulable(object, *polygon)) return true;
    }
    return false;
}

std::string PovSceneText(const std::string& includeName, std::int32_t count,
                         const MeshObject* objects, const Extents& extents, const PovScene& scene) {
    if (scene.fit || scene.zUp || scene.studio)
        return SceneWithOptions(includeName, count, objects, extents, scene);
    const Extents& e = extents;
    std::string out = "#include \"";
    out += includeName;
    out += "\"\r\n\r\ncamera {\r\n\tlocation ";
    const Vector3d location = PlainLocation(e);
    AppendVector4(out, location[0], location[1], location[2]);
    out += "\r\n\tlook_at ";
    AppendVector4(out, e.center.x, e.center.y, e.center.z);
    out += "\r\n}\r\n\r\n";
    AppendLight(out, e);
    AppendObjects(out, count, objects);
    return out;
}

std::int32_t WritePov(const std::string& name, std::int32_t count, MeshObject* objects,
                      const PovOption& povOpt, const Extents& extents, std::string& msgBuf,
                      bool zUp, const LayerOutput& layers) {
    // Both files are written before either target is replaced.
    SaveTransaction save;
    OutputFile file;
    if (!save.Open(file, name)) {
        msgBuf = SaveFailureMessage("povファイルのオープンに失敗しました.", save.Error());
        return 0;
    }
    try {
        file.Buffer() =
            PovSceneText(IncludeName(name), count, objects, extents,
                         {.fit = povOpt.fit != 0, .zUp = zUp, .studio = povOpt.studio != 0});
    } catch (const std::bad_alloc&) {
        file.Close();
        msgBuf = "メモリーが足りません.";
        return 0;
    }
    if (!save.Close(file)) {
        msgBuf = SaveFailureMessage("povファイルの書き込みに失敗しました.", save.Error());
        return 0;
    }

    if (!save.Open(file, IncludePath(name))) {
        msgBuf = SaveFailureMessage("incファイルのオープンに失敗しました.", save.Error());
        return 0;
    }

    const bool smooth = povOpt.smooth != 0;
    std::vector<ObjectNormals> normalTable;
    if (smooth) {
        try {
            normalTable.resize(static_cast<std::size_t>(count));
        } catch (const std::bad_alloc&) {
            file.Close();
            msgBuf = "Memory allocation failed.for ntbl";
            return 0;
        }
        try {
            for (std::int32_t i = 0; i < count; ++i)
                normalTable[static_cast<std::size_t>(i)].vectors.reserve(
                    static_cast<std::size_t>(std::max(objects[i].vertexCount, 0)));
        } catch (const std::bad_alloc&) {
            file.Close();
            msgBuf = "Memory allocation failed.for normal";
            return 0;
        }
    }

    if (TriangulateAndSmooth(count, objects, smooth ? normalTable.data() : nullptr, msgBuf,
                             povOpt.crease) == 0) {
        file.Close();
        msgBuf = "メモリーが足りません.";
        return 0;
    }

    std::string& out = file.Buffer();
    const std::string& texture = povOpt.state.empty() ? std::string(kDefaultTexture) : povOpt.state;
    // Drawing colours replace the one texture wherever an object has any,
    // and the materials file's textures both where their lines match.
    const MaterialChoice* materials =
        layers.materials != nullptr && !layers.materials->Empty() ? layers.materials : nullptr;
    const LookChoice choice{.drawingColors = HasPolygonColors(count, objects),
                            .materials = materials};
    std::vector<ObjectColors> colors;
    if (choice.drawingColors || materials != nullptr) {
        colors.reserve(static_cast<std::size_t>(count));
        for (std::int32_t i = 0; i < count; ++i) colors.emplace_back(objects[i], i, choice);
    }
    for (std::int32_t i = 0; i < count; ++i) {
        if (!colors.empty() && !colors[static_cast<std::size_t>(i)].colors.empty()) {
            AppendColorTextures(out, i, colors[static_cast<std::size_t>(i)], texture, materials);
            file.Commit();
            continue;
        }
        out += "#declare poltexture";
        AppendInt(out, i);
        out += " = ";
        out += texture;
        file.EndLine();
    }
    for (std::int32_t i = 0; i < count; ++i) {
        const MeshObject& object = objects[i];
        if (!HasTriangle(object)) continue;
        const ObjectNormals* normals = smooth ? &normalTable[static_cast<std::size_t>(i)] : nullptr;
        const ObjectColors* several = nullptr;
        if (!colors.empty() && colors[static_cast<std::size_t>(i)].colors.size() > 1)
            several = &colors[static_cast<std::size_t>(i)];
        AppendPovLayerComment(out, layers, i, object);
        if (povOpt.mesh2 != 0) {
            AppendMesh2(file, i, object, normals, several, zUp);
            continue;
        }
        out += "\r\n#declare dxfobj";
        AppendInt(out, i);
        out += " = mesh {\r\n";
        std::size_t corner = 0;
        // Each vertex's text (with its normal when every corner takes its
        // vertex's) is made once; with normals per corner, or short of
        // memory, each corner is formatted where it is written.
        const bool perVertex = normals == nullptr || normals->corners.empty();
        VertexTexts texts;
        const bool textsMade =
            perVertex &&
            texts.Format(object, normals != nullptr ? normals->vectors.data() : nullptr, zUp);
        for (const MeshPolygon* polygon = object.polygons; polygon != nullptr;
             polygon = polygon->next) {
            // Polygons of fewer than three corners, or with a corner outside
            // the vertex list, have no triangle to give and are left out.
            if (!IsTriangulable(object, *polygon)) continue;
            if (textsMade) {
                AppendTriangle(out, texts, *polygon, normals != nullptr, i, several);
            } else {
                AppendTriangle(out, object, *polygon, normals, corner, i, several, zUp);
            }
            corner += 3;
            file.Commit();
        }
        out += "\r\n\ttexture { ";
        if (several != nullptr) {
            AppendColorTextureName(out, i, 0);
        } else {
            out += "poltexture";
            AppendInt(out, i);
        }
        out += " }\r\n}\r\n";
        file.Commit();
    }
    if (!save.Close(file) || !save.Commit()) {
        msgBuf = SaveFailureMessage("incファイルの書き込みに失敗しました.", save.Error());
        return 0;
    }
    return 1;
}

}  // namespace vertoko
