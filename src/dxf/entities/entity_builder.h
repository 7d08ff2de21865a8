// What every entity does once its pairs are read, in one place: choosing
// its object by layer and colour, taking its polygons and vertices with
// their out-of-memory messages, and noting its colour. An entity parser
// reads its pairs and calls the builder; it allocates and links nothing
// itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dxf/input/value_words.h"
#include "dxf/object_slots.h"
#include "dxf/read_context.h"
#include "memory/mesh_arena.h"
#include "model/mesh_model.h"
#include "model/placement.h"

namespace vertoko {

// The groups that choose an entity's object and colour.
struct EntityKey {
    std::int32_t layer = LayerTable::kZero;  // group 8's id in the read's layers; DXF's default "0"
    std::int32_t color = -1;                 // group 62; -1 when absent
    std::int32_t trueColor = -1;             // group 420; -1 when absent

    void SetLayer(LayerTable& layers, std::string_view value) { layer = layers.IdOf(value); }
};

// Fetches ahead, while an entity's groups are read in multi-object mode,
// what storing it will touch: each step a few groups after the one before,
// once that one has arrived. The parser says when the key changes and
// when another group has been read; the schedule is the cursor's.
class SlotCursor {
  public:
    // Unless objects are keyed there is nothing to fetch: the cursor starts
    // as done.
    SlotCursor(const SlotArray& slots, bool keyed)
        : slots_(slots), first_(keyed ? 0 : kLastStep), steps_(first_) {}

    // A layer or colour group was read: fetching starts over.
    void KeyChanged() { steps_ = first_; }

    // Another group of the entity was read.
    void Step(const EntityKey& key) {
        if (steps_ >= kLastStep) return;
        if (steps_ == 0) {
            hash_ = SlotKeyHash(key.layer, key.color);
            PrefetchSlotIndex(slots_, hash_);
        } else if (steps_ == kSlotStep) {
            slot_ = PrefetchSlot(slots_, hash_);
        } else if (steps_ == kEndStep) {
            PrefetchSlotEnd(slots_, slot_);
        }
        ++steps_;
    }

    // What the fetching found out about the key as it stands: its hash from
    // the first step on, the slot its index entry gives from the second.
    bool Hashed() const { return first_ == 0 && steps_ > 0; }
    std::uint32_t Hash() const { return hash_; }
    std::int32_t Slot() const { return Hashed() && steps_ > kSlotStep ? slot_ : -1; }

  private:
    static constexpr int kSlotStep = 3;
    static constexpr int kEndStep = 6;
    static constexpr int kLastStep = 7;

    const SlotArray& slots_;
    int first_;  // 0, or kLastStep when objects are not keyed
    int steps_;
    std::uint32_t hash_ = 0;
    std::int32_t slot_ = -1;
};

// A coordinate as the vertices keep it: beyond the float range it becomes
// an infinity (converting such a double is undefined), NaN stays NaN.
inline float FloatOf(double value) {
    constexpr double kMax = 3.4028234663852886e38;  // FLT_MAX
    if (value > kMax) return __builtin_inff();
    if (value < -kMax) return -__builtin_inff();
    return static_cast<float>(value);
}

// A vertex node (next null) from arena, or null with the message.
inline MeshVertex* NewVertex(MeshArena& arena, float x, float y, float z, std::string& message) {
    MeshVertex* vertex = ArenaVertex(arena, x, y, z);
    if (vertex == nullptr) [[unlikely]]
        message = "メモリーが足りません.(ver)\n";
    return vertex;
}

// A polygon node of n corners (color 0, next null, corners not set) from
// arena, or null with the message naming what could not be had: the
// polygon, then its corners.
inline MeshPolygon* NewPolygon(MeshArena& arena, std::int32_t n, std::string& message) {
    MeshPolygon* polygon = ArenaPolygon(arena);
    if (polygon == nullptr) [[unlikely]] {
        message = "メモリーが足りません.(pol)\n";
        return nullptr;
    }
    polygon->p = ArenaCorners(arena, n);
    if (polygon->p == nullptr) [[unlikely]] {
        message = "メモリーが足りません.(pol->p)\n";
        return nullptr;
    }
    polygon->cornerCount = n;
    return polygon;
}

class EntityBuilder {
  public:
    explicit EntityBuilder(ReadContext& context) : context_(context) {}

    ReadContext& Context() { return context_; }

    // The colour style of the key's polygons; 0 when colours are off.
    std::uint32_t StyleOf(const EntityKey& key) {
        return StyleOf(key.layer, key.color, key.trueColor);
    }
    std::uint32_t StyleOf(std::int32_t layer, std::int32_t color, std::int32_t trueColor) {
        DrawingColors& colors = context_.colors;
        return colors.enabled ? colors.StyleOf(layer, color, trueColor) : 0;
    }

    // The slot of the key's object (slot 0 unless objects are keyed), with
    // what a cursor fetched ahead; for a layer left out, outside block
    // definitions (whose copies are judged where they are placed), the
    // slot that drops what it gets. Null with the message when the slots
    // cannot grow.
    ObjectSlot* SlotFor(const EntityKey& key, const SlotCursor* cursor = nullptr) {
        if (context_.layers.Selecting() && !context_.blocks.InsideBlock()) [[unlikely]] {
            const Omission omission = context_.layers.OmissionOf(key.layer);
            if (omission != Omission::None) return OmittedSlot(omission);
        }
        if (!context_.Keyed()) return context_.slots.slots;
        const std::int32_t index = KeyedSlot(key, cursor);
        return index >= 0 ? &context_.slots.slots[index] : nullptr;
    }

