// 3DFACE parsing. Corner groups are taken by their code (1k, 2k and 3k are
// corner k), so the corners may come in any order and interleaving.
#include "dxf/entities/face_entity.h"

#include <string_view>

#include "dxf/entities/entity_builder.h"
#include "dxf/input/binary_pairs.h"
#include "dxf/input/text_pairs.h"

namespace vertoko {

namespace {

constexpr int kCorners = 4;

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

        const std::int32_t axis = code / 10 - 1;  // 0 for X, 1 for Y, 2 for Z
        const std::int32_t corner = code % 10;
        PairStatus status = PairStatus::Ok;
        if (code >= 10 && code < 40 && corner < kCorners) {
            // The key comes before the corners as a rule: while they are
            // read, what storing the face will touch is fetched.
            cursor.Step(face.key);
            if (face.given[corner][axis]) {
                status = pairs.Skip();  // the first of a repeated group counts
            } else {
                status = pairs.Float(face.coord[corner][axis]);
                if (status == PairStatus::BadNumber) {
                    message = MessageAt(pairs, "not float value.");
                    return false;
                }
                face.given[corner][axis] = true;
            }
        } else if (code >= 10 && code < 40 && corner == kCorners) {
            // Groups 14, 24 and 34 would be a fifth corner.
            if (status = pairs.Skip(); status == PairStatus::Ok) {
                message = MessageAt(pairs, "3DFACE data is incorrect.");
                return false;
            }
        } else if (code == 8) {
            std::string_view value;
            if (status = pairs.Text(value); status == PairStatus::Ok) face.key.SetLayer(value);
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
