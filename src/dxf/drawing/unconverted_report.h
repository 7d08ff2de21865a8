// The count of what a drawing holds that the reader does not turn into
// polygons although a user would expect to see it as a surface: polylines
// the lenient reading skipped, solids, regions, bodies, surfaces, and
// insertions of blocks that hold faces. One log line sums it up.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vertoko {

// The kind under which a polyline skipped by the lenient reading counts.
inline constexpr std::string_view kSkippedPolyline = "POLYLINE(読み飛ばし)";

// The kind under which a 2D polyline without thickness counts when entities
// with thickness are converted: it no longer refuses the drawing, and adds
// nothing.
inline constexpr std::string_view kFlatPolyline = "POLYLINE(厚みなし)";

// True for the entity names counted by name alone: 3DSOLID, REGION, BODY
// and the surface entities. name is upper-cased.
bool IsUnconvertedKind(std::string_view name);

// True for the names counted besides while entities with thickness are
// converted, filled areas and text: HATCH, MPOLYGON, TEXT and MTEXT.
bool IsUnconvertedFlatKind(std::string_view name);

class UnconvertedReport {
  public:
    void Reset();

    // Counts one entity of the kind: kSkippedPolyline, kFlatPolyline or an
    // entity name for which IsUnconvertedKind or IsUnconvertedFlatKind holds
    // (others are ignored).
    void Count(std::string_view kind);

    // Block definitions, so that insertions can be judged once the whole
    // file is read: a block may be defined after its first use.
    void BeginBlock(std::string_view name);
    void EndBlock();
    bool InBlock() const { return inBlock_; }
    // The open block definition holds at least one polygon.
    void MarkFaces();

    // An INSERT of the named block: inside a block definition it makes that
    // block hold what the inserted one holds; elsewhere it is counted when
    // its block holds faces, directly or through nested insertions.
    void CountInsert(std::string_view blockName);

    // With insertions expanded: an INSERT that places nothing because its
    // block is missing or inserts itself, directly or through others.
    void CountUnplacedInsert(std::string_view blockName, bool missing);

    // Faces left out because their layer is off or frozen.
    void CountHiddenLayerFaces(std::int64_t faces) { hiddenFaces_ += faces; }

    // "変換しなかった図形：KIND = n, ..." in a fixed order of kinds, the
    // faces of hidden layers ("非表示レイヤー = n") after them, the
    // unplaced insertions by block name last, or empty when there is
    // nothing to report.
    std::string Line() const;

  private:
    struct Block {
        bool faces = false;
        std::vector<std::string> inserts;
    };
    std::set<std::string> BlocksWithFaces() const;

    std::vector<std::int64_t> counts_;
    std::map<std::string, Block> blocks_;
    std::map<std::string, std::int64_t> inserts_;  // outside blocks, by block name
    struct Unplaced {
        std::string block;
        bool missing;
        std::int64_t count;
    };
    std::vector<Unplaced> unplaced_;  // in the order the names first appear
    std::string openBlock_;
    bool inBlock_ = false;
    std::int64_t hiddenFaces_ = 0;
};

// Block names compare without case and trailing blanks, as DXF does.
std::string BlockKey(std::string_view name);

}  // namespace vertoko
