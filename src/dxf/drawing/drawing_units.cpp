#include "dxf/drawing/drawing_units.h"

#include <cmath>
#include <cstddef>
#include <iterator>
#include <numeric>
#include <string_view>

#include "dxf/entities/entity_builder.h"

namespace vertoko {

namespace {

using Wide = unsigned __int128;

// A length as metres = metres / per.
struct Length {
    std::string_view name;
    std::uint64_t metres;
    std::uint64_t per;
};

// By $INSUNITS code; code 0 is unitless.
constexpr Length kDrawingUnits[] = {
    {},
    {"inch", 254, 10000},
    {"foot", 3048, 10000},
    {"mile", 1609344, 1000},
    {"mm", 1, 1000},
    {"cm", 1, 100},
    {"m", 1, 1},
    {"km", 1000, 1},
    {"microinch", 254, 10000000000},
    {"mil", 254, 10000000},
    {"yard", 9144, 10000},
    {"Å", 1, 10000000000},
    {"nm", 1, 1000000000},
    {"µm", 1, 1000000},
    {"dm", 1, 10},
    {"dam", 10, 1},
    {"hm", 100, 1},
    {"Gm", 1000000000, 1},
    {"AU", 149597870700, 1},
    {"light year", 9460730472580800, 1},
    {"parsec", 30856775814913673, 1},
    {"US survey foot", 1200, 3937},
    {"US survey inch", 100, 3937},
    {"US survey yard", 3600, 3937},
    {"US survey mile", 6336000, 3937},
};

// By OutputUnit, AsDrawn left empty.
constexpr Length kTargetUnits[] = {
    {}, {"mm", 1, 1000}, {"cm", 1, 100}, {"m", 1, 1}, {"inch", 254, 10000}, {"foot", 3048, 10000},
};

Wide Gcd(Wide a, Wide b) {
    while (b != 0) {
        const Wide r = a % b;
        a = b;
        b = r;
    }
    return a;
}

int BitLength(Wide value) {
    const auto high = static_cast<std::uint64_t>(value >> 64);
    if (high != 0) return 128 - __builtin_clzll(high);
    const auto low = static_cast<std::uint64_t>(value);
    return low != 0 ? 64 - __builtin_clzll(low) : 0;
}

std::string Digits(Wide value) {
    std::string text;
    do {
        text.insert(text.begin(), static_cast<char>('0' + static_cast<int>(value % 10)));
        value /= 10;
    } while (value != 0);
    return text;
}

// The factor as an exact decimal where it has one (25.4, 0.001), else as
// the fraction (1/12, 1200/3937).
std::string FactorText(Wide num, std::uint64_t den) {
    std::uint64_t rest = den;
    while (rest % 2 == 0) rest /= 2;
    while (rest % 5 == 0) rest /= 5;
    if (rest != 1) return Digits(num) + "/" + Digits(den);
    std::string text = Digits(num / den);
    Wide remainder = num % den;
    if (remainder != 0) text += '.';
    while (remainder != 0) {
        remainder *= 10;
        text += static_cast<char>('0' + static_cast<int>(remainder / den));
        remainder %= den;
    }
    return text;
}

}  // namespace

UnitConversion ConversionFor(std::int32_t insunits, OutputUnit target) {
    UnitConversion conversion;
    const auto index = static_cast<std::size_t>(target);
    if (target == OutputUnit::AsDrawn || index >= std::size(kTargetUnits)) return conversion;
    if (insunits <= 0 || static_cast<std::size_t>(insunits) >= std::size(kDrawingUnits)) {
        conversion.logLine = insunits <= 0
                                 ? "単位：図面に単位の指定がないため, 図面のままの大きさです."
                                 : "単位：図面の単位 ($INSUNITS = " + std::to_string(insunits) +
                                       ") が分からないため, 図面のままの大きさです.";
        return conversion;
    }
    const Length& from = kDrawingUnits[insunits];
    const Length& to = kTargetUnits[index];
    // from.metres / from.per metres in units of to.metres / to.per.
    Wide num = Wide{from.metres} * to.per;
    Wide den = Wide{from.per} * to.metres;
    const Wide common = Gcd(num, den);
    num /= common;
    den /= common;
    conversion.scales = true;
    conversion.num = num;
    conversion.den = static_cast<std::uint64_t>(den);
    conversion.logLine = "単位：図面の " + std::string(from.name) + " を " + std::string(to.name) +
                         " に換算 (×" + FactorText(num, conversion.den) + ")";
    return conversion;
}

float ScaleExactly(float value, Wide num, std::uint64_t den) {
    if (value == 0.0f || !std::isfinite(value)) return value;
    // A product or a quotient of two floats computed in double and rounded
    // to float is the float nearest to the exact result: the common factors
    // need nothing more.
    constexpr std::uint64_t kFloatWhole = std::uint64_t{1} << 24;
    if (den == 1 && num < kFloatWhole)
        return FloatOf(static_cast<double>(value) * static_cast<double>(num));
    if (num == 1 && den < kFloatWhole)
        return static_cast<float>(static_cast<double>(value) / static_cast<double>(den));

    // Otherwise in integers: |value| = m * 2^(e - 24) with m of 24 bits.
    int e = 0;
    const float fraction = std::frexp(std::fabs(value), &e);
    const auto m = static_cast<std::uint64_t>(std::ldexp(fraction, 24));
    Wide n = Wide{m} * num;  // below 2^93: num stays below 2^69
    // A quotient of at least 64 bits, then 52 of them kept and the rest
    // folded into the lowest bit, which decides every rounding to float.
    int shift = 64 - (BitLength(n) - BitLength(den));
    if (shift < 0) shift = 0;
    n <<= shift;
    Wide q = n / den;
    bool sticky = n % den != 0;
    const int drop = BitLength(q) - 52;
    sticky = sticky || (q & ((Wide{1} << drop) - 1)) != 0;
    q >>= drop;
    const auto kept = (static_cast<std::uint64_t>(q) << 1) | (sticky ? 1u : 0u);
    const double exact = std::ldexp(static_cast<double>(kept), e - 24 - shift + drop - 1);
    return std::copysign(FloatOf(exact), value);
}

void ScaleSlots(SlotArray& slots, const UnitConversion& conversion) {
    if (!conversion.scales || (conversion.num == 1 && conversion.den == 1)) return;
    for (std::int32_t i = 0; i < slots.count; ++i) {
        for (MeshVertex* v = slots.slots[i].vertexHead; v != nullptr; v = v->next) {
            v->x = ScaleExactly(v->x, conversion.num, conversion.den);
            v->y = ScaleExactly(v->y, conversion.num, conversion.den);
            v->z = ScaleExactly(v->z, conversion.num, conversion.den);
        }
    }
}

}  // namespace vertoko
