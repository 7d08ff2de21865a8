#include "dxf/read_context.h"

namespace vertoko {

ReadContext::ReadContext(const ReaderOptions& readerOptions) : options(readerOptions) {
    unconverted.Reset();
    colors.layers = &layers;
}

ReadContext::~ReadContext() {
    // The drawing's slots come back from an open block before both are freed.
    blocks.Clear(slots);
    FreeSlots(slots);
}

}  // namespace vertoko
