// The option table on its own: one default per option that the structs'
// initializers agree with, one field per row, well-formed rows, the order
// they are shown in, and the text forms of the kinds no row uses yet.
#include "convert/option_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace vertoko {
namespace {

bool SameValue(const OptionRow& row, AppSettings& a, AppSettings& b) {
    return std::visit(
        [&](auto* left) {
            using Pointer = decltype(left);
            return *left == *std::get<Pointer>(row.field(b));
        },
        row.field(a));
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return lower;
}

TEST(OptionTable, EveryStructInitializerIsTheTableDefault) {
    for (const OptionRow& row : OptionTable()) {
        AppSettings constructed;
        AppSettings fromTable;
        // Another value first, so that the default has to be written.
        SetOptionFromText(row, row.kind == OptionKind::Colour ? "1,2,3" : "7", fromTable);
        SetOptionDefault(row, fromTable);
        EXPECT_TRUE(SameValue(row, constructed, fromTable)) << row.key;
        // The default as written is the text the file, --help and the
        // README show.
        EXPECT_EQ(OptionText(row, constructed), row.defaultText) << row.key;
    }
}

TEST(OptionTable, ReadingRowsAreTheReadersOptions) {
    // Every value the reader takes reads the drawing again when changed;
    // a later row gets that from its flag, which this keeps honest.
    AppSettings settings;
    const auto* begin = reinterpret_cast<const char*>(&settings.reader);
    int reading = 0;
    for (const OptionRow& row : OptionTable()) {
        const void* address =
            std::visit([](auto* p) -> const void* { return p; }, row.field(settings));
        const auto* at = static_cast<const char*>(address);
        const bool inReader = at >= begin && at < begin + sizeof settings.reader;
        EXPECT_EQ(row.reading, inReader) << row.key;
        reading += row.reading ? 1 : 0;
    }
    // Multi-object mode, cleaning and its distance, lenient reading, block
    // expansion, colours, orientation, thickness, curve segments, units,
    // visible layers only, the layers to read and those not to.
    EXPECT_EQ(reading, 13);
}

TEST(OptionTable, OnlyReadingOptionsDifferForTheReader) {
    const AppSettings base;
    for (const OptionRow& row : OptionTable()) {
        AppSettings changed = base;
        const std::string_view other = row.kind == OptionKind::Colour   ? "1,2,3"
                                       : row.kind == OptionKind::Choice ? row.words.back()
                                                                        : "7";
        SetOptionFromText(row, other, changed);
        if (row.kind == OptionKind::Switch)
            OptionValue<std::int32_t>(row, changed) = 1 - OptionValue<std::int32_t>(row, base);
        EXPECT_EQ(ReadingOptionsDiffer(base, changed), row.reading) << row.key;
    }
    EXPECT_FALSE(ReadingOptionsDiffer(base, base));
}

TEST(OptionTable, EachRowHasAFieldOfItsOwnOfItsKindsType) {
    AppSettings settings;
    const auto* begin = reinterpret_cast<const char*>(&settings);
    std::set<const void*> fields;
    for (const OptionRow& row : OptionTable()) {
        const OptionField field = row.field(settings);
        std::size_t expected = 0;
        switch (row.kind) {
            case OptionKind::Switch:
            case OptionKind::Integer:
            case OptionKind::Choice:
                expected = 0;
                break;
            case OptionKind::Distance:
            case OptionKind::Angle:
                expected = 1;
                break;
            case OptionKind::Text:
            case OptionKind::EstrayString:
            case OptionKind::FileName:
                expected = 2;
                break;
            case OptionKind::Colour:
                expected = 3;
                break;
        }
        EXPECT_EQ(field.index(), expected) << row.key;
        const void* address = std::visit([](auto* p) -> const void* { return p; }, field);
        const auto* at = static_cast<const char*>(address);
        EXPECT_TRUE(at >= begin && at < begin + sizeof settings) << row.key << " points elsewhere";
        EXPECT_TRUE(fields.insert(address).second) << row.key << " shares its field";
    }
}

TEST(OptionTable, KeysAndConverterOptionsAreUnique) {
    std::set<std::string> keys;
    std::set<std::string> options{"-o",       "--output",   "--output-dir",
                                  "--format", "--settings", "--help"};
    for (const OptionRow& row : OptionTable()) {
        EXPECT_TRUE(row.section == "Options" || row.section == "Pview") << row.key;
        // The settings file finds keys without regard to case.
        EXPECT_TRUE(keys.insert(Lower(row.key)).second) << row.key;
        EXPECT_EQ(FindOption(Lower(row.key)), &row);
        if (row.option.empty()) continue;
        EXPECT_EQ(row.option.substr(0, 2), "--") << row.key;
        EXPECT_NE(row.option.substr(0, 5), "--no-") << row.key;
        EXPECT_TRUE(options.insert(std::string(row.option)).second) << row.option;
        if (row.kind == OptionKind::Switch) {
            const std::string negated = "--no-" + std::string(row.option.substr(2));
            EXPECT_TRUE(options.insert(negated).second) << negated;
        }
    }
    EXPECT_EQ(FindOption("NoSuchKey"), nullptr);
}

TEST(OptionTable, RowsSayWhatTheirKindNeeds) {
    for (const OptionRow& row : OptionTable()) {
        SCOPED_TRACE(std::string(row.key));
        if (row.kind == OptionKind::Colour) {
            // Colours are edited only in the colour dialog.
            EXPECT_EQ(row.group, OptionGroup::Preview);
            EXPECT_TRUE(row.option.empty());
        } else {
            EXPECT_NE(row.group, OptionGroup::Preview);
            EXPECT_FALSE(row.option.empty());
            EXPECT_FALSE(row.help.empty());
            EXPECT_FALSE(row.usage.empty());
        }
        if (row.kind == OptionKind::Switch) {
            EXPECT_FALSE(row.caption.empty());
        } else if (!row.option.empty()) {
            EXPECT_FALSE(row.valueNoun.empty());
            if (row.kind != OptionKind::Choice) {
                EXPECT_FALSE(row.valueName.empty());
            }
        }
        if (row.kind == OptionKind::Angle || row.kind == OptionKind::Integer) {
            EXPECT_LE(row.min, row.max);
        }
        if (row.kind == OptionKind::Text || row.kind == OptionKind::EstrayString ||
            row.kind == OptionKind::FileName) {
            EXPECT_GT(row.maxBytes, 0u);
            EXPECT_LE(row.defaultText.size(), row.maxBytes);
        }
        if (!row.enabledBy.empty()) {
            const OptionRow* sw = FindOption(row.enabledBy);
            ASSERT_NE(sw, nullptr);
            EXPECT_EQ(sw->kind, OptionKind::Switch);
            EXPECT_EQ(sw->group, row.group);
        }
    }
}

std::vector<std::string_view> KeysOf(const std::vector<const OptionRow*>& rows) {
    std::vector<std::string_view> keys;
    for (const OptionRow* row : rows) keys.push_back(row->key);
    return keys;
}

TEST(OptionOrder, GroupByGroupWithEnabledInputsAfterTheirSwitch) {
    // The dialog's groups from the top, left column first, as --help lists
    // the options.
    const std::vector<std::string_view> expected = {
        "DXFmulti",   "DXFclv",     "DXFvdist",    "DXFskip",      "DXFinsert",
        "DXFcolor",   "DXForient",  "DXFthick",    "DXFsegments",  "OUTunits",
        "DXFvisible", "DXFlayers",  "DXFnolayers", "OUTnames",     "ESTRopt",
        "POVRsmt",    "POVRcrease", "POVRstate",   "POVRmesh2",    "POVRfit",
        "OUTzup",     "POVRscene",  "OUTmaterials", "OBJnormal",   "backcol",
        "objcol"};
    EXPECT_EQ(KeysOf(OptionsInShowingOrder(OptionTable())), expected);
}

OptionField MultiField(AppSettings& s) { return &s.reader.dxfMulti; }

TEST(OptionOrder, AnInputBeforeItsSwitchInTheTableStillFollowsIt) {
    const OptionRow rows[] = {
        {.section = "Options",
         .key = "late",
         .kind = OptionKind::Integer,
         .group = OptionGroup::Pov,
         .defaultText = "3",
         .field = MultiField,
         .enabledBy = "sw"},
        {.section = "Options",
         .key = "other",
         .kind = OptionKind::Switch,
         .group = OptionGroup::Dxf,
         .defaultText = "0",
         .field = MultiField},
        {.section = "Options",
         .key = "sw",
         .kind = OptionKind::Switch,
         .group = OptionGroup::Pov,
         .defaultText = "0",
         .field = MultiField},
        {.section = "Options",
         .key = "orphan",
         .kind = OptionKind::Integer,
         .group = OptionGroup::Pov,
         .defaultText = "3",
         .field = MultiField,
         .enabledBy = "missing"},
    };
    EXPECT_EQ(KeysOf(OptionsInShowingOrder(rows)),
              (std::vector<std::string_view>{"other", "sw", "late", "orphan"}));
}

constexpr std::string_view kUnits[] = {"as-drawn", "mm", "cm", "m", "in", "ft"};

TEST(OptionText, IntegersAreHeldToTheirRange) {
    const OptionRow segments{.section = "Options",
                             .key = "OUTsegments",
                             .kind = OptionKind::Integer,
                             .group = OptionGroup::Pov,
                             .defaultText = "32",
                             .field = MultiField,
                             .min = 3,
                             .max = 1024};
    AppSettings s;
    SetOptionFromText(segments, "2000", s);
    EXPECT_EQ(s.reader.dxfMulti, 1024);
    SetOptionFromText(segments, "-5", s);
    EXPECT_EQ(s.reader.dxfMulti, 3);
    SetOptionFromText(segments, "12 segments", s);
    EXPECT_EQ(s.reader.dxfMulti, 32);
    SetOptionFromText(segments, "64", s);
    EXPECT_EQ(OptionText(segments, s), "64");
}

TEST(OptionText, ChoicesAreWrittenAsTheirWord) {
    const OptionRow units{.section = "Options",
                          .key = "OUTunits",
                          .kind = OptionKind::Choice,
                          .group = OptionGroup::Dxf,
                          .defaultText = "as-drawn",
                          .field = MultiField,
                          .words = kUnits};
    AppSettings s;
    SetOptionFromText(units, "cm", s);
    EXPECT_EQ(s.reader.dxfMulti, 2);
    EXPECT_EQ(OptionText(units, s), "cm");
    // Words are compared exactly; anything else is the default.
    SetOptionFromText(units, "CM", s);
    EXPECT_EQ(s.reader.dxfMulti, 0);
    s.reader.dxfMulti = 99;
    EXPECT_EQ(OptionText(units, s), "as-drawn");
}

}  // namespace
}  // namespace vertoko
