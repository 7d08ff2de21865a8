// 3DFACE parsing. Corner groups are taken by their code (1k, 2k and 3k are
// corner k), so the corners may come in any order and interleaving.
#include "dxf/entities/face_entity.h"

#include <string_view>

#include "dxf/entities/entity_builder.h"
#include "dxf/input/binary_pairs.h"
#include "dxf/input/text_pairs.h"

namespace vertoko {

namespace {

constexpr std::uint32_t kCorners = 4;

struct FaceGroups {
    float coord[kCorners][3] = {};
    bool given[kCorners][3] = {};
    EntityKey key;
};

// Corners 0 to 2 complete, corner 3 complete or wholly absent: returns the
// number of corners, or 0 when the face is incomplete.
inline int CornerCount(const FaceGroups& face) {
    for (int k = 0; k < 3; ++k) {
        if (!face.given[k][0] || !face.given[k][1] || !face.given[k][2]) return 0;
    }
    const bool* last = face.given[3];
    if (!last[0] && !last[1] && !last[2]) return 3;
    return last[0] && last[1] && last[2] ? 4 : 0;
}

// An incomplete face once more for the lenient reading: drawings of the
// oldest releases give corners as X and Y only, and DXF's default Z is 0
// (the coordinates start at 0). Kept apart from CornerCount so that the
// common path stays as it is.
int LenientCornerCount(const FaceGroups& face) {
    auto planar = [&face](int k) { return face.given[k][0] && face.given[k][1]; };
    for (int k = 0; k < 3; ++k) {
        if (!planar(k)) return 0;
    }
    const bool* last = face.given[3];
    if (!last[0] && !last[1] && !last[2]) return 3;
    return planar(3) ? 4 : 0;
}

bool SameCorner(const float* a, const float* b) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

}  // namespace

template <PairSource Source>
bool Read3DFace(ReadContext& context, Source& pairs) {
    std::string& message = context.message;
    FaceGroups face;
    SlotCursor cursor(context.slots, context.Keyed());
    for (;;) {
        std::int32_t code = 0;
        if (const PairStatus status = pairs.Code(code); status != PairStatus::Ok) {
            message = InputFailureMessage(pairs, status, "読みこみに失敗しました。");
            return false;
        }
        if (code == 0) break;

        // Groups 10 to 39: axis (X, Y, Z) in the tens, corner in the ones.
        const auto group = static_cast<std::uint32_t>(code) - 10u;
        const std::uint32_t axis = group / 10u;
        const std::uint32_t corner = group - axis * 10u;
        PairStatus status = PairStatus::Ok;
        if (group < 30u && corner < kCorners) {
            // The key comes before the corners as a rule: while they are
            // read, what storing the face will touch is fetched.
            cursor.Step(face.key);
            if (face.given[corner][axis]) {
                status = pairs.Skip();  // the first of a repeated group counts
            } else {
                float value = 0.0f;
                status = pairs.Float(value);
                if (status == PairStatus::BadNumber) {
                    message = MessageAt(pairs, "not float value.");
                    return false;
                }
                face.coord[corner][axis] = value;
                face.given[corner][axis] = true;
            }
        } else if (group < 30u && corner == kCorners) {
            // Groups 14, 24 and 34 would be a fifth corner.
            if (status = pairs.Skip(); status == PairStatus::Ok) {
                message = MessageAt(pairs, "3DFACE data is incorrect.");
                return false;
            }
        } else if (code == 8) {
            std::string_view value;
            if (status = pairs.Text(value); status == PairStatus::Ok)
                face.key.SetLayer(context.layers, value);
            cursor.KeyChanged();
        } else if (code == 62) {
            status = pairs.Int(face.key.color);
            if (status == PairStatus::BadNumber) {
                message = MessageAt(pairs, "not integer value.");
                return false;
            }
            cursor.KeyChanged();
        } else if (code == 420) {
            status = pairs.IntPrefix(face.key.trueColor);
        } else {
            status = pairs.Skip();
        }
        if (status != PairStatus::Ok) {
            message = InputFailureMessage(pairs, status, "file seek error.");
            return false;
        }
    }

    int n = CornerCount(face);
    if (n == 0 && context.options.dxfSkip != 0) n = LenientCornerCount(face);
    if (n == 0) {
        message = MessageAt(pairs, "3DFACE data is incorrect.");
        return false;
    }
    if (n == 4 && SameCorner(face.coord[2], face.coord[3])) n = 3;
    EntityBuilder builder(context);
    return builder.AddFace(face.key, face.coord, n, &cursor);
}

template bool Read3DFace(ReadContext&, TextPairs&);
template bool Read3DFace(ReadContext&, BinaryPairs&);

}  // namespace vertoko
