// POV-Ray writer options, held by the application and edited in its dialog.
#pragma once

#include <cstdint>
#include <string>

namespace vertoko {

struct PovOption {
    std::int32_t smooth = 1;  // nonzero: write smoothed triangles
    std::string state;        // extra statement text (at most 87 characters)
};

}  // namespace vertoko
