// The text of one object's OBJ file. A large object is formatted on two
// threads: the calling thread writes the lines before a cut into the file
// while a second thread formats the lines from the cut on into memory, which
// is then appended. The bytes are the same as when one thread formats all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "dxf/mesh_model.h"
#include "export/crease_normals.h"
#include "export/output_file.h"

namespace vertoko {

// Appends "dxfcolor_rrggbb", the name of a colour's material.
void AppendMaterialName(std::string& out, std::uint32_t rgb);

class ObjText {
  public:
    // The sections of the text in their order. Each lists its entries (the
    // vertices, the normals, the polygons in list order) and ends with a
    // line that counts them.
    enum class Section { kVertices, kNormals, kPolygons };

    // A place in the text: before entry index of section, or, past its
    // last entry, before the section's count line.
    struct Cut {
        Section section;
        std::int64_t index;
    };

    // normals: null for none. library: the material library's file name,
    // empty when the polygons take no materials. All three must outlive
    // this object.
    ObjText(const MeshObject& object, const ObjectNormals* normals, const std::string& library);

    // Where the estimated formatting work is halved; none for an object too
    // small to be worth a second thread.
    std::optional<Cut> BalancedCut() const;

    // Writes the whole text into file. With a cut the lines from it on are
    // formatted on a second thread, or on this one after the lines before
    // it when no thread can be started (always when twoThreads is false)
    // or memory for their text is short. Throws std::bad_alloc only when
    // the file's own buffer cannot grow.
    void Write(OutputFile& file, std::optional<Cut> cut, bool twoThreads = true) const;

  private:
    template <typename Text>
    void Format(Text& out, Cut from, std::optional<Cut> to, OutputFile* file) const;
    // The lines from cut on into text; false when memory is short.
    template <typename Text>
    bool FormatRest(Cut cut, Text& text) const;
    // The corners of a hundred polygons, estimated from the first few.
    std::int64_t CornersPer100Polygons() const;

    const MeshObject& object_;
    const ObjectNormals* normals_;
    const std::string& library_;
};

}  // namespace vertoko
