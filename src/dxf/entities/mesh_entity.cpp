// MESH parsing. The geometry groups are taken inside the AcDbSubDMesh
// subclass only (the entity's common part may hold a group 92 of its own):
// 92 announces the vertices that the 10/20/30 points then give, 93 the size
// of the face list whose group 90 entries follow, each face a corner count
// and that many 0-based vertex indices. Edges, creases and overrides come
// after the face list and are read past.
#include "dxf/entities/mesh_entity.h"

#include <cstdlib>
#include <string_view>
#include <vector>

#include "dxf/drawing/color_resolution.h"
#include "dxf/input/dxf_numbers.h"
#include "dxf/read_state.h"

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
    char layer[kLayerCapacity] = "0";
    std::int32_t color = -1;
    std::int32_t trueColor = -1;
    Chain<MeshVertex> vertices;
    Chain<MeshPolygon> faces;
    // The nodes of both lists, until the object that takes them adopts it.
    MeshArena arena = {};

    MeshState() = default;
    MeshState(const MeshState&) = delete;
    MeshState& operator=(const MeshState&) = delete;
    ~MeshState() { ReleaseArena(arena); }
};

bool AddVertex(MeshState& state, float x, std::string& message) {
    MeshVertex* vertex = ArenaVertex(state.arena, x, 0.0f, 0.0f);
    if (vertex == nullptr) {
        message = "メモリーが足りません.(ver)\n";
        return false;
    }
    state.vertices.Append(vertex);
    return true;
}

bool AddFace(MeshState& state, std::string& message) {
    const std::size_t n = state.corners.size();
    MeshPolygon* polygon = ArenaPolygon(state.arena);
    if (polygon == nullptr) {
        message = "メモリーが足りません.(pol)\n";
        return false;
    }
    polygon->p = ArenaCorners(state.arena, static_cast<std::int32_t>(n));
    if (polygon->p == nullptr) {
        message = "メモリーが足りません.(pol->p)\n";
        return false;
    }
    polygon->cornerCount = static_cast<std::int32_t>(n);
    polygon->color = 0;
    for (std::size_t k = 0; k < n; ++k) polygon->p[k] = state.corners[k];
    polygon->next = nullptr;
    state.faces.Append(polygon);
    return true;
}

// One group 90 of the face list: a corner count or a vertex index.
bool TakeFaceEntry(MeshState& state, std::int32_t value, std::string& message) {
    ++state.listRead;
    if (state.cornersLeft == 0) {
        // A face must end within the announced list.
        if (value < 0 || value > state.listSize - state.listRead) {
            message = LineMessage(kInvalid);
            return false;
        }
        state.corners.clear();
        state.cornersLeft = value;
    } else {
        if (value < 0 || value >= state.vertices.length) {
            message = LineMessage(kInvalid);
            return false;
        }
        state.corners.push_back(value);
        --state.cornersLeft;
        // Faces of fewer than three corners are edges or points.
        if (state.cornersLeft == 0 && state.corners.size() >= 3 && !AddFace(state, message))
            return false;
    }
    if (state.listRead == state.listSize) state.phase = Phase::Rest;
    return true;
}

// Hands the vertices and faces to their object.
bool CompleteMesh(MeshState& state, int multi, std::string& message) {
    if (state.phase == Phase::Faces ||
        (state.phase == Phase::Vertices && state.vertices.length != state.announcedVertices)) {
        message = LineMessage(kInvalid);
        return false;
    }
    std::int32_t index = 0;
    if (multi) {
        index = set_obj(state.layer, state.color);
        if (index < 0) return false;
    }
    ObjectSlot& slot = ReadState().slots.slots[index];
    const std::int32_t base = slot.vertexCount;
    // The entity's nodes now belong to the object.
    AdoptArena(slot.arena, state.arena);
    SpliceVertices(slot, state.vertices);
    const std::uint32_t style = PolygonStyle(state.layer, state.color, state.trueColor);
    for (MeshPolygon* face = state.faces.head; face != nullptr; face = face->next) {
        for (std::int32_t k = 0; k < face->cornerCount; ++k) face->p[k] += base;
        face->color = style;
    }
    SplicePolygons(slot, state.faces);
    return true;
}

