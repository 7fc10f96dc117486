#include "scenes/CubeEffect.h"
#include "drawables/Drawables.h"
#include "drawables/Texture.h"
#include "graphics/Graphics.h"
#include "scenes/BeatKick.h"
#include "scenes/FlashFade.h"
#include "scenes/LayoutSeed.h"

#include <cstdio>
#include <cstdlib>

namespace Effects {

namespace CubeState {
Drawables::FullScreenTexture* currentBackground = nullptr;
unsigned boxSeed = layoutSeed;
float flashLevel = 0.0f;
float backShift = 0.0f;
float greetingScroll = -16.0f;
} // namespace CubeState

using namespace Drawables;
using namespace CubeState;

namespace {

template <class Picture> Picture* LoadPicture(const char* fileName, Adapter::Graphics& graphics)
{
    return new Picture(fileName, graphics, false, true);
}

// Masked to -2 .. 1.984375 in steps of 1/64.
float ScatterOffset(int r) { return (static_cast<float>(r & 255) / 128.0f - 1.0f) * 2.0f; }

void SetLight()
{
    const GLfloat white[] = {1, 1, 1, 1};
    const GLfloat black[] = {0, 0, 0, 1};
    const GLfloat grey[] = {0.3f, 0.3f, 0.3f, 1};
    const GLfloat origin[] = {0, 0, 0, 1};
    // Only the specular part of the material is set: the rest is whatever
    // was drawn before (the ring mesh's material once the city has run).
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, black);
    glLightfv(GL_LIGHT0, GL_SPECULAR, grey);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, grey);
    // Under the group transform: a point light at the group's origin.
    glLightfv(GL_LIGHT0, GL_POSITION, origin);
}

struct BoxFace {
    GLfloat normal[3];
    GLshort corners[4][5]; // s, t, x, y, z
};

const BoxFace boxFaces[6] = {
    {{0, 0, 1}, {{0, 0, -1, -1, 1}, {1, 0, 1, -1, 1}, {1, 1, 1, 1, 1}, {0, 1, -1, 1, 1}}},
    {{0, 0, -1}, {{1, 0, -1, -1, -1}, {1, 1, -1, 1, -1}, {0, 1, 1, 1, -1}, {0, 0, 1, -1, -1}}},
    {{0, 1, 0}, {{0, 1, -1, 1, -1}, {0, 0, -1, 1, 1}, {1, 0, 1, 1, 1}, {1, 1, 1, 1, -1}}},
    {{0, -1, 0}, {{1, 1, -1, -1, -1}, {0, 1, 1, -1, -1}, {0, 0, 1, -1, 1}, {1, 0, -1, -1, 1}}},
    {{1, 0, 0}, {{1, 0, 1, -1, -1}, {1, 1, 1, 1, -1}, {0, 1, 1, 1, 1}, {0, 0, 1, -1, 1}}},
    {{-1, 0, 0}, {{0, 0, -1, -1, -1}, {1, 0, -1, -1, 1}, {1, 1, -1, 1, 1}, {0, 1, -1, 1, -1}}},
};

} // namespace

BoxScatter BoxScatter::FromRandom(int r1, int r2, int r3, int r4, int r5)
{
    return BoxScatter{ScatterOffset(r1), ScatterOffset(r2), r3 & 15, r4 & 15, r5 & 15};
}

void DrawBox()
{
    glBegin(GL_QUADS);
    for (const BoxFace& face : boxFaces) {
        glNormal3f(face.normal[0], face.normal[1], face.normal[2]);
        for (const GLshort* c : face.corners) {
            glTexCoord2s(c[0], c[1]);
            glVertex3s(c[2], c[3], c[4]);
        }
    }
    glEnd();
}

CubeEffect::CubeEffect() = default;

CubeEffect::~CubeEffect()
{
    // The module-level pointer must not outlive the pictures it points at.
    if (currentBackground == background.get() || currentBackground == backgroundInverse.get())
        currentBackground = nullptr;
}

