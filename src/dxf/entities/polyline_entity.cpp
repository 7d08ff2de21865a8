// POLYLINE parsing: a header state up to the first VERTEX, then one record
// per VERTEX, finished when the next group 0 arrives; the polygons are built
// once SEQEND has been read and handed to the object with the vertices. A 2D
// polyline, read when entities with thickness are, gathers its points as a
// path instead and stands up as walls.
#include "dxf/entities/polyline_entity.h"

#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "dxf/entities/entity_builder.h"
#include "dxf/input/binary_pairs.h"
#include "dxf/input/text_pairs.h"

namespace vertoko {

namespace {

constexpr std::int32_t kClosedM = 1;
constexpr std::int32_t kCurveFit = 2;
constexpr std::int32_t kSplineFit = 4;
constexpr std::int32_t kPolygonMesh = 16;
constexpr std::int32_t k3DPolyline = 8;
constexpr std::int32_t kClosedN = 32;
constexpr std::int32_t kPolyface = 64;
constexpr std::int32_t kClosed3DPolyline = 9;
constexpr std::int32_t kCoordinateVertexBits = 8 | 16 | 32 | 64;
constexpr std::int32_t kFaceRecord = 128;
constexpr std::int32_t k3DPolylineVertex = 32;
constexpr std::int32_t kFrameControlVertex = 16;

constexpr const char* kInvalid = "POLYLINE:Invalid data.";
constexpr const char* kUnsupported = "POLYLINE:対応していない形式です.";

struct PolylineState {
    bool inVertex = false;
    bool skipped = false;  // lenient reading: the entity adds nothing
    std::int32_t polylineFlags = 0;
    std::int32_t vertexFlags = 0;
    bool vertexFlagsGiven = false;  // the current VERTEX has a group 70
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
    EntityKey key;  // the polyline's own layer and colour
    // A face record's own colour groups; -1 when it gives none.
    std::int32_t faceColor = -1;
    std::int32_t faceTrueColor = -1;
    PendingMesh mesh;
    // A 2D polyline's points, thickness and extrusion direction; read only
    // when entities with thickness are.
    bool readsPath = false;  // the option is on
    std::vector<PathPoint> path;
    float bulge = 0.0f;
    float thickness = 0.0f;
    double direction[3] = {0.0, 0.0, 1.0};

    // A 2D polyline (neither 3D nor a mesh) read as a path of walls.
    bool IsPath() const {
        return readsPath && (polylineFlags & (k3DPolyline | kPolygonMesh | kPolyface)) == 0;
    }

    bool IsPolyface() const {
        return (polylineFlags & kPolyface) != 0 && (polylineFlags & kPolygonMesh) == 0;
    }

