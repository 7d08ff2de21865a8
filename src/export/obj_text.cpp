#include "export/obj_text.h"

#include <algorithm>
#include <limits>
#include <new>
#include <system_error>
#include <thread>

#include "dxf/huge_pages.h"
#include "export/number_format.h"
#include "export/polygon_colors.h"
#include "export/triangulate.h"

namespace vertoko {

namespace {

using LargeText = std::basic_string<char, std::char_traits<char>, LargeAllocator<char>>;

// The formatting work of a line, in units of about 4 ns measured on the
// build machine: a vertex or normal line prints three floats; a polygon
// costs a little of its own and one or two integers per corner.
constexpr std::int64_t kLineCost = 24;
constexpr std::int64_t kPolygonBaseCost = 4;
constexpr std::int64_t kCornerCost = 4;
constexpr std::int64_t kNormalCornerCost = 7;

// Below this much work (some 3 ms) a second thread costs more than it saves.
constexpr std::int64_t kThreadedWork = kLineCost << 15;

// Polygons whose corners are counted to estimate the cost of the rest.
constexpr std::int32_t kSampledPolygons = 64;

// Bytes reserved for the second part's text: about its size, so that it
// seldom grows and is copied. Pages never touched cost nothing.
constexpr std::size_t kLineBytes = 40;
constexpr std::size_t kPolygonBytes = 4;
constexpr std::size_t kCornerBytes = 9;
constexpr std::size_t kNormalCornerBytes = 17;

// The blocks the second part is handed to the file in, the size at which
// the file passes its buffer to its writer thread.
constexpr std::size_t kBlock = std::size_t{256} << 10;

constexpr ObjText::Cut kStart{ObjText::Section::kVertices, 0};

std::int64_t NonNegative(std::int64_t n) { return n > 0 ? n : 0; }

char* WriteLine3(char* at, char tag0, char tag1, float x, float y, float z) {
    *at++ = tag0;
    if (tag1 != 0) *at++ = tag1;
    *at++ = ' ';
    at = WriteG(at, x);
    *at++ = ' ';
    at = WriteG(at, y);
    *at++ = ' ';
    at = WriteG(at, z);
    *at++ = '\r';
    *at++ = '\n';
    return at;
}

template <typename Text>
void AppendMaterial(Text& out, std::uint32_t rgb) {
    static const char kHex[] = "0123456789abcdef";
    out += "dxfcolor_";
    for (int shift = 20; shift >= 0; shift -= 4) out += kHex[(rgb >> shift) & 0xFu];
}

template <typename Text>
void AppendCount(Text& out, std::int64_t count, const char* what) {
    char number[24];
    out += "# ";
    out.append(number, WriteInt(number, count));
    out += what;
}

}  // namespace

void AppendMaterialName(std::string& out, std::uint32_t rgb) { AppendMaterial(out, rgb); }

ObjText::ObjText(const MeshObject& object, const ObjectNormals* normals, const std::string& library)
    : object_(object), normals_(normals), library_(library) {}

std::int64_t ObjText::CornersPer100Polygons() const {
    std::int64_t corners = 0;
    std::int32_t sampled = 0;
    for (const MeshPolygon* p = object_.polygons; p != nullptr && sampled < kSampledPolygons;
         p = p->next, ++sampled) {
        corners += NonNegative(p->cornerCount);
    }
    return sampled > 0 ? corners * 100 / sampled : 300;
}

std::optional<ObjText::Cut> ObjText::BalancedCut() const {
    const std::int64_t vertexWork = NonNegative(object_.vertexCount) * kLineCost;
    const std::int64_t normalWork =
        normals_ != nullptr ? static_cast<std::int64_t>(normals_->vectors.size()) * kLineCost : 0;
    const std::int64_t perCorner = normals_ != nullptr ? kNormalCornerCost : kCornerCost;
    const std::int64_t polygonCost = kPolygonBaseCost + CornersPer100Polygons() * perCorner / 100;
    const std::int64_t polygonWork = NonNegative(object_.polygonCount) * polygonCost;
    const std::int64_t total = vertexWork + normalWork + polygonWork;
    if (total < kThreadedWork) return std::nullopt;
    std::int64_t half = total / 2;
    if (half < vertexWork) return Cut{Section::kVertices, half / kLineCost};
    half -= vertexWork;
    if (half < normalWork) return Cut{Section::kNormals, half / kLineCost};
    half -= normalWork;
    return Cut{Section::kPolygons, half / polygonCost};
}

// Appends the lines from from up to to (the end when none) to out; when
// file is given, out is its buffer, committed after every line.
template <typename Text>
void ObjText::Format(Text& out, Cut from, std::optional<Cut> to, OutputFile* file) const {
    const auto endIn = [&to](Section section) {
        return to && to->section == section ? to->index : std::numeric_limits<std::int64_t>::max();
    };
    const auto commit = [file] {
        if (file != nullptr) file->Commit();
    };
    // Each line is formatted in place and appended whole.
    char line[3 * kGMaxLength + 8];

    if (from.section == Section::kVertices) {
        const MeshVertex* v = object_.vertices;
        std::int64_t i = 0;
        for (; i < from.index && v != nullptr; ++i) v = v->next;
        for (const std::int64_t end = endIn(Section::kVertices); v != nullptr && i < end;
             v = v->next, ++i) {
            out.append(line, WriteLine3(line, 'v', 0, v->x, v->y, v->z));
            commit();
        }
        if (to && to->section == Section::kVertices) return;
        AppendCount(out, object_.vertexCount, " vertices\r\n\r\n");
        from = {Section::kNormals, 0};
    }

    if (from.section == Section::kNormals) {
        if (normals_ != nullptr) {
            const std::vector<Point3f>& vectors = normals_->vectors;
            const auto size = static_cast<std::int64_t>(vectors.size());
            const std::int64_t end = std::min(size, endIn(Section::kNormals));
            for (std::int64_t i = NonNegative(from.index); i < end; ++i) {
                const Point3f& n = vectors[static_cast<std::size_t>(i)];
                out.append(line, WriteLine3(line, 'v', 'n', n.x, n.y, n.z));
                commit();
            }
        }
        if (to && to->section == Section::kNormals) return;
        if (normals_ != nullptr) {
            const auto size = static_cast<std::int64_t>(normals_->vectors.size());
            AppendCount(out, size, " vertex normals\r\n\r\n");
        }
        from = {Section::kPolygons, 0};
    }

    // The corners written with normals so far, and the material of the
    // polygon before, as they stand at from.
    std::size_t corner = 0;
    bool first = true;
    std::uint32_t material = 0;
    const MeshPolygon* polygon = object_.polygons;
    std::int64_t i = 0;
    for (; i < from.index && polygon != nullptr; ++i, polygon = polygon->next) {
        if (normals_ != nullptr && IsTriangulable(object_, *polygon)) corner += 3;
        material = PolygonRgb(*polygon);
        first = false;
    }
    for (const std::int64_t end = endIn(Section::kPolygons); polygon != nullptr && i < end;
         ++i, polygon = polygon->next) {
        const bool withNormals = normals_ != nullptr && IsTriangulable(object_, *polygon);
        if (!library_.empty() && (first || PolygonRgb(*polygon) != material)) {
            material = PolygonRgb(*polygon);
            out += "usemtl ";
            AppendMaterial(out, material);
            out += "\r\n";
        }
        first = false;
        out += 'f';
        for (std::int32_t k = 0; k < polygon->cornerCount; ++k) {
            char* at = line;
            *at++ = ' ';
            // OBJ numbers vertices and normals from 1 within each file.
            at = WriteInt(at, static_cast<std::int64_t>(polygon->p[k]) + 1);
            if (withNormals) {
                *at++ = '/';
                *at++ = '/';
                at = WriteInt(at,
                              static_cast<std::int64_t>(normals_->Index(*polygon, corner, k)) + 1);
            }
            out.append(line, at);
        }
        if (withNormals) corner += 3;
        out += "\r\n";
        commit();
    }
    if (to) return;
    AppendCount(out, object_.polygonCount, " elements\r\n");
}

template <typename Text>
bool ObjText::FormatRest(Cut cut, Text& text) const {
    try {
        std::size_t bytes = 0;
        const auto lines = [](std::int64_t count, std::int64_t done) {
            return static_cast<std::size_t>(NonNegative(count - NonNegative(done)));
        };
        const bool inVertices = cut.section == Section::kVertices;
        const bool inNormals = cut.section == Section::kNormals;
        if (inVertices) bytes += lines(object_.vertexCount, cut.index) * kLineBytes;
        if (normals_ != nullptr && (inVertices || inNormals)) {
            const auto count = static_cast<std::int64_t>(normals_->vectors.size());
            bytes += lines(count, inNormals ? cut.index : 0) * kLineBytes;
        }
        const std::size_t polygons =
            lines(object_.polygonCount, cut.section == Section::kPolygons ? cut.index : 0);
        const std::size_t perCorner = normals_ != nullptr ? kNormalCornerBytes : kCornerBytes;
        const auto corners100 = static_cast<std::size_t>(CornersPer100Polygons());
        bytes += polygons * (kPolygonBytes + corners100 * perCorner / 100) + 64;
        text.reserve(bytes);
        Format(text, cut, std::nullopt, nullptr);
        return true;
    } catch (const std::bad_alloc&) {
        Text().swap(text);  // what was formatted is given back at once
        return false;
    }
}

void ObjText::Write(OutputFile& file, std::optional<Cut> cut, bool twoThreads) const {
    std::string& out = file.Buffer();
    if (!library_.empty()) {
        out += "mtllib ";
        out += library_;
        file.EndLine();
    }
    if (!cut) {
        Format(out, kStart, std::nullopt, &file);
        return;
    }
    LargeText rest;
    bool restOk = false;
    std::thread second;
    if (twoThreads) {
        try {
            second = std::thread([&] { restOk = FormatRest(*cut, rest); });
        } catch (const std::system_error&) {
            // No second thread to be had: the rest is formatted below.
        }
    }
    try {
        Format(out, kStart, cut, &file);
    } catch (...) {
        if (second.joinable()) second.join();
        throw;
    }
    if (second.joinable()) second.join();
    if (!restOk) {
        Format(out, *cut, std::nullopt, &file);
        return;
    }
    // Through the file's buffer a block at a time, so that its writer
    // thread writes the rest while it is being copied.
    for (std::size_t at = 0; at < rest.size();) {
        const std::size_t room = out.size() < kBlock ? kBlock - out.size() : kBlock;
        const std::size_t n = std::min(room, rest.size() - at);
        out.append(rest.data() + at, n);
        at += n;
        file.Commit();
    }
}

}  // namespace vertoko
