#pragma once
#include "RingMesh.h"

#include <string>

namespace MeshGen {

// The C++ source of the six mesh tables (namespace OBJ), as committed in
// drawables/mesh/MeshData.cpp.
std::string WriteMeshSource(const RingMesh& mesh);

} // namespace MeshGen
