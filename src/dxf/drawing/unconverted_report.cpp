#include "dxf/drawing/unconverted_report.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace vertoko {

namespace {

// The kinds in the order the log line names them. The polyline kinds come
// first (a check of the strict reading looks for the skipped one right
// after the heading); the flat kinds, counted only with thickness read,
// last.
constexpr std::string_view kKinds[] = {
    kSkippedPolyline,  kFlatPolyline,     "3DSOLID",       "REGION",      "BODY",
    "SURFACE",         "EXTRUDEDSURFACE", "LOFTEDSURFACE", "NURBSURFACE", "PLANESURFACE",
    "REVOLVEDSURFACE", "SWEPTSURFACE",    "HATCH",         "MPOLYGON",    "TEXT",
    "MTEXT",
};
constexpr std::size_t kKindCount = std::size(kKinds);
constexpr std::size_t kFirstNamed = 2;  // after the polyline kinds
constexpr std::size_t kFirstFlat = kKindCount - 4;

std::size_t KindIndex(std::string_view kind) {
    return static_cast<std::size_t>(std::find(std::begin(kKinds), std::end(kKinds), kind) -
                                    std::begin(kKinds));
}

// Appends "kind = count", after a comma unless line is still empty bytes long.
void AppendCount(std::string& line, std::size_t empty, std::string_view kind, std::int64_t count) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, count);
    if (line.size() > empty) line += ", ";
    line.append(kind).append(" = ").append(digits, result.ptr);
}

// A block name as the line shows it: longer than kShownName characters it
// keeps the first kShownName - 1 and an ellipsis. Characters are UTF-8
// sequences; a byte that begins none counts as one.
constexpr std::size_t kShownName = 64;

std::string ShownName(const std::string& name) {
    std::size_t characters = 0;
    std::size_t cut = 0;  // where the first kShownName - 1 characters end
    for (std::size_t i = 0; i < name.size();) {
        const auto lead = static_cast<unsigned char>(name[i]);
        std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::size_t k = 1;
        while (k < length && i + k < name.size() &&
               (static_cast<unsigned char>(name[i + k]) & 0xC0) == 0x80)
            ++k;
        i += k;
        if (++characters == kShownName - 1) cut = i;
    }
    if (characters <= kShownName) return name;
    return name.substr(0, cut) + "…";
}

}  // namespace

bool IsUnconvertedKind(std::string_view name) {
    const std::size_t index = KindIndex(name);
    return index >= kFirstNamed && index < kFirstFlat;
}

bool IsUnconvertedFlatKind(std::string_view name) {
    const std::size_t index = KindIndex(name);
    return index >= kFirstFlat && index < kKindCount;
}

std::string BlockKey(std::string_view name) {
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
    while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.remove_prefix(1);
    std::string key(name);
    for (char& c : key) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return key;
}

void UnconvertedReport::Reset() {
    counts_.assign(kKindCount, 0);
    blocks_.clear();
    inserts_.clear();
    unplaced_.clear();
    openBlock_.clear();
    inBlock_ = false;
    hiddenFaces_ = 0;
}

void UnconvertedReport::Count(std::string_view kind) {
    const std::size_t index = KindIndex(kind);
    if (index >= kKindCount) return;
    if (counts_.size() != kKindCount) counts_.assign(kKindCount, 0);
    ++counts_[index];
}

void UnconvertedReport::BeginBlock(std::string_view name) {
    openBlock_ = BlockKey(name);
    inBlock_ = true;
    blocks_[openBlock_];
}

void UnconvertedReport::EndBlock() {
    inBlock_ = false;
    openBlock_.clear();
}

void UnconvertedReport::MarkFaces() {
    if (inBlock_) blocks_[openBlock_].faces = true;
}

void UnconvertedReport::CountInsert(std::string_view blockName) {
    std::string key = BlockKey(blockName);
    if (inBlock_) {
        blocks_[openBlock_].inserts.push_back(std::move(key));
    } else {
        ++inserts_[key];
    }
}

void UnconvertedReport::CountUnplacedInsert(std::string_view blockName, bool missing) {
    for (Unplaced& entry : unplaced_) {
        if (entry.missing == missing && entry.block == blockName) {
            ++entry.count;
            return;
        }
    }
    unplaced_.push_back({std::string(blockName), missing, 1});
}

std::set<std::string> UnconvertedReport::BlocksWithFaces() const {
    // From the blocks that hold faces themselves up through every block
    // that inserts one of them; each block is visited once, so deep or
    // circular nesting costs nothing extra.
    std::map<std::string, std::vector<std::string>> insertedBy;
    std::vector<std::string> pending;
    for (const auto& [name, block] : blocks_) {
        for (const std::string& inner : block.inserts) insertedBy[inner].push_back(name);
        if (block.faces) pending.push_back(name);
    }
    std::set<std::string> holding(pending.begin(), pending.end());
    while (!pending.empty()) {
        const std::string name = std::move(pending.back());
        pending.pop_back();
        const auto outer = insertedBy.find(name);
        if (outer == insertedBy.end()) continue;
        for (const std::string& parent : outer->second) {
            if (holding.insert(parent).second) pending.push_back(parent);
        }
    }
    return holding;
}

std::string UnconvertedReport::Line() const {
    std::string line = "変換しなかった図形：";
    const std::size_t empty = line.size();
    for (std::size_t i = 0; i < counts_.size(); ++i) {
        if (counts_[i] > 0) AppendCount(line, empty, kKinds[i], counts_[i]);
    }
    std::int64_t inserts = 0;
    if (!inserts_.empty()) {
        const std::set<std::string> holding = BlocksWithFaces();
        for (const auto& [name, count] : inserts_) {
            if (holding.count(name) != 0) inserts += count;
        }
    }
    if (inserts > 0) AppendCount(line, empty, "INSERT", inserts);
    if (hiddenFaces_ > 0) AppendCount(line, empty, "非表示レイヤー", hiddenFaces_);
    for (const Unplaced& entry : unplaced_) {
        const std::string kind =
            std::string(entry.missing ? "INSERT(未定義 \"" : "INSERT(自身を挿入 \"") +
            ShownName(entry.block) + "\")";
        AppendCount(line, empty, kind, entry.count);
    }
    return line.size() == empty ? std::string() : line;
}

}  // namespace vertoko
