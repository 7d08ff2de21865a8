// Placing the copies of the blocks that INSERT entities call for, once the
// whole file has been read: each insertion's transform (base point, scale,
// rotation, multiple-insert grid, insertion point, extrusion direction)
// composed through nested insertions, layer "0" and BYBLOCK taken from the
// inserting INSERT, and the output's size checked before any copy is made.
#pragma once

#include <cstdint>
#include <string>

#include "dxf/drawing/block_store.h"

namespace vertoko {

// An affine map p' = L p + t, L in m[r][0..2] and t in m[r][3].
struct Affine {
    double m[3][4];

    static Affine Identity();
    Affine Then(const Affine& outer) const;  // outer applied after this
    double Determinant() const;
    void Apply(const double in[3], double out[3]) const;
};

// The DXF arbitrary axis algorithm: the rotation from the object coordinate
// system of extrusion direction n to world coordinates. A zero vector is
// taken as (0, 0, 1).
Affine ObjectToWorld(const double n[3]);

// The map from block coordinates to the coordinates the INSERT stands in,
// for the cell of the multiple-insert grid at column and row.
Affine InsertTransform(const InsertRecord& insert, const double base[3], std::int64_t column,
                       std::int64_t row);

// Places every insertion of the drawing's layouts into the read's slots
// (multi: keyed by the effective layer and colour; otherwise slot 0), with
// their colours when colours are on. False with the message when the
// output would be too large or memory runs short. The insertions of missing
// and self-inserting blocks place nothing and go to the read's report of
// what was not converted.
bool ExpandInserts(bool multi, std::string& message);

// The memory the placed copies may take; 0 (the default) means three
// quarters of what the machine has available.
void SetExpansionMemoryBudget(std::uint64_t bytes);

}  // namespace vertoko
