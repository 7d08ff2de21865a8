// The in-memory mesh model shared by the reader, the writers and the preview.
//
// An object table is a contiguous array of MeshObject records. Each object
// owns a singly linked vertex list, a singly linked polygon list (corner
// indices into its own vertex list, 0-based), and two pointer tables that
// give constant-time access by index once reading is done. The reader takes
// the nodes and corner arrays of an object from the object's arena, which
// FreeObjectTable releases whole; a node that a stage unlinks stays there.
// An object whose arena is empty (one built by hand) owns std::malloc'd
// nodes instead, freed one by one. The tables are always std::malloc'd.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "memory/mesh_arena.h"

namespace vertoko {

struct MeshVertex {
    float x;
    float y;
    float z;
    MeshVertex* next;
};

// A polygon's colour: 0 when it has none (the object's colour applies),
// otherwise kPolygonColorSet with 0xRRGGBB. It fills what would be padding,
// so a polygon node keeps its size.
inline constexpr std::uint32_t kPolygonColorSet = 0x01000000u;

struct MeshPolygon {
    std::int32_t cornerCount;
    std::uint32_t color;  // see kPolygonColorSet
    std::int32_t* p;      // cornerCount vertex indices, in file order
    MeshPolygon* next;
    // The drawing layer the polygon was drawn on: an index into the read's
    // DrawingLayers (model/drawing_layers.h); 0 in a table built by hand.
    std::int32_t layer;
};

struct MeshObject {
    std::int32_t vertexCount;
    std::int32_t polygonCount;
    MeshVertex* vertices;
    MeshPolygon* polygons;
    MeshVertex** vtbl;   // vtbl[i] is the i-th node of the vertex list
    MeshPolygon** ptbl;  // ptbl[i] is the i-th node of the polygon list
    MeshArena arena;     // holds the nodes and corner arrays; empty: malloc'd
};

// A vertex node with next null, or null when memory is short.
inline MeshVertex* ArenaVertex(MeshArena& arena, float x, float y, float z) {
    auto* vertex = static_cast<MeshVertex*>(ArenaAllocate(arena, sizeof(MeshVertex)));
    if (vertex != nullptr) *vertex = {x, y, z, nullptr};
    return vertex;
}

// A zero-filled polygon node, or null.
inline MeshPolygon* ArenaPolygon(MeshArena& arena) {
    auto* polygon = static_cast<MeshPolygon*>(ArenaAllocate(arena, sizeof(MeshPolygon)));
    if (polygon != nullptr) *polygon = {};
    return polygon;
}

// An uninitialised array of count corners (at least one entry), or null.
inline std::int32_t* ArenaCorners(MeshArena& arena, std::int32_t count) {
    const std::size_t n = count > 0 ? static_cast<std::size_t>(count) : 1;
    return static_cast<std::int32_t*>(ArenaAllocate(arena, n * sizeof(std::int32_t)));
}

// The same for a stage that adds nodes to a finished object: from its arena,
// or with std::malloc when the object has none. Null when memory is short.
MeshPolygon* NewPolygonNode(MeshObject& object);
std::int32_t* NewCornerArray(MeshObject& object, std::int32_t count);

struct Point3f {
    float x;
    float y;
    float z;
};

// Box around every vertex of the current table; read by the POV-Ray scene
// writer and the preview camera.
struct Extents {
    Point3f center;
    Point3f min;
    Point3f max;
};

// Fills object.vtbl in list order and returns the number of entries. With no
// table yet the size is vertexCount; an existing table is freed and the list
// is counted anew. On allocation failure writes the out-of-memory message
// into message and returns 0.
std::int32_t BuildVertexTable(MeshObject& object, std::string& message);

// The same for object.ptbl over the polygon list.
std::int32_t BuildPolygonTable(MeshObject& object, std::string& message);

// Cuts object.vtbl to its first count entries, for a vertex list that has
// just been cut to its first count nodes, which those entries are: the table
// stays valid without a walk of the list or a new allocation. A table of its
// own gives its unused end back to the heap. Cannot fail.
void TruncateVertexTable(MeshObject& object, std::int32_t count);

// The box around all vertices of the count objects. Objects without
// vertices are skipped; all zero when no vertex exists. The box is that of
// one pass in order, which takes the first vertex and widens the box by
// every vertex outside it: so a NaN in the very first vertex stays, later
// ones are passed over, and of +0 and -0 the first seen is kept.
Extents ComputeExtents(std::int32_t count, const MeshObject* table);

// The same box gathered in runs of objects, for threads that each walk a
// run: a run keeps its first vertex and the extremes of its other values.
struct VertexBox {
    bool any = false;
    float first[3] = {};
    // Infinite the wrong way round until a value other than NaN is seen.
    float min[3] = {kInfinity, kInfinity, kInfinity};
    float max[3] = {-kInfinity, -kInfinity, -kInfinity};
    static constexpr float kInfinity = std::numeric_limits<float>::infinity();
};

// Adds the object's vertices to the run's box.
void AddToBox(VertexBox& box, const MeshObject& object);

// The box of runs [0, count), joined in order: what ComputeExtents gives
// for all their objects one after another.
Extents JoinBoxes(const VertexBox* runs, std::size_t count);

// Frees every object's nodes and corner arrays (its arena whole, or the
// malloc'd nodes one by one), its tables, then the array, and sets table to
// null. A null table frees nothing.
void FreeObjectTable(std::int32_t count, MeshObject*& table);

// Frees a std::malloc'd vertex list, and a polygon list with the polygons'
// corner arrays.
void FreeVertexList(MeshVertex* head);
void FreePolygonList(MeshPolygon* head);

}  // namespace vertoko
