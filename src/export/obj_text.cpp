#include "export/obj_text.h"

#include <algorithm>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <new>

#include "export/number_format.h"
#include "export/output_axes.h"
#include "export/polygon_colors.h"
#include "memory/huge_pages.h"
#include "mesh/triangulate.h"
#include "parallel/fork_join.h"
#include "parallel/thresholds.h"

namespace vertoko {

namespace {

using LargeText = std::basic_string<char, std::char_traits<char>, LargeAllocator<char>>;

// The formatting work of a line, in units of about 2.5 ns measured on the
// build machine: a vertex or normal line prints three floats; a polygon
// costs a little of its own and one or two integers per corner.
constexpr std::int64_t kLineCost = 24;
constexpr std::int64_t kPolygonBaseCost = 4;
constexpr std::int64_t kCornerCost = 4;
constexpr std::int64_t kNormalCornerCost = 7;

// The work from which a second thread formats pieces (see kSharedObjLines).
constexpr std::int64_t kThreadedWork = kLineCost * kSharedObjLines;

// The work of a piece, about half a millisecond: small enough that the two
// threads end close together (with a few large pieces one of them formats
// a whole piece more) and that the two pieces held in memory are small,
// large enough that handing them over costs next to nothing.
constexpr std::int64_t kPieceWork = kLineCost << 13;

// Room reserved for a piece's text, more than a piece of the longest lines
// takes, so that it seldom grows: one huge page with the string's
// terminator.
constexpr std::size_t kPieceRoom = kHugePageSize - 1;

// The blocks a piece is handed to the file in, the size at which the file
// passes its buffer to its writer thread.
constexpr std::size_t kBlock = std::size_t{256} << 10;

constexpr std::int64_t kNoLimit = std::numeric_limits<std::int64_t>::max();

std::int64_t NonNegative(std::int64_t n) { return n > 0 ? n : 0; }

char* WriteLine3(char* at, char tag0, char tag1, float x, float y, float z) {
    *at++ = tag0;
    if (tag1 != 0) *at++ = tag1;
    *at++ = ' ';
    at = WriteG(at, x);
    *at++ = ' ';
    at = WriteG(at, y);
    *at++ = ' ';
    at = WriteG(at, z);
    *at++ = '\r';
    *at++ = '\n';
    return at;
}

template <typename Text>
void AppendMaterial(Text& out, std::uint32_t rgb) {
    static const char kHex[] = "0123456789abcdef";
    out += "dxfcolor_";
    for (int shift = 20; shift >= 0; shift -= 4) out += kHex[(rgb >> shift) & 0xFu];
}

// The material of a look: its colour's, or its rule's.
template <typename Text>
void AppendLookMaterial(Text& out, LookKey key, const LookChoice* looks) {
    if (!IsRuleLook(key) || looks == nullptr || looks->materials == nullptr) {
        AppendMaterial(out, static_cast<std::uint32_t>(key));
        return;
    }
    std::string name;
    AppendRuleMaterialName(name, looks->materials->At(LookRule(key)));
    out.append(name.data(), name.size());
}

template <typename Text>
void AppendCount(Text& out, std::int64_t count, const char* what) {
    char number[24];
    out += "# ";
    out.append(number, WriteInt(number, count));
    out += what;
}

// The end of the piece that starts at work done: the next multiple of
// pieceWork. Both threads count the pieces alike from where they stand.
std::int64_t PieceLimit(std::int64_t done, std::int64_t pieceWork) {
    return (done / pieceWork + 1) * pieceWork;
}

void AppendInBlocks(OutputFile& file, const LargeText& text) {
    std::string& out = file.Buffer();
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t room = out.size() < kBlock ? kBlock - out.size() : kBlock;
        const std::size_t n = std::min(room, text.size() - at);
        out.append(text.data() + at, n);
        at += n;
        file.Commit();
    }
}

}  // namespace

