#include "dxf/read_context.h"

namespace vertoko {

ReadContext::ReadContext(const ReaderOptions& readerOptions) : options(readerOptions) {
    unconverted.Reset();
    colors.layers = &layers;
    LayerSelection selection;
    selection.visibleOnly = options.dxfVisible != 0;
    selection.include = LayerPatterns(options.dxfLayers);
    selection.exclude = LayerPatterns(options.dxfNoLayers);
    layers.SetSelection(std::move(selection));
}

void ReadContext::DropOmitted(Omission omission) {
    const int k = omission == Omission::Hidden ? 0 : 1;
    ObjectSlot& slot = omitted[k];
    omittedFaces[k] += slot.polygonCount;
    ReleaseArena(slot.arena);
    slot = {};
}

ReadContext::~ReadContext() {
    DropOmitted(Omission::Hidden);
    DropOmitted(Omission::LeftOut);
    // The drawing's slots come back from an open block before both are freed.
    blocks.Clear(slots);
    FreeSlots(slots);
}

}  // namespace vertoko
