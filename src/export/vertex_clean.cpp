// Placeholder until vertex cleaning lands: leaves the object unchanged.
#include "export/vertex_clean.h"

namespace vertoko {

std::int32_t VClearn(MeshObject&, float) { return 0; }

}  // namespace vertoko
