// The text of one object's OBJ file. A large object is formatted on two
// threads: its text is cut into pieces of about equal work, and while the
// calling thread formats one piece straight into the file a second thread
// formats the next into memory, which the calling thread then appends. The
// bytes are the same as when one thread formats all; the memory held is two
// pieces, however large the object.
#pragma once

#include <cstdint>
#include <string>

#include "export/layer_output.h"
#include "export/output_file.h"
#include "export/polygon_colors.h"
#include "mesh/crease_normals.h"
#include "model/mesh_model.h"

namespace vertoko {

// Appends "dxfcolor_rrggbb", the name of a colour's material.
void AppendMaterialName(std::string& out, std::uint32_t rgb);

class ObjText {
  public:
    // normals: null for none. library: the material library's file name,
    // empty when the polygons take no materials. All three must outlive
    // this object. zUp: vertices and normals written as (x, z, -y). With
    // layers naming them, the object's layer as "o NAME" after the library,
    // or, for an object of several layers, "g NAME" before each run of
    // faces of one layer (and its "usemtl" again); looks choose each face's
    // material (its drawing colour without them), number is the object's
    // in the table. layers and looks must outlive this object too.
    ObjText(const MeshObject& object, const ObjectNormals* normals, const std::string& library,
            bool zUp = false, std::int32_t number = -1, const LookChoice* looks = nullptr,
            const LayerOutput* layers = nullptr);

    // The work of a piece for this object, in the units Write counts; 0
    // for an object too small to be worth a second thread.
    std::int64_t PieceWork() const;

    // Writes the whole text into file, in pieces that each end with the
    // line that reaches the next multiple of pieceWork units of work (0:
    // one piece). The pieces are formatted by turns on this thread and on a
    // second one; when no thread can be started (always when twoThreads is
    // false) or memory for a piece is short, this thread formats the pieces
    // left itself. Throws std::bad_alloc only when the file's own buffer
    // cannot grow.
    void Write(OutputFile& file, std::int64_t pieceWork, bool twoThreads = true) const;

  private:
    enum class Section { kVertices, kNormals, kPolygons, kDone };

    // Where formatting has got to, and what the next face line depends on.
    struct Cursor {
        Section section = Section::kVertices;
        std::int64_t work = 0;                 // units done so far
        const MeshVertex* vertex = nullptr;    // the next vertex
        std::size_t normal = 0;                // the next normal
        const MeshPolygon* polygon = nullptr;  // the next polygon
        std::size_t corner = 0;                // corners written with normals
        bool first = true;                     // no polygon done yet
        LookKey material = 0;                  // look of the polygon before
        std::int32_t layer = 0;                // layer of the polygon before
    };
    class Handoff;

    Cursor Start() const;
    // Moves cursor on to the end of the piece that ends at limit units,
    // appending its lines to out unless it is null; when file is given, out
    // is its buffer, committed after every line.
    template <typename Text>
    void Format(Cursor& cursor, std::int64_t limit, Text* out, OutputFile* file) const;
    // The second thread's share: every other piece, into handoff.
    void FormatOddPieces(std::int64_t pieceWork, Handoff& handoff) const;

    const MeshObject& object_;
    const ObjectNormals* normals_;
    const std::string& library_;
    bool zUp_;
    std::int32_t number_;
    const LookChoice* looks_;
    const LayerOutput* layers_;
    bool groups_ = false;  // "g" lines before runs of one layer
};

}  // namespace vertoko
