// The drawing's unit ($INSUNITS) and its conversion to the unit the reader
// is asked for. Every length of a DXF unit is a rational number of metres
// (the inch 0.0254 m, the US survey foot 1200/3937 m, the parsec rounded to
// the metre), so the factor between two units is a ratio of integers and
// is applied exactly: a coordinate becomes the float nearest to its value
// times that ratio, ties to even. Converting a millimetre drawing to metres
// thus gives each coordinate divided by 1000 as a float division would.
#pragma once

#include <cstdint>
#include <string>

#include "dxf/object_slots.h"
#include "dxf/reader_options.h"

namespace vertoko {

struct UnitConversion {
    bool scales = false;  // a unit is asked for and the drawing names its own
    // The factor num / den, reduced; 1 / 1 when nothing scales.
    unsigned __int128 num = 1;
    std::uint64_t den = 1;
    std::string logLine;  // what the log says; empty when no unit was asked for
};

// What reading in target does to a drawing whose $INSUNITS is insunits (-1
// when the header gives none). Without $INSUNITS, with 0 (unitless) or with
// a code of no length the drawing is taken as drawn, and the log line says
// so.
UnitConversion ConversionFor(std::int32_t insunits, OutputUnit target);

// The float nearest to value * num / den (ties to even; beyond the float
// range an infinity). Zeros, infinities and NaN stay as they are.
float ScaleExactly(float value, unsigned __int128 num, std::uint64_t den);

// Every vertex of every slot scaled by the conversion's factor.
void ScaleSlots(SlotArray& slots, const UnitConversion& conversion);

}  // namespace vertoko
