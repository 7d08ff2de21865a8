#include "dxf/entities/circle_entity.h"

#include <cmath>
#include <numbers>

#include "dxf/entities/curve_points.h"
#include "dxf/entities/extruded_entity.h"
#include "dxf/input/binary_pairs.h"
#include "dxf/input/text_pairs.h"

namespace vertoko {

template <PairSource Source>
bool ReadCircle(ReadContext& context, Source& pairs, bool arc) {
    ExtrudedGroups groups;
    float centre[3] = {};
    float radius = 0.0f;
    float angles[2] = {0.0f, 360.0f};  // groups 50 and 51, degrees
    const bool read = ReadExtrudedEntity(context, pairs, groups, [&](std::int32_t code) {
        switch (code) {
            case 10:
            case 20:
            case 30:
                return pairs.Float(centre[code / 10 - 1]);
            case 40:
                return pairs.Float(radius);
            case 50:
            case 51:
                return arc ? pairs.Float(angles[code - 50]) : pairs.Skip();
            default:
                return pairs.Skip();
        }
    });
    if (!read) return false;
    if (groups.thickness == 0.0f) return true;

    const Extrusion extrusion = groups.MakeExtrusion();
    EntityBuilder builder(context);
    WallStrip walls(builder, groups.key, extrusion.Lift());
    // CAD programs draw a negative radius as its size.
    const double r = std::fabs(static_cast<double>(radius));
    auto add = [&](double radians) {
        double point[3];
        extrusion.ToWorld(centre[0] + r * std::cos(radians), centre[1] + r * std::sin(radians),
                          centre[2], point);
        return walls.Add(point);
    };
    const std::int32_t perCircle = HeldCircleSegments(context.options.dxfSegments);
    if (!arc) {
        for (std::int32_t k = 0; k < perCircle; ++k) {
            if (!add(2.0 * std::numbers::pi * k / perCircle)) return false;
        }
        return walls.Close();
    }
    const double span = ArcSpanDegrees(angles[0], angles[1]);
    if (span == 0.0) return true;
    constexpr double kRadians = std::numbers::pi / 180.0;
    const std::int32_t segments = ArcSegments(span * kRadians, perCircle);
    for (std::int32_t k = 0; k <= segments; ++k) {
        if (!add((angles[0] + span * k / segments) * kRadians)) return false;
    }
    return true;
}

template bool ReadCircle(ReadContext&, TextPairs&, bool);
template bool ReadCircle(ReadContext&, BinaryPairs&, bool);

}  // namespace vertoko
