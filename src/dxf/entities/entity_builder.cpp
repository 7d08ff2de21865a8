#include "dxf/entities/entity_builder.h"

#include <cmath>

#include "dxf/entities/curve_points.h"

namespace vertoko {

namespace {

bool SamePoint(const double* a, const double* b) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

// A new vertex at point + lift (lift may be null) appended to the slot.
bool AppendPoint(ObjectSlot& slot, const double* point, const double* lift, std::string& message) {
    double at[3] = {point[0], point[1], point[2]};
    if (lift != nullptr) {
        for (int i = 0; i < 3; ++i) at[i] += lift[i];
    }
    MeshVertex* vertex =
        NewVertex(slot.arena, FloatOf(at[0]), FloatOf(at[1]), FloatOf(at[2]), message);
    if (vertex == nullptr) return false;
    AppendVertex(slot, vertex);
    return true;
}

// A new polygon over the slot's vertices at corners, in style, on layer.
bool AppendCorners(ObjectSlot& slot, const std::int32_t* corners, int n, std::uint32_t style,
                   std::int32_t layer, std::string& message) {
    MeshPolygon* polygon = NewPolygon(slot.arena, n, message);
    if (polygon == nullptr) return false;
    polygon->color = style;
    polygon->layer = layer;
    for (int k = 0; k < n; ++k) polygon->p[k] = corners[k];
    AppendPolygon(slot, polygon);
    return true;
}

}  // namespace

std::int32_t EntityBuilder::KeyedSlot(const EntityKey& key, const SlotCursor* cursor) {
    if (cursor != nullptr && cursor->Hashed())
        return set_obj(context_.slots, key.layer, key.color, cursor->Hash(), cursor->Slot(),
                       context_.message);
    return set_obj(context_.slots, key.layer, key.color, context_.message);
}

ObjectSlot* EntityBuilder::OmittedSlot(Omission omission) {
    // Counted and dropped now and then, so that a large drawing mostly on
    // layers left out holds no more than a little of them at a time.
    constexpr std::int32_t kDropAt = 1 << 16;
    ObjectSlot& slot = context_.omitted[omission == Omission::Hidden ? 0 : 1];
    if (slot.polygonCount >= kDropAt) context_.DropOmitted(omission);
    return &slot;
}

MeshPolygon* PendingMesh::AddPolygon(std::int32_t n, std::string& message) {
    MeshPolygon* polygon = NewPolygon(arena_, n, message);
    if (polygon != nullptr) polygons_.Append(polygon);
    return polygon;
}

bool PendingMesh::Commit(EntityBuilder& builder, const EntityKey& key) {
    ObjectSlot* chosen = builder.SlotFor(key);
    if (chosen == nullptr) return false;
    ObjectSlot& slot = *chosen;
    const std::int32_t base = slot.vertexCount;
    const std::uint32_t style = builder.StyleOf(key);
    for (MeshPolygon* polygon = polygons_.head; polygon != nullptr; polygon = polygon->next) {
        for (std::int32_t k = 0; k < polygon->cornerCount; ++k) polygon->p[k] += base;
        if (polygon->color == 0) polygon->color = style;
        polygon->layer = key.layer;
    }
    SpliceInto(slot, vertices_, polygons_, arena_);
    return true;
}

}  // namespace vertoko

