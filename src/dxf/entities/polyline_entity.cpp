// POLYLINE parsing: a header state up to the first VERTEX, then one record
// per VERTEX, finished when the next group 0 arrives; the polygons are built
// once SEQEND has been read and the target object is known.
#include "dxf/entities/polyline_entity.h"

#include <cstdlib>
#include <string_view>

#include "dxf/drawing/color_resolution.h"
#include "dxf/input/dxf_numbers.h"
#include "dxf/read_state.h"

namespace vertoko {

namespace {

constexpr std::int32_t kClosedM = 1;
constexpr std::int32_t kCurveFit = 2;
constexpr std::int32_t kSplineFit = 4;
constexpr std::int32_t kPolygonMesh = 16;
constexpr std::int32_t kClosedN = 32;
constexpr std::int32_t kPolyface = 64;
constexpr std::int32_t kClosed3DPolyline = 9;
constexpr std::int32_t kCoordinateVertexBits = 8 | 16 | 32 | 64;
constexpr std::int32_t kFaceRecord = 128;

constexpr const char* kInvalid = "POLYLINE:Invalid data.";
constexpr const char* kUnsupported = "POLYLINE:対応していない形式です.";

struct PolylineState {
    bool inVertex = false;
    bool skipped = false;  // lenient reading: the entity adds nothing
    std::int32_t polylineFlags = 0;
    std::int32_t vertexFlags = 0;
    std::int32_t meshM = 0;
    std::int32_t meshN = 0;
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float elevation = 0.0f;
    // Face vertex numbers of the current record; 0 when not given.
    std::int32_t face[4] = {};
    bool faceGiven[4] = {};
    std::int32_t largestFaceNumber = 0;
    char layer[kLayerCapacity] = "0";  // DXF's default layer when group 8 is missing
    std::int32_t color = -1;
    std::int32_t trueColor = -1;
    // A face record's own colour groups; -1 when it gives none.
    std::int32_t faceColor = -1;
    std::int32_t faceTrueColor = -1;
    Chain<MeshVertex> vertices;
    Chain<MeshPolygon> faces;
    // The nodes of both chains, until the object that takes them adopts it.
    MeshArena arena = {};

    ~PolylineState() { ReleaseArena(arena); }

