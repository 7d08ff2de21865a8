#include "convert/drawing_load.h"

#include "dxf/drawing/block_expansion.h"
#include "dxf/drawing/color_resolution.h"
#include "dxf/dxf_reader.h"
#include "dxf/read_context.h"
#include "mesh/object_preparation.h"

namespace vertoko {

DrawingLoad LoadDrawing(std::FILE* file, const ReaderOptions& options) {
    DrawingLoad load;
    ReadContext context(options);
    bool read = ReadDrawing(file, context);
    if (read && options.dxfColor != 0) ResolveSlotColors(context.colors, context.slots);
    if (read && options.dxfInsert != 0) read = ExpandInserts(context);
    if (!read) {
        load.message = std::move(context.message);
        load.refusedSkippable = context.failedOnSkippable;
        return load;
    }
    load.unconverted = context.unconverted.Line();
    load.message = EndReport(context);
    if (options.dxfInsert != 0 && FacesOnlyInUninsertedBlocks(context))
        load.emptyCause = EmptyCause::FacesOnlyInUninsertedBlocks;
    const std::int32_t count = context.slots.count;
    if (count == 0) return load;

    MeshObject* table = MoveSlotsToTable(context.slots, load.message);
    if (table == nullptr) return load;
    // Orientation runs after cleaning, which gives neighbouring faces the
    // shared vertices that make their edges common.
    if (!PrepareObjects(count, table, options.dxfClv, options.dxfVdist, options.dxfOrient,
                        load.extents, load.message)) {
        FreeObjectTable(count, table);
        return load;
    }
    load.objects = table;
    load.count = count;
    return load;
}

std::string EmptyResultLine(EmptyCause cause) {
    switch (cause) {
        case EmptyCause::None:
            break;
        case EmptyCause::FacesOnlyInUninsertedBlocks:
            return "図面の面は、どこからも挿入されていないブロックの中にしかありません.";
    }
    return {};
}

std::string SkipHintLine() {
    return "「未対応の図形を読み飛ばす」(DXFskip)"
           "を有効にすると、この図形を読み飛ばして読み込みます.";
}

}  // namespace vertoko
