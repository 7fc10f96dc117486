// Drawing the ring in the real window: the calls it issues, the material it
// leaves behind, and its size on screen.
#include "drawables/Drawables.h"
#include "drawables/mesh/DrawObject.h"
#include "drawables/mesh/MeshData.h"
#include "tests/support/GlTest.h"

#include <GL/glu.h>

#include <cmath>
#include <vector>

namespace {

class MeshDrawTest : public TestSupport::GlTest {
protected:
    void DrawRing(float scale)
    {
        graphics->Draw(Drawables::PushMatrix())
            .Draw(Drawables::Translate(0, 0, -3))
            .Draw(Drawables::Scale(scale, scale, scale))
            .Draw(OBJ::DrawObject())
            .Draw(Drawables::PopMatrix());
    }
};

void ExpectMaterial(GLenum face, GLenum pname, std::initializer_list<float> expected)
{
    GLfloat value[4] = {-1, -1, -1, -1};
    glGetMaterialfv(face, pname, value);
    int i = 0;
    for (float e : expected) {
        EXPECT_NEAR(value[i], e, 1e-5) << "material " << pname << " component " << i;
        ++i;
    }
}

} // namespace

TEST_F(MeshDrawTest, LeavesMaterialSetAndNothingElse)
{
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 77);
    DrawRing(1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "unbalanced glBegin/glEnd";
    for (GLenum face : {GL_FRONT, GL_BACK}) {
        ExpectMaterial(face, GL_AMBIENT, {1.082353f, 3.011765f, 1.772549f, 1});
        ExpectMaterial(face, GL_DIFFUSE, {3, 3, 3, 1});
        ExpectMaterial(face, GL_SPECULAR, {0.2705882f, 0.7529412f, 0.4431373f, 1});
        ExpectMaterial(face, GL_EMISSION, {0, 0, 0, 1});
        ExpectMaterial(face, GL_SHININESS, {10});
    }
    for (GLenum cap : {GL_LIGHTING, GL_LIGHT0, GL_DEPTH_TEST, GL_TEXTURE_2D, GL_BLEND, GL_CULL_FACE})
        EXPECT_FALSE(glIsEnabled(cap)) << "capability " << cap;
    EXPECT_EQ(TestSupport::ModelviewDepth(), 1);
}

TEST_F(MeshDrawTest, SendsEveryFaceOnceStartingWithTheFirstCorner)
{
    std::vector<GLfloat> buffer(OBJ::meshFaceCount * (2 + 3 * 11) + 64);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    DrawRing(1);
    const GLint used = glRenderMode(GL_RENDER);
    ASSERT_GT(used, 0) << "feedback buffer overflowed";

    int triangles = 0;
    for (GLint i = 0; i < used;) {
        ASSERT_EQ(buffer[i], static_cast<GLfloat>(GL_POLYGON_TOKEN)) << "at " << i;
        const int corners = static_cast<int>(buffer[i + 1]);
        EXPECT_EQ(corners, 3);
        i += 2 + corners * 11;
        ++triangles;
    }
    EXPECT_EQ(triangles, OBJ::meshFaceCount);

    // First corner: vertex 2, texture coordinate (0, 0).
    GLdouble model[16], projection[16], x, y, z;
    GLint viewport[4];
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(0, 0, -3);
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glPopMatrix();
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    gluProject(0.433293, 0.249602, -0.0612797, model, projection, viewport, &x, &y, &z);
    EXPECT_NEAR(buffer[2], x, 0.05);
    EXPECT_NEAR(buffer[3], y, 0.05);
    EXPECT_EQ(buffer[9], 0.0f);
    EXPECT_EQ(buffer[10], 0.0f);
}

TEST_F(MeshDrawTest, LitRingHasOuterRadiusHalfTheScaleAndAHole)
{
    // 100 pixels per unit, looking straight down the ring's axis.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-5.12, 5.12, -3, 3, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
    for (float scale : {2.0f, 5.0f}) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawRing(scale);
        const std::vector<unsigned char> window = TestSupport::ReadWindow();
        double outer = 0, inner = 1e9;
        for (int row = 0; row < 768; ++row)
            for (int col = 0; col < 1024; ++col) {
                const unsigned char* p = &window[(row * 1024 + col) * 4];
                if (p[0] + p[1] + p[2] < 60)
                    continue;
                const double r = std::hypot(col + 0.5 - 512, row + 0.5 - 384);
                outer = std::max(outer, r);
                inner = std::min(inner, r);
            }
        EXPECT_NEAR(outer, 0.5 * scale * 100, 1.5) << "scale " << scale;
        EXPECT_GT(inner, 0.358 * scale * 100 - 1.5) << "scale " << scale;
        EXPECT_LT(inner, 0.361 * scale * 100 + 1.5) << "scale " << scale;
        const TestSupport::Rgba centre = TestSupport::ReadPixel(512, 384);
        EXPECT_EQ(centre.r + centre.g + centre.b, 0) << "no hole in the middle";
        const TestSupport::Rgba face = TestSupport::ReadPixel(512 + static_cast<int>(43 * scale), 384);
        EXPECT_GT(face.r + face.g + face.b, 300) << "flat face not lit";
    }
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    glDisable(GL_DEPTH_TEST);
}
