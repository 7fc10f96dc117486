#include "drawables/Drawables.h"

#include <GL/glu.h>

namespace Drawables {

void Enable::Draw(Adapter::Graphics&)
{
    switch (cap) {
    case GL_BLEND:
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        break;
    case BLEND_ALPHA:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        break;
    case BLEND_ALPHA_INV_DST:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_DST_ALPHA);
        break;
    case BLEND_ALPHA_ADD:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        break;
    default:
        glEnable(cap);
        break;
    }
}

void Disable::Draw(Adapter::Graphics&)
{
    if (cap == BLEND_ALPHA || cap == BLEND_ALPHA_INV_DST || cap == BLEND_ALPHA_ADD)
        glDisable(GL_BLEND);
    else
        glDisable(cap);
}

void Color::Draw(Adapter::Graphics&) { glColor4f(r, g, b, a); }

void PushMatrix::Draw(Adapter::Graphics&) { glPushMatrix(); }

void PopMatrix::Draw(Adapter::Graphics&) { glPopMatrix(); }

void Translate::Draw(Adapter::Graphics&) { glTranslatef(x, y, z); }

void Scale::Draw(Adapter::Graphics&) { glScalef(x, y, z); }

void Rotate::Draw(Adapter::Graphics&) { glRotatef(angle, x, y, z); }

void Quad::Draw(Adapter::Graphics&)
{
    const double w = width;
    const double h = height;
    glBegin(GL_QUADS);
    glTexCoord2d(0, 1);
    glVertex3d(-0.5 * w, -0.5 * h, 0);
    glTexCoord2d(1, 1);
    glVertex3d(0.5 * w, -0.5 * h, 0);
    glTexCoord2d(1, 0);
    glVertex3d(0.5 * w, 0.5 * h, 0);
    glTexCoord2d(0, 0);
    glVertex3d(-0.5 * w, 0.5 * h, 0);
    glEnd();
}

void Fog::Draw(Adapter::Graphics&)
{
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, color);
    glFogf(GL_FOG_DENSITY, 0.35f);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, start);
    glFogf(GL_FOG_END, end);
}

void LookAt::Draw(Adapter::Graphics&)
{
    gluLookAt(eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ);
}

} // namespace Drawables
