#pragma once
#include "tools/mesh/RingMesh.h"

#include <string>

namespace MeshGen {

// The C++ source of the six mesh tables (namespace OBJ), as committed in
// drawables/mesh/MeshData.cpp.
std::string WriteMeshSource(const RingMesh& mesh);

} // namespace MeshGen
