// Camera arithmetic of the preview: fitting to the scene box and the effect
// of mouse drags and the wheel. Plain 32-bit float code, no OpenGL.
#pragma once

#include <cstdint>

#include "model/mesh_model.h"

namespace vertoko {

struct PreviewCamera {
    float eyeX = 0;
    float eyeY = 0;
    float eyeZ = 0;
    float step = 0;  // camera movement per mouse pixel
    float minZ = 0;
    float maxZ = 0;
    float farPlane = 0;
};

// Places the camera in front of the box, which the preview draws centred on
// the origin: s is the larger of the x and y extents, farPlane ten times the
// larger of s and the depth, eye (0, 0, (max.z - center.z) + 2 s), eyeZ
// bounds -s and eyeZ + 6 s, step s / 100.
void FitView(PreviewCamera& camera, const Extents& extents);

// With the drawing's Z axis up the preview draws the model as OpenGL's Y up
// takes it, (x, z, -y), and starts from the view of the framed POV-Ray
// camera: turned kZUpTurn degrees about y (the front right toward the
// viewer), then tilted kZUpTilt degrees about x (seen from above).
inline constexpr float kZUpTurn = -45.0f;
inline constexpr float kZUpTilt = 30.0f;

// The box around the origin that the model of drawingBox fills in that
// view: its corners moved to the centre, stood up and turned. FitView with
// it keeps the turned model in sight.
Extents ZUpViewBox(const Extents& drawingBox);

enum class DragMode { Idle, Rotate, Move, Zoom };

// Left alone rotates, right alone moves, both zoom; the middle button and
// the keyboard play no part.
DragMode DragModeFor(bool left, bool right);

// Moves the eye so that the model follows the mouse by (dx, dy) pixels.
void MoveCamera(PreviewCamera& camera, std::int32_t dx, std::int32_t dy);

// The zoom of a two-button drag: dy when |dy| >= |dx|, otherwise -dx.
std::int32_t ZoomAmount(std::int32_t dx, std::int32_t dy);

// eyeZ += delta. Returns false when the result left [minZ, maxZ]: eyeZ is
// then set to the bound it passed, and the caller neither updates the
// projection nor repaints.
bool ZoomCamera(PreviewCamera& camera, float delta);

// The eyeZ change of one wheel turn: wheelDelta x step x 0.1.
float WheelZoomDelta(const PreviewCamera& camera, std::int32_t wheelDelta);

// 0x00BBGGRR colour to red, green, blue in 0..1.
void ColorToFloats(std::uint32_t color, float rgb[3]);

}  // namespace vertoko
