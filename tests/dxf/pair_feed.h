// Pairs fed straight to an entity parser, without a file section around
// them: the same (code, value) list written as text DXF and as binary DXF,
// each read through its own pair source into a read context of its own.
// An entity's tests are its pairs and what its parser makes of them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "dxf/input/binary_pairs.h"
#include "dxf/input/text_pairs.h"
#include "dxf/read_context.h"

namespace vertoko::test {

struct Pair {
    int code;
    std::string value;
};
using PairList = std::vector<Pair>;

// "code\nvalue\n" for each pair.
inline std::string TextOf(const PairList& pairs) {
    std::string text;
    for (const Pair& p : pairs) text += std::to_string(p.code) + "\n" + p.value + "\n";
    return text;
}

// The same pairs in binary DXF with two-byte codes, each value in the type
// DXF gives its code (the codes entities use: strings, reals, 16- and
// 32-bit integers). Values must be numbers where the type asks one.
inline std::string BinaryOf(const PairList& pairs) {
    std::string bytes;
    auto little = [&bytes](std::uint64_t value, int size) {
        for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
    };
    for (const Pair& p : pairs) {
        little(static_cast<std::uint64_t>(p.code), 2);
        const int c = p.code;
        if ((c >= 10 && c <= 59) || (c >= 210 && c <= 239) || (c >= 1010 && c <= 1059)) {
            const double value = std::strtod(p.value.c_str(), nullptr);
            std::uint64_t bits;
            std::memcpy(&bits, &value, sizeof bits);
            little(bits, 8);
        } else if ((c >= 60 && c <= 79) || (c >= 1060 && c <= 1070)) {
            little(static_cast<std::uint64_t>(std::strtoll(p.value.c_str(), nullptr, 10)), 2);
        } else if ((c >= 90 && c <= 99) || (c >= 420 && c <= 429) || c == 1071) {
            little(static_cast<std::uint64_t>(std::strtoll(p.value.c_str(), nullptr, 10)), 4);
        } else {
            bytes += p.value;
            bytes.push_back('\0');
        }
    }
    return bytes;
}

// A parser fed with pairs, and the context it filled.
struct Fed {
    explicit Fed(const ReaderOptions& options) : context(options) {
        CreateSlots(context.slots, options.dxfMulti != 0);
    }
    ReadContext context;
    bool ok = false;

    std::int32_t Objects() const { return context.slots.count; }
    const ObjectSlot& Slot(int i) const { return context.slots.slots[i]; }
    // Corner k of the slot's polygon i, as a point.
    std::vector<float> Corner(int slot, int polygon, int k) const {
        const MeshPolygon* p = Slot(slot).polygonHead;
        for (int j = 0; j < polygon; ++j) p = p->next;
        const MeshVertex* v = Slot(slot).vertexHead;
        for (int j = 0; j < p->p[k]; ++j) v = v->next;
        return {v->x, v->y, v->z};
    }
};

// Feeds (0, entity) and then pairs to parse(context, source) through the
// text source; the entity's own pair is read first, as the driver does.
template <typename Parse>
std::unique_ptr<Fed> FeedText(const std::string& entity, const PairList& pairs, Parse parse,
                              const ReaderOptions& options = {}) {
    auto fed = std::make_unique<Fed>(options);
    PairList all{{0, entity}};
    all.insert(all.end(), pairs.begin(), pairs.end());
    std::string text = TextOf(all);
    std::FILE* file = fmemopen(text.data(), text.size(), "rb");
    {
        TextPairs source(file);
        std::int32_t code = 0;
        EXPECT_EQ(source.Code(code), PairStatus::Ok);
        EXPECT_EQ(source.Skip(), PairStatus::Ok);
        fed->ok = parse(fed->context, source);
    }
    std::fclose(file);
    return fed;
}

// The same through the binary source.
template <typename Parse>
std::unique_ptr<Fed> FeedBinary(const std::string& entity, const PairList& pairs, Parse parse,
                                const ReaderOptions& options = {}) {
    auto fed = std::make_unique<Fed>(options);
    PairList all{{0, entity}};
    all.insert(all.end(), pairs.begin(), pairs.end());
    std::string bytes = BinaryOf(all);
    BinaryPairs source(nullptr, bytes.data(), bytes.size(), 0, bytes.size());
    std::int32_t code = 0;
    EXPECT_EQ(source.Code(code), PairStatus::Ok);
    EXPECT_EQ(source.Skip(), PairStatus::Ok);
    fed->ok = parse(fed->context, source);
    return fed;
}

}  // namespace vertoko::test
