#include "export/polygon_colors.h"

#include "export/number_format.h"

namespace vertoko {

bool HasPolygonColors(std::int32_t count, const MeshObject* objects) {
    for (std::int32_t i = 0; objects != nullptr && i < count; ++i) {
        for (const MeshPolygon* p = objects[i].polygons; p != nullptr; p = p->next) {
            if (p->color != 0) return true;
        }
    }
    return false;
}

std::uint32_t PolygonRgb(const MeshPolygon& polygon) {
    return polygon.color != 0 ? polygon.color & 0xFFFFFFu : 0xFFFFFFu;
}

ObjectColors::ObjectColors(const MeshObject& object, std::int32_t number, const LookChoice& choice)
    : number_(number), choice_(choice) {
    for (const MeshPolygon* p = object.polygons; p != nullptr; p = p->next) {
        const LookKey key = choice.Key(number, *p);
        if (position.emplace(key, colors.size()).second) colors.push_back(key);
    }
}

void AppendRgb(std::string& out, std::uint32_t rgb, char separator) {
    for (int shift = 16; shift >= 0; shift -= 8) {
        AppendG(out, static_cast<double>((rgb >> shift) & 0xFFu) / 255.0);
        if (shift > 0) out += separator;
    }
}

void AppendColorTextureName(std::string& out, std::int32_t i, std::size_t k) {
    out += "poltexture";
    AppendInt(out, i);
    out += '_';
    AppendInt(out, static_cast<std::int64_t>(k));
}

void AppendColorTextures(std::string& out, std::int32_t i, const ObjectColors& colors,
                         const std::string& defaultTexture, const MaterialChoice* materials) {
    const bool single = colors.colors.size() == 1;
    for (std::size_t k = 0; k < colors.colors.size(); ++k) {
        const LookKey key = colors.colors[k];
        out += "#declare ";
        if (single) {
            out += "poltexture";
            AppendInt(out, i);
        } else {
            AppendColorTextureName(out, i, k);
        }
        if (IsRuleLook(key) && materials != nullptr) {
            out += " = ";
            out += materials->At(LookRule(key)).texture;
            out += "\r\n";
        } else if (key == kDefaultLook) {
            out += single ? " = " : " = texture { ";
            out += defaultTexture;
            out += single ? "\r\n" : " }\r\n";
        } else {
            out += single ? " = pigment {color rgb <" : " = texture { pigment {color rgb <";
            AppendRgb(out, static_cast<std::uint32_t>(key), ',');
            out += single ? ">}\r\n" : ">} }\r\n";
        }
    }
}

}  // namespace vertoko
