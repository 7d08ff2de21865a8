// The state one DXF read shares between the driver and the entity parsers.
#pragma once

#include <string>
#include <string_view>

#include "dxf/dxf_input.h"
#include "dxf/object_slots.h"
#include "dxf/reader_options.h"
#include "dxf/unconverted_report.h"

namespace vertoko {

struct DxfReadState {
    DxfInput input;       // the open file and the line counter
    SlotArray slots;      // the objects gathered so far
    std::string message;  // the first failure message of the read
    ReaderOptions options;
    UnconvertedReport unconverted;
    bool reachedEnd = false;         // the read got to EOF
    bool failedOnSkippable = false;  // refused an entity the lenient reading skips
};

// The one read state of the process; ReadDxf resets it at the start of
// every read. Only one file is read at a time. A thread that reads part of
// the file ahead works on a state of its own, set by ThreadReadState.
DxfReadState& ReadState();

// Makes ReadState() give state on the calling thread (the process's own
// again with null).
void ThreadReadState(DxfReadState* state);

// text followed by "(L<line counter>)" and tail; binary DXF names the pair
// being read instead, as "(P<pair number>)".
std::string LineMessage(std::string_view text, std::string_view tail = {});

// The message that ends reading when input fails: the caller's end-of-input
// message, or the refusal of a file that holds NUL bytes.
std::string InputFailureMessage(LineStatus status, std::string_view endText,
                                std::string_view endTail = {});

}  // namespace vertoko