// Takes one pair of the entity. False after writing the message.
bool TakePair(MeshState& state, std::int32_t code, std::string_view line, std::string& message) {
    if (code == 8) {
        ReadToken(line, state.layer, sizeof state.layer);
        return true;
    }
    if (code == 62) {
        if (!ParseInt(line, state.color)) {
            message = LineMessage(kInvalid);
            return false;
        }
        return true;
    }
    if (code == 420) {
        state.trueColor = ParseIntPrefix(line);
        return true;
    }
    if (code == 100) {
        char name[16];
        ReadToken(line, name, sizeof name);
        state.inSubclass = std::string_view(name) == "ACDBSUBDMESH";
        return true;
    }
    if (!state.inSubclass) return true;
    // The face list's entries follow one another; another group inside it
    // means the list is shorter than announced.
    if (state.phase == Phase::Faces && code != 90) {
        message = LineMessage(kInvalid);
        return false;
    }

    if (code == 10 || code == 20 || code == 30) {
        if (state.phase != Phase::Vertices) return true;
        float value = 0.0f;
        if (!ParseFloat(line, value)) {
            message = LineMessage(kInvalid);
            return false;
        }
        if (code == 10) {
            if (state.vertices.length == state.announcedVertices) {
                message = LineMessage(kInvalid);
                return false;
            }
            return AddVertex(state, value, message);
        }
        if (state.vertices.tail == nullptr) {
            message = LineMessage(kInvalid);
            return false;
        }
        (code == 20 ? state.vertices.tail->y : state.vertices.tail->z) = value;
        return true;
    }
    if (code != 90 && code != 92 && code != 93) return true;
    std::int32_t value = 0;
    const bool number = ParseInt(line, value);
    if (code == 92 && state.phase == Phase::Header) {
        if (!number || value < 0) {
            message = LineMessage(kInvalid);
            return false;
        }
        state.announcedVertices = value;
        state.phase = Phase::Vertices;
    } else if (code == 93 && (state.phase == Phase::Header || state.phase == Phase::Vertices)) {
        if (!number || value < 0 || state.vertices.length != state.announcedVertices) {
            message = LineMessage(kInvalid);
            return false;
        }
        state.listSize = value;
        state.phase = value > 0 ? Phase::Faces : Phase::Rest;
    } else if (code == 90 && state.phase == Phase::Faces) {
        if (!number) {
            message = LineMessage(kInvalid);
            return false;
        }
        return TakeFaceEntry(state, value, message);
    }
    return true;
}

}  // namespace

std::int32_t ReadMesh(int multi, std::string& message) {
    DxfInput& input = ReadState().input;
    MeshState state;
    std::string_view line;
    for (;;) {
        ++input.lineCounter;
        if (LineStatus status = input.ReadCodeLine(line); status != LineStatus::Ok) {
            message = InputFailureMessage(status, "MESH:読み込みに失敗しました.");
            return 0;
        }
        const std::int32_t code = ParseIntPrefix(line);
        if (code == 0) break;

        ++input.lineCounter;
        if (LineStatus status = input.ReadValueLine(line); status != LineStatus::Ok) {
            message = InputFailureMessage(status, "MESH:読み込みに失敗しました.");
            return 0;
        }
        if (!TakePair(state, code, line, message)) return 0;

        // As in 3DFACE: the rest of a cut line is no line of its own, and
        // extended data counts one line more, as the driver counts it.
        if (input.LastLineCut()) {
            if (code >= 1000) ++input.lineCounter;
            input.SkipLine();
        } else if (code >= 1000) {
            ++input.lineCounter;
        }
    }
    return CompleteMesh(state, multi, message) ? 1 : 0;
}

}  // namespace vertoko
