#include "dxf/entities/lwpolyline_entity.h"

#include <new>
#include <vector>

#include "dxf/entities/extruded_entity.h"
#include "dxf/input/binary_pairs.h"
#include "dxf/input/text_pairs.h"

namespace vertoko {

template <PairSource Source>
bool ReadLwPolyline(ReadContext& context, Source& pairs) {
    constexpr std::int32_t kClosed = 1;
    ExtrudedGroups groups;
    std::vector<PathPoint> points;
    float elevation = 0.0f;
    std::int32_t flags = 0;
    const auto own = [&](std::int32_t code) {
        float value = 0.0f;
        PairStatus status = PairStatus::Ok;
        switch (code) {
            case 10:
                status = pairs.Float(value);
                points.push_back({value, 0.0, 0.0});
                return status;
            case 20:
            case 42:
                if (points.empty()) return pairs.Skip();
                status = pairs.Float(value);
                (code == 20 ? points.back().y : points.back().bulge) = value;
                return status;
            case 38:
                return pairs.Float(elevation);
            case 70:
                return pairs.IntPrefix(flags);
            default:
                return pairs.Skip();
        }
    };
    try {
        if (!ReadExtrudedEntity(context, pairs, groups, own)) return false;
    } catch (const std::bad_alloc&) {
        context.message = "メモリーが足りません.(ver)\n";
        return false;
    }
    if (groups.thickness == 0.0f) return true;
    EntityBuilder builder(context);
    return AddPathWalls(builder, groups.key, points.data(), points.size(), (flags & kClosed) != 0,
                        elevation, groups.MakeExtrusion(), context.options.dxfSegments);
}

template bool ReadLwPolyline(ReadContext&, TextPairs&);
template bool ReadLwPolyline(ReadContext&, BinaryPairs&);

}  // namespace vertoko
