// The pairs of an entity drawn in a coordinate system of its own and
// standing up by a thickness (LINE, CIRCLE, ARC, SOLID, TRACE,
// LWPOLYLINE): the groups they share are read here, each entity's own
// groups by its parser.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dxf/entities/entity_builder.h"
#include "dxf/input/pair_source.h"

namespace vertoko {

struct ExtrudedGroups {
    EntityKey key;
    float thickness = 0.0f;                   // group 39
    float direction[3] = {0.0f, 0.0f, 1.0f};  // groups 210, 220, 230

    Extrusion MakeExtrusion() const {
        const double d[3] = {direction[0], direction[1], direction[2]};
        return Extrusion(d, thickness);
    }
};

// Reads the pairs of one entity whose "0 / NAME" pair has just been read, up
// to and including the code of the next group 0, whose value is left to the
// caller: the shared groups into groups, every other code handed to
// own(code), which reads or skips the value and returns the status (a
// number it cannot read, BadNumber, fails as "not float value."). False
// after writing context.message.
template <PairSource Source, typename Own>
bool ReadExtrudedEntity(ReadContext& context, Source& pairs, ExtrudedGroups& groups, Own own) {
    std::string& message = context.message;
    for (;;) {
        std::int32_t code = 0;
        if (const PairStatus status = pairs.Code(code); status != PairStatus::Ok) {
            message = InputFailureMessage(pairs, status, "読みこみに失敗しました。");
            return false;
        }
        if (code == 0) return true;
        PairStatus status = PairStatus::Ok;
        switch (code) {
            case 8: {
                std::string_view value;
                status = pairs.Text(value);
                if (status == PairStatus::Ok) groups.key.SetLayer(context.layers, value);
                break;
            }
            case 62:
                status = pairs.Int(groups.key.color);
                if (status == PairStatus::BadNumber) {
                    message = MessageAt(pairs, "not integer value.");
                    return false;
                }
                break;
            case 420:
                status = pairs.IntPrefix(groups.key.trueColor);
                break;
            case 39:
                status = pairs.Float(groups.thickness);
                break;
            case 210:
            case 220:
            case 230:
                status = pairs.Float(groups.direction[(code - 210) / 10]);
                break;
            default:
                status = own(code);
                break;
        }
        if (status == PairStatus::BadNumber) {
            message = MessageAt(pairs, "not float value.");
            return false;
        }
        if (status != PairStatus::Ok) {
            message = InputFailureMessage(pairs, status, "file seek error.");
            return false;
        }
    }
}

}  // namespace vertoko