    // The current record's flags. Some writers leave group 70 out of the
    // vertices of a 3D polyline: the polyline's own flag says what they are.
    std::int32_t RecordFlags() const {
        const bool only3D =
            (polylineFlags & (k3DPolyline | kPolygonMesh | kPolyface)) == k3DPolyline;
        return !vertexFlagsGiven && only3D ? k3DPolylineVertex : vertexFlags;
    }
};

// What the refusal calls a polyline with these flags, so that a user can
// tell a 2D polyline from a fitted one without looking into the file.
std::string PolylineKind(std::int32_t flags) {
    std::string kind = (flags & kSplineFit) != 0  ? "スプラインフィット"
                       : (flags & kCurveFit) != 0 ? "カーブフィット"
                                                  : "";
    if ((flags & kPolygonMesh) != 0) return kind + "ポリゴンメッシュ";
    if ((flags & kPolyface) != 0) return kind + "ポリフェースメッシュ";
    if ((flags & k3DPolyline) != 0) return kind + "3Dポリライン";
    return kind + "2Dポリライン";
}

// A polyline of a kind that is not converted: the lenient reading skips it
// whole and goes on, the strict one refuses the drawing and names the kind
// after the line number, so that the message keeps its old beginning.
template <PairSource Source>
bool Unsupported(PolylineState& state, ReadContext& context, const Source& pairs,
                 std::int32_t flags) {
    if (context.options.dxfSkip != 0) {
        state.skipped = true;
        return true;
    }
    context.failedOnSkippable = true;
    context.message = MessageAt(pairs, kUnsupported, " 種類：" + PolylineKind(flags));
    return false;
}

// Finishes the VERTEX record that a group 0 ends: a coordinate vertex or a
// face record.
template <PairSource Source>
bool FinishRecord(PolylineState& state, EntityBuilder& builder, const Source& pairs) {
    if (state.skipped) return true;
    if (state.IsPath()) {
        // Frame control points steer a spline and are not on the line.
        if (state.vertexFlagsGiven && (state.vertexFlags & kFrameControlVertex) != 0) return true;
        try {
            state.path.push_back({state.x, state.y, state.bulge});
        } catch (const std::bad_alloc&) {
            builder.Context().message = "メモリーが足りません.(ver)\n";
            return false;
        }
        return true;
    }
    std::string& message = builder.Context().message;
    const std::int32_t vertexFlags = state.RecordFlags();
    if ((vertexFlags & kCoordinateVertexBits) != 0) {
        if ((state.polylineFlags & kPolygonMesh) != 0 && (vertexFlags & kPolyface) == 0) {
            message = MessageAt(pairs, "POLYLINE:Invalid data flag.");
            return false;
        }
        return state.mesh.AddVertex(state.x, state.y, state.z + state.elevation, message);
    }
    if (vertexFlags != kFaceRecord || !state.IsPolyface())
        return Unsupported(state, builder.Context(), pairs, state.polylineFlags);

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

    MeshPolygon* polygon = state.mesh.AddPolygon(n, message);
    if (polygon == nullptr) return false;
    // A face record coloured on its own keeps its colour; the others take
    // the polyline's when it is handed over.
    if (state.faceColor >= 0 || state.faceTrueColor >= 0)
        polygon->color = builder.StyleOf(state.key.layer, state.faceColor, state.faceTrueColor);
    for (std::int32_t k = 0; k < n; ++k) {
        polygon->p[k] = corners[k] - 1;
        if (corners[k] > state.largestFaceNumber) state.largestFaceNumber = corners[k];
    }
    return true;
}

// A new quadrilateral over the mesh's vertices a, b, c, d.
bool AddQuad(PendingMesh& mesh, std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d,
             std::string& message) {
    MeshPolygon* polygon = mesh.AddPolygon(4, message);
    if (polygon == nullptr) return false;
    polygon->p[0] = a;
    polygon->p[1] = b;
    polygon->p[2] = c;
    polygon->p[3] = d;
    return true;
}

// Quadrilaterals over the M x N grid, row by row, each row's closing
// quadrilateral after it, the row that closes M last.
bool BuildPolygonMesh(PolylineState& state, std::string& message) {
    const std::int32_t m = state.meshM;
    const std::int32_t n = state.meshN;
    auto v = [&](std::int32_t i, std::int32_t j) { return i * n + j; };
    const bool closedN = (state.polylineFlags & kClosedN) != 0;
    PendingMesh& mesh = state.mesh;
    for (std::int32_t i = 0; i + 1 < m; ++i) {
        for (std::int32_t j = 0; j + 1 < n; ++j) {
            if (!AddQuad(mesh, v(i, j), v(i, j + 1), v(i + 1, j + 1), v(i + 1, j), message))
                return false;
        }
        if (closedN && !AddQuad(mesh, v(i, n - 1), v(i, 0), v(i + 1, 0), v(i + 1, n - 1), message))
            return false;
    }
    if ((state.polylineFlags & kClosedM) != 0) {
        for (std::int32_t j = 0; j + 1 < n; ++j) {
            if (!AddQuad(mesh, v(m - 1, j), v(m - 1, j + 1), v(0, j + 1), v(0, j), message))
                return false;
        }
        if (closedN && !AddQuad(mesh, v(m - 1, n - 1), v(m - 1, 0), v(0, 0), v(0, n - 1), message))
            return false;
    }
    return true;
}

// Builds the polygons the polyline kind calls for and hands everything to
// the polyline's object.
template <PairSource Source>
bool CompleteEntity(PolylineState& state, EntityBuilder& builder, const Source& pairs) {
    ReadContext& context = builder.Context();
    if (state.skipped) {
        context.unconverted.Count(kSkippedPolyline);
        return true;
    }
    const std::int32_t flags = state.polylineFlags;
    if (state.IsPath()) {
        if (state.thickness == 0.0f) {
            context.unconverted.Count(kFlatPolyline);
            return true;
        }
        return AddPathWalls(builder, state.key, state.path.data(), state.path.size(),
                            (flags & kClosedM) != 0, state.elevation,
                            Extrusion(state.direction, state.thickness),
                            context.options.dxfSegments);
    }
    const std::int32_t count = state.mesh.VertexCount();

    // Checks that keep every corner index inside the object.
    if ((flags & kPolygonMesh) != 0 && flags != kClosed3DPolyline) {
        const std::int64_t cells = std::int64_t{state.meshM} * state.meshN;
        if (state.meshM < 1 || state.meshN < 1 || cells != count) {
            context.message = MessageAt(pairs, kInvalid);
            return false;
        }
    } else if (state.largestFaceNumber > count) {
        context.message = MessageAt(pairs, kInvalid);
        return false;
    }

    if (flags == kClosed3DPolyline) {
        // A closed outline needs three corners to enclose anything.
        if (count >= 3) {
            MeshPolygon* polygon = state.mesh.AddPolygon(count, context.message);
            if (polygon == nullptr) return false;
            for (std::int32_t k = 0; k < count; ++k) polygon->p[k] = k;
        }
    } else if ((flags & kPolygonMesh) != 0) {
        if (!BuildPolygonMesh(state, context.message)) return false;
    }
    return state.mesh.Commit(builder, state.key);
}

}  // namespace

template <PairSource Source>
bool ReadPolyline(ReadContext& context, Source& pairs) {
    std::string& message = context.message;
    EntityBuilder builder(context);
    PolylineState state;
    state.readsPath = context.options.dxfThick != 0;
    for (;;) {
        std::int32_t code = 0;
        PairStatus status = pairs.Code(code);
        if (status != PairStatus::Ok) {
            message = InputFailureMessage(pairs, status, "読み込みに失敗しました.", "\n");
            return false;
        }
        std::int32_t number = 0;
        switch (code) {
            case 0: {
                std::string_view value;
                status = pairs.Text(value);
                if (status != PairStatus::Ok) break;
                if (state.inVertex && !FinishRecord(state, builder, pairs)) return false;
                char name[20];
                const std::string_view word = TokenView(value, name, sizeof name);
                if (word == "VERTEX") {
                    state.inVertex = true;
                    state.vertexFlagsGiven = false;
                    state.bulge = 0.0f;
                    for (int k = 0; k < 4; ++k) state.faceGiven[k] = false;
                    state.faceColor = state.faceTrueColor = -1;
                } else if (word == "SEQEND") {
                    return CompleteEntity(state, builder, pairs);
                } else {
                    message = MessageAt(pairs, kInvalid);
                    return false;
                }
                break;
            }
            case 8:
                if (!state.inVertex) {
                    std::string_view value;
                    status = pairs.Text(value);
                    if (status == PairStatus::Ok) state.key.SetLayer(context.layers, value);
                } else {
                    status = pairs.Skip();
                }
                break;
            case 10:
            case 20:
            case 30: {
                float value = 0.0f;
                status = pairs.Float(value);
                if (status == PairStatus::BadNumber) {
                    message = MessageAt(pairs, kInvalid);
                    return false;
                }
                if (code == 10) {
                    state.x = value;
                } else if (code == 20) {
                    state.y = value;
                } else {
                    state.z = value;
                    if (!state.inVertex) state.elevation = value;
                }
                break;
            }
            case 62:
                status = pairs.IntPrefix(state.inVertex ? state.faceColor : state.key.color);
                break;
            case 420:
                status =
                    pairs.IntPrefix(state.inVertex ? state.faceTrueColor : state.key.trueColor);
                break;
            case 66:
                status = pairs.IntPrefix(number);
                if (status == PairStatus::Ok && !state.inVertex && number != 1) {
                    message = MessageAt(pairs, kInvalid);
                    return false;
                }
                break;
            case 70: {
                status = pairs.IntPrefix(number);
                if (status != PairStatus::Ok) break;
                (state.inVertex ? state.vertexFlags : state.polylineFlags) = number;
                // A 2D polyline read as a path takes fitted vertices too: they
                // lie on the line its program drew.
                const std::int32_t refused = state.IsPath()   ? 0
                                             : state.inVertex ? (kClosedM | kCurveFit | kSplineFit)
                                                              : (kCurveFit | kSplineFit);
                // A fitted vertex is refused under its polyline's kind.
                if ((number & refused) != 0 &&
                    !Unsupported(state, context, pairs,
                                 state.inVertex ? state.polylineFlags | kCurveFit : number))
                    return false;
                if (state.inVertex) state.vertexFlagsGiven = true;
                break;
            }
            case 71:
            case 72:
            case 73:
            case 74: {
                status = pairs.Int(number);
                if (status == PairStatus::BadNumber) {
                    message = MessageAt(pairs, kInvalid);
                    return false;
                }
                if (status != PairStatus::Ok) break;
                if (!state.inVertex) {
                    // Taken whatever the order of 70, 71 and 72; only a polygon
                    // mesh uses them.
                    if (code == 71) state.meshM = number;
                    if (code == 72) state.meshN = number;
                } else if (state.IsPolyface()) {
                    // Negative numbers mark invisible edges and count alike.
                    const int k = code - 71;
                    state.face[k] =
                        number < 0 ? (number == INT32_MIN ? INT32_MAX : -number) : number;
                    state.faceGiven[k] = true;
                }
                break;
            }
            case 39:
            case 42:
            case 210:
            case 220:
            case 230: {
                // Read only for a path: otherwise these groups go unread as
                // they always did.
                if (!state.readsPath || (state.inVertex != (code == 42))) {
                    status = pairs.Skip();
                    break;
                }
                float value = 0.0f;
                status = pairs.Float(value);
                if (status == PairStatus::BadNumber) {
                    message = MessageAt(pairs, kInvalid);
                    return false;
                }
                if (code == 39) {
                    state.thickness = value;
                } else if (code == 42) {
                    state.bulge = value;
                } else {
                    state.direction[(code - 210) / 10] = value;
                }
                break;
            }
            default:
                status = pairs.Skip();
                break;
        }
        if (status != PairStatus::Ok) {
            message = InputFailureMessage(pairs, status, "読み込みに失敗しました.", "\n");
            return false;
        }
    }
}

template bool ReadPolyline(ReadContext&, TextPairs&);
template bool ReadPolyline(ReadContext&, BinaryPairs&);

}  // namespace vertoko
