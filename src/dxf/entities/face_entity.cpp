// 3DFACE parsing. Corner groups are taken by their code (1k, 2k and 3k are
// corner k), so the corners may come in any order and interleaving.
#include "dxf/entities/face_entity.h"

#include <cstdlib>
#include <string_view>

#include "dxf/drawing/color_resolution.h"
#include "dxf/input/dxf_numbers.h"
#include "dxf/read_state.h"

namespace vertoko {

namespace {

constexpr int kCorners = 4;

struct FaceGroups {
    float coord[kCorners][3] = {};
    bool given[kCorners][3] = {};
    char layer[kLayerCapacity];  // DXF's default layer "0" when group 8 is missing
    std::int32_t color = -1;
    std::int32_t trueColor = -1;

    // Only the name's first bytes: the rest of the field is never read.
    FaceGroups() {
        layer[0] = '0';
        layer[1] = '\0';
    }
};

// Corners 0 to 2 complete, corner 3 complete or wholly absent: returns the
// number of corners, or 0 when the face is incomplete.
int CornerCount(const FaceGroups& face) {
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
    if (ReadState().options.dxfSkip == 0) return 0;
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

// What the fetching ahead found out about the face's key: its hash, and
// the slot its index entry gives (-1 when not known).
struct KeyHints {
    bool hashed = false;
    std::uint32_t hash = 0;
    std::int32_t slot = -1;
};

// Appends the face as one polygon with n new vertices to the slot.
std::int32_t StoreFace(const FaceGroups& face, int n, int multi, const KeyHints& key,
                       std::string& message) {
    std::int32_t index = 0;
    if (multi) {
        index = key.hashed ? set_obj(face.layer, face.color, key.hash, key.slot)
                           : set_obj(face.layer, face.color);
        if (index < 0) return 0;
    }
    ObjectSlot& slot = ReadState().slots.slots[index];

    // Taken in the order of the messages: the polygon, its corners, then the
    // vertices.
    MeshPolygon* polygon = ArenaPolygon(slot.arena);
    if (polygon == nullptr) {
        message = "メモリーが足りません.(pol)\n";
        return 0;
    }
    polygon->p = ArenaCorners(slot.arena, n);
    if (polygon->p == nullptr) {
        message = "メモリーが足りません.(pol->p)\n";
        return 0;
    }
    polygon->cornerCount = n;
    polygon->color = PolygonStyle(face.layer, face.color, face.trueColor);
    for (int k = 0; k < n; ++k) polygon->p[k] = -1;
    AppendPolygon(slot, polygon);

    for (int k = 0; k < n; ++k) {
        MeshVertex* vertex =
            ArenaVertex(slot.arena, face.coord[k][0], face.coord[k][1], face.coord[k][2]);
        if (vertex == nullptr) {
            message = "メモリーが足りません.(ver)\n";
            return 0;
        }
        polygon->p[k] = slot.vertexCount;
        AppendVertex(slot, vertex);
    }
    return 1;
}

}  // namespace

std::int32_t Read3DFace(std::FILE*, int multi, std::string& message) {
    DxfInput& input = ReadState().input;
    FaceGroups face;
    std::string_view line;
    // Fetching ahead in multi-object mode (see below).
    int hints = 0;
    std::uint32_t keyHash = 0;
    std::int32_t slotHint = -1;
    for (;;) {
        ++input.lineCounter;
        std::int32_t code = input.ReadBareCode();
        if (code < 0) {
            if (LineStatus status = input.ReadCodeLine(line); status != LineStatus::Ok) {
                message = InputFailureMessage(status, "読みこみに失敗しました。");
                return 0;
            }
            code = ParseIntPrefix(line);
        }
        if (code == 0) break;

        ++input.lineCounter;
        const std::int32_t axis = code / 10 - 1;  // 0 for X, 1 for Y, 2 for Z
        const std::int32_t corner = code % 10;
        if (multi && code >= 10 && code < 40) {
            // The key comes before the corners as a rule: while they are
            // parsed, what storing the face will touch is fetched step by
            // step, each step once the one before has arrived.
            if (hints == 0) {
                keyHash = SlotKeyHash(face.layer, face.color);
                PrefetchSlotIndex(keyHash);
            } else if (hints == 3) {
                slotHint = PrefetchSlot(keyHash);
            } else if (hints == 6) {
                PrefetchSlotEnd(slotHint);
            }
            if (hints < 7) ++hints;
        }
        // A corner value in its plain form, the bulk of a drawing.
        float bare = 0.0f;
        if (code >= 10 && code < 40 && corner < kCorners && input.ReadBareFloat(bare)) {
            if (!face.given[corner][axis]) {
                face.coord[corner][axis] = bare;
                face.given[corner][axis] = true;
            }
            continue;
        }

        if (LineStatus status = input.ReadValueLine(line); status != LineStatus::Ok) {
            message = InputFailureMessage(status, "file seek error.");
            return 0;
        }
        if (code == 8) {
            ReadToken(line, face.layer, sizeof face.layer);
            hints = 0;
        } else if (code >= 10 && code < 40 && corner < kCorners) {
            if (!face.given[corner][axis]) {
                float value = 0.0f;
                if (!ParseFloat(line, value)) {
                    message = LineMessage("not float value.");
                    return 0;
                }
                face.coord[corner][axis] = value;
                face.given[corner][axis] = true;
            }
        } else if (code >= 10 && code < 40 && corner == kCorners) {
            // Groups 14, 24 and 34 would be a fifth corner.
            message = LineMessage("3DFACE data is incorrect.");
            return 0;
        } else if (code == 62) {
            if (!ParseInt(line, face.color)) {
                message = LineMessage("not integer value.");
                return 0;
            }
            hints = 0;
        } else if (code == 420) {
            face.trueColor = ParseIntPrefix(line);
        }

        // The rest of a value line cut at 127 characters is no line of its
        // own; extended data counts the discarded rest as the driver does.
        if (input.LastLineCut()) {
            if (code >= 1000) ++input.lineCounter;
            input.SkipLine();
        } else if (code >= 1000) {
            ++input.lineCounter;
        }
    }

    int n = CornerCount(face);
    if (n == 0) n = LenientCornerCount(face);
    if (n == 0) {
        message = LineMessage("3DFACE data is incorrect.");
        return 0;
    }
    if (n == 4 && SameCorner(face.coord[2], face.coord[3])) n = 3;
    // The hash stands for the key from the first corner group after the
    // last layer or colour group on; the slot hint from the fourth.
    KeyHints key;
    if (hints > 0) {
        key.hashed = true;
        key.hash = keyHash;
        if (hints > 3) key.slot = slotHint;
    }
    return StoreFace(face, n, multi, key, message);
}

}  // namespace vertoko