// The odd pieces on their way from the second thread to the calling one, in
// two slots taken by turns, so that the second thread can format one piece
// while the other waits to be appended.
class ObjText::Handoff {
  public:
    // The free slot for odd piece i, once it is free; null when stopped.
    LargeText* WaitFree(std::size_t i) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return held_[Slot(i)] == kFree || stopped_; });
        return stopped_ ? nullptr : &text_[Slot(i)];
    }
    void Publish(std::size_t i) {
        std::lock_guard<std::mutex> lock(mutex_);
        held_[Slot(i)] = i;
        changed_.notify_all();
    }
    // The second thread gives up at piece i for want of memory.
    void Fail(std::size_t i) {
        std::lock_guard<std::mutex> lock(mutex_);
        LargeText().swap(text_[Slot(i)]);
        failed_ = true;
        changed_.notify_all();
    }
    // The text of odd piece i once it is there; null when the second thread
    // gave up before it.
    const LargeText* WaitReady(std::size_t i) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return held_[Slot(i)] == i || failed_; });
        return held_[Slot(i)] == i ? &text_[Slot(i)] : nullptr;
    }
    void Release(std::size_t i) {
        std::lock_guard<std::mutex> lock(mutex_);
        held_[Slot(i)] = kFree;
        changed_.notify_all();
    }
    // The calling thread gives up; the second thread ends at its next wait.
    void Stop() {
        std::lock_guard<std::mutex> lock(mutex_);
        stopped_ = true;
        changed_.notify_all();
    }

  private:
    static constexpr std::size_t kFree = static_cast<std::size_t>(-1);
    static std::size_t Slot(std::size_t i) { return (i / 2) % 2; }

    std::mutex mutex_;
    std::condition_variable changed_;
    LargeText text_[2];
    std::size_t held_[2] = {kFree, kFree};
    bool failed_ = false;
    bool stopped_ = false;
};

void AppendMaterialName(std::string& out, std::uint32_t rgb) { AppendMaterial(out, rgb); }

ObjText::ObjText(const MeshObject& object, const ObjectNormals* normals, const std::string& library,
                 bool zUp, std::int32_t number, const LookChoice* looks, const LayerOutput* layers)
    : object_(object),
      normals_(normals),
      library_(library),
      zUp_(zUp),
      number_(number),
      looks_(looks),
      layers_(layers != nullptr && layers->Naming() ? layers : nullptr) {
    groups_ = layers_ != nullptr && layers_->ObjectLayer(number, object) < 0;
}

std::int64_t ObjText::PieceWork() const {
    // The polygons' count is that of the file (triangulation adds nodes
    // without changing it), so this is only an estimate; the pieces
    // themselves count the work line by line.
    const std::int64_t lines =
        NonNegative(object_.vertexCount) +
        (normals_ != nullptr ? static_cast<std::int64_t>(normals_->vectors.size()) : 0);
    const std::int64_t total = lines * kLineCost + NonNegative(object_.polygonCount) *
                                                       (kPolygonBaseCost + 3 * kCornerCost);
    if (total < kThreadedWork) return 0;
    return std::min(kPieceWork, total / 2 + 1);
}

ObjText::Cursor ObjText::Start() const {
    Cursor cursor;
    cursor.vertex = object_.vertices;
    cursor.polygon = object_.polygons;
    return cursor;
}

// A piece takes lines while the work done is below limit; the count line
// that closes a section costs nothing and goes with the piece that gets to
// it below the limit.
template <typename Text>
void ObjText::Format(Cursor& c, std::int64_t limit, Text* out, OutputFile* file) const {
    const auto commit = [file] {
        if (file != nullptr) file->Commit();
    };
    // Each line is formatted in place and appended whole.
    char line[3 * kGMaxLength + 8];

    if (c.section == Section::kVertices) {
        for (; c.vertex != nullptr && c.work < limit; c.vertex = c.vertex->next) {
            c.work += kLineCost;
            if (out == nullptr) continue;
            const MeshVertex& v = *c.vertex;
            // Lines in the drawing's axes are formatted as they always were.
            if (!zUp_) {
                out->append(line, WriteLine3(line, 'v', 0, v.x, v.y, v.z));
            } else {
                const Point3f p = ObjPoint({v.x, v.y, v.z}, true);
                out->append(line, WriteLine3(line, 'v', 0, p.x, p.y, p.z));
            }
            commit();
        }
        if (c.work >= limit) return;
        if (out != nullptr) AppendCount(*out, object_.vertexCount, " vertices\r\n\r\n");
        c.section = Section::kNormals;
    }

    if (c.section == Section::kNormals) {
        if (normals_ != nullptr) {
            const std::vector<Point3f>& vectors = normals_->vectors;
            for (; c.normal < vectors.size() && c.work < limit; ++c.normal) {
                c.work += kLineCost;
                if (out == nullptr) continue;
                const Point3f& n = vectors[c.normal];
                if (!zUp_) {
                    out->append(line, WriteLine3(line, 'v', 'n', n.x, n.y, n.z));
                } else {
                    const Point3f p = ObjPoint(n, true);
                    out->append(line, WriteLine3(line, 'v', 'n', p.x, p.y, p.z));
                }
                commit();
            }
            if (c.work >= limit) return;
            if (out != nullptr) {
                const auto count = static_cast<std::int64_t>(vectors.size());
                AppendCount(*out, count, " vertex normals\r\n\r\n");
            }
        }
        c.section = Section::kPolygons;
    }

    if (c.section != Section::kPolygons) return;
    for (; c.polygon != nullptr && c.work < limit; c.polygon = c.polygon->next) {
        const MeshPolygon& polygon = *c.polygon;
        const bool withNormals = normals_ != nullptr && IsTriangulable(object_, polygon);
        c.work += kPolygonBaseCost + NonNegative(polygon.cornerCount) *
                                         (withNormals ? kNormalCornerCost : kCornerCost);
        const bool newGroup = groups_ && (c.first || polygon.layer != c.layer);
        if (newGroup && out != nullptr) {
            const std::string* name = layers_->LayerName(polygon.layer);
            std::string text = "g ";
            AppendObjName(text, name != nullptr ? *name : std::string_view());
            text += "\r\n";
            out->append(text.data(), text.size());
        }
        c.layer = polygon.layer;
        if (!library_.empty()) {
            const LookKey key =
                looks_ != nullptr ? looks_->Key(number_, polygon) : PolygonRgb(polygon);
            if (out != nullptr && (c.first || key != c.material || newGroup)) {
                *out += "usemtl ";
                AppendLookMaterial(*out, key, looks_);
                *out += "\r\n";
            }
            c.material = key;
        }
        c.first = false;
        if (out != nullptr) {
            *out += 'f';
            for (std::int32_t k = 0; k < polygon.cornerCount; ++k) {
                char* at = line;
                *at++ = ' ';
                // OBJ numbers vertices and normals from 1 within each file.
                at = WriteInt(at, static_cast<std::int64_t>(polygon.p[k]) + 1);
                if (withNormals) {
                    *at++ = '/';
                    *at++ = '/';
                    at = WriteInt(
                        at, static_cast<std::int64_t>(normals_->Index(polygon, c.corner, k)) + 1);
                }
                out->append(line, at);
            }
            *out += "\r\n";
            commit();
        }
        if (withNormals) c.corner += 3;
    }
    if (c.work >= limit) return;
    if (out != nullptr) AppendCount(*out, object_.polygonCount, " elements\r\n");
    c.section = Section::kDone;
}

