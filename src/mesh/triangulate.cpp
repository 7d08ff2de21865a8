#include "mesh/triangulate.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

namespace vertoko {

namespace {

constexpr const char* kNoMemory = "メモリーが足りません.";

inline int Sign(float v) { return v < 0.0f ? -1 : (v > 0.0f ? 1 : 0); }

}  // namespace

bool IsTriangulable(const MeshObject& object, const MeshPolygon& polygon) {
    if (polygon.cornerCount < 3 || polygon.p == nullptr) return false;
    for (std::int32_t k = 0; k < polygon.cornerCount; ++k) {
        if (polygon.p[k] < 0 || polygon.p[k] >= object.vertexCount) return false;
    }
    return true;
}

Point3f FaceNormal(const MeshObject& object, const MeshPolygon& polygon) {
    const MeshVertex& a = *object.vtbl[polygon.p[0]];
    const MeshVertex& b = *object.vtbl[polygon.p[1]];
    const MeshVertex& c = *object.vtbl[polygon.p[polygon.cornerCount - 1]];
    const Point3f u = NormalisedIfLong({b.x - a.x, b.y - a.y, b.z - a.z});
    const Point3f w = NormalisedIfLong({c.x - a.x, c.y - a.y, c.z - a.z});
    return {u.y * w.z - u.z * w.y, u.z * w.x - u.x * w.z, u.x * w.y - u.y * w.x};
}

bool ProjectPolygon(const MeshObject& object, const MeshPolygon& polygon, Point3f n,
                    std::vector<float>& projected) {
    try {
        projected.resize(static_cast<std::size_t>(polygon.cornerCount) * 3);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const float r2 = n.x * n.x + n.y * n.y;
    const float length = std::sqrt(r2 + n.z * n.z);
    float* out = projected.data();
    if (length < 0.00001f) {
        for (std::int32_t k = 0; k < polygon.cornerCount; ++k, out += 3) {
            const MeshVertex& v = *object.vtbl[polygon.p[k]];
            out[0] = v.x;
            out[1] = v.y;
            out[2] = v.z;
        }
        return true;
    }
    float r = r2;
    float c = 1.0f;
    float s = 0.0f;
    if (r2 > 0.00001f) {
        r = std::sqrt(r2);
        c = n.x / r;
        s = n.y / r;
    }
    const float ct = n.z / length;
    const float st = r / length;
    for (std::int32_t k = 0; k < polygon.cornerCount; ++k, out += 3) {
        const MeshVertex& v = *object.vtbl[polygon.p[k]];
        out[0] = v.x * c * ct + v.y * s * ct - v.z * st;
        out[1] = -v.x * s + v.y * c;
        out[2] = v.x * c * st + v.y * s * st + v.z * ct;
    }
    return true;
}

std::int32_t ChooseDiagonal(MeshObject& object, MeshPolygon& polygon, const float* projected,
                            std::string& msgBuf) {
    const std::int32_t n = polygon.cornerCount;
    auto x = [projected](std::int32_t k) { return projected[3 * k]; };
    auto y = [projected](std::int32_t k) { return projected[3 * k + 1]; };

    // b: the leftmost corner, the last of several equally far left.
    std::int32_t b = 0;
    for (std::int32_t k = 1; k < n; ++k) {
        if (x(k) <= x(b)) b = k;
    }
    const std::int32_t d = (b + n - 1) % n;
    const std::int32_t e = (b + 1) % n;
    const float bx = x(b);
    const float by = y(b);
    const int t = Sign((x(e) - bx) * (y(d) - by) - (y(e) - by) * (x(d) - bx));
    const float ylo = std::fmin(std::fmin(y(d), y(b)), y(e));
    const float yhi = std::fmax(std::fmax(y(d), y(b)), y(e));

    // A corner inside the angle at b and within the triangle d, b, e's
    // extent, the leftmost of them, forbids the cut d-e; b is joined to it.
    std::int32_t candidate = x(d) > x(e) ? d : e;
    for (std::int32_t w = (e + 1) % n; w != d; w = (w + 1) % n) {
        const float wx = x(w);
        const float wy = y(w);
        if (!(wx <= x(candidate))) continue;
        if (!(ylo <= wy && wy <= yhi)) continue;
        if (Sign((wx - bx) * (y(d) - by) - (wy - by) * (x(d) - bx)) != t) continue;
        if (!((x(e) - bx) * (wy - by) - (y(e) - by) * (wx - bx) >= 0.0f)) continue;
        candidate = w;
    }

    std::int32_t from = b;
    std::int32_t to = candidate;
    if (candidate == d || candidate == e) {
        from = d;
        to = e;
    }
    if (from > to) std::swap(from, to);
    return SplitPolygon(object, polygon, from, to, msgBuf);
}

std::int32_t SplitPolygon(MeshObject& object, MeshPolygon& polygon, std::int32_t a, std::int32_t b,
                          std::string& msgBuf) {
    const std::int32_t n = polygon.cornerCount;
    MeshPolygon* piece = NewPolygonNode(object);
    std::int32_t* corners = piece != nullptr ? NewCornerArray(object, b - a + 1) : nullptr;
    if (piece == nullptr || corners == nullptr) {
        // From the arena nothing is given back; malloc'd nodes are.
        if (object.arena.chunks == nullptr) std::free(piece);
        msgBuf = kNoMemory;
        return 0;
    }
    for (std::int32_t k = a; k <= b; ++k) corners[k - a] = polygon.p[k];
    piece->cornerCount = b - a + 1;
    piece->color = polygon.color;
    piece->layer = polygon.layer;
    piece->p = corners;
    piece->next = polygon.next;

    // The polygon keeps 0..a and b..end; its array only shrinks, in place.
    std::int32_t kept = a + 1;
    for (std::int32_t k = b; k < n; ++k) polygon.p[kept++] = polygon.p[k];
    polygon.cornerCount = kept;
    polygon.next = piece;
    return 1;
}

std::int32_t TriangulateAndSmooth(std::int32_t count, MeshObject* objects, ObjectNormals* normals,
                                  std::string& msgBuf, float crease) {
    // NaN compares false, so it counts as no angle at all.
    const bool creased = normals != nullptr && crease < 180.0f;
    std::vector<float> projected;
    std::vector<NormalContribution> added;
    try {
        for (std::int32_t i = 0; i < count; ++i) {
            MeshObject& object = objects[i];
            Point3f* sums = nullptr;
            if (normals != nullptr) {
                std::vector<Point3f>& vectors = normals[i].vectors;
                normals[i].corners.clear();
                vectors.assign(static_cast<std::size_t>(std::max(object.vertexCount, 0)),
                               Point3f{0.0f, 0.0f, 0.0f});
                sums = vectors.data();
            }
            added.clear();
            if (creased) {
                // A quad adds at its corners as a whole and as two triangles.
                std::size_t estimate = 0;
                for (const MeshPolygon* p = object.polygons; p != nullptr; p = p->next) {
                    const auto n = static_cast<std::size_t>(std::max(p->cornerCount, 3));
                    estimate += n == 3 ? 3 : n + 3 * (n - 2);
                }
                added.reserve(estimate);
            }
            for (MeshPolygon* polygon = object.polygons; polygon != nullptr;) {
                if (!IsTriangulable(object, *polygon)) {
                    polygon = polygon->next;
                    continue;
                }
                Point3f n{0.0f, 0.0f, 0.0f};
                if (sums != nullptr || polygon->cornerCount > 3) n = FaceNormal(object, *polygon);
                if (sums != nullptr) {
                    for (std::int32_t k = 0; k < polygon->cornerCount; ++k) {
                        Point3f& sum = sums[polygon->p[k]];
                        sum.x += n.x;
                        sum.y += n.y;
                        sum.z += n.z;
                        if (creased) added.push_back({polygon->p[k], n});
                    }
                }
                if (polygon->cornerCount <= 3) {
                    polygon = polygon->next;
                    continue;
                }
                // Cut one piece off and treat the shortened polygon again; the
                // piece follows it in the list and is reached in its turn.
                if (!ProjectPolygon(object, *polygon, n, projected)) {
                    msgBuf = kNoMemory;
                    return 0;
                }
                if (ChooseDiagonal(object, *polygon, projected.data(), msgBuf) == 0) return 0;
            }
            if (creased) {
                ComputeCreaseNormals(object, added, crease, normals[i]);
            } else if (sums != nullptr) {
                for (std::int32_t v = 0; v < object.vertexCount; ++v)
                    sums[v] = NormalisedIfLong(sums[v]);
            }
        }
    } catch (const std::bad_alloc&) {
        msgBuf = kNoMemory;
        return 0;
    }
    return 1;
}

}  // namespace vertoko
