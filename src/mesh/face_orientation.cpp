#include "mesh/face_orientation.h"

#include <algorithm>
#include <new>
#include <vector>

#include "mesh/triangulate.h"

namespace vertoko {

namespace {

constexpr const char* kNoMemory = "メモリーが足りません.(orient)\n";

// One face's use of an edge, filed under the edge's lower vertex.
struct EdgeUse {
    std::int32_t other;  // the edge's higher vertex
    std::int32_t face;
    bool upward;  // the face runs the edge from the lower vertex to the higher
};

// A link between two faces through an edge they alone share; flip is true
// when they run it the same way, so that exactly one of them must turn.
struct Link {
    std::int32_t face;
    bool flip;
};

// Six times the signed volume that the face's corner fan encloses with ref.
double FanVolume(const MeshObject& object, const MeshPolygon& polygon, const MeshVertex& ref) {
    auto at = [&](std::int32_t k, double out[3]) {
        const MeshVertex& v = *object.vtbl[polygon.p[k]];
        out[0] = static_cast<double>(v.x) - ref.x;
        out[1] = static_cast<double>(v.y) - ref.y;
        out[2] = static_cast<double>(v.z) - ref.z;
    };
    double a[3];
    double b[3];
    double c[3];
    at(0, a);
    double sum = 0.0;
    for (std::int32_t k = 1; k + 1 < polygon.cornerCount; ++k) {
        at(k, b);
        at(k + 1, c);
        sum += a[0] * (b[1] * c[2] - b[2] * c[1]) + a[1] * (b[2] * c[0] - b[0] * c[2]) +
               a[2] * (b[0] * c[1] - b[1] * c[0]);
    }
    return sum;
}

void Reverse(MeshPolygon& polygon) { std::reverse(polygon.p + 1, polygon.p + polygon.cornerCount); }

void Orient(MeshObject& object) {
    std::vector<MeshPolygon*> faces;
    for (MeshPolygon* polygon = object.polygons; polygon != nullptr; polygon = polygon->next) {
        if (IsTriangulable(object, *polygon)) faces.push_back(polygon);
    }
    const auto faceCount = static_cast<std::int32_t>(faces.size());
    const auto vertexCount = static_cast<std::size_t>(object.vertexCount);

    // Every edge use, bucketed by lower vertex (counting sort), then sorted
    // within its small bucket so that the uses of one edge lie together.
    std::vector<std::size_t> start(vertexCount + 1, 0);
    auto eachEdge = [&](auto&& visit) {
        for (std::int32_t f = 0; f < faceCount; ++f) {
            const MeshPolygon& polygon = *faces[static_cast<std::size_t>(f)];
            for (std::int32_t k = 0; k < polygon.cornerCount; ++k) {
                const std::int32_t a = polygon.p[k];
                const std::int32_t b = polygon.p[(k + 1) % polygon.cornerCount];
                if (a != b) visit(f, a, b);
            }
        }
    };
    eachEdge([&](std::int32_t, std::int32_t a, std::int32_t b) {
        ++start[static_cast<std::size_t>(std::min(a, b)) + 1];
    });
    for (std::size_t v = 0; v < vertexCount; ++v) start[v + 1] += start[v];
    std::vector<EdgeUse> uses(start[vertexCount]);
    {
        std::vector<std::size_t> fill(start.begin(), start.end() - 1);
        eachEdge([&](std::int32_t f, std::int32_t a, std::int32_t b) {
            uses[fill[static_cast<std::size_t>(std::min(a, b))]++] = {std::max(a, b), f, a < b};
        });
    }

    // The two uses of an edge shared by exactly two faces link them; the
    // faces of any other edge make their part open. Walked twice: to count
    // each face's links, then to store them.
    for (std::size_t v = 0; v < vertexCount; ++v) {
        std::sort(uses.begin() + static_cast<std::ptrdiff_t>(start[v]),
                  uses.begin() + static_cast<std::ptrdiff_t>(start[v + 1]),
                  [](const EdgeUse& l, const EdgeUse& r) { return l.other < r.other; });
    }
    auto eachRun = [&](auto&& linked, auto&& unlinked) {
        for (std::size_t v = 0; v < vertexCount; ++v) {
            const EdgeUse* run = uses.data() + start[v];
            const EdgeUse* const last = uses.data() + start[v + 1];
            while (run != last) {
                const EdgeUse* end = run;
                while (end != last && end->other == run->other) ++end;
                if (end - run == 2 && run[0].face != run[1].face) {
                    linked(run[0], run[1]);
                } else {
                    for (const EdgeUse* use = run; use != end; ++use) unlinked(*use);
                }
                run = end;
            }
        }
    };
    std::vector<char> open(static_cast<std::size_t>(faceCount), 0);
    std::vector<std::int32_t> degree(static_cast<std::size_t>(faceCount) + 1, 0);
    eachRun(
        [&](const EdgeUse& a, const EdgeUse& b) {
            ++degree[static_cast<std::size_t>(a.face) + 1];
            ++degree[static_cast<std::size_t>(b.face) + 1];
        },
        [&](const EdgeUse& use) { open[static_cast<std::size_t>(use.face)] = 1; });
    for (std::size_t f = 0; f < static_cast<std::size_t>(faceCount); ++f)
        degree[f + 1] += degree[f];
    std::vector<Link> links(static_cast<std::size_t>(degree[static_cast<std::size_t>(faceCount)]));
    {
        std::vector<std::int32_t> fill(degree.begin(), degree.end() - 1);
        eachRun(
            [&](const EdgeUse& a, const EdgeUse& b) {
                const bool flip = a.upward == b.upward;
                links[static_cast<std::size_t>(fill[static_cast<std::size_t>(a.face)]++)] = {b.face,
                                                                                             flip};
                links[static_cast<std::size_t>(fill[static_cast<std::size_t>(b.face)]++)] = {a.face,
                                                                                             flip};
            },
            [](const EdgeUse&) {});
    }
    std::vector<EdgeUse>().swap(uses);

    // Walk each part breadth first, deciding each face's turn from the first
    // face that reaches it; a later disagreement (a one-sided part) is noted.
    std::vector<signed char> turn(static_cast<std::size_t>(faceCount), -1);
    std::vector<std::int32_t> part;
    for (std::int32_t seed = 0; seed < faceCount; ++seed) {
        if (turn[static_cast<std::size_t>(seed)] >= 0) continue;
        part.clear();
        part.push_back(seed);
        turn[static_cast<std::size_t>(seed)] = 0;
        bool agrees = true;
        bool closed = true;
        for (std::size_t next = 0; next < part.size(); ++next) {
            const std::int32_t f = part[next];
            const auto fi = static_cast<std::size_t>(f);
            if (open[fi]) closed = false;
            for (std::int32_t l = degree[fi]; l < degree[fi + 1]; ++l) {
                const Link& link = links[static_cast<std::size_t>(l)];
                const auto want = static_cast<signed char>(turn[fi] ^ (link.flip ? 1 : 0));
                signed char& other = turn[static_cast<std::size_t>(link.face)];
                if (other < 0) {
                    other = want;
                    part.push_back(link.face);
                } else if (other != want) {
                    agrees = false;
                }
            }
        }

        std::size_t turned = 0;
        for (const std::int32_t f : part) turned += turn[static_cast<std::size_t>(f)];
        bool invert = 2 * turned > part.size();
        if (closed && agrees) {
            const MeshVertex& ref = *object.vtbl[faces[static_cast<std::size_t>(part[0])]->p[0]];
            double volume = 0.0;
            for (const std::int32_t f : part) {
                const double v = FanVolume(object, *faces[static_cast<std::size_t>(f)], ref);
                volume += turn[static_cast<std::size_t>(f)] ? -v : v;
            }
            if (volume != 0.0) invert = volume < 0.0;
        }
        for (const std::int32_t f : part) {
            if ((turn[static_cast<std::size_t>(f)] != 0) != invert)
                Reverse(*faces[static_cast<std::size_t>(f)]);
        }
    }
}

}  // namespace

std::int32_t OrientFaces(MeshObject& object, std::string& message) {
    try {
        Orient(object);
    } catch (const std::bad_alloc&) {
        message = kNoMemory;
        return 1;
    }
    return 0;
}

}  // namespace vertoko
