// POV-Ray writer options, held by the application and edited in its dialog.
#pragma once

#include <cstdint>
#include <string>

namespace vertoko {

struct PovOption {
    std::int32_t smooth = 1;  // nonzero: write smoothed triangles
    std::string state;        // extra statement text (at most 87 characters)
    float crease = 180.0f;    // smoothing angle in degrees; 180 smooths across every edge
    std::int32_t mesh2 = 0;   // nonzero: declare mesh2 objects instead of mesh
    std::int32_t fit = 0;     // nonzero: place the camera so that the model fills the view
};

}  // namespace vertoko
