// Drawings with TABLES, BLOCKS and ENTITIES built from group pairs, and a
// read with the block and colour options, for the expansion and colour
// tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "dxf/dxf_test_support.h"

namespace vertoko::test {

struct Pair {
    int code;
    std::string value;
};

inline std::string Pairs(std::initializer_list<Pair> pairs) {
    std::string text;
    for (const Pair& p : pairs) text += std::to_string(p.code) + "\n" + p.value + "\n";
    return text;
}

inline std::string Num(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

// A block definition with its base point; body holds its entities.
inline std::string Block(const std::string& name, Corner base, const std::string& body) {
    return Pairs({{0, "BLOCK"},
                  {8, "0"},
                  {2, name},
                  {70, "0"},
                  {10, Num(base.x)},
                  {20, Num(base.y)},
                  {30, Num(base.z)},
                  {3, name}}) +
           body + Pairs({{0, "ENDBLK"}, {8, "0"}});
}

// An INSERT of name at point; more adds groups (scale, rotation, grid,
// extrusion, layer, colour).
inline std::string Insert(const std::string& name, Corner point,
                          std::initializer_list<Pair> more = {}) {
    std::string text = Pairs({{0, "INSERT"}, {2, name}});
    for (const Pair& p : more) text += Pairs({p});
    return text + Pairs({{10, Num(point.x)}, {20, Num(point.y)}, {30, Num(point.z)}});
}

// A LAYER table of (name, 62) entries.
inline std::string LayerTable(std::initializer_list<Pair> layers) {
    std::string text = Pairs({{0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "LAYER"}});
    for (const Pair& l : layers)
        text += Pairs({{0, "LAYER"}, {2, l.value}, {70, "0"}, {62, std::to_string(l.code)}});
    return text + Pairs({{0, "ENDTAB"}, {0, "ENDSEC"}});
}

inline std::string Drawing(const std::string& blocks, const std::string& entities,
                           const std::string& tables = {}) {
    return tables + Pairs({{0, "SECTION"}, {2, "BLOCKS"}}) + blocks +
           Pairs({{0, "ENDSEC"}, {0, "SECTION"}, {2, "ENTITIES"}}) + entities +
           Pairs({{0, "ENDSEC"}, {0, "EOF"}});
}

inline ReadResult ReadWith(const std::string& text, bool expand, bool colors, bool multi = false) {
    ReaderOptions options;
    options.dxfMulti = multi ? 1 : 0;
    options.dxfClv = 0;
    options.dxfInsert = expand ? 1 : 0;
    options.dxfColor = colors ? 1 : 0;
    std::FILE* file = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), file);
    std::rewind(file);
    ReadResult result = ReadFile(file, options);
    std::fclose(file);
    return result;
}

// The corners of polygon i of object o, in polygon order.
inline std::vector<Corner> PolygonPoints(const ReadResult& r, int o, int i) {
    std::vector<Corner> points;
    const MeshPolygon& p = *r.table[o].ptbl[i];
    for (int k = 0; k < p.cornerCount; ++k) {
        const MeshVertex& v = *r.table[o].vtbl[p.p[k]];
        points.push_back({v.x, v.y, v.z});
    }
    return points;
}

// Within 1e-5 relative (absolute near zero).
inline bool Near(double actual, double expected) {
    return std::fabs(actual - expected) <= 1e-5 * std::max(1.0, std::fabs(expected));
}

inline bool NearPoints(const std::vector<Corner>& actual, const std::vector<Corner>& expected) {
    if (actual.size() != expected.size()) return false;
    for (std::size_t k = 0; k < actual.size(); ++k) {
        if (!Near(actual[k].x, expected[k].x) || !Near(actual[k].y, expected[k].y) ||
            !Near(actual[k].z, expected[k].z))
            return false;
    }
    return true;
}

inline std::string Show(const std::vector<Corner>& points) {
    std::string text;
    for (const Corner& c : points) text += "(" + Num(c.x) + "," + Num(c.y) + "," + Num(c.z) + ")";
    return text;
}

#define EXPECT_POINTS_NEAR(actual, ...)                                     \
    do {                                                                    \
        const std::vector<::vertoko::test::Corner> expected_ = __VA_ARGS__; \
        const std::vector<::vertoko::test::Corner> actual_ = actual;        \
        EXPECT_TRUE(::vertoko::test::NearPoints(actual_, expected_))        \
            << Show(actual_) << " expected " << Show(expected_);            \
    } while (0)

}  // namespace vertoko::test
