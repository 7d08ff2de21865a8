#include "model/placement.h"

#include <cmath>

namespace vertoko {

Affine Affine::Identity() { return {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}}; }

Affine Affine::Then(const Affine& outer) const {
    Affine r{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 4; ++j) {
            double sum = j == 3 ? outer.m[i][3] : 0.0;
            for (int k = 0; k < 3; ++k) sum += outer.m[i][k] * m[k][j];
            r.m[i][j] = sum;
        }
    }
    return r;
}

double Affine::Determinant() const {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

void Affine::Apply(const double in[3], double out[3]) const {
    for (int i = 0; i < 3; ++i)
        out[i] = m[i][0] * in[0] + m[i][1] * in[1] + m[i][2] * in[2] + m[i][3];
}

Affine ObjectToWorld(const double n[3]) {
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(length > 0.0) || !std::isfinite(length)) return Affine::Identity();
    const double z[3] = {n[0] / length, n[1] / length, n[2] / length};
    auto cross = [](const double a[3], const double b[3], double out[3]) {
        out[0] = a[1] * b[2] - a[2] * b[1];
        out[1] = a[2] * b[0] - a[0] * b[2];
        out[2] = a[0] * b[1] - a[1] * b[0];
    };
    auto normalise = [](double v[3]) {
        const double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        for (int i = 0; i < 3; ++i) v[i] /= l;
    };
    // Near the world Z axis the X axis comes from world Y, elsewhere from
    // world Z, so that it never degenerates.
    constexpr double kLimit = 1.0 / 64.0;
    const double worldY[3] = {0, 1, 0};
    const double worldZ[3] = {0, 0, 1};
    double x[3];
    cross(std::fabs(z[0]) < kLimit && std::fabs(z[1]) < kLimit ? worldY : worldZ, z, x);
    normalise(x);
    double y[3];
    cross(z, x, y);
    normalise(y);
    return {{{x[0], y[0], z[0], 0}, {x[1], y[1], z[1], 0}, {x[2], y[2], z[2], 0}}};
}

}  // namespace vertoko
