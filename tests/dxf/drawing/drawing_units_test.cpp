// $INSUNITS and the conversion to the unit asked for: the header read in
// text and binary drawings and only when a unit is asked for, the log
// lines, and the scaling that gives the float nearest to the exact product.
#include "dxf/drawing/drawing_units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "dxf/dxf_test_support.h"
#include "dxf/pair_feed.h"

namespace vertoko {
namespace {

float FromBits(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

TEST(UnitConversion, FactorAndLogLineFromTheTwoUnits) {
    struct Case {
        std::int32_t insunits;
        OutputUnit target;
        std::string line;
    };
    const Case cases[] = {
        {4, OutputUnit::Metre, "単位：図面の mm を m に換算 (×0.001)"},
        {6, OutputUnit::Millimetre, "単位：図面の m を mm に換算 (×1000)"},
        {1, OutputUnit::Millimetre, "単位：図面の inch を mm に換算 (×25.4)"},
        {1, OutputUnit::Foot, "単位：図面の inch を foot に換算 (×1/12)"},
        {2, OutputUnit::Metre, "単位：図面の foot を m に換算 (×0.3048)"},
        {4, OutputUnit::Inch, "単位：図面の mm を inch に換算 (×5/127)"},
        {21, OutputUnit::Metre, "単位：図面の US survey foot を m に換算 (×1200/3937)"},
        {5, OutputUnit::Centimetre, "単位：図面の cm を cm に換算 (×1)"},
        {19, OutputUnit::Millimetre, "単位：図面の light year を mm に換算 (×9460730472580800000)"},
        {11, OutputUnit::Foot, "単位：図面の Å を foot に換算 (×1/3048000000)"},
    };
    for (const Case& c : cases) {
        const UnitConversion conversion = ConversionFor(c.insunits, c.target);
        EXPECT_TRUE(conversion.scales);
        EXPECT_EQ(conversion.logLine, c.line);
    }
}

TEST(UnitConversion, DrawingWithoutAKnownUnitIsTakenAsDrawn) {
    for (const std::int32_t insunits : {-1, 0}) {
        const UnitConversion conversion = ConversionFor(insunits, OutputUnit::Metre);
        EXPECT_FALSE(conversion.scales);
        EXPECT_EQ(conversion.logLine, "単位：図面に単位の指定がないため, 図面のままの大きさです.");
    }
    EXPECT_EQ(ConversionFor(25, OutputUnit::Metre).logLine,
              "単位：図面の単位 ($INSUNITS = 25) が分からないため, 図面のままの大きさです.");
    // Without a unit asked for there is nothing to say.
    EXPECT_EQ(ConversionFor(4, OutputUnit::AsDrawn).logLine, "");
    EXPECT_FALSE(ConversionFor(4, OutputUnit::AsDrawn).scales);
}

TEST(ScaleExactly, NearestFloatToTheExactProduct) {
    // 1/3 of the float 1: 0x3EAAAAAB is nearer than 0x3EAAAAAA.
    EXPECT_EQ(ScaleExactly(1.0f, 1, 3), FromBits(0x3EAAAAAB));
    // Floats from 2^25 on lie 4 apart, from 2^24 on 2. (2^25 + 8) * 5/4 =
    // 41943050 is halfway between 41943048 and 41943052: the even one;
    // (2^24 + 6) * 5/4 = 20971527.5 lies just past halfway: up.
    EXPECT_EQ(ScaleExactly(33554440.0f, 5, 4), 41943048.0f);
    EXPECT_EQ(ScaleExactly(-33554440.0f, 5, 4), -41943048.0f);
    EXPECT_EQ(ScaleExactly(16777222.0f, 5, 4), 20971528.0f);
    // Zeros, infinities and NaN as they are; beyond the range infinity.
    EXPECT_TRUE(std::signbit(ScaleExactly(-0.0f, 254, 10)));
    EXPECT_EQ(ScaleExactly(INFINITY, 1, 1000), INFINITY);
    EXPECT_TRUE(std::isnan(ScaleExactly(NAN, 127, 5)));
    EXPECT_EQ(ScaleExactly(3e38f, 127, 5), INFINITY);
    EXPECT_EQ(ScaleExactly(-3e38f, 1000, 1), -INFINITY);
    // Down to the smallest subnormal and below it.
    EXPECT_EQ(ScaleExactly(FromBits(1), 3, 2), FromBits(2));  // 1.5 ulp: to even
    EXPECT_EQ(ScaleExactly(FromBits(1), 1, 3), 0.0f);
}

TEST(ScaleExactly, ShortWaysAgreeWithTheLongOne) {
    // A factor given unreduced goes the long way in integers; reduced, a
    // whole multiplier or divisor goes through one rounded double
    // operation. Both must give the same float, and a division the one a
    // float division in double gives.
    std::mt19937 random(25);
    std::uniform_int_distribution<std::uint32_t> bits(0, 0xFFFFFFFFu);
    for (int i = 0; i < 200000; ++i) {
        const float value = FromBits(bits(random));
        if (std::isnan(value)) continue;
        ASSERT_EQ(ScaleExactly(value, 1, 1000), ScaleExactly(value, 7, 7000)) << value;
        ASSERT_EQ(ScaleExactly(value, 1, 1000),
                  static_cast<float>(static_cast<double>(value) / 1000.0));
        ASSERT_EQ(ScaleExactly(value, 1000, 1), ScaleExactly(value, 3000, 3)) << value;
        ASSERT_EQ(ScaleExactly(value, 1, 12), ScaleExactly(value, 5, 60)) << value;
    }
}

TEST(UnitHeader, ReadOnlyWhenAUnitIsAskedFor) {
    const std::string header =
        test::Lines({"0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", "AC1015", "9",
                     "$INSUNITS", "70", "4", "9", "$MEASUREMENT", "70", "1", "0", "ENDSEC"});
    const std::string face = test::Face({{1000, 2000, 3000}, {4, 5, 6}, {7, 8, 9}});
    const std::string drawing = header + test::InEntities(face);
    ReaderOptions options;
    options.dxfClv = 0;
    auto drawn = test::ReadText(drawing, options);
    ASSERT_EQ(drawn.count, 1);
    EXPECT_EQ(drawn.Vertex(0, 0).x, 1000.0f);
    options.outUnits = static_cast<std::int32_t>(OutputUnit::Metre);
    auto metres = test::ReadText(drawing, options);
    ASSERT_EQ(metres.count, 1);
    EXPECT_EQ(metres.Vertex(0, 0).x, 1.0f);
    EXPECT_EQ(metres.Vertex(0, 0).z, 3.0f);
    EXPECT_EQ(metres.Vertex(0, 1).y, 0.005f);
    // The bounding box follows the scaled coordinates.
    EXPECT_EQ(metres.extents.max.z, 3.0f);
    // A 70 after another variable is not the unit.
    const std::string other = test::Lines({"0", "SECTION", "2", "HEADER", "9", "$INSUNITS", "9",
                                           "$LUNITS", "70", "4", "0", "ENDSEC"}) +
                              test::InEntities(face);
    auto unchanged = test::ReadText(other, options);
    ASSERT_EQ(unchanged.count, 1);
    EXPECT_EQ(unchanged.Vertex(0, 0).x, 1000.0f);
}

TEST(UnitHeader, CleaningDistanceStaysInDrawingUnits) {
    // Two corners 0.5 mm apart merge at a distance of 1 (mm) when read in
    // metres, and stay apart at 0.4.
    const std::string drawing =
        test::Lines({"0", "SECTION", "2", "HEADER", "9", "$INSUNITS", "70", "4", "0", "ENDSEC"}) +
        test::InEntities(test::Face({{0, 0, 0}, {100, 0, 0}, {0, 100, 0}}) +
                         test::Face({{0.5f, 0, 0}, {100, 0, 0}, {0, 100, 0}}));
    ReaderOptions options;
    options.outUnits = static_cast<std::int32_t>(OutputUnit::Metre);
    options.dxfVdist = 1.0f;
    EXPECT_EQ(test::ReadText(drawing, options).table[0].vertexCount, 3);
    options.dxfVdist = 0.4f;
    EXPECT_EQ(test::ReadText(drawing, options).table[0].vertexCount, 4);
}

}  // namespace
}  // namespace vertoko
