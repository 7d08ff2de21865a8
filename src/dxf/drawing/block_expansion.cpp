#include "dxf/drawing/block_expansion.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <numbers>
#include <vector>

#include "dxf/entities/entity_builder.h"

namespace vertoko {

namespace {

constexpr std::uint64_t kCountCap = std::uint64_t{1} << 62;
// What one node costs with its pointer-table entry, the allocator's
// overhead and the vertex cleaning's working entry.
constexpr std::uint64_t kVertexBytes = 48;
constexpr std::uint64_t kPolygonBytes = 56;
constexpr std::uint64_t kCornerBytes = 4;
constexpr std::uint64_t kFallbackBudget = std::uint64_t{4} << 30;

std::uint64_t budgetOverride = 0;

std::uint64_t Add(std::uint64_t a, std::uint64_t b) { return std::min(a + b, kCountCap); }

std::uint64_t Mul(std::uint64_t a, std::uint64_t b) {
    if (a == 0 || b == 0) return 0;
    return a > kCountCap / b ? kCountCap : a * b;
}

struct Size {
    std::uint64_t vertices = 0;
    std::uint64_t polygons = 0;
    std::uint64_t corners = 0;

    void AddTimes(const Size& other, std::uint64_t times) {
        vertices = Add(vertices, Mul(other.vertices, times));
        polygons = Add(polygons, Mul(other.polygons, times));
        corners = Add(corners, Mul(other.corners, times));
    }
};

std::uint64_t Cells(const InsertRecord& insert) {
    return static_cast<std::uint64_t>(insert.columns) * static_cast<std::uint64_t>(insert.rows);
}

Size SlotsSize(const SlotArray& slots) {
    Size size;
    for (std::int32_t i = 0; i < slots.count; ++i) {
        const ObjectSlot& slot = slots.slots[i];
        size.vertices += static_cast<std::uint64_t>(std::max(slot.vertexCount, 0));
        size.polygons += static_cast<std::uint64_t>(std::max(slot.polygonCount, 0));
        for (const MeshPolygon* p = slot.polygonHead; p != nullptr; p = p->next)
            size.corners += static_cast<std::uint64_t>(std::max(p->cornerCount, 0));
    }
    return size;
}

// The machine's available memory as the kernel reports it, 0 when unknown.
std::uint64_t AvailableMemory() {
    std::ifstream in("/proc/meminfo");
    std::string key;
    std::uint64_t kib = 0;
    std::string unit;
    while (in >> key >> kib >> unit) {
        if (key == "MemAvailable:") return kib * 1024;
    }
    return 0;
}

std::uint64_t MemoryBudget() {
    if (budgetOverride != 0) return budgetOverride;
    const std::uint64_t available = AvailableMemory();
    return available != 0 ? available / 4 * 3 : kFallbackBudget;
}

// Marks the blocks that insert themselves, directly or through others:
// Tarjan's strongly connected components, without recursion so that a long
// chain of nested blocks cannot exhaust the stack. order receives the
// blocks with every block after those it inserts.
std::vector<char> FindCycles(const BlockStore& store, std::vector<std::int32_t>& order) {
    const auto n = static_cast<std::int32_t>(store.blocks.size());
    std::vector<std::int32_t> index(static_cast<std::size_t>(n), -1);
    std::vector<std::int32_t> low(static_cast<std::size_t>(n), 0);
    std::vector<char> onStack(static_cast<std::size_t>(n), 0);
    std::vector<char> cyclic(static_cast<std::size_t>(n), 0);
    std::vector<std::int32_t> stack;
    struct Frame {
        std::int32_t block;
        std::size_t edge;
    };
    std::vector<Frame> frames;
    std::int32_t counter = 0;
    auto visit = [&](std::int32_t v) {
        index[static_cast<std::size_t>(v)] = low[static_cast<std::size_t>(v)] = counter++;
        stack.push_back(v);
        onStack[static_cast<std::size_t>(v)] = 1;
        frames.push_back({v, 0});
    };
    for (std::int32_t start = 0; start < n; ++start) {
        if (index[static_cast<std::size_t>(start)] >= 0) continue;
        visit(start);
        while (!frames.empty()) {
            Frame& frame = frames.back();
            const auto v = static_cast<std::size_t>(frame.block);
            const auto& inserts = store.blocks[v]->inserts;
            if (frame.edge < inserts.size()) {
                const std::int32_t t = inserts[frame.edge++].target;
                if (t < 0) continue;
                if (t == frame.block) cyclic[v] = 1;
                if (index[static_cast<std::size_t>(t)] < 0) {
                    visit(t);
                } else if (onStack[static_cast<std::size_t>(t)]) {
                    low[v] = std::min(low[v], index[static_cast<std::size_t>(t)]);
                }
                continue;
            }
            if (low[v] == index[v]) {
                std::size_t first = stack.size();
                do {
                    --first;
                } while (stack[first] != frame.block);
                const bool component = stack.size() - first > 1;
                for (std::size_t k = first; k < stack.size(); ++k) {
                    const auto w = static_cast<std::size_t>(stack[k]);
                    onStack[w] = 0;
                    if (component) cyclic[w] = 1;
                    order.push_back(stack[k]);
                }
                stack.resize(first);
            }
            const std::int32_t done = frame.block;
            frames.pop_back();
            if (!frames.empty()) {
                const auto parent = static_cast<std::size_t>(frames.back().block);
                low[parent] = std::min(low[parent], low[static_cast<std::size_t>(done)]);
            }
        }
    }
    return cyclic;
}

float ToFloat(double value) {
    constexpr double kMax = std::numeric_limits<float>::max();
    if (value > kMax) return std::numeric_limits<float>::infinity();
    if (value < -kMax) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

// One placed copy of a block: its transform and what its layer-"0" and
// BYBLOCK entities take.
struct Placement {
    std::int32_t block = -1;
    Affine transform{};
    bool mirrored = false;
    std::int32_t layer = LayerTable::kZero;
    std::int32_t color = -1;
    InsertColors colors{};
};

class Placer {
  public:
    Placer(ReadContext& context, const std::vector<char>& cyclic, const std::vector<Size>& sizes)
        : store_(context.blocks),
          cyclic_(cyclic),
          sizes_(sizes),
          multi_(context.options.dxfMulti != 0),
          colors_(context.colors),
          layers_(context.layers),
          omittedFaces_(context.omittedFaces),
          slots_(context.slots) {
        // Each placement visits only what adds something, so that the work
        // grows with the output however many empty slots and insertions of
        // empty blocks a definition holds.
        for (const auto& block : store_.blocks) {
            Contents contents;
            for (std::int32_t i = 0; i < block->slots.count; ++i) {
                const ObjectSlot& slot = block->slots.slots[i];
                if (slot.vertexHead != nullptr || slot.polygonHead != nullptr)
                    contents.slots.push_back(i);
            }
            for (const InsertRecord& insert : block->inserts) {
                if (Placeable(insert)) contents.inserts.push_back(&insert);
            }
            contents_.push_back(std::move(contents));
        }
    }

    // An insertion places something when its block exists, does not insert
    // itself and holds anything at all; empty blocks are passed over
    // however large their grid.
    bool Placeable(const InsertRecord& insert) const {
        if (insert.target < 0) return false;
        const auto t = static_cast<std::size_t>(insert.target);
        return !cyclic_[t] && (sizes_[t].vertices > 0 || sizes_[t].polygons > 0);
    }

    // Places the cell-th copy of insert and, depth first, everything its
    // block inserts. False with the message.
    bool Run(const InsertRecord& insert, std::int64_t cell, std::string& message) {
        struct Frame {
            Placement placement;
            std::size_t insert = 0;
            std::int64_t cell = 0;
        };
        std::vector<Frame> frames;
        frames.push_back({Make(insert, cell, nullptr)});
        if (Hidden(frames.back().placement)) return true;
        if (!Place(frames.back().placement, message)) return false;
        while (!frames.empty()) {
            Frame& frame = frames.back();
            const auto& inserts =
                contents_[static_cast<std::size_t>(frame.placement.block)].inserts;
            if (frame.insert >= inserts.size()) {
                frames.pop_back();
                continue;
            }
            const InsertRecord& child = *inserts[frame.insert];
            if (static_cast<std::uint64_t>(frame.cell) >= Cells(child)) {
                ++frame.insert;
                frame.cell = 0;
                continue;
            }
            Placement next = Make(child, frame.cell++, &frame.placement);
            if (Hidden(next)) continue;
            if (!Place(next, message)) return false;
            frames.push_back({std::move(next)});
        }
        return true;
    }

  private:
    // An insertion on a hidden layer shows nothing of its block, as CAD
    // programs draw it: its faces are counted as hidden, nested ones too.
    bool Hidden(const Placement& p) {
        if (layers_.OmissionOf(p.layer) != Omission::Hidden) return false;
        const std::uint64_t faces = sizes_[static_cast<std::size_t>(p.block)].polygons;
        omittedFaces_[0] += static_cast<std::int64_t>(std::min(faces, kCountCap));
        return true;
    }

    Placement Make(const InsertRecord& insert, std::int64_t cell, const Placement* outer) const {
        const BlockDefinition& block = *store_.blocks[static_cast<std::size_t>(insert.target)];
        Placement p;
        p.block = insert.target;
        const Affine local =
            InsertTransform(insert, block.base, cell % insert.columns, cell / insert.columns);
        p.transform = outer != nullptr ? local.Then(outer->transform) : local;
        p.mirrored = p.transform.Determinant() < 0.0;
        const bool byBlock = insert.style.index == 0;
        p.layer = outer != nullptr && insert.style.layer == LayerTable::kZero ? outer->layer
                                                                              : insert.style.layer;
        p.color = outer != nullptr && byBlock ? outer->color : insert.style.index;
        if (colors_.enabled) {
            p.colors.blockRgb =
                colors_.GroupsRgb(insert.style, outer != nullptr ? &outer->colors : nullptr);
            p.colors.layerRgb = colors_.layers->ColorOf(p.layer);
        }
        return p;
    }

    // Copies the block's own polygons and vertices into the drawing's slots.
    bool Place(const Placement& p, std::string& message) {
        const SlotArray& from = store_.blocks[static_cast<std::size_t>(p.block)]->slots;
        for (const std::int32_t i : contents_[static_cast<std::size_t>(p.block)].slots) {
            const ObjectSlot& source = from.slots[i];
            // The block's entities on layer "0" are on the insertion's.
            const std::int32_t layer = source.layer == LayerTable::kZero ? p.layer : source.layer;
            if (const Omission omission = layers_.OmissionOf(layer); omission != Omission::None) {
                omittedFaces_[omission == Omission::Hidden ? 0 : 1] += source.polygonCount;
                continue;
            }
            std::int32_t index = 0;
            if (multi_) {
                index = set_obj(slots_, layer, source.color == 0 ? p.color : source.color, message);
                if (index < 0) return false;
            }
            ObjectSlot& target = slots_.slots[index];
            if (!Copy(source, p, layer, target, message)) return false;
        }
        return true;
    }

    bool Copy(const ObjectSlot& source, const Placement& p, std::int32_t layer, ObjectSlot& target,
              std::string& message) {
        const std::int32_t base = target.vertexCount;
        for (const MeshVertex* v = source.vertexHead; v != nullptr; v = v->next) {
            const double in[3] = {v->x, v->y, v->z};
            double out[3];
            p.transform.Apply(in, out);
            MeshVertex* copy =
                NewVertex(target.arena, ToFloat(out[0]), ToFloat(out[1]), ToFloat(out[2]), message);
            if (copy == nullptr) return false;
            AppendVertex(target, copy);
        }
        for (const MeshPolygon* polygon = source.polygonHead; polygon != nullptr;
             polygon = polygon->next) {
            const std::int32_t n = polygon->cornerCount;
            MeshPolygon* copy = NewPolygon(target.arena, n, message);
            if (copy == nullptr) return false;
            // A mirroring transform turns the faces over; the reversed
            // corner order turns them back.
            for (std::int32_t k = 0; k < n; ++k)
                copy->p[k] = base + polygon->p[p.mirrored ? n - 1 - k : k];
            copy->color = colors_.enabled
                              ? kPolygonColorSet | colors_.PlacedRgb(polygon->color, p.colors)
                              : 0;
            copy->layer = layer;
            AppendPolygon(target, copy);
        }
        return true;
    }

    struct Contents {
        std::vector<std::int32_t> slots;           // slots that hold anything
        std::vector<const InsertRecord*> inserts;  // insertions that place anything
    };

    BlockStore& store_;
    std::vector<Contents> contents_;
    const std::vector<char>& cyclic_;
    const std::vector<Size>& sizes_;
    bool multi_;
    const DrawingColors& colors_;
    const LayerTable& layers_;
    std::int64_t* omittedFaces_;  // the read's, Hidden's and LeftOut's
    SlotArray& slots_;            // the drawing's
};

void AppendCount(std::string& out, std::uint64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

}  // namespace

Affine InsertTransform(const InsertRecord& insert, const double base[3], std::int64_t column,
                       std::int64_t row) {
    const double angle = insert.rotation * std::numbers::pi / 180.0;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double* k = insert.scale;
    // Scale, then rotate about Z: the linear part in the insert's own
    // coordinate system.
    Affine local{{{c * k[0], -s * k[1], 0, 0}, {s * k[0], c * k[1], 0, 0}, {0, 0, k[2], 0}}};
    // Base point to the origin first, then the grid offset along the
    // rotated axes and the insertion point.
    const double gx = static_cast<double>(column) * insert.columnSpacing;
    const double gy = static_cast<double>(row) * insert.rowSpacing;
    double moved[3];
    const double negBase[3] = {-base[0], -base[1], -base[2]};
    local.Apply(negBase, moved);
    local.m[0][3] = moved[0] + c * gx - s * gy + insert.point[0];
    local.m[1][3] = moved[1] + s * gx + c * gy + insert.point[1];
    local.m[2][3] = moved[2] + insert.point[2];
    return local.Then(ObjectToWorld(insert.extrusion));
}

void SetExpansionMemoryBudget(std::uint64_t bytes) { budgetOverride = bytes; }

bool ExpandInserts(ReadContext& context) {
    BlockStore& store = context.blocks;
    store.End(context.slots);
    std::string& message = context.message;
    UnconvertedReport& unplaced = context.unconverted;
    auto resolve = [&](InsertRecord& insert) {
        const auto found = store.byName.find(insert.block);
        insert.target = found != store.byName.end() ? found->second : -1;
    };
    for (auto& block : store.blocks) {
        for (InsertRecord& insert : block->inserts) resolve(insert);
    }
    for (InsertRecord& insert : store.topInserts) resolve(insert);

    std::vector<std::int32_t> order;
    const std::vector<char> cyclic = FindCycles(store, order);
    // The report names the blocks as the drawing spells them, decoded.
    auto note = [&](const InsertRecord& insert) {
        if (insert.target < 0) {
            unplaced.CountUnplacedInsert(context.decoding.Decode(store.SpellingOf(insert.block)),
                                         true);
        } else if (cyclic[static_cast<std::size_t>(insert.target)]) {
            unplaced.CountUnplacedInsert(context.decoding.Decode(store.SpellingOf(insert.block)),
                                         false);
        }
    };
    for (const auto& block : store.blocks) {
        for (const InsertRecord& insert : block->inserts) note(insert);
    }
    for (const InsertRecord& insert : store.topInserts) note(insert);

    // The size of one copy of each block, its nested copies included;
    // order puts every block after the blocks it inserts.
    std::vector<Size> sizes(store.blocks.size());
    for (const std::int32_t b : order) {
        const auto v = static_cast<std::size_t>(b);
        if (cyclic[v]) continue;
        Size size = SlotsSize(store.blocks[v]->slots);
        for (const InsertRecord& insert : store.blocks[v]->inserts) {
            if (insert.target >= 0 && !cyclic[static_cast<std::size_t>(insert.target)])
                size.AddTimes(sizes[static_cast<std::size_t>(insert.target)], Cells(insert));
        }
        sizes[v] = size;
    }
    Size total = SlotsSize(context.slots);
    Size added;
    for (const InsertRecord& insert : store.topInserts) {
        if (insert.target >= 0 && !cyclic[static_cast<std::size_t>(insert.target)])
            added.AddTimes(sizes[static_cast<std::size_t>(insert.target)], Cells(insert));
    }
    total.AddTimes(added, 1);

    constexpr auto kLimit = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
    if (total.vertices > kLimit || total.polygons > kLimit) {
        message = "ブロック参照を展開すると頂点数またはポリゴン数が上限を超えます.(頂点数 ";
        AppendCount(message, total.vertices);
        message += total.vertices >= kCountCap ? "以上, ポリゴン数 " : ", ポリゴン数 ";
        AppendCount(message, total.polygons);
        message += total.polygons >= kCountCap ? "以上)" : ")";
        return false;
    }
    const std::uint64_t bytes = added.vertices * kVertexBytes + added.polygons * kPolygonBytes +
                                added.corners * kCornerBytes;
    if (bytes > MemoryBudget()) {
        message = "ブロック参照を展開するにはメモリーが足りません.(約";
        AppendCount(message, (bytes + (std::uint64_t{1} << 20) - 1) >> 20);
        message += "MB必要です)";
        return false;
    }

    Placer placer(context, cyclic, sizes);
    for (const InsertRecord& insert : store.topInserts) {
        if (!placer.Placeable(insert)) continue;
        const auto cells = static_cast<std::int64_t>(Cells(insert));
        for (std::int64_t cell = 0; cell < cells; ++cell) {
            if (!placer.Run(insert, cell, message)) return false;
        }
    }
    return true;
}

bool FacesOnlyInUninsertedBlocks(const ReadContext& context) {
    auto holdsPolygons = [](const SlotArray& slots) {
        for (std::int32_t i = 0; i < slots.count; ++i) {
            if (slots.slots[i].polygonCount > 0) return true;
        }
        return false;
    };
    if (holdsPolygons(context.slots)) return false;
    const BlockStore& store = context.blocks;
    std::vector<char> reached(store.blocks.size(), 0);
    std::vector<std::int32_t> pending;
    auto reach = [&](const InsertRecord& insert) {
        if (insert.target < 0) return;
        const auto t = static_cast<std::size_t>(insert.target);
        if (t >= reached.size() || reached[t] != 0) return;
        reached[t] = 1;
        pending.push_back(insert.target);
    };
    for (const InsertRecord& insert : store.topInserts) reach(insert);
    while (!pending.empty()) {
        const auto b = static_cast<std::size_t>(pending.back());
        pending.pop_back();
        for (const InsertRecord& insert : store.blocks[b]->inserts) reach(insert);
    }
    for (std::size_t b = 0; b < store.blocks.size(); ++b) {
        if (reached[b] == 0 && holdsPolygons(store.blocks[b]->slots)) return true;
    }
    return false;
}

}  // namespace vertoko