    bool IsPolyface() const {
        return (polylineFlags & kPolyface) != 0 && (polylineFlags & kPolygonMesh) == 0;
    }
};

MeshPolygon* NewPolygon(MeshArena& arena, std::int32_t corners, std::string& message) {
    MeshPolygon* polygon = ArenaPolygon(arena);
    if (polygon == nullptr) {
        message = "メモリーが足りません.(pol)\n";
        return nullptr;
    }
    polygon->p = ArenaCorners(arena, corners);
    if (polygon->p == nullptr) {
        message = "メモリーが足りません.(pol->p)\n";
        return nullptr;
    }
    polygon->cornerCount = corners;
    return polygon;
}

// A polyline of a kind that is not converted: the lenient reading skips it
// whole and goes on, the strict one refuses the drawing.
bool Unsupported(PolylineState& state, std::string& message) {
    DxfReadState& read = ReadState();
    if (read.options.dxfSkip != 0) {
        state.skipped = true;
        return true;
    }
    read.failedOnSkippable = true;
    message = LineMessage(kUnsupported);
    return false;
}

// Finishes the VERTEX record that a group 0 ends: a coordinate vertex or a
// face record.
bool FinishRecord(PolylineState& state, std::string& message) {
    if (state.skipped) return true;
    if ((state.vertexFlags & kCoordinateVertexBits) != 0) {
        if ((state.polylineFlags & kPolygonMesh) != 0 && (state.vertexFlags & kPolyface) == 0) {
            message = LineMessage("POLYLINE:Invalid data flag.");
            return false;
        }
        MeshVertex* vertex = ArenaVertex(state.arena, state.x, state.y, state.z + state.elevation);
        if (vertex == nullptr) {
            message = "メモリーが足りません.(ver)\n";
            return false;
        }
        state.vertices.Append(vertex);
        return true;
    }
    if (state.vertexFlags != kFaceRecord || !state.IsPolyface()) return Unsupported(state, message);

    // A face lists its vertex numbers in 71 to 74. A number that is 0, or
    // left out as DXF leaves out zeros, is an absent corner; a record with
    // fewer than three corners is an edge or a point and no polygon.
    std::int32_t corners[4];
    std::int32_t n = 0;
    for (int k = 0; k < 4; ++k) {
        if (state.faceGiven[k] && state.face[k] != 0) corners[n++] = state.face[k];
    }
    if (n < 3) return true;
    if (n == 4 && corners[3] == corners[2]) n = 3;

    MeshPolygon* polygon = NewPolygon(state.arena, n, message);
    if (polygon == nullptr) return false;
    // A face record coloured on its own keeps its colour; the others take
    // the polyline's once it is handed over.
    if (state.faceColor >= 0 || state.faceTrueColor >= 0)
        polygon->color = PolygonStyle(state.layer, state.faceColor, state.faceTrueColor);
    for (std::int32_t k = 0; k < n; ++k) {
        polygon->p[k] = corners[k] - 1;
        if (corners[k] > state.largestFaceNumber) state.largestFaceNumber = corners[k];
    }
    state.faces.Append(polygon);
    return true;
}

// Links a new polygon with the given corners to the slot.
bool AddQuad(ObjectSlot& slot, std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d,
             std::string& message) {
    MeshPolygon* polygon = NewPolygon(slot.arena, 4, message);
    if (polygon == nullptr) return false;
    polygon->p[0] = a;
    polygon->p[1] = b;
    polygon->p[2] = c;
    polygon->p[3] = d;
    AppendPolygon(slot, polygon);
    return true;
}

// Quadrilaterals over the M x N grid, row by row, each row's closing
// quadrilateral after it, the row that closes M last.
bool BuildPolygonMesh(const PolylineState& state, ObjectSlot& slot, std::int32_t base,
                      std::string& message) {
    const std::int32_t m = state.meshM;
    const std::int32_t n = state.meshN;
    auto v = [&](std::int32_t i, std::int32_t j) { return base + i * n + j; };
    const bool closedN = (state.polylineFlags & kClosedN) != 0;
    for (std::int32_t i = 0; i + 1 < m; ++i) {
        for (std::int32_t j = 0; j + 1 < n; ++j) {
            if (!AddQuad(slot, v(i, j), v(i, j + 1), v(i + 1, j + 1), v(i + 1, j), message))
                return false;
        }
        if (closedN && !AddQuad(slot, v(i, n - 1), v(i, 0), v(i + 1, 0), v(i + 1, n - 1), message))
            return false;
    }
    if ((state.polylineFlags & kClosedM) != 0) {
        for (std::int32_t j = 0; j + 1 < n; ++j) {
            if (!AddQuad(slot, v(m - 1, j), v(m - 1, j + 1), v(0, j + 1), v(0, j), message))
                return false;
        }
        if (closedN && !AddQuad(slot, v(m - 1, n - 1), v(m - 1, 0), v(0, 0), v(0, n - 1), message))
            return false;
    }
    return true;
}

// Gives the polygons that an entity adds after `before` (all of the slot's
// when null) the entity's style, unless a face record gave its own, on
// every way out of the entity.
struct StyleNewPolygons {
    ObjectSlot& slot;
    MeshPolygon* before;
    std::uint32_t style;

