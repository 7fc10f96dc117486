#include "scenes/ClearEffect.h"

#include <GL/gl.h>

namespace Effects {

void ClearEffect::Render(Adapter::Graphics&, unsigned, unsigned, int)
{
    glClearColor(red, green, blue, alpha);
    glClear(clearDepth ? (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT) : GL_COLOR_BUFFER_BIT);
}

} // namespace Effects
