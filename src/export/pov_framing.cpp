#include "export/pov_framing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "mesh/triangulate.h"

namespace vertoko {

namespace {

double Dot(const Vector3d& a, const Vector3d& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Vector3d Cross(const Vector3d& a, const Vector3d& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Vector3d Normalised(const Vector3d& v) {
    const double length = std::sqrt(Dot(v, v));
    return {v[0] / length, v[1] / length, v[2] / length};
}

// A point of one side in the plane (along, across): > 0 when p lies to the
// left of the line from o through a, that is on the outer side of a chain
// that runs toward larger along and larger across.
double Turn(const OutlinePoint& o, const OutlinePoint& a, const OutlinePoint& p) {
    return (a.along - o.along) * (p.across - o.across) -
           (a.across - o.across) * (p.along - o.along);
}

// What one side tracks in the first pass: the point that reaches furthest
// across (the nearest of them), which is outermost for small w, and the
// nearest point (the furthest across of them), outermost for large w.
struct SideEnds {
    OutlinePoint top{-std::numeric_limits<double>::infinity(), 0.0};
    OutlinePoint near{0.0, std::numeric_limits<double>::infinity()};

    void Add(const OutlinePoint& p) {
        if (p.across > top.across || (p.across == top.across && p.along < top.along)) top = p;
        if (p.along < near.along || (p.along == near.along && p.across > near.across)) near = p;
    }
};

// The view's axes and centre taken back into the drawing's axes: the map
// is orthogonal, so the camera coordinates of a mapped point p are those of
// p itself on these, and no point needs mapping.
struct DrawingFrame {
    Vector3d centre, right, up, forward;
};

DrawingFrame FrameInDrawing(Point3f (*map)(const Point3f&), const Vector3d& centre,
                            const ViewAxes& axes) {
    // The images of the drawing's axes: the columns of the map.
    const Point3f ex = map({1, 0, 0});
    const Point3f ey = map({0, 1, 0});
    const Point3f ez = map({0, 0, 1});
    const auto back = [&](const Vector3d& v) -> Vector3d {
        return {Dot(v, {ex.x, ex.y, ex.z}), Dot(v, {ey.x, ey.y, ey.z}), Dot(v, {ez.x, ez.y, ez.z})};
    };
    return {back(centre), back(axes.right), back(axes.up), back(axes.forward)};
}

// Calls visit(x, y, z) with the camera coordinates of every vertex of a
// polygon that can be a triangle; false when there is none.
template <class Visit>
bool VisitDrawnVertices(std::int32_t count, const MeshObject* objects,
                        const std::vector<std::vector<std::uint8_t>>& drawn,
                        const DrawingFrame& frame, Visit&& visit) {
    bool any = false;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::vector<std::uint8_t>& marks = drawn[static_cast<std::size_t>(i)];
        if (marks.empty()) continue;
        const MeshObject& object = objects[i];
        for (std::int32_t v = 0; v < object.vertexCount; ++v) {
            if (marks[static_cast<std::size_t>(v)] == 0) continue;
            const MeshVertex& vertex = *object.vtbl[v];
            const Vector3d d{vertex.x - frame.centre[0], vertex.y - frame.centre[1],
                             vertex.z - frame.centre[2]};
            visit(Dot(d, frame.right), Dot(d, frame.up), Dot(d, frame.forward));
            any = true;
        }
    }
    return any;
}

// The outer chain of one side from its candidates: the upper hull in the
// plane (along, across) from the nearest point to the top one.
std::vector<OutlinePoint> Chain(std::vector<OutlinePoint> points) {
    std::sort(points.begin(), points.end(), [](const OutlinePoint& a, const OutlinePoint& b) {
        return a.along < b.along || (a.along == b.along && a.across > b.across);
    });
    std::vector<OutlinePoint> hull;
    for (const OutlinePoint& p : points) {
        // Of points at one depth only the furthest across can count.
        if (!hull.empty() && p.along == hull.back().along) continue;
        while (hull.size() >= 2 && Turn(hull[hull.size() - 2], hull.back(), p) >= 0.0)
            hull.pop_back();
        hull.push_back(p);
    }
    return hull;
}

// A chain of more than kMaxOutlinePoints thinned: every k-th point kept, and
// each run between two kept points replaced by the corner where the lines
// of its first and last edge meet. The chain is convex, so the run lies in
// the triangle of the two kept points and that corner, and no reach drops.
std::vector<OutlinePoint> Thinned(const std::vector<OutlinePoint>& chain) {
    if (chain.size() <= kMaxOutlinePoints) return chain;
    const std::size_t runs = (kMaxOutlinePoints - 1) / 2;
    const std::size_t step = (chain.size() - 1 + runs - 1) / runs;
    std::vector<OutlinePoint> thin;
    for (std::size_t i = 0; i + 1 < chain.size(); i += step) {
        const std::size_t j = std::min(i + step, chain.size() - 1);
        const OutlinePoint& a = chain[i];
        const OutlinePoint& b = chain[j];
        thin.push_back(a);
        if (j == i + 1) continue;
        // The corner of the run's box toward the outside holds every point
        // of it; the meeting point of the edge lines, when it lies in that
        // box, is tighter.
        OutlinePoint corner{b.across, a.along};
        const OutlinePoint d1{chain[i + 1].across - a.across, chain[i + 1].along - a.along};
        const OutlinePoint d2{b.across - chain[j - 1].across, b.along - chain[j - 1].along};
        const double denominator = d1.along * d2.across - d1.across * d2.along;
        if (denominator != 0.0) {
            const double t =
                ((b.along - a.along) * d2.across - (b.across - a.across) * d2.along) / denominator;
            const OutlinePoint meet{a.across + t * d1.across, a.along + t * d1.along};
            if (meet.along >= a.along && meet.along <= b.along && meet.across >= a.across &&
                meet.across <= b.across)
                corner = meet;
        }
        thin.push_back(corner);
    }
    thin.push_back(chain.back());
    return thin;
}

}  // namespace

ViewAxes LookAtAxes(const Vector3d& forward) {
    ViewAxes axes;
    axes.forward = Normalised(forward);
    axes.right = Normalised(Cross({0.0, 1.0, 0.0}, axes.forward));
    axes.up = Cross(axes.forward, axes.right);
    return axes;
}

Outline ModelOutline(std::int32_t count, const MeshObject* objects, Point3f (*map)(const Point3f&),
                     const Extents& box, const Vector3d& centre, const ViewAxes& axes) {
    // Which vertices the scene draws.
    std::vector<std::vector<std::uint8_t>> drawn(static_cast<std::size_t>(std::max(count, 0)));
    for (std::int32_t i = 0; i < count; ++i) {
        const MeshObject& object = objects[i];
        std::vector<std::uint8_t>& marks = drawn[static_cast<std::size_t>(i)];
        for (const MeshPolygon* polygon = object.polygons; polygon != nullptr;
             polygon = polygon->next) {
            if (!IsTriangulable(object, *polygon)) continue;
            if (marks.empty()) marks.assign(static_cast<std::size_t>(object.vertexCount), 0);
            for (std::int32_t k = 0; k < polygon->cornerCount; ++k)
                marks[static_cast<std::size_t>(polygon->p[k])] = 1;
        }
    }
    const DrawingFrame frame = FrameInDrawing(map, centre, axes);

    Outline outline;
    double nearest = std::numeric_limits<double>::infinity();
    double furthest = -std::numeric_limits<double>::infinity();
    SideEnds ends[4];
    const auto first = [&](double x, double y, double z) {
        ends[0].Add({x, z});
        ends[1].Add({-x, z});
        ends[2].Add({y, z});
        ends[3].Add({-y, z});
        nearest = std::min(nearest, z);
        furthest = std::max(furthest, z);
    };
    std::vector<OutlinePoint> candidates[4];
    const auto consider = [&](int s, const OutlinePoint& p) {
        if (p.along <= ends[s].top.along && Turn(ends[s].near, ends[s].top, p) > 0.0)
            candidates[s].push_back(p);
    };
    const auto second = [&](double x, double y, double z) {
        consider(0, {x, z});
        consider(1, {-x, z});
        consider(2, {y, z});
        consider(3, {-y, z});
    };

    if (VisitDrawnVertices(count, objects, drawn, frame, first)) {
        VisitDrawnVertices(count, objects, drawn, frame, second);
    } else {
        // Nothing is drawn: the box stands in for the model.
        std::vector<std::vector<std::uint8_t>> one{std::vector<std::uint8_t>(8, 1)};
        MeshVertex corners[8];
        MeshVertex* table[8];
        for (int c = 0; c < 8; ++c) {
            const Point3f p{c & 1 ? box.max.x : box.min.x, c & 2 ? box.max.y : box.min.y,
                            c & 4 ? box.max.z : box.min.z};
            corners[c] = {};
            corners[c].x = p.x;
            corners[c].y = p.y;
            corners[c].z = p.z;
            table[c] = &corners[c];
        }
        MeshObject stand{};
        stand.vertexCount = 8;
        stand.vtbl = table;
        VisitDrawnVertices(1, &stand, one, frame, first);
        VisitDrawnVertices(1, &stand, one, frame, second);
    }

    outline.depthShift = (nearest + furthest) / 2;
    outline.nearest = outline.depthShift - nearest;
    outline.size = std::max({furthest - nearest, ends[0].top.across + ends[1].top.across,
                             ends[2].top.across + ends[3].top.across});
    for (int s = 0; s < 4; ++s) {
        candidates[s].push_back(ends[s].near);
        candidates[s].push_back(ends[s].top);
        outline.side[s] = Thinned(Chain(std::move(candidates[s])));
        for (OutlinePoint& p : outline.side[s]) p.along -= outline.depthShift;
    }
    return outline;
}

double OutlineReach(const std::vector<OutlinePoint>& points, double slope) {
    double reach = -std::numeric_limits<double>::infinity();
    for (const OutlinePoint& p : points) reach = std::max(reach, p.across - slope * p.along);
    return reach;
}

}  // namespace vertoko