    ~StyleNewPolygons() {
        if (style == 0) return;
        for (MeshPolygon* p = before != nullptr ? before->next : slot.polygonHead; p != nullptr;
             p = p->next) {
            if (p->color == 0) p->color = style;
        }
    }
};

// Hands the gathered vertices and faces to their object and builds the
// polygons the polyline kind calls for.
bool CompleteEntity(PolylineState& state, int multi, std::string& message) {
    if (state.skipped) {
        ReadState().unconverted.Count(kSkippedPolyline);
        return true;
    }
    const std::int32_t flags = state.polylineFlags;
    const std::int32_t count = state.vertices.length;

    // Checks that keep every corner index inside the object.
    if ((flags & kPolygonMesh) != 0 && flags != kClosed3DPolyline) {
        const std::int64_t cells = std::int64_t{state.meshM} * state.meshN;
        if (state.meshM < 1 || state.meshN < 1 || cells != count) {
            message = LineMessage(kInvalid);
            return false;
        }
    } else if (state.largestFaceNumber > count) {
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
    // The entity's nodes now belong to the object, whatever follows.
    AdoptArena(slot.arena, state.arena);
    const StyleNewPolygons styled{slot, slot.polygonTail,
                                  PolygonStyle(state.layer, state.color, state.trueColor)};

    // The vertex chain moves into the slot as a whole.
    SpliceVertices(slot, state.vertices);

    if (flags == kClosed3DPolyline) {
        // A closed outline needs three corners to enclose anything.
        if (count < 3) return true;
        MeshPolygon* polygon = NewPolygon(slot.arena, count, message);
        if (polygon == nullptr) return false;
        for (std::int32_t k = 0; k < count; ++k) polygon->p[k] = base + k;
        AppendPolygon(slot, polygon);
        return true;
    }
    if ((flags & kPolygonMesh) != 0) return BuildPolygonMesh(state, slot, base, message);

    for (MeshPolygon* face = state.faces.head; face != nullptr; face = face->next) {
        for (std::int32_t k = 0; k < face->cornerCount; ++k) face->p[k] += base;
    }
    SplicePolygons(slot, state.faces);
    return true;
}

}  // namespace

std::int32_t ReadPolyline(std::FILE*, int multi, std::string& message) {
    DxfInput& input = ReadState().input;
    PolylineState state;
    std::string_view line;
    auto takeCoordinate = [&state](std::int32_t code, float value) {
        if (code == 10) {
            state.x = value;
        } else if (code == 20) {
            state.y = value;
        } else {
            state.z = value;
            if (!state.inVertex) state.elevation = value;
        }
    };
    for (;;) {
        ++input.lineCounter;
        std::int32_t code = input.ReadBareCode();
        LineStatus status = LineStatus::Ok;
        if (code < 0) {
            status = input.ReadCodeLine(line);
            code = status == LineStatus::Ok ? ParseIntPrefix(line) : 0;
        }
        if (status == LineStatus::Ok) {
            ++input.lineCounter;
            // A vertex coordinate in its plain form, the bulk of a mesh.
            float bare = 0.0f;
            if ((code == 10 || code == 20 || code == 30) && input.ReadBareFloat(bare)) {
                takeCoordinate(code, bare);
                continue;
            }
            status = input.ReadValueLine(line);
        }
        if (status != LineStatus::Ok) {
            message = InputFailureMessage(status, "読み込みに失敗しました.", "\n");
            return 0;
        }

        switch (code) {
            case 0: {
                if (state.inVertex && !FinishRecord(state, message)) return 0;
                char name[20];
                const std::string_view word = TokenView(line, name, sizeof name);
                if (word == "VERTEX") {
                    state.inVertex = true;
                    for (int k = 0; k < 4; ++k) state.faceGiven[k] = false;
                    state.faceColor = state.faceTrueColor = -1;
                } else if (word == "SEQEND") {
                    return CompleteEntity(state, multi, message) ? 1 : 0;
                } else {
                    message = LineMessage(kInvalid);
                    return 0;
                }
                break;
            }
            case 8:
                if (!state.inVertex) ReadToken(line, state.layer, sizeof state.layer);
                break;
            case 10:
            case 20:
            case 30: {
                float value = 0.0f;
                if (!ParseFloat(line, value)) {
                    message = LineMessage(kInvalid);
                    return 0;
                }
                takeCoordinate(code, value);
                break;
            }
            case 62:
                (state.inVertex ? state.faceColor : state.color) = ParseIntPrefix(line);
                break;
            case 420:
                (state.inVertex ? state.faceTrueColor : state.trueColor) = ParseIntPrefix(line);
                break;
            case 66:
                if (!state.inVertex && ParseIntPrefix(line) != 1) {
                    message = LineMessage(kInvalid);
                    return 0;
                }
                break;
            case 70: {
                const std::int32_t flags = ParseIntPrefix(line);
                const std::int32_t refused =
                    state.inVertex ? (kClosedM | kCurveFit | kSplineFit) : (kCurveFit | kSplineFit);
                if ((flags & refused) != 0 && !Unsupported(state, message)) return 0;
                (state.inVertex ? state.vertexFlags : state.polylineFlags) = flags;
                break;
            }
            case 71:
            case 72:
            case 73:
            case 74: {
                std::int32_t value = 0;
                if (!ParseInt(line, value)) {
                    message = LineMessage(kInvalid);
                    return 0;
                }
                if (!state.inVertex) {
                    // Taken whatever the order of 70, 71 and 72; only a polygon
                    // mesh uses them.
                    if (code == 71) state.meshM = value;
                    if (code == 72) state.meshN = value;
                } else if (state.IsPolyface()) {
                    // Negative numbers mark invisible edges and count alike.
                    const int k = code - 71;
                    state.face[k] = value < 0 ? (value == INT32_MIN ? INT32_MAX : -value) : value;
                    state.faceGiven[k] = true;
                }
                break;
            }
            default:
                break;
        }

        if (input.LastLineCut()) input.SkipLine();
    }
}

}  // namespace vertoko