    // One polygon of n new vertices at corners, in the key's object and
    // style. False with the message. Inline: the faces of a drawing come
    // by the million.
    [[gnu::always_inline]] bool AddFace(const EntityKey& key, const float (*corners)[3], int n,
                                        const SlotCursor* cursor = nullptr) {
        ObjectSlot* chosen = SlotFor(key, cursor);
        if (chosen == nullptr) return false;
        ObjectSlot& slot = *chosen;
        std::string& message = context_.message;
        MeshPolygon* polygon = NewPolygon(slot.arena, n, message);
        if (polygon == nullptr) return false;
        polygon->color = StyleOf(key);
        polygon->layer = key.layer;
        for (int k = 0; k < n; ++k) polygon->p[k] = -1;
        AppendPolygon(slot, polygon);
        for (int k = 0; k < n; ++k) {
            MeshVertex* vertex =
                NewVertex(slot.arena, corners[k][0], corners[k][1], corners[k][2], message);
            if (vertex == nullptr) return false;
            polygon->p[k] = slot.vertexCount;
            AppendVertex(slot, vertex);
        }
        return true;
    }

    // A closed prism over the polygon of n = 3 or 4 corners (world coordinates):
    // the polygon, the same moved by lift, and a quadrilateral on each edge
    // whose ends differ, all facing out; the 2n vertices are shared. False
    // with the message.
    bool AddPrism(const EntityKey& key, const double (*corners)[3], int n, const double lift[3]);

  private:
    std::int32_t KeyedSlot(const EntityKey& key, const SlotCursor* cursor);
    ObjectSlot* OmittedSlot(Omission omission);

    ReadContext& context_;
};

// Where an entity drawn in a coordinate system of its own stands: that
// system, from its extrusion direction (groups 210 to 230, the arbitrary
// axis algorithm), and its thickness (group 39) along the direction.
class Extrusion {
  public:
    Extrusion(const double direction[3], double thickness);

    bool Thick() const { return thickness_ != 0.0; }
    // The thickness as a world vector: the unit direction times it.
    const double* Lift() const { return lift_; }
    // A point of the entity's coordinate system in world coordinates.
    void ToWorld(double x, double y, double z, double out[3]) const {
        const double in[3] = {x, y, z};
        if (plain_) {
            for (int i = 0; i < 3; ++i) out[i] = in[i];
        } else {
            toWorld_.Apply(in, out);
        }
    }

  private:
    Affine toWorld_;
    bool plain_;  // the world's own axes, as for most entities: nothing to compute
    double thickness_;
    double lift_[3];
};

// Walls standing on a line of points given one by one (world
// coordinates): from each point to the next a quadrilateral (a, b,
// b + lift, a + lift), each point's two vertices shared by the walls on
// both sides. A point equal to the one before it adds nothing. Written
// straight into the key's object, so that nothing is gathered first.
class WallStrip {
  public:
    WallStrip(EntityBuilder& builder, const EntityKey& key, const double lift[3]);

    // False with the message.
    bool Add(const double point[3]);
    // The wall from the last point back to the first, unless they are the
    // same or there is only one point. False with the message.
    bool Close();

  private:
    bool Wall(std::int32_t from, std::int32_t to);

    EntityBuilder& builder_;
    const EntityKey& key_;
    ObjectSlot* slot_ = nullptr;  // chosen at the first point
    std::uint32_t style_ = 0;
    std::int32_t layer_ = 0;
    double lift_[3];
    double first_[3] = {};
    double last_[3] = {};
    std::int32_t firstVertex_ = -1;  // the first point's lower vertex; the upper one follows
    std::int32_t lastVertex_ = -1;
    std::int32_t points_ = 0;
};

// A point of a polyline in its coordinate system and the bulge of the
// segment that starts there (the tangent of a quarter of its arc's angle,
// negative clockwise; 0 straight).
struct PathPoint {
    double x;
    double y;
    double bulge;
};

// The walls of a polyline of n points at elevation in extrusion's
// coordinate system: straight segments, and arcs where a bulge asks, in
// ArcSegments(angle, perCircle) segments; closed, with the segment from
// the last point back to the first. False with the message.
bool AddPathWalls(EntityBuilder& builder, const EntityKey& key, const PathPoint* points,
                  std::size_t n, bool closed, double elevation, const Extrusion& extrusion,
                  std::int32_t perCircle);

// The vertices and polygons of an entity whose object is known only at its
// end (POLYLINE, MESH): gathered in an arena of their own, the polygons'
// corners numbered from the entity's first vertex, then handed to the
// object whole.
class PendingMesh {
  public:
    PendingMesh() = default;
    PendingMesh(const PendingMesh&) = delete;
    PendingMesh& operator=(const PendingMesh&) = delete;
    ~PendingMesh() { ReleaseArena(arena_); }

    // False with the message when memory is short.
    bool AddVertex(float x, float y, float z, std::string& message) {
        MeshVertex* vertex = NewVertex(arena_, x, y, z, message);
        if (vertex == nullptr) return false;
        vertices_.Append(vertex);
        return true;
    }
    // A new polygon of n corners, appended, its corners to be set by the
    // caller; null with the message.
    MeshPolygon* AddPolygon(std::int32_t n, std::string& message);

    std::int32_t VertexCount() const { return vertices_.length; }
    MeshVertex* LastVertex() { return vertices_.tail; }

    // Hands everything to the key's object: the corners renumbered after its
    // vertices, the polygons without a colour of their own given the key's
    // style. Left empty. False with the message when the object cannot be
    // had.
    bool Commit(EntityBuilder& builder, const EntityKey& key);

  private:
    Chain<MeshVertex> vertices_;
    Chain<MeshPolygon> polygons_;
    MeshArena arena_ = {};
};

}  // namespace vertoko
