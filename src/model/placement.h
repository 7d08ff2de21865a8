// Where a copy of a drawing's part is placed: an affine map, and the DXF
// arbitrary axis algorithm that gives an entity's coordinate system from its
// extrusion direction. Block insertions compose them; entities drawn in a
// coordinate system of their own use the second.
#pragma once

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

}  // namespace vertoko
