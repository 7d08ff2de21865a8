#include "test_tables.h"

#include <cmath>
#include <cstdlib>
#include <utility>

namespace vertoko::testing {

MeshObject* MakeTable(const std::vector<Point3f>& vertices,
                      const std::vector<HandPolygon>& polygons) {
    auto* object = static_cast<MeshObject*>(std::calloc(1, sizeof(MeshObject)));
    object->vertexCount = static_cast<std::int32_t>(vertices.size());
    object->polygonCount = static_cast<std::int32_t>(polygons.size());
    object->vtbl = static_cast<MeshVertex**>(std::calloc(vertices.size() + 1, sizeof(MeshVertex*)));
    object->ptbl =
        static_cast<MeshPolygon**>(std::calloc(polygons.size() + 1, sizeof(MeshPolygon*)));
    MeshVertex** vertexLink = &object->vertices;
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        auto* v = static_cast<MeshVertex*>(std::calloc(1, sizeof(MeshVertex)));
        v->x = vertices[i].x;
        v->y = vertices[i].y;
        v->z = vertices[i].z;
        *vertexLink = v;
        vertexLink = &v->next;
        object->vtbl[i] = v;
    }
    MeshPolygon** polygonLink = &object->polygons;
    for (std::size_t i = 0; i < polygons.size(); ++i) {
        auto* p = static_cast<MeshPolygon*>(std::calloc(1, sizeof(MeshPolygon)));
        p->cornerCount = static_cast<std::int32_t>(polygons[i].corners.size());
        p->p = static_cast<std::int32_t*>(
            std::calloc(polygons[i].corners.size() + 1, sizeof(std::int32_t)));
        for (std::size_t j = 0; j < polygons[i].corners.size(); ++j) {
            p->p[j] = polygons[i].corners[j];
        }
        *polygonLink = p;
        polygonLink = &p->next;
        object->ptbl[i] = p;
    }
    return object;
}

MeshObject* MakeGrid(int n, bool shared) {
    auto at = [](int i, int j) {
        return Point3f{
            static_cast<float>(i), static_cast<float>(j),
            0.3f * std::sin(0.4f * static_cast<float>(i)) * std::cos(0.3f * static_cast<float>(j))};
    };
    std::vector<Point3f> vertices;
    std::vector<HandPolygon> polygons;
    if (shared) {
        for (int i = 0; i <= n; ++i) {
            for (int j = 0; j <= n; ++j) vertices.push_back(at(i, j));
        }
    }
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            if (shared) {
                const int a = i * (n + 1) + j;
                polygons.push_back({{a, a + n + 1, a + n + 2, a + 1}});
            } else {
                const int a = static_cast<int>(vertices.size());
                for (const auto& [di, dj] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}})
                    vertices.push_back(at(i + di, j + dj));
                polygons.push_back({{a, a + 1, a + 2, a + 3}});
            }
        }
    }
    return MakeTable(vertices, polygons);
}

void FreeTable(MeshObject*& table) {
    if (table == nullptr) return;
    for (MeshVertex* v = table->vertices; v != nullptr;) {
        MeshVertex* next = v->next;
        std::free(v);
        v = next;
    }
    for (MeshPolygon* p = table->polygons; p != nullptr;) {
        MeshPolygon* next = p->next;
        std::free(p->p);
        std::free(p);
        p = next;
    }
    std::free(table->vtbl);
    std::free(table->ptbl);
    std::free(table);
    table = nullptr;
}

}  // namespace vertoko::testing
