// MESH parsing. The geometry groups are taken inside the AcDbSubDMesh
// subclass only (the entity's common part may hold a group 92 of its own):
// 92 announces the vertices that the 10/20/30 points then give, 93 the size
// of the face list whose group 90 entries follow, each face a corner count
// and that many 0-based vertex indices. Edges, creases and overrides come
// after the face list and are read past.
#include "dxf/entities/mesh_entity.h"

#include <string_view>
#include <vector>

#include "dxf/entities/entity_builder.h"
#include "dxf/input/binary_pairs.h"
#include "dxf/input/text_pairs.h"

namespace vertoko {

namespace {

constexpr const char* kInvalid = "MESH:Invalid data.";

enum class Phase { Header, Vertices, Faces, Rest };

struct MeshState {
    bool inSubclass = true;  // a file without subclass markers is all mesh data
    Phase phase = Phase::Header;
    std::int32_t announcedVertices = 0;
    std::int32_t listSize = 0;     // face list entries announced by 93
    std::int32_t listRead = 0;     // face list entries read so far
    std::int32_t cornersLeft = 0;  // indices still to come for the current face
    std::vector<std::int32_t> corners;
    EntityKey key;
    PendingMesh mesh;
};

// One group 90 of the face list: a corner count or a vertex index. False
// when the entry is invalid (the caller writes the message) or memory is
// short (message written).
bool TakeFaceEntry(MeshState& state, std::int32_t value, std::string& message, bool& invalid) {
    ++state.listRead;
    if (state.cornersLeft == 0) {
        // A face must end within the announced list.
        if (value < 0 || value > state.listSize - state.listRead) {
            invalid = true;
            return false;
        }
        state.corners.clear();
        state.cornersLeft = value;
    } else {
        if (value < 0 || value >= state.mesh.VertexCount()) {
            invalid = true;
            return false;
        }
        state.corners.push_back(value);
        --state.cornersLeft;
        // Faces of fewer than three corners are edges or points.
        if (state.cornersLeft == 0 && state.corners.size() >= 3) {
            const auto n = static_cast<std::int32_t>(state.corners.size());
            MeshPolygon* polygon = state.mesh.AddPolygon(n, message);
            if (polygon == nullptr) return false;
            for (std::int32_t k = 0; k < n; ++k)
                polygon->p[k] = state.corners[static_cast<std::size_t>(k)];
        }
    }
    if (state.listRead == state.listSize) state.phase = Phase::Rest;
    return true;
}

// Takes one pair of the entity, its code read. Ok, an input failure to
// report, or BadNumber for an invalid pair; false in failed when the
// message is written already.
template <PairSource Source>
PairStatus TakePair(MeshState& state, std::int32_t code, Source& pairs, LayerTable& layers,
                    std::string& message, bool& failed) {
    if (code == 8) {
        std::string_view value;
        const PairStatus status = pairs.Text(value);
        if (status == PairStatus::Ok) state.key.SetLayer(layers, value);
        return status;
    }
    if (code == 62) return pairs.Int(state.key.color);
    if (code == 420) return pairs.IntPrefix(state.key.trueColor);
    if (code == 100) {
        std::string_view value;
        const PairStatus status = pairs.Text(value);
        if (status != PairStatus::Ok) return status;
        char name[16];
        ReadToken(value, name, sizeof name);
        state.inSubclass = std::string_view(name) == "ACDBSUBDMESH";
        return status;
    }
    if (!state.inSubclass) return pairs.Skip();
    // The face list's entries follow one another; another group inside it
    // means the list is shorter than announced.
    if (state.phase == Phase::Faces && code != 90) {
        const PairStatus status = pairs.Skip();
        return status == PairStatus::Ok ? PairStatus::BadNumber : status;
    }

    if (code == 10 || code == 20 || code == 30) {
        if (state.phase != Phase::Vertices) return pairs.Skip();
        float value = 0.0f;
        if (const PairStatus status = pairs.Float(value); status != PairStatus::Ok) return status;
        if (code == 10) {
            if (state.mesh.VertexCount() == state.announcedVertices) return PairStatus::BadNumber;
            if (!state.mesh.AddVertex(value, 0.0f, 0.0f, message)) failed = true;
            return PairStatus::Ok;
        }
        MeshVertex* last = state.mesh.LastVertex();
        if (last == nullptr) return PairStatus::BadNumber;
        (code == 20 ? last->y : last->z) = value;
        return PairStatus::Ok;
    }
    if (code != 90 && code != 92 && code != 93) return pairs.Skip();
    std::int32_t value = 0;
    const PairStatus status = pairs.Int(value);
    if (status != PairStatus::Ok && status != PairStatus::BadNumber) return status;
    const bool number = status == PairStatus::Ok;
    if (code == 92 && state.phase == Phase::Header) {
        if (!number || value < 0) return PairStatus::BadNumber;
        state.announcedVertices = value;
        state.phase = Phase::Vertices;
    } else if (code == 93 && (state.phase == Phase::Header || state.phase == Phase::Vertices)) {
        if (!number || value < 0 || state.mesh.VertexCount() != state.announcedVertices)
            return PairStatus::BadNumber;
        state.listSize = value;
        state.phase = value > 0 ? Phase::Faces : Phase::Rest;
    } else if (code == 90 && state.phase == Phase::Faces) {
        if (!number) return PairStatus::BadNumber;
        bool invalid = false;
        if (!TakeFaceEntry(state, value, message, invalid)) {
            if (invalid) return PairStatus::BadNumber;
            failed = true;
        }
    }
    return PairStatus::Ok;
}

}  // namespace

template <PairSource Source>
bool ReadMesh(ReadContext& context, Source& pairs) {
    std::string& message = context.message;
    MeshState state;
    for (;;) {
        std::int32_t code = 0;
        PairStatus status = pairs.Code(code);
        if (status == PairStatus::Ok && code == 0) break;
        bool failed = false;
        if (status == PairStatus::Ok)
            status = TakePair(state, code, pairs, context.layers, message, failed);
        if (failed) return false;
        if (status == PairStatus::BadNumber) {
            message = MessageAt(pairs, kInvalid);
            return false;
        }
        if (status != PairStatus::Ok) {
            message = InputFailureMessage(pairs, status, "MESH:読み込みに失敗しました.");
            return false;
        }
    }
    if (state.phase == Phase::Faces ||
        (state.phase == Phase::Vertices && state.mesh.VertexCount() != state.announcedVertices)) {
        message = MessageAt(pairs, kInvalid);
        return false;
    }
    EntityBuilder builder(context);
    return state.mesh.Commit(builder, state.key);
}

template bool ReadMesh(ReadContext&, TextPairs&);
template bool ReadMesh(ReadContext&, BinaryPairs&);

}  // namespace vertoko
