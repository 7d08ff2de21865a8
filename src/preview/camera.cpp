#include "preview/camera.h"

namespace vertoko {

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