void ObjText::FormatOddPieces(std::int64_t pieceWork, Handoff& handoff) const {
    Cursor cursor = Start();
    for (std::size_t i = 0; cursor.section != Section::kDone; ++i) {
        const std::int64_t limit = PieceLimit(cursor.work, pieceWork);
        if (i % 2 == 0) {
            Format<LargeText>(cursor, limit, nullptr, nullptr);
            continue;
        }
        LargeText* text = handoff.WaitFree(i);
        if (text == nullptr) return;
        try {
            text->clear();
            if (text->capacity() < kPieceRoom) text->reserve(kPieceRoom);
            Format(cursor, limit, text, nullptr);
        } catch (const std::bad_alloc&) {
            handoff.Fail(i);
            return;
        }
        handoff.Publish(i);
    }
}

void ObjText::Write(OutputFile& file, std::int64_t pieceWork, bool twoThreads) const {
    std::string& out = file.Buffer();
    if (!library_.empty()) {
        out += "mtllib ";
        out += library_;
        file.EndLine();
    }
    if (layers_ != nullptr && !groups_) {
        out += "o ";
        AppendObjName(out, *layers_->LayerName(layers_->ObjectLayer(number_, object_)));
        file.EndLine();
    }
    Cursor cursor = Start();
    if (pieceWork <= 0) {
        Format(cursor, kNoLimit, &out, &file);
        return;
    }
    Handoff handoff;
    // Declared after handoff, so that leaving by an exception joins the
    // second thread (stopped first below) while the handoff is still there.
    BackgroundWork second;
    // The second thread's pieces wait for this one: without a thread they
    // are all formatted here.
    bool alone = !twoThreads || !second.TryStart([&] { FormatOddPieces(pieceWork, handoff); });
    try {
        for (std::size_t i = 0; cursor.section != Section::kDone; ++i) {
            const std::int64_t limit = PieceLimit(cursor.work, pieceWork);
            const LargeText* text = i % 2 == 1 && !alone ? handoff.WaitReady(i) : nullptr;
            if (text == nullptr) {
                // Once the second thread has given up, the rest is done here.
                alone = alone || i % 2 == 1;
                Format(cursor, limit, &out, &file);
                continue;
            }
            // Through the file's buffer a block at a time, so that its
            // writer thread writes the piece while it is being copied.
            AppendInBlocks(file, *text);
            handoff.Release(i);
            Format<std::string>(cursor, limit, nullptr, nullptr);
        }
    } catch (...) {
        handoff.Stop();
        throw;
    }
    second.Join();
}

}  // namespace vertoko
