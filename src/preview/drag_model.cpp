#include "preview/drag_model.h"

#include <meshoptimizer.h>

#include <algorithm>
#include <cmath>

namespace vertoko {

namespace {

// As the full model decides which polygons it draws.
bool Drawable(const MeshObject& object, const MeshPolygon& polygon) {
    if (polygon.cornerCount < 3 || polygon.p == nullptr || object.vtbl == nullptr) return false;
    for (std::int32_t j = 0; j < polygon.cornerCount; ++j) {
        const std::int32_t index = polygon.p[j];
        if (index < 0 || index >= object.vertexCount || object.vtbl[index] == nullptr) return false;
    }
    return true;
}

DragMesh::Group& GroupFor(DragMesh& mesh, std::uint32_t color) {
    // Drawings have a handful of colours; the last one used is the likely one.
    for (auto group = mesh.groups.rbegin(); group != mesh.groups.rend(); ++group) {
        if (group->color == color) return *group;
    }
    mesh.groups.push_back({color, {}});
    return mesh.groups.back();
}

}  // namespace

std::size_t DragMesh::TriangleCount() const {
    std::size_t indices = 0;
    for (const Group& group : groups) indices += group.indices.size();
    return indices / 3;
}

std::size_t FannedTriangleCount(std::int32_t count, const MeshObject* objects) {
    std::size_t triangles = 0;
    for (std::int32_t k = 0; objects != nullptr && k < count; ++k) {
        for (const MeshPolygon* polygon = objects[k].polygons; polygon != nullptr;
             polygon = polygon->next) {
            if (Drawable(objects[k], *polygon))
                triangles += static_cast<std::size_t>(polygon->cornerCount - 2);
        }
    }
    return triangles;
}

DragMesh MakeDragMesh(std::int32_t count, const MeshObject* objects, const Point3f& center,
                      std::size_t targetTriangles) {
    DragMesh mesh;
    std::size_t vertexTotal = 0;
    for (std::int32_t k = 0; objects != nullptr && k < count; ++k)
        vertexTotal += static_cast<std::size_t>(std::max(objects[k].vertexCount, 0));
    mesh.positions.reserve(vertexTotal * 3);

    for (std::int32_t k = 0; objects != nullptr && k < count; ++k) {
        const MeshObject& object = objects[k];
        const auto base = static_cast<std::uint32_t>(mesh.positions.size() / 3);
        for (std::int32_t i = 0; i < object.vertexCount; ++i) {
            const MeshVertex* v = object.vtbl != nullptr ? object.vtbl[i] : nullptr;
            // A missing vertex keeps its place so that the indices stay
            // those of the table; no drawable polygon uses it.
            mesh.positions.push_back(v != nullptr ? v->x - center.x : 0.0f);
            mesh.positions.push_back(v != nullptr ? v->y - center.y : 0.0f);
            mesh.positions.push_back(v != nullptr ? v->z - center.z : 0.0f);
        }
        for (const MeshPolygon* polygon = object.polygons; polygon != nullptr;
             polygon = polygon->next) {
            if (!Drawable(object, *polygon)) continue;
            std::vector<std::uint32_t>& indices = GroupFor(mesh, polygon->color).indices;
            for (std::int32_t j = 1; j + 1 < polygon->cornerCount; ++j) {
                indices.push_back(base + static_cast<std::uint32_t>(polygon->p[0]));
                indices.push_back(base + static_cast<std::uint32_t>(polygon->p[j]));
                indices.push_back(base + static_cast<std::uint32_t>(polygon->p[j + 1]));
            }
        }
    }

    const std::size_t total = mesh.TriangleCount();
    if (total <= targetTriangles || mesh.positions.empty()) return mesh;

    // The simplifier joins triangles only through shared vertices, and a
    // drawing without cleaning gives each face corners of its own.
    const std::size_t vertexCount = mesh.positions.size() / 3;
    std::vector<unsigned int> remap(vertexCount);
    const std::size_t unique = meshopt_generateVertexRemap(
        remap.data(), nullptr, vertexCount, mesh.positions.data(), vertexCount, sizeof(float) * 3);
    std::vector<float> welded(unique * 3);
    meshopt_remapVertexBuffer(welded.data(), mesh.positions.data(), vertexCount, sizeof(float) * 3,
                              remap.data());
    mesh.positions = std::move(welded);

    for (DragMesh::Group& group : mesh.groups) {
        std::vector<std::uint32_t>& indices = group.indices;
        meshopt_remapIndexBuffer(indices.data(), indices.data(), indices.size(), remap.data());
        const std::size_t triangles = indices.size() / 3;
        const auto share = static_cast<std::size_t>(std::llround(
            static_cast<double>(targetTriangles) * static_cast<double>(triangles) / total));
        if (share >= triangles) continue;
        std::vector<std::uint32_t> kept(indices.size());
        // The largest error allowed: the budget, not the error, decides.
        const std::size_t n = meshopt_simplifySloppy(
            kept.data(), indices.data(), indices.size(), mesh.positions.data(), unique,
            sizeof(float) * 3, std::max<std::size_t>(share, 1) * 3, 1.0f, nullptr);
        // A colour cut to nothing stays whole: it is small, and without it
        // a part would vanish while dragged.
        if (n == 0) continue;
        kept.resize(n);
        indices = std::move(kept);
    }
    return mesh;
}

}  // namespace vertoko
