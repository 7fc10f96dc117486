#include "scenes/FlatEffect.h"
#include "drawables/Drawables.h"
#include "drawables/Texture.h"
#include "drawables/RenderToTexture.h"
#include "drawables/mesh/DrawObject.h"
#include "drawables/mesh/MeshData.h"
#include "graphics/Graphics.h"
#include "scenes/BeatKick.h"
#include "scenes/Layers.h"

#include <algorithm>
#include <cmath>

namespace Effects {

namespace FlatState {
float backShift = 0.0f;
float backFlash = 0.0f;
float frontFlash = 0.0f;
} // namespace FlatState

using namespace Drawables;
using namespace FlatState;

namespace {

const float clapGlow = 0.5f;
const float restingGlow = 0.05f;
// The capture's projection, as the render target sets it.
const double fieldOfViewY = Adapter::perspectiveFovY;
const double nearPlane = Adapter::perspectiveZNear;
// Widens the view a ring must miss to be left out, against rounding.
const double viewSlack = 1.01;

FullScreenTexture* LoadLayer(const char* fileName, Adapter::Graphics& graphics)
{
    FullScreenTexture* layer = new FullScreenTexture(fileName, graphics, false, true);
    SampleUnminified(*layer, graphics);
    return layer;
}

// Unlit and lit versions of one layer, weighted by `lit`.
void DrawLitPair(Medium::IOutputMedium& screen, FullScreenTexture& unlit, FullScreenTexture& litVersion, float lit)
{
    DrawWeightedLayer(screen, unlit, 1 - lit);
    DrawWeightedLayer(screen, litVersion, lit);
}

float MeshReach()
{
    double reach = 0;
    for (const float* v : OBJ::meshVertices)
        reach = std::max(reach, std::sqrt(double(v[0]) * v[0] + double(v[1]) * v[1] + double(v[2]) * v[2]));
    return static_cast<float>(reach);
}

// Where the camera of the capture sees the rings, all of which sit on the z
// axis: eye-space coordinates of an axis point, and whether a ring there can
// reach into the view.
class RingView {
public:
    RingView(double eyeZ, int targetWidth, int targetHeight)
    {
        // The camera looks from (5, 5, eyeZ) at the origin with y up.
        eye[0] = 5;
        eye[1] = 5;
        eye[2] = eyeZ;
        double forward[3] = {-eye[0], -eye[1], -eye[2]};
        Normalise(forward);
        double side[3] = {-forward[2], 0, forward[0]}; // forward x (0, 1, 0)
        Normalise(side);
        const double up[3] = {side[1] * forward[2] - side[2] * forward[1], side[2] * forward[0] - side[0] * forward[2],
                              side[0] * forward[1] - side[1] * forward[0]};
        for (int i = 0; i < 3; ++i) {
            rows[0][i] = side[i];
            rows[1][i] = up[i];
            rows[2][i] = forward[i];
        }
        focalY = 1.0 / std::tan(fieldOfViewY * M_PI / 360.0);
        focalX = focalY * targetHeight / targetWidth;
    }

    // Distance of axis point z in front of the eye.
    double Depth(double z) const { return Eye(2, z); }