void CubeEffect::Init(Adapter::Graphics& graphics)
{
    background.reset(LoadPicture<FullScreenTexture>("data/kasser/baggrund.png", graphics));
    backgroundInverse.reset(LoadPicture<FullScreenTexture>("data/kasser/baggrund-inv.png", graphics));
    flash.reset(LoadPicture<FullScreenTexture>("data/kasser/flash.png", graphics));
    SampleUnminified(*background, graphics);
    SampleUnminified(*backgroundInverse, graphics);
    SampleUnminified(*flash, graphics);

    char fileName[64];
    for (int i = 0; i < boxTextureCount; ++i) {
        std::snprintf(fileName, sizeof fileName, "data/kasser/kasse%d.png", i + 1);
        boxTextures[i].reset(LoadPicture<Texture>(fileName, graphics));
    }
    for (int i = 0; i < greetingCount; ++i) {
        std::snprintf(fileName, sizeof fileName, "data/kasser/greetings%d.png", i + 1);
        greetingTextures[i].reset(LoadPicture<Texture>(fileName, graphics));
    }

    boxDepths.reset(new float[boxCount]);
    for (int n = 0; n < boxCount; ++n)
        boxDepths[n] = -static_cast<float>(std::rand() & 1023);
}

void CubeEffect::Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent)
{
    const float elapsed = static_cast<float>(delta);
    if (!currentBackground)
        currentBackground = background.get();
    UpdateBeats(time, elapsed, syncEvent);

    currentBackground->x = 0;
    currentBackground->y = static_cast<int>(backShift);

    DrawFlashFade(graphics, *currentBackground, *flash, flashLevel)
        .Draw(Disable(GL_BLEND))
        .Draw(Enable(GL_DEPTH_TEST))
        .Draw(PushMatrix())
        .Draw(Translate(0, 10 * flashLevel, -10))
        .Draw(Rotate(45, 1, 1 - flashLevel, flashLevel))
        .Draw(Color(1, 1, 1, 1));

    if (time > boxesFrom) {
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glShadeModel(GL_SMOOTH);
        DrawBoxes(graphics, time, elapsed);
        DrawGreetings(graphics, elapsed);
    }

    graphics.Draw(PopMatrix()).Draw(Disable(GL_DEPTH_TEST)).Draw(Disable(GL_TEXTURE_2D));
    glDisable(GL_LIGHT0);
    glDisable(GL_LIGHTING);
}

void CubeEffect::UpdateBeats(unsigned time, float elapsed, int syncEvent)
{
    if (syncEvent == Demo::SyncClap) {
        boxSeed = time;
        currentBackground = currentBackground == background.get() ? backgroundInverse.get() : background.get();
    }

    Decay(flashLevel, 0.01f * elapsed);
    const bool bass = syncEvent == Demo::SyncBass;
    if (bass)
        flashLevel = 1;
    KickAndDecay(backShift, bass, 100.0f, 0.5f * elapsed);
}

void CubeEffect::DrawBoxes(Adapter::Graphics& graphics, unsigned time, float elapsed)
{
    // The same seed every frame keeps the layout until a clap changes it.
    std::srand(boxSeed);
    SetLight();

    const float spin = 0.1f * static_cast<float>(time);
    const float step = 0.01f * elapsed;
    for (int n = 0; n < boxCount; ++n) {
        graphics.Draw(Color(1, 1, 1, 1)).Draw(PushMatrix());
        const int r1 = std::rand();
        const int r2 = std::rand();
        const int r3 = std::rand();
        const int r4 = std::rand();
        const int r5 = std::rand();
        const BoxScatter box = BoxScatter::FromRandom(r1, r2, r3, r4, r5);
        graphics.Draw(Translate(boxDepths[n], box.y, box.z));
        if (box.HasAxis())
            graphics.Draw(Rotate(spin, static_cast<float>(box.axisX), static_cast<float>(box.axisY),
                                 static_cast<float>(box.axisZ)));
        graphics.Draw(*boxTextures[n % boxTextureCount]);
        DrawBox();
        graphics.Draw(PopMatrix());
        boxDepths[n] = boxDepths[n] + step;
    }
}

void CubeEffect::DrawGreetings(Adapter::Graphics& graphics, float elapsed)
{
    graphics.Draw(Disable(GL_DEPTH_TEST)).Draw(Enable(BLEND_ALPHA)).Draw(Color(1, 1, 1, 1));
    greetingScroll = greetingScroll + 0.007f * elapsed;
    // Lighting is still on and the quads send no normal: they are lit with
    // the last box's last normal.
    for (int k = 0; k < greetingCount; ++k) {
        graphics.Draw(PushMatrix())
            .Draw(Translate(greetingScroll - 16.0f * k, 0, 0))
            .Draw(*greetingTextures[k])
            .Draw(Quad(16, 16))
            .Draw(PopMatrix());
    }
    graphics.Draw(Disable(BLEND_ALPHA)).Draw(Enable(GL_DEPTH_TEST));
}

} // namespace Effects
