// POV-Ray writer options, held by the application and edited in its dialog.
// The defaults are those of the option table (src/convert/option_table.cpp),
// which a test holds equal.
#pragma once

#include <cstdint>
#include <string>

namespace vertoko {

struct PovOption {
    std::int32_t smooth = 1;  // nonzero: write smoothed triangles
    // The statement of each texture.
    std::string state = "pigment {color rgb <1,1,1>}";
    float crease = 180.0f;    // smoothing angle in degrees; 180 smooths across every edge
    std::int32_t mesh2 = 0;   // nonzero: declare mesh2 objects instead of mesh
    std::int32_t fit = 0;     // nonzero: place the camera so that the model fills the view
    std::int32_t studio = 0;  // nonzero: sky, floor, key and fill light around the model
};

}  // namespace vertoko
