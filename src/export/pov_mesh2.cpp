#include "export/pov_mesh2.h"

#include "export/number_format.h"
#include "export/output_axes.h"
#include "mesh/triangulate.h"

namespace vertoko {

namespace {

// Each block lists its count and then its items, one a line, separated by
// commas: "\tname {\r\n\t\tcount,\r\n\t\titem,\r\n\t\titem\r\n\t}\r\n".
void OpenBlock(std::string& out, const char* name, std::size_t count) {
    out += '\t';
    out += name;
    out += " {\r\n\t\t";
    AppendInt(out, static_cast<std::int64_t>(count));
}

void CloseBlock(std::string& out) { out += "\r\n\t}\r\n"; }

void AppendVector(std::string& out, float x, float y, float z) {
    out += ",\r\n\t\t<";
    AppendG(out, x);
    out += ',';
    AppendG(out, y);
    out += ',';
    AppendG(out, z);
    out += '>';
}

void AppendTriple(std::string& out, std::int32_t a, std::int32_t b, std::int32_t c) {
    out += ",\r\n\t\t<";
    AppendInt(out, a);
    out += ',';
    AppendInt(out, b);
    out += ',';
    AppendInt(out, c);
    out += '>';
}

}  // namespace

void AppendMesh2(OutputFile& file, std::int32_t number, const MeshObject& object,
                 const ObjectNormals* normals, const ObjectColors* colors, bool zUp) {
    std::string& out = file.Buffer();
    std::size_t triangles = 0;
    for (const MeshPolygon* p = object.polygons; p != nullptr; p = p->next)
        triangles += IsTriangulable(object, *p) ? 1 : 0;

    out += "\r\n#declare dxfobj";
    AppendInt(out, number);
    out += " = mesh2 {\r\n";

    OpenBlock(out, "vertex_vectors", static_cast<std::size_t>(object.vertexCount));
    for (const MeshVertex* v = object.vertices; v != nullptr; v = v->next) {
        // Vertices in the drawing's axes are formatted as they always were.
        if (!zUp) {
            AppendVector(out, v->x, v->y, v->z);
        } else {
            const Point3f p = PovPoint({v->x, v->y, v->z}, true);
            AppendVector(out, p.x, p.y, p.z);
        }
        file.Commit();
    }
    CloseBlock(out);

    if (normals != nullptr) {
        OpenBlock(out, "normal_vectors", normals->vectors.size());
        for (const Point3f& n : normals->vectors) {
            const Point3f p = PovPoint(n, zUp);
            AppendVector(out, p.x, p.y, p.z);
            file.Commit();
        }
        CloseBlock(out);
    }

    if (colors != nullptr) {
        OpenBlock(out, "texture_list", colors->colors.size());
        for (std::size_t k = 0; k < colors->colors.size(); ++k) {
            out += ",\r\n\t\ttexture { ";
            AppendColorTextureName(out, number, k);
            out += " }";
        }
        CloseBlock(out);
    }

    OpenBlock(out, "face_indices", triangles);
    for (const MeshPolygon* p = object.polygons; p != nullptr; p = p->next) {
        if (!IsTriangulable(object, *p)) continue;
        AppendTriple(out, p->p[0], p->p[1], p->p[2]);
        // Each face's colour as its index into the texture list.
        if (colors != nullptr) {
            out += ", ";
            AppendInt(out, static_cast<std::int64_t>(colors->Position(*p)));
        }
        file.Commit();
    }
    CloseBlock(out);

    // Without normal_indices POV-Ray takes each corner's normal by its
    // vertex index, which is what one normal per vertex means.
    if (normals != nullptr && !normals->corners.empty()) {
        OpenBlock(out, "normal_indices", triangles);
        const std::int32_t* corner = normals->corners.data();
        for (std::size_t t = 0; t < triangles; ++t, corner += 3) {
            AppendTriple(out, corner[0], corner[1], corner[2]);
            file.Commit();
        }
        CloseBlock(out);
    }

    out += "\r\n\ttexture { ";
    if (colors != nullptr) {
        AppendColorTextureName(out, number, 0);
    } else {
        out += "poltexture";
        AppendInt(out, number);
    }
    out += " }\r\n}\r\n";
    file.Commit();
}

}  // namespace vertoko
