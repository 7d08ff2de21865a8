#include "preview/preview_scene.h"

#include <cmath>

#include "model/up_axis.h"
#include "preview/drag_model.h"
// GL last: its headers pull in X11 macros.
#include "platform/gl_loader.h"

namespace vertoko {

Point3f FaceNormal(const Point3f& a, const Point3f& b, const Point3f& c) {
    const Point3f u{b.x - a.x, b.y - a.y, b.z - a.z};
    const Point3f w{c.x - a.x, c.y - a.y, c.z - a.z};
    Point3f n{u.y * w.z - u.z * w.y, u.z * w.x - u.x * w.z, u.x * w.y - u.y * w.x};
    const float len = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (len >= 0.00001f) {
        const float inverse = 1.0f / len;
        n.x *= inverse;
        n.y *= inverse;
        n.z *= inverse;
    }
    return n;
}

void NormalCorners(std::int32_t cornerCount, std::int32_t& first, std::int32_t& second,
                   std::int32_t& last) {
    first = 0;
    second = cornerCount > 1 ? 1 : 0;
    last = cornerCount > 0 ? cornerCount - 1 : 0;
}

void SetupSceneLights(const float objColor[4]) {
    if (hOpenGL == nullptr) return;
    static const float light1Position[4] = {80.0f, 80.0f, 100.0f, 0.0f};
    static const float light1Diffuse[4] = {0.9f, 0.9f, 0.9f, 1.0f};
    static const float light1Specular[4] = {0.3f, 0.3f, 0.3f, 1.0f};
    static const float light2Position[4] = {-100.0f, 0.0f, 0.0f, 0.0f};
    static const float light2Diffuse[4] = {0.3f, 0.3f, 0.3f, 1.0f};
    static const float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    FglLightfv(GL_LIGHT1, GL_POSITION, light1Position);
    FglLightfv(GL_LIGHT1, GL_DIFFUSE, light1Diffuse);
    FglLightfv(GL_LIGHT1, GL_SPECULAR, light1Specular);
    FglLightfv(GL_LIGHT2, GL_POSITION, light2Position);
    FglLightfv(GL_LIGHT2, GL_DIFFUSE, light2Diffuse);
    FglLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    FglLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    FglMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, objColor);
    FglEnable(GL_LIGHTING);
    FglEnable(GL_LIGHT1);
    FglEnable(GL_LIGHT2);
    FglEnable(GL_DEPTH_TEST);
}

namespace {

bool CornersValid(const MeshObject& object, const MeshPolygon& polygon) {
    if (polygon.cornerCount <= 0 || polygon.p == nullptr || object.vtbl == nullptr) return false;
    for (std::int32_t j = 0; j < polygon.cornerCount; ++j) {
        const std::int32_t index = polygon.p[j];
        if (index < 0 || index >= object.vertexCount || object.vtbl[index] == nullptr) {
            return false;
        }
    }
    return true;
}

Point3f At(const MeshObject& object, std::int32_t index) {
    const MeshVertex* v = object.vtbl[index];
    return {v->x, v->y, v->z};
}

}  // namespace

void BuildModelList(std::int32_t count, const MeshObject* objects, const Point3f& center,
                    bool zUp) {
    if (hOpenGL == nullptr) return;
    FglDeleteLists(kModelList, 1);
    FglFlush();
    FglMatrixMode(GL_MODELVIEW);
    FglLoadIdentity();
    FglNewList(kModelList, GL_COMPILE);
    std::uint32_t material = 0;
    for (std::int32_t k = 0; objects != nullptr && k < count; ++k) {
        const MeshObject& object = objects[k];
        for (const MeshPolygon* polygon = object.polygons; polygon != nullptr;
             polygon = polygon->next) {
            if (!CornersValid(object, *polygon)) continue;
            std::int32_t first = 0, second = 0, last = 0;
            NormalCorners(polygon->cornerCount, first, second, last);
            Point3f n = FaceNormal(At(object, polygon->p[first]), At(object, polygon->p[second]),
                                   At(object, polygon->p[last]));
            if (zUp) n = RightHandedYUp(n);
            // A polygon with a drawing colour takes it as its diffuse colour,
            // set in the list only where the colour changes.
            if (polygon->color != 0 && polygon->color != material) {
                material = polygon->color;
                const float diffuse[4] = {static_cast<float>((material >> 16) & 0xFF) / 255.0f,
                                          static_cast<float>((material >> 8) & 0xFF) / 255.0f,
                                          static_cast<float>(material & 0xFF) / 255.0f, 1.0f};
                FglMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
            }
            FglBegin(GL_POLYGON);
            for (std::int32_t j = 0; j < polygon->cornerCount; ++j) {
                const MeshVertex* v = object.vtbl[polygon->p[j]];
                Point3f p{v->x - center.x, v->y - center.y, v->z - center.z};
                if (zUp) p = RightHandedYUp(p);
                FglNormal3f(n.x, n.y, n.z);
                FglVertex3f(p.x, p.y, p.z);
            }
            FglEnd();
        }
    }
    FglEndList();
}

void BuildDragList(const DragMesh& mesh, bool zUp) {
    if (hOpenGL == nullptr) return;
    FglDeleteLists(kDragList, 1);
    FglNewList(kDragList, GL_COMPILE);
    const std::vector<float>& at = mesh.positions;
    // Stood up as the full model is, so that a drag does not tip it over.
    auto corner = [&at, zUp](std::uint32_t index) {
        const Point3f p{at[3 * index], at[3 * index + 1], at[3 * index + 2]};
        return zUp ? RightHandedYUp(p) : p;
    };
    for (const DragMesh::Group& group : mesh.groups) {
        if (group.color != 0) {
            const std::uint32_t c = group.color;
            const float diffuse[4] = {static_cast<float>((c >> 16) & 0xFF) / 255.0f,
                                      static_cast<float>((c >> 8) & 0xFF) / 255.0f,
                                      static_cast<float>(c & 0xFF) / 255.0f, 1.0f};
            FglMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
        }
        // One primitive for the whole group: the list replays fastest so.
        FglBegin(GL_TRIANGLES);
        for (std::size_t i = 0; i + 2 < group.indices.size(); i += 3) {
            const Point3f a = corner(group.indices[i]);
            const Point3f b = corner(group.indices[i + 1]);
            const Point3f c = corner(group.indices[i + 2]);
            const Point3f n = FaceNormal(a, b, c);
            FglNormal3f(n.x, n.y, n.z);
            FglVertex3f(a.x, a.y, a.z);
            FglVertex3f(b.x, b.y, b.z);
            FglVertex3f(c.x, c.y, c.z);
        }
        FglEnd();
    }
    FglEndList();
}

void DrawScene(const float backColor[3], const float objColor[4], unsigned list) {
    if (hOpenGL == nullptr) return;
    FglClearColor(backColor[0], backColor[1], backColor[2], 0.0f);
    FglClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    FglMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, objColor);
    FglColor3f(1.0f, 1.0f, 1.0f);
    FglPushMatrix();
    FglCallList(list);
    FglPopMatrix();
}

}  // namespace vertoko
