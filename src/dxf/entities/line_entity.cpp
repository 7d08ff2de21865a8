#include "dxf/entities/line_entity.h"

#include "dxf/entities/extruded_entity.h"
#include "dxf/input/binary_pairs.h"
#include "dxf/input/text_pairs.h"

namespace vertoko {

template <PairSource Source>
bool ReadLine(ReadContext& context, Source& pairs) {
    ExtrudedGroups groups;
    float ends[2][3] = {};
    const bool read = ReadExtrudedEntity(context, pairs, groups, [&](std::int32_t code) {
        // Groups 10 to 31: axis in the tens, end in the ones.
        const auto group = static_cast<std::uint32_t>(code) - 10u;
        const std::uint32_t axis = group / 10u;
        const std::uint32_t end = group - axis * 10u;
        return group < 30u && end < 2u ? pairs.Float(ends[end][axis]) : pairs.Skip();
    });
    if (!read) return false;
    if (groups.thickness == 0.0f) return true;
    const Extrusion extrusion = groups.MakeExtrusion();
    EntityBuilder builder(context);
    WallStrip wall(builder, groups.key, extrusion.Lift());
    for (const float* end : ends) {
        const double point[3] = {end[0], end[1], end[2]};
        if (!wall.Add(point)) return false;
    }
    return true;
}

template bool ReadLine(ReadContext&, TextPairs&);
template bool ReadLine(ReadContext&, BinaryPairs&);

}  // namespace vertoko
