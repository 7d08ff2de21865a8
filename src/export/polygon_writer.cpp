#include "export/polygon_writer.h"

#include "export/eastray_writer.h"
#include "export/pov_writer.h"

namespace vertoko {

std::int32_t WritePolOrPov(const std::string& name, int isPol, std::int32_t count,
                           MeshObject* objects, const std::string& estrOpt, const PovOption& povOpt,
                           const Extents& extents, std::string& msgBuf, bool zUp,
                           const LayerOutput& layers) {
    if (isPol != 0) return WriteEastray(name, count, objects, estrOpt, msgBuf);
    return WritePov(name, count, objects, povOpt, extents, msgBuf, zUp, layers);
}

}  // namespace vertoko
