#include "export/layer_output.h"

#include <vector>

#include "export/number_format.h"

namespace vertoko {

std::int32_t LayerOutput::ObjectLayer(std::int32_t i, const MeshObject& object) const {
    if (layers == nullptr) return -1;
    if (i >= 0 && static_cast<std::size_t>(i) < layers->objects.size()) {
        const std::int32_t layer = layers->objects[static_cast<std::size_t>(i)].layer;
        if (layer >= 0) return LayerName(layer) != nullptr ? layer : -1;
    }
    std::int32_t only = -1;
    for (const MeshPolygon* p = object.polygons; p != nullptr; p = p->next) {
        if (only >= 0 && p->layer != only) return -1;
        only = p->layer;
    }
    return LayerName(only) != nullptr ? only : -1;
}

const std::string* LayerOutput::LayerName(std::int32_t index) const {
    if (layers == nullptr || index < 0 || static_cast<std::size_t>(index) >= layers->layers.size())
        return nullptr;
    return &layers->layers[static_cast<std::size_t>(index)].name;
}

void AppendObjName(std::string& out, std::string_view name) {
    if (name.empty()) {
        out += '_';
        return;
    }
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        out += byte <= 0x20 || byte == 0x7F || c == '#' || c == '\\' ? '_' : c;
    }
}

namespace {

void AppendCommentText(std::string& out, std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        out += byte < 0x20 || byte == 0x7F ? '?' : c;
    }
}

}  // namespace

void AppendPovLayerComment(std::string& out, const LayerOutput& output, std::int32_t i,
                           const MeshObject& object) {
    if (!output.Naming()) return;
    const std::int32_t layer = output.ObjectLayer(i, object);
    if (layer >= 0) {
        out += "\r\n// layer: ";
        AppendCommentText(out, *output.LayerName(layer));
        const std::vector<ObjectLabel>& labels = output.layers->objects;
        if (i >= 0 && static_cast<std::size_t>(i) < labels.size() &&
            labels[static_cast<std::size_t>(i)].aci >= 0) {
            out += ", color ";
            AppendInt(out, labels[static_cast<std::size_t>(i)].aci);
        }
        return;
    }
    std::vector<bool> seen(output.layers->layers.size(), false);
    bool first = true;
    for (const MeshPolygon* p = object.polygons; p != nullptr; p = p->next) {
        const std::string* name = output.LayerName(p->layer);
        if (name == nullptr || seen[static_cast<std::size_t>(p->layer)]) continue;
        seen[static_cast<std::size_t>(p->layer)] = true;
        out += first ? "\r\n// layers: " : ", ";
        first = false;
        AppendCommentText(out, *name);
    }
}

}  // namespace vertoko
