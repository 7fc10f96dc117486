#pragma once
#include "graphics/IDrawable.h"

namespace OBJ {

// The compiled-in lit ring mesh, drawn with the current modelview matrix.
class DrawObject : public Drawables::IDrawable {
public:
    void Draw(Adapter::Graphics& graphics) override;
};

void DrawMesh();
void ApplyMaterial(int material);

} // namespace OBJ
