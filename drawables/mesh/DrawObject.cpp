#include "drawables/mesh/DrawObject.h"

namespace OBJ {

void DrawObject::Draw(Adapter::Graphics&) { DrawMesh(); }

void DrawMesh() {}

void ApplyMaterial(int) {}

} // namespace OBJ