namespace vertoko {

bool EntityBuilder::AddPrism(const EntityKey& key, const double (*corners)[3], int n,
                             const double lift[3]) {
    // The corners taken in the order that turns counter-clockwise seen from
    // the lifted side: the polygon's vector area points along the lift.
    double area[3] = {};
    for (int k = 0; k < n; ++k) {
        const double* a = corners[k];
        const double* b = corners[(k + 1) % n];
        area[0] += a[1] * b[2] - a[2] * b[1];
        area[1] += a[2] * b[0] - a[0] * b[2];
        area[2] += a[0] * b[1] - a[1] * b[0];
    }
    const bool reversed = area[0] * lift[0] + area[1] * lift[1] + area[2] * lift[2] < 0.0;
    auto corner = [&](int k) { return corners[reversed ? n - 1 - k : k]; };

    ObjectSlot* chosen = SlotFor(key);
    if (chosen == nullptr) return false;
    ObjectSlot& slot = *chosen;
    std::string& message = context_.message;
    const std::uint32_t style = StyleOf(key);
    const std::int32_t bottom = slot.vertexCount;
    const std::int32_t top = bottom + n;
    for (int k = 0; k < n; ++k) {
        if (!AppendPoint(slot, corner(k), nullptr, message)) return false;
    }
    for (int k = 0; k < n; ++k) {
        if (!AppendPoint(slot, corner(k), lift, message)) return false;
    }
    std::int32_t cap[4] = {};
    for (int k = 0; k < n; ++k) cap[k] = bottom + n - 1 - k;
    if (!AppendCorners(slot, cap, n, style, key.layer, message)) return false;
    for (int k = 0; k < n; ++k) cap[k] = top + k;
    if (!AppendCorners(slot, cap, n, style, key.layer, message)) return false;
    for (int k = 0; k < n; ++k) {
        const int next = (k + 1) % n;
        if (SamePoint(corner(k), corner(next))) continue;
        const std::int32_t side[4] = {bottom + k, bottom + next, top + next, top + k};
        if (!AppendCorners(slot, side, 4, style, key.layer, message)) return false;
    }
    return true;
}

Extrusion::Extrusion(const double direction[3], double thickness)
    : plain_(direction[0] == 0.0 && direction[1] == 0.0 && direction[2] > 0.0),
      thickness_(thickness) {
    // The arbitrary axis algorithm gives the identity for any direction
    // along +Z: it is taken without the arithmetic.
    toWorld_ = plain_ ? Affine::Identity() : ObjectToWorld(direction);
    for (int i = 0; i < 3; ++i) lift_[i] = toWorld_.m[i][2] * thickness;
}

WallStrip::WallStrip(EntityBuilder& builder, const EntityKey& key, const double lift[3])
    : builder_(builder), key_(key) {
    for (int i = 0; i < 3; ++i) lift_[i] = lift[i];
}

bool WallStrip::Add(const double point[3]) {
    if (points_ > 0 && SamePoint(point, last_)) return true;
    std::string& message = builder_.Context().message;
    if (slot_ == nullptr) {
        slot_ = builder_.SlotFor(key_);
        if (slot_ == nullptr) return false;
        style_ = builder_.StyleOf(key_);
        layer_ = key_.layer;
    }
    const std::int32_t vertex = slot_->vertexCount;
    if (!AppendPoint(*slot_, point, nullptr, message)) return false;
    if (!AppendPoint(*slot_, point, lift_, message)) return false;
    if (points_ == 0) {
        firstVertex_ = vertex;
        for (int i = 0; i < 3; ++i) first_[i] = point[i];
    } else if (!Wall(lastVertex_, vertex)) {
        return false;
    }
    lastVertex_ = vertex;
    for (int i = 0; i < 3; ++i) last_[i] = point[i];
    ++points_;
    return true;
}

bool WallStrip::Close() {
    if (points_ < 2 || SamePoint(last_, first_)) return true;
    return Wall(lastVertex_, firstVertex_);
}

bool WallStrip::Wall(std::int32_t from, std::int32_t to) {
    const std::int32_t corners[4] = {from, to, to + 1, from + 1};
    return AppendCorners(*slot_, corners, 4, style_, layer_, builder_.Context().message);
}

bool AddPathWalls(EntityBuilder& builder, const EntityKey& key, const PathPoint* points,
                  std::size_t n, bool closed, double elevation, const Extrusion& extrusion,
                  std::int32_t perCircle) {
    if (n == 0) return true;
    WallStrip strip(builder, key, extrusion.Lift());
    auto add = [&](double x, double y) {
        double world[3];
        extrusion.ToWorld(x, y, elevation, world);
        return strip.Add(world);
    };
    // The points inside the arc of a bulged segment; its ends are the
    // path's own points.
    auto inside = [&](const PathPoint& a, const PathPoint& b) {
        BulgeArc arc;
        if (!BulgeToArc(a.x, a.y, b.x, b.y, a.bulge, arc)) return true;
        const std::int32_t segments = ArcSegments(arc.span, perCircle);
        for (std::int32_t k = 1; k < segments; ++k) {
            const double angle = arc.start + arc.span * k / segments;
            if (!add(arc.cx + arc.radius * std::cos(angle), arc.cy + arc.radius * std::sin(angle)))
                return false;
        }
        return true;
    };
    if (!add(points[0].x, points[0].y)) return false;
    for (std::size_t i = 1; i < n; ++i) {
        if (!inside(points[i - 1], points[i]) || !add(points[i].x, points[i].y)) return false;
    }
    if (!closed) return true;
    return inside(points[n - 1], points[0]) && strip.Close();
}

}  // namespace vertoko
