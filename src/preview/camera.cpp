#include "preview/camera.h"

#include <algorithm>
#include <cmath>

#include "model/up_axis.h"

namespace vertoko {

Extents ZUpViewBox(const Extents& drawingBox) {
    constexpr float kDegree = 3.14159265f / 180.0f;
    const float turnCos = std::cos(kZUpTurn * kDegree), turnSin = std::sin(kZUpTurn * kDegree);
    const float tiltCos = std::cos(kZUpTilt * kDegree), tiltSin = std::sin(kZUpTilt * kDegree);
    const Extents& b = drawingBox;
    Extents view{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    for (int corner = 0; corner < 8; ++corner) {
        const Point3f p = RightHandedYUp(Point3f{(corner & 1 ? b.max.x : b.min.x) - b.center.x,
                                                 (corner & 2 ? b.max.y : b.min.y) - b.center.y,
                                                 (corner & 4 ? b.max.z : b.min.z) - b.center.z});
        // As glRotatef turns: about y, then about x.
        const float x = p.x * turnCos + p.z * turnSin;
        const float z = -p.x * turnSin + p.z * turnCos;
        const Point3f q{x, p.y * tiltCos - z * tiltSin, p.y * tiltSin + z * tiltCos};
        view.min = corner == 0 ? q
                               : Point3f{std::min(view.min.x, q.x), std::min(view.min.y, q.y),
                                         std::min(view.min.z, q.z)};
        view.max = corner == 0 ? q
                               : Point3f{std::max(view.max.x, q.x), std::max(view.max.y, q.y),
                                         std::max(view.max.z, q.z)};
    }
    return view;
}

void FitView(PreviewCamera& camera, const Extents& extents) {
    const float dx = extents.max.x - extents.min.x;
    const float dy = extents.max.y - extents.min.y;
    const float dz = extents.max.z - extents.min.z;
    float s = dx;
    if (dy > s) s = dy;
    float deepest = s;
    if (dz > deepest) deepest = dz;
    camera.farPlane = 10.0f * deepest;
    camera.eyeX = 0.0f;
    camera.eyeY = 0.0f;
    camera.eyeZ = (extents.max.z - extents.center.z) + 2.0f * s;
    camera.minZ = -s;
    camera.maxZ = camera.eyeZ + 6.0f * s;
    camera.step = 0.01f * s;
}

DragMode DragModeFor(bool left, bool right) {
    if (left && right) return DragMode::Zoom;
    if (left) return DragMode::Rotate;
    if (right) return DragMode::Move;
    return DragMode::Idle;
}

void MoveCamera(PreviewCamera& camera, std::int32_t dx, std::int32_t dy) {
    camera.eyeX = camera.eyeX - static_cast<float>(dx) * camera.step;
    camera.eyeY = camera.eyeY + static_cast<float>(dy) * camera.step;
}

std::int32_t ZoomAmount(std::int32_t dx, std::int32_t dy) {
    const std::int64_t ax = dx < 0 ? -static_cast<std::int64_t>(dx) : dx;
    const std::int64_t ay = dy < 0 ? -static_cast<std::int64_t>(dy) : dy;
    if (ay >= ax) return dy;
    return static_cast<std::int32_t>(-static_cast<std::int64_t>(dx));
}

bool ZoomCamera(PreviewCamera& camera, float delta) {
    const float z = camera.eyeZ + delta;
    if (z < camera.minZ) {
        camera.eyeZ = camera.minZ;
        return false;
    }
    if (z > camera.maxZ) {
        camera.eyeZ = camera.maxZ;
        return false;
    }
    camera.eyeZ = z;
    return true;
}

float WheelZoomDelta(const PreviewCamera& camera, std::int32_t wheelDelta) {
    return static_cast<float>(wheelDelta) * camera.step * 0.1f;
}

void ColorToFloats(std::uint32_t color, float rgb[3]) {
    rgb[0] = static_cast<float>(color & 0xFF) / 255.0f;
    rgb[1] = static_cast<float>((color >> 8) & 0xFF) / 255.0f;
    rgb[2] = static_cast<float>((color >> 16) & 0xFF) / 255.0f;
}

}  // namespace vertoko
