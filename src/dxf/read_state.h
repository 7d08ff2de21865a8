// The state one DXF read shares between the driver and the entity parsers.
#pragma once

#include <string>
#include <string_view>

#include "dxf/input/dxf_input.h"
#include "dxf/input/dxf_numbers.h"
#include "dxf/object_slots.h"
#include "dxf/reader_options.h"
#include "dxf/drawing/unconverted_report.h"

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

// Reads an entry's group pairs up to the code line of the next group 0,
// handing each pair to take; a pair that take refuses fails the entry with
// the message invalid and the line. False after writing the message.
template <typename Take>
bool ReadEntryGroups(std::string& message, const char* invalid, Take take) {
    DxfInput& input = ReadState().input;
    std::string_view line;
    for (;;) {
        ++input.lineCounter;
        LineStatus status = input.ReadCodeLine(line);
        if (status != LineStatus::Ok) {
            message = InputFailureMessage(status, "データの途中でファイルが終わっています.");
            return false;
        }
        const std::int32_t code = ParseIntPrefix(line);
        if (code == 0) return true;
        ++input.lineCounter;
        status = input.ReadValueLine(line);
        if (status != LineStatus::Ok) {
            message = InputFailureMessage(status, "データの途中でファイルが終わっています.");
            return false;
        }
        if (!take(code, line)) {
            message = LineMessage(invalid);
            return false;
        }
        // Extended data counts the rest of a cut line as the driver does.
        if (code >= 1000) ++input.lineCounter;
        if (input.LastLineCut()) input.SkipLine();
    }
}

}  // namespace vertoko
