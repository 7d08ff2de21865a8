// The text of every vertex of an object as the POV-Ray writer prints it at a
// triangle corner, formatted once per vertex instead of once per corner: in
// a cleaned mesh a vertex is a corner of about six triangles.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "memory/huge_pages.h"
#include "model/mesh_model.h"

namespace vertoko {

class VertexTexts {
  public:
    // Formats "<x,y,z>" of every vertex of object, followed, when normals is
    // given (one per vertex), by ",<nx,ny,nz>"; with zUp both as (x, z, y).
    // A large object is formatted in two halves on two threads; the text is
    // the same. False when memory is short.
    bool Format(const MeshObject& object, const Point3f* normals, bool zUp = false);

    std::string_view operator[](std::int32_t vertex) const {
        const Part& part = parts_[vertex >= split_ ? 1 : 0];
        const std::size_t i = static_cast<std::size_t>(vertex - part.first);
        return std::string_view(part.text).substr(part.start[i], part.start[i + 1] - part.start[i]);
    }

  private:
    struct Part {
        std::int32_t first = 0;
        std::basic_string<char, std::char_traits<char>, LargeAllocator<char>> text;
        LargeVector<std::size_t> start;  // one more than the vertices
    };
    static bool FormatPart(const MeshObject& object, const Point3f* normals, bool zUp,
                           std::int32_t first, std::int32_t end, Part& part);

    Part parts_[2];
    std::int32_t split_ = 0;
};

}  // namespace vertoko
