#include "convert/drawing_load.h"

#include <vector>

#include "dxf/drawing/block_expansion.h"
#include "dxf/drawing/color_resolution.h"
#include "dxf/drawing/drawing_units.h"
#include "dxf/dxf_reader.h"
#include "dxf/read_context.h"
#include "mesh/object_preparation.h"

namespace vertoko {

namespace {

// What each slot stands for: its layer and colour when objects are split
// by them, nothing more in single-object mode.
std::vector<ObjectLabel> SlotLabels(const SlotArray& slots, bool multi) {
    std::vector<ObjectLabel> labels(static_cast<std::size_t>(slots.count));
    if (multi) {
        for (std::int32_t i = 0; i < slots.count; ++i) {
            const ObjectSlot& slot = slots.slots[i];
            labels[static_cast<std::size_t>(i)] = {slot.layer, slot.color >= 0 ? slot.color : -1};
        }
    }
    return labels;
}

bool HoldsPolygons(const SlotArray& slots) {
    for (std::int32_t i = 0; i < slots.count; ++i) {
        if (slots.slots[i].polygonCount > 0) return true;
    }
    return false;
}

void CountLayerFaces(std::int32_t count, const MeshObject* table, DrawingLayers& layers) {
    std::vector<DrawingLayer>& list = layers.layers;
    for (std::int32_t i = 0; i < count; ++i) {
        for (const MeshPolygon* p = table[i].polygons; p != nullptr; p = p->next) {
            const auto layer = static_cast<std::size_t>(p->layer);
            if (layer < list.size()) ++list[layer].faces;
        }
    }
}

}  // namespace

DrawingLoad LoadDrawing(std::FILE* file, const ReaderOptions& options) {
    DrawingLoad load;
    ReadContext context(options);
    bool read = ReadDrawing(file, context);
    if (read && options.dxfColor != 0) ResolveSlotColors(context.colors, context.slots);
    if (read && options.dxfInsert != 0) read = ExpandInserts(context);
    // Once every copy is placed, one pass scales entities, block base
    // points and insertion points alike.
    UnitConversion units;
    if (read) {
        units = ConversionFor(context.drawingUnits, static_cast<OutputUnit>(options.outUnits));
        ScaleSlots(context.slots, units);
        load.units = units.logLine;
    }
    if (!read) {
        load.message = std::move(context.message);
        load.refusedSkippable = context.failedOnSkippable;
        return load;
    }
    context.DropOmitted(Omission::Hidden);
    context.DropOmitted(Omission::LeftOut);
    context.unconverted.CountHiddenLayerFaces(context.omittedFaces[0]);
    load.unconverted = context.unconverted.Line();
    load.message = EndReport(context);
    load.layers.layers = context.layers.Layers();
    if (options.dxfInsert != 0 && FacesOnlyInUninsertedBlocks(context))
        load.emptyCause = EmptyCause::FacesOnlyInUninsertedBlocks;
    // The faces were there, on layers the read leaves out.
    const std::int64_t hidden = context.omittedFaces[0];
    const std::int64_t leftOut = context.omittedFaces[1];
    if (hidden + leftOut > 0 && !HoldsPolygons(context.slots)) {
        load.emptyCause = leftOut > 0 ? EmptyCause::FacesOnlyOnLayersLeftOut
                                      : EmptyCause::FacesOnlyOnHiddenLayers;
    }
    const std::int32_t count = context.slots.count;
    if (count == 0) return load;

    std::vector<ObjectLabel> labels = SlotLabels(context.slots, options.dxfMulti != 0);
    MeshObject* table = MoveSlotsToTable(context.slots, load.message);
    if (table == nullptr) return load;
    // Orientation runs after cleaning, which gives neighbouring faces the
    // shared vertices that make their edges common.
    // The cleaning distance is in the drawing's units, as the option says.
    const float distance = ScaleExactly(options.dxfVdist, units.num, units.den);
    if (!PrepareObjects(count, table, options.dxfClv, distance, options.dxfOrient, load.extents,
                        load.message)) {
        FreeObjectTable(count, table);
        return load;
    }
    load.objects = table;
    load.count = count;
    load.layers.objects = std::move(labels);
    CountLayerFaces(count, table, load.layers);
    return load;
}

std::string EmptyResultLine(EmptyCause cause) {
    switch (cause) {
        case EmptyCause::None:
            break;
        case EmptyCause::FacesOnlyInUninsertedBlocks:
            return "図面の面は、どこからも挿入されていないブロックの中にしかありません.";
        case EmptyCause::FacesOnlyOnHiddenLayers:
            return "図面の面は、非表示のレイヤーの上にしかありません.";
        case EmptyCause::FacesOnlyOnLayersLeftOut:
            return "図面の面は、読み込まないレイヤーの上にしかありません.";
    }
    return {};
}

std::string SkipHintLine() {
    return "「未対応の図形を読み飛ばす」(DXFskip)"
           "を有効にすると、この図形を読み飛ばして読み込みます.";
}

}  // namespace vertoko
