#include "dxf/entities/curve_points.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vertoko {

std::int32_t HeldCircleSegments(std::int32_t perCircle) {
    return std::clamp(perCircle, kMinCircleSegments, kMaxCircleSegments);
}

std::int32_t ArcSegments(double span, std::int32_t perCircle) {
    const std::int32_t full = HeldCircleSegments(perCircle);
    const double share = full * std::fabs(span) / (2.0 * std::numbers::pi);
    // The share of a half circle is computed a hair above its whole number.
    const double needed = std::ceil(share - 1e-9);
    if (!(needed >= 1.0)) return 1;
    return needed >= full ? full : static_cast<std::int32_t>(needed);
}

double ArcSpanDegrees(double start, double end) {
    if (start == end) return 0.0;
    auto turn = [](double angle) {
        const double r = std::fmod(angle, 360.0);
        return r < 0.0 ? r + 360.0 : r;
    };
    const double from = turn(start);
    const double to = turn(end);
    if (from == to) return 360.0;
    return to > from ? to - from : to + 360.0 - from;
}

bool BulgeToArc(double x0, double y0, double x1, double y1, double bulge, BulgeArc& arc) {
    if (bulge == 0.0 || !std::isfinite(bulge)) return false;
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    if (dx == 0.0 && dy == 0.0) return false;
    // The bulge is the tangent of a quarter of the swept angle; the centre
    // lies off the chord's middle by (1 - b^2) / 4b of the chord turned a
    // quarter to the left, which needs no trigonometry.
    const double offset = (1.0 - bulge * bulge) / (4.0 * bulge);
    arc.cx = (x0 + x1) * 0.5 - dy * offset;
    arc.cy = (y0 + y1) * 0.5 + dx * offset;
    arc.radius = std::hypot(dx, dy) * (1.0 + bulge * bulge) / (4.0 * std::fabs(bulge));
    arc.start = std::atan2(y0 - arc.cy, x0 - arc.cx);
    arc.span = 4.0 * std::atan(bulge);
    return true;
}

}  // namespace vertoko
