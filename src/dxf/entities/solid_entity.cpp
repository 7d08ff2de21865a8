#include "dxf/entities/solid_entity.h"

#include "dxf/entities/extruded_entity.h"
#include "dxf/input/binary_pairs.h"
#include "dxf/input/text_pairs.h"

namespace vertoko {

template <PairSource Source>
bool ReadSolid(ReadContext& context, Source& pairs) {
    ExtrudedGroups groups;
    float corners[4][3] = {};
    bool fourthGiven = false;
    const bool read = ReadExtrudedEntity(context, pairs, groups, [&](std::int32_t code) {
        // Groups 10 to 33: axis in the tens, corner in the ones.
        const auto group = static_cast<std::uint32_t>(code) - 10u;
        const std::uint32_t axis = group / 10u;
        const std::uint32_t corner = group - axis * 10u;
        if (group >= 30u || corner >= 4u) return pairs.Skip();
        if (corner == 3u) fourthGiven = true;
        return pairs.Float(corners[corner][axis]);
    });
    if (!read) return false;
    if (!fourthGiven) {
        for (int axis = 0; axis < 3; ++axis) corners[3][axis] = corners[2][axis];
    }

    // The corners go round in the order 1, 2, 4, 3.
    constexpr int kOrder[4] = {0, 1, 3, 2};
    const bool triangle = corners[3][0] == corners[2][0] && corners[3][1] == corners[2][1] &&
                          corners[3][2] == corners[2][2];
    const int n = triangle ? 3 : 4;
    const Extrusion extrusion = groups.MakeExtrusion();
    double world[4][3];
    for (int k = 0; k < n; ++k) {
        const float* c = corners[triangle ? k : kOrder[k]];
        extrusion.ToWorld(c[0], c[1], c[2], world[k]);
    }
    EntityBuilder builder(context);
    if (extrusion.Thick()) return builder.AddPrism(groups.key, world, n, extrusion.Lift());
    float face[4][3];
    for (int k = 0; k < n; ++k) {
        for (int axis = 0; axis < 3; ++axis) face[k][axis] = FloatOf(world[k][axis]);
    }
    return builder.AddFace(groups.key, face, n);
}

template bool ReadSolid(ReadContext&, TextPairs&);
template bool ReadSolid(ReadContext&, BinaryPairs&);

}  // namespace vertoko
