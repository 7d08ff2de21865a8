// The framed camera of a POV-Ray scene. Its line of sight is fixed; how far
// it stands and where across the view it aims depend on the aspect ratio of
// the picture, which only POV-Ray knows while it parses the scene. So the
// writer hands the scene the model's outline as seen along the line of
// sight, and the scene works the camera out from it (see PovSceneText).
//
// For a picture whose half width is w times the distance d of the camera
// from the plane through the centre across the view, the points stay
// inside it while, for each point at (across, along) from the centre,
// |across - shift| <= w (along + d). The least such d is
// (max(across - w along) + max(-across - w along)) / 2w, with the shift
// halfway between its bounds: the points then touch both sides. The outline
// keeps, for each side of the picture, only the points that give those
// maxima for some w > 0: the part of the convex hull of the points
// (along, across) that faces the camera and that side.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/mesh_model.h"

namespace vertoko {

using Vector3d = std::array<double, 3>;

// The unit axes of POV-Ray's look_at camera that looks along forward with
// the sky +y: right = sky x forward and up = forward x right, normalised.
// forward must not be vertical.
struct ViewAxes {
    Vector3d right;
    Vector3d up;
    Vector3d forward;
};
ViewAxes LookAtAxes(const Vector3d& forward);

struct OutlinePoint {
    double across;  // from the centre toward the side of the picture
    double along;   // from the centre along the line of sight
};

struct Outline {
    // For each side of the picture (right, left, top, bottom, across
    // measured toward it), the points whose across - w along is the largest for
    // some w > 0, from the one for large w to the one for small w. At most
    // kMaxOutlinePoints each: a longer hull is replaced by points outside
    // it, so that the reach it gives is never less than the model's.
    std::vector<OutlinePoint> side[4];
    double nearest = 0.0;  // the largest -along: the nearest point's depth before the centre
    // The outline is measured from the centre given moved this far along
    // the line of sight: halfway between the nearest and the furthest point,
    // so that a camera in front of the nearest one stands before the centre
    // too (the box's centre may lie beyond every drawn vertex).
    double depthShift = 0.0;
    // The largest extent of the points across or along the view.
    double size = 0.0;
};

inline constexpr std::size_t kMaxOutlinePoints = 64;

// The outline of the vertices of the polygons the scene draws (those that
// can be triangles), each mapped by map, seen along axes from centre. With
// no such vertex, the outline of the corners of box.
Outline ModelOutline(std::int32_t count, const MeshObject* objects, Point3f (*map)(const Point3f&),
                     const Extents& box, const Vector3d& centre, const ViewAxes& axes);

// The largest across - slope * along among points: how far they reach past
// the side of a view of half width slope at distance 0.
double OutlineReach(const std::vector<OutlinePoint>& points, double slope);

}  // namespace vertoko
