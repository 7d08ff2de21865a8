// Small object tables built inline for the tests, and file helpers.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "model/mesh_model.h"

namespace vertoko {

// Exact equality of points, for comparing coordinate lists in the tests.
inline bool operator==(const Point3f& a, const Point3f& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

}  // namespace vertoko

namespace vertoko::test {

struct Corners {
    std::vector<std::int32_t> p;
};

// A table of objects whose nodes and corner arrays come from each object's
// arena and whose pointer tables are std::malloc'd, as the reader makes
// them; freed on destruction.
class TestTable {
  public:
    TestTable() = default;
    TestTable(const TestTable&) = delete;
    TestTable& operator=(const TestTable&) = delete;
    ~TestTable() {
        for (MeshObject& object : objects_) Free(object);
    }

    MeshObject& Add(const std::vector<Point3f>& points,
                    const std::vector<std::vector<std::int32_t>>& polygons) {
        MeshObject object{};
        MeshVertex** vertexTail = &object.vertices;
        for (const Point3f& point : points) {
            MeshVertex* node = ArenaVertex(object.arena, point.x, point.y, point.z);
            *vertexTail = node;
            vertexTail = &node->next;
            ++object.vertexCount;
        }
        MeshPolygon** polygonTail = &object.polygons;
        for (const auto& corners : polygons) {
            MeshPolygon* node = ArenaPolygon(object.arena);
            node->cornerCount = static_cast<std::int32_t>(corners.size());
            node->color = 0;
            node->p = ArenaCorners(object.arena, node->cornerCount);
            for (std::size_t k = 0; k < corners.size(); ++k) node->p[k] = corners[k];
            node->next = nullptr;
            *polygonTail = node;
            polygonTail = &node->next;
            ++object.polygonCount;
        }
        object.vtbl =
            static_cast<MeshVertex**>(std::malloc(sizeof(MeshVertex*) * (points.size() + 1)));
        std::int32_t i = 0;
        for (MeshVertex* v = object.vertices; v != nullptr; v = v->next) object.vtbl[i++] = v;
        object.ptbl =
            static_cast<MeshPolygon**>(std::malloc(sizeof(MeshPolygon*) * (polygons.size() + 1)));
        i = 0;
        for (MeshPolygon* p = object.polygons; p != nullptr; p = p->next) object.ptbl[i++] = p;
        objects_.push_back(object);
        return objects_.back();
    }

    MeshObject* data() { return objects_.data(); }
    std::int32_t size() const { return static_cast<std::int32_t>(objects_.size()); }
    MeshObject& operator[](std::size_t i) { return objects_[i]; }

  private:
    // A table that cleaning rebuilt may lie in the arena, as the reader's
    // tables of small objects do.
    static void Free(MeshObject& object) {
        if (!ArenaOwns(object.arena, object.vtbl)) std::free(object.vtbl);
        if (!ArenaOwns(object.arena, object.ptbl)) std::free(object.ptbl);
        ReleaseArena(object.arena);
    }

    std::vector<MeshObject> objects_;
};

inline std::vector<Point3f> Coordinates(const MeshObject& object) {
    std::vector<Point3f> points;
    for (const MeshVertex* v = object.vertices; v != nullptr; v = v->next)
        points.push_back({v->x, v->y, v->z});
    return points;
}

// True when vtbl holds exactly the nodes of the vertex list, in order.
inline bool VertexTableMatchesList(const MeshObject& object) {
    std::int32_t i = 0;
    for (const MeshVertex* v = object.vertices; v != nullptr; v = v->next, ++i)
        if (i >= object.vertexCount || object.vtbl[i] != v) return false;
    return i == object.vertexCount;
}

inline std::vector<std::vector<std::int32_t>> PolygonCorners(const MeshObject& object) {
    std::vector<std::vector<std::int32_t>> polygons;
    for (const MeshPolygon* p = object.polygons; p != nullptr; p = p->next)
        polygons.emplace_back(p->p, p->p + p->cornerCount);
    return polygons;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
  public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vertoko-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

}  // namespace vertoko::test
