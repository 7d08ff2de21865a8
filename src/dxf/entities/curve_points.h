// Arcs as straight segments. One resolution serves every curve of a
// drawing, the segments of a full circle; an arc takes its share of them,
// rounded up, so that no arc is drawn coarser than the circle.
#pragma once

#include <cstdint>

namespace vertoko {

inline constexpr std::int32_t kMinCircleSegments = 3;
inline constexpr std::int32_t kMaxCircleSegments = 1024;

// perCircle held to [kMinCircleSegments, kMaxCircleSegments].
std::int32_t HeldCircleSegments(std::int32_t perCircle);

// The segments of an arc whose angle is span radians (its magnitude
// counts): ceil(perCircle * |span| / 2 pi), where a whole number missed by
// less than 1e-9 counts as met, at least 1 and at most perCircle (held as
// above). An angle that is not a number takes one segment.
std::int32_t ArcSegments(double span, std::int32_t perCircle);

// The counter-clockwise angle in degrees from start to end of an ARC: 0
// when both are the same number, 360 when they differ by whole turns, else
// in (0, 360).
double ArcSpanDegrees(double start, double end);

// The arc that a polyline vertex's bulge draws to the next vertex: centre,
// radius, the angle of the first vertex and the signed angle swept
// (negative: clockwise), in radians.
struct BulgeArc {
    double cx = 0.0;
    double cy = 0.0;
    double radius = 0.0;
    double start = 0.0;
    double span = 0.0;
};

// False when the segment is straight: a bulge of 0 or not finite, or both
// ends the same point.
bool BulgeToArc(double x0, double y0, double x1, double y1, double bulge, BulgeArc& arc);

}  // namespace vertoko
