// The loop of a table entry or a simple entity: its pairs up to the next
// group 0, each handed to the caller, who takes the value in the form it
// needs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dxf/input/pair_source.h"

namespace vertoko {

// Reads pairs up to and including the code of the next group 0 (its value
// is left to the caller). take(code) must take the pair's value from pairs
// and returns its status: BadNumber fails the entry with the message
// invalid, an input failure with the end-of-input message. False after
// writing message.
template <PairSource Source, typename Take>
bool ReadEntryPairs(Source& pairs, std::string& message, std::string_view invalid, Take take) {
    for (;;) {
        std::int32_t code = 0;
        PairStatus status = pairs.Code(code);
        if (status == PairStatus::Ok) {
            if (code == 0) return true;
            status = take(code);
        }
        if (status == PairStatus::BadNumber) {
            message = MessageAt(pairs, invalid);
            return false;
        }
        if (status != PairStatus::Ok) {
            message = InputFailureMessage(pairs, status, "データの途中でファイルが終わっています.");
            return false;
        }
    }
}

}  // namespace vertoko
