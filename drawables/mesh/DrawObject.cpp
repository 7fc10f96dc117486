#include "drawables/mesh/DrawObject.h"

#include "drawables/mesh/MeshData.h"

#include <GL/gl.h>

namespace OBJ {

namespace {

void SetMaterialColour(GLenum pname, const float (&rgb)[3], float alpha)
{
    const GLfloat rgba[4] = {rgb[0], rgb[1], rgb[2], alpha};
    glMaterialfv(GL_FRONT_AND_BACK, pname, rgba);
}

void SendCorner(const MeshFace& face, int corner)
{
    const float* normal = meshNormals[face.normal[corner]];
    const float* texCoord = meshTexCoords[face.texCoord[corner]];
    const float* vertex = meshVertices[face.vertex[corner]];
    glNormal3f(normal[0], normal[1], normal[2]);
    glTexCoord2f(texCoord[0], texCoord[1]);
    glVertex3f(vertex[0], vertex[1], vertex[2]);
}

} // namespace

void DrawObject::Draw(Adapter::Graphics&) { DrawMesh(); }

void DrawMesh()
{
    glBegin(GL_TRIANGLES);
    int remaining = 0;
    int run = 0;
    for (int f = 0; f < meshFaceCount; ++f) {
        // Runs that fall short of the face count leave the last material on
        // rather than reading past the run table.
        if (remaining == 0 && run < meshMaterialRunCount) {
            ApplyMaterial(meshMaterialRuns[run].material);
            remaining = meshMaterialRuns[run].faceCount;
            ++run;
        }
        --remaining;
        for (int corner = 0; corner < 3; ++corner)
            SendCorner(meshFaces[f], corner);
    }
    glEnd();
}

void ApplyMaterial(int material)
{
    const MeshMaterial& m = meshMaterials[material];
    glEnd();
    SetMaterialColour(GL_AMBIENT, m.ambient, m.alpha);
    SetMaterialColour(GL_DIFFUSE, m.diffuse, m.alpha);
    SetMaterialColour(GL_SPECULAR, m.specular, m.alpha);
    SetMaterialColour(GL_EMISSION, m.emission, m.alpha);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 10.0f);
    glBegin(GL_TRIANGLES);
}

} // namespace OBJ