    // False when a ring of radius `reach` centred at axis point z misses the
    // view.
    bool Sees(double z, double reach) const
    {
        const double depth = Depth(z);
        if (depth + reach <= nearPlane)
            return false; // wholly behind the near plane
        if (depth - reach <= nearPlane)
            return true;
        // The projection of the ring's bounding cube.
        const double x0 = focalX * Lowest(Eye(0, z) - reach, depth, reach);
        const double x1 = focalX * Highest(Eye(0, z) + reach, depth, reach);
        const double y0 = focalY * Lowest(Eye(1, z) - reach, depth, reach);
        const double y1 = focalY * Highest(Eye(1, z) + reach, depth, reach);
        return !(x1 < -viewSlack || x0 > viewSlack || y1 < -viewSlack || y0 > viewSlack);
    }

private:
    static void Normalise(double (&v)[3])
    {
        const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        for (double& c : v)
            c /= length;
    }
    double Eye(int row, double z) const
    {
        const double offset[3] = {-eye[0], -eye[1], z - eye[2]};
        return rows[row][0] * offset[0] + rows[row][1] * offset[1] + rows[row][2] * offset[2];
    }
    // Extremes of coordinate / depth over the depths depth +- reach.
    static double Lowest(double low, double depth, double reach)
    {
        return low <= 0 ? low / (depth - reach) : low / (depth + reach);
    }
    static double Highest(double high, double depth, double reach)
    {
        return high >= 0 ? high / (depth - reach) : high / (depth + reach);
    }
    double eye[3];
    double rows[3][3];
    double focalX, focalY;
};

} // namespace

TubePose PoseOfSlot(const TubeSlot& slot, int number, unsigned time)
{
    TubePose pose;
    pose.angle = static_cast<float>(0.05 * time + 50.0 * number);
    pose.scale = static_cast<float>(5.0 + 3.0 * std::sin(slot.phase + 0.005 * time));
    return pose;
}

float CityCameraZ(unsigned time, float blurStrength)
{
    return static_cast<float>(10.0 * std::cos(0.001 * time) + 5.0 * blurStrength);
}

FlatEffect::FlatEffect() : BlurEffect(true, 0.025f) {}

FlatEffect::~FlatEffect() = default;

void FlatEffect::Init(Adapter::Graphics& graphics)
{
    BlurEffect::Init(graphics);
    // In increasing z: RenderScene relies on it to draw front to back.
    tubeSlots.reserve(200);
    for (int i = -100; i < 100; ++i)
        tubeSlots.push_back(TubeSlot{2.0f * i, 0.25f * i});
    ringReach = MeshReach();
    ringList = glGenLists(1);
    glNewList(ringList, GL_COMPILE);
    OBJ::DrawMesh();
    glEndList();
    cityFront.reset(LoadLayer("data/flat/cityFront.png", graphics));
    cityFrontLight.reset(LoadLayer("data/flat/cityFrontLight.png", graphics));
    cityBack.reset(LoadLayer("data/flat/cityBack.png", graphics));
    cityBackLight.reset(LoadLayer("data/flat/cityBackLight.png", graphics));
}

void FlatEffect::RenderScene(Medium::IOutputMedium& target, unsigned time, unsigned delta, int syncEvent)
{
    const float elapsed = static_cast<float>(delta);
    if (syncEvent == Demo::SyncClap)
        blurStrength = clapGlow;
    else
        blurStrength = blurStrength - 0.05f * elapsed;
    if (!(blurStrength > restingGlow))
        blurStrength = restingGlow;

    // The rings bring their own material; the light keeps its defaults.
    // Without GL_NORMALIZE the Scale below also dims each copy's lighting.
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glShadeModel(GL_FLAT);

    const float eyeZ = CityCameraZ(time, blurStrength);
    target.Draw(Enable(GL_DEPTH_TEST)).Draw(PushMatrix()).Draw(LookAt(5, 5, eyeZ, 0, 0, 0, 0, 1, 0));
    // The rings sample the texture left bound at (0, 0): normally the lit
    // front skyline from the previous frame's foreground.
    // Each ring keeps to its own slab of z, so no two are ever at the same
    // depth and the order they are drawn in changes no pixel: nearest first
    // lets the depth test reject the hidden ones before they are shaded.
    const RingView view(eyeZ, renderTarget->width, renderTarget->height);
    const int count = static_cast<int>(tubeSlots.size());
    const bool nearFirst = count > 0 && view.Depth(tubeSlots.front().z) <= view.Depth(tubeSlots.back().z);
    for (int k = 0; k < count; ++k) {
        const int index = nearFirst ? k : count - 1 - k;
        const TubeSlot& slot = tubeSlots[index];
        const TubePose pose = PoseOfSlot(slot, index + 1, time);
        if (!view.Sees(slot.z, ringReach * pose.scale))
            continue;
        target.Draw(PushMatrix())
            .Draw(Translate(0, 0, slot.z))
            .Draw(Scale(pose.scale, pose.scale, pose.scale))
            .Draw(Rotate(pose.angle, 0, 0, 1));
        glCallList(ringList);
        target.Draw(PopMatrix());
    }
    target.Draw(PopMatrix()).Draw(Disable(GL_DEPTH_TEST));
    glDisable(GL_LIGHT0);
    glDisable(GL_LIGHTING);
}

void FlatEffect::RenderBackground(Medium::IOutputMedium& screen, unsigned, unsigned delta, int syncEvent)
{
    const float elapsed = static_cast<float>(delta);
    Decay(backShift, 0.5f * elapsed);
    if (syncEvent == Demo::SyncBass) {
        backShift = 100;
        backFlash = 1;
    } else {
        Decay(backFlash, 0.004f * elapsed);
    }

    const int shift = static_cast<int>(backShift);
    cityBack->x = 0;
    cityBack->y = shift;
    cityBackLight->x = 0;
    cityBackLight->y = shift;

    screen.Draw(Enable(GL_TEXTURE_2D)).Draw(Enable(BLEND_ALPHA));
    DrawLitPair(screen, *cityBack, *cityBackLight, backFlash);
    screen.Draw(Color(1, 1, 1, 1)).Draw(Disable(BLEND_ALPHA)).Draw(Disable(GL_TEXTURE_2D));
}

void FlatEffect::RenderForeground(Medium::IOutputMedium& screen, unsigned, unsigned delta, int syncEvent)
{
    if (syncEvent == Demo::SyncClap)
        frontFlash = 1;
    else
        Decay(frontFlash, 0.005f * static_cast<float>(delta));

    // Leaves the lit front skyline bound (the rings of the next frame sample
    // it) and the current colour at frontFlash.
    screen.Draw(Enable(BLEND_ALPHA)).Draw(Enable(GL_TEXTURE_2D));
    DrawLitPair(screen, *cityFront, *cityFrontLight, frontFlash);
    screen.Draw(Disable(GL_TEXTURE_2D)).Draw(Disable(BLEND_ALPHA));
}

} // namespace Effects
