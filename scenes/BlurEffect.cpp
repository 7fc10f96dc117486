#include "scenes/BlurEffect.h"
#include "drawables/Drawables.h"
#include "drawables/RenderToTexture.h"
#include "graphics/GlLimits.h"
#include "graphics/Graphics.h"

#include <GL/glext.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <utility>
#include <stdexcept>

namespace Effects {

using namespace Drawables;

namespace {

// Picture units the capture is drawn grown by on every side.
constexpr float compositeGrow = 1.0f;

// Texture units one fill of the summed glow uses at most: three fills for
// the 24 copies.
constexpr int maxCopiesPerFill = 8;

// Weights of the glow's copies, the strength less a 25th of it per copy,
// down to the last positive one; returns how many there are.
int GlowWeights(float strength, float (&weights)[BlurEffect::glowPasses])
{
    const float fade = strength / 25.0f;
    float weight = strength;
    int count = 0;
    while (count < BlurEffect::glowPasses && weight > 0.0f) {
        weights[count++] = weight;
        weight -= fade;
    }
    return count;
}

// Pixels of the glow sum along a side of `picturePixels` whose design size
// gives `designSide`.
int SumSide(int picturePixels, int designSide)
{
    const int wanted = static_cast<int>(std::lround(picturePixels / BlurEffect::maxGlowSumEnlargement));
    const int most = static_cast<int>(std::lround(designSide * BlurEffect::maxGlowSumGrowth));
    return std::min(picturePixels, std::clamp(wanted, designSide, most));
}

// Sets the active texture unit's environment, value by value.
void SetTexEnv(std::initializer_list<std::pair<GLenum, GLint>> values)
{
    for (const auto& value : values)
        glTexEnvi(GL_TEXTURE_ENV, value.first, value.second);
}

// Texture unit `unit` samples `texture` and adds it, times `weight`, to what
// the units before it made (unit 0: to the primary colour).
void CombineUnit(int unit, GLuint texture, float weight)
{
    glActiveTexture(GL_TEXTURE0 + unit);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    // texture * constant + previous, on colour and alpha alike (every
    // operand set: the one-fill overlay leaves others on unit 0)
    SetTexEnv({{GL_TEXTURE_ENV_MODE, GL_COMBINE},
               {GL_COMBINE_RGB, GL_MODULATE_ADD_ATI},
               {GL_COMBINE_ALPHA, GL_MODULATE_ADD_ATI},
               {GL_SOURCE0_RGB, GL_TEXTURE},
               {GL_OPERAND0_RGB, GL_SRC_COLOR},
               {GL_SOURCE1_RGB, GL_PREVIOUS},
               {GL_OPERAND1_RGB, GL_SRC_COLOR},
               {GL_SOURCE2_RGB, GL_CONSTANT},
               {GL_OPERAND2_RGB, GL_SRC_COLOR},
               {GL_SOURCE0_ALPHA, GL_TEXTURE},
               {GL_OPERAND0_ALPHA, GL_SRC_ALPHA},
               {GL_SOURCE1_ALPHA, GL_PREVIOUS},
               {GL_OPERAND1_ALPHA, GL_SRC_ALPHA},
               {GL_SOURCE2_ALPHA, GL_CONSTANT},
               {GL_OPERAND2_ALPHA, GL_SRC_ALPHA}});
    const GLfloat constant[4] = {weight, weight, weight, weight};
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, constant);
}

// Units 1 .. `used` - 1 off again and every used unit back to modulating,
// unit 0 active: how every other drawing finds them.
void ReleaseUnits(int used)
{
    for (int unit = used - 1; unit > 0; --unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glDisable(GL_TEXTURE_2D);
    }
    glActiveTexture(GL_TEXTURE0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

} // namespace

// The glow added up in a small target in the lower-left corner of the
// drawing surface, copied into a texture and laid over the picture once:
// its fills cost no more on screens beyond 1843 x 1080, and the copies that
// make it are combined several to a fill.
class GlowSum {
public:
    explicit GlowSum(Adapter::Graphics& graphics)
        : width(SumSide(graphics.Pixels(Adapter::pictureWidth), BlurEffect::glowSumWidth)),
          height(SumSide(graphics.Pixels(Adapter::pictureHeight), BlurEffect::glowSumHeight))
    {
        GLint units = 1;
        glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
        if (Adapter::HasGlExtension("GL_ATI_texture_env_combine3"))
            copiesPerFill = std::max(1, std::min(static_cast<int>(units), maxCopiesPerFill));
        withPicture = units >= 2 && Adapter::HasGlExtension("GL_ARB_texture_env_combine");
        texture = graphics.AllocateTexture(nullptr);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    }

    // Adds up the copies of `capture` weighted by `weights` for a picture of
    // `unitsWide` x `unitsHigh` units. Runs on a cleared surface and leaves
    // it cleared, with its GL state as it found it.
    void Sum(GLuint capture, const float* weights, int count, int unitsWide, int unitsHigh)
    {
        glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_VIEWPORT_BIT | GL_SCISSOR_BIT | GL_TEXTURE_BIT |
                     GL_CURRENT_BIT);
        glViewport(0, 0, width, height);
        glScissor(0, 0, width, height);
        glEnable(GL_SCISSOR_TEST);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        // y upward: the picture's top lands in the target's first row, where
        // the picture's quads expect a texture's top.
        glOrtho(0, unitsWide, 0, unitsHigh, 0, 1);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        for (int first = 0; first < count; first += copiesPerFill)
            Fill(capture, weights + first, first, std::min(copiesPerFill, count - first), unitsWide, unitsHigh);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);

        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, texture);
        glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glPopAttrib();
    }

    // Adds the sum to the picture (under the additive blend in force).
    void Draw(Adapter::Graphics& graphics)
    {
        graphics.Draw(Color(1, 1, 1, 1));
        DrawScreenQuad(texture, graphics.viewportWidth, graphics.viewportHeight, 0, 0,
                       static_cast<float>(graphics.viewportWidth), static_cast<float>(graphics.viewportHeight));
    }

    // Lays the capture over the picture and adds the sum, in one fill of two
    // texture units, what the composite and Draw do in two: the fill's colour
    // is capture * capture a + sum (saturated, as the additive blend would
    // saturate), blended (1, 1 - capture a). `capture` is drawn as it would
    // be alone: grown by `grow` units on every side.
    void DrawWithCapture(Adapter::Graphics& graphics, GLuint capture, float grow)
    {
        const float w = static_cast<float>(graphics.viewportWidth);
        const float h = static_cast<float>(graphics.viewportHeight);
        // Unit 0: the capture weighted by its alpha, as the composite blends it.
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, capture);
        SetTexEnv({{GL_TEXTURE_ENV_MODE, GL_COMBINE},
                   {GL_COMBINE_RGB, GL_MODULATE},
                   {GL_SOURCE0_RGB, GL_TEXTURE},
                   {GL_OPERAND0_RGB, GL_SRC_COLOR},
                   {GL_SOURCE1_RGB, GL_TEXTURE},
                   {GL_OPERAND1_RGB, GL_SRC_ALPHA},
                   {GL_COMBINE_ALPHA, GL_REPLACE},
                   {GL_SOURCE0_ALPHA, GL_TEXTURE},
                   {GL_OPERAND0_ALPHA, GL_SRC_ALPHA}});
        // Unit 1: the sum added to that; the alpha stays the capture's, so
        // the picture underneath keeps 1 - capture a of itself.
        glActiveTexture(GL_TEXTURE1);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
        SetTexEnv({{GL_TEXTURE_ENV_MODE, GL_COMBINE},
                   {GL_COMBINE_RGB, GL_ADD},
                   {GL_SOURCE0_RGB, GL_TEXTURE},
                   {GL_OPERAND0_RGB, GL_SRC_COLOR},
                   {GL_SOURCE1_RGB, GL_PREVIOUS},
                   {GL_OPERAND1_RGB, GL_SRC_COLOR},
                   {GL_COMBINE_ALPHA, GL_REPLACE},
                   {GL_SOURCE0_ALPHA, GL_PREVIOUS},
                   {GL_OPERAND0_ALPHA, GL_SRC_ALPHA}});
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);

        // The capture's quad, as DrawScreenQuad lays it; the sum's
        // coordinates put its edges on the viewport's.
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0, w, h, 0, 0, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        const float left = -grow, top = -grow, right = w + grow, bottom = h + grow;
        const float corners[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
        glBegin(GL_QUADS);
        for (const auto& corner : corners) {
            const float x = corner[0] ? right : left;
            const float y = corner[1] ? bottom : top;
            glMultiTexCoord2f(GL_TEXTURE0, corner[0], corner[1]);
            glMultiTexCoord2f(GL_TEXTURE1, x / w, y / h);
            glVertex2f(x, y);
        }
        glEnd();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);

        ReleaseUnits(2);
    }

    const int width;  // pixels
    const int height; // pixels
    int copiesPerFill = 1;
    // Whether DrawWithCapture can work: two texture units and the combine
    // environment.
    bool withPicture = false;

private:
    // One fill of the whole target adding copies first .. first + count - 1,
    // copy k (0-based) enlarged by glowSpread * (k + 1) units on every side:
    // each unit samples the capture where that copy's quad would have.
    void Fill(GLuint capture, const float* weights, int first, int count, int unitsWide, int unitsHigh)
    {
        float s0[maxCopiesPerFill], s1[maxCopiesPerFill], t0[maxCopiesPerFill], t1[maxCopiesPerFill];
        for (int unit = 0; unit < count; ++unit) {
            const float grow = static_cast<float>(BlurEffect::glowSpread * (first + unit + 1));
            const float wide = static_cast<float>(unitsWide) + 2 * grow;
            const float high = static_cast<float>(unitsHigh) + 2 * grow;
            s0[unit] = grow / wide;
            s1[unit] = (grow + static_cast<float>(unitsWide)) / wide;
            t0[unit] = grow / high;
            t1[unit] = (grow + static_cast<float>(unitsHigh)) / high;
            if (count > 1) {
                CombineUnit(unit, capture, weights[unit]);
            } else {
                glEnable(GL_TEXTURE_2D);
                glBindTexture(GL_TEXTURE_2D, capture);
            }
        }
        // Unit 0 adds its copy to the primary colour.
        if (count > 1)
            glColor4f(0, 0, 0, 0);
        else
            glColor4f(weights[0], weights[0], weights[0], weights[0]);
        const float corners[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
        glBegin(GL_QUADS);
        for (const auto& corner : corners) {
            for (int unit = 0; unit < count; ++unit)
                glMultiTexCoord2f(GL_TEXTURE0 + unit, corner[0] ? s1[unit] : s0[unit],
                                  corner[1] ? t1[unit] : t0[unit]);
            glVertex2f(corner[0] * static_cast<float>(unitsWide), corner[1] * static_cast<float>(unitsHigh));
        }
        glEnd();
        ReleaseUnits(count);
    }

    GLuint texture = 0;
};

BlurEffect::BlurEffect(bool blurEnabled, float blurStrength) : blurEnabled(blurEnabled), blurStrength(blurStrength) {}

BlurEffect::~BlurEffect() = default;

void BlurEffect::Init(Adapter::Graphics& graphics)
{
    renderTarget.reset(new FullScreenRenderToTexture(graphics, Adapter::pictureWidth));
    glowSum.reset(new GlowSum(graphics));
    // The reference glow on request, to compare a whole render against.
    if (const char* reference = std::getenv("RUVO_REFERENCE_GLOW"))
        if (reference[0] == '1')
            glowMethod = GlowMethod::Copies;
}

int BlurEffect::CopiesPerFill() const { return glowSum->copiesPerFill; }

void BlurEffect::LimitTextureUnits(int units)
{
    glowSum->copiesPerFill = std::max(1, std::min(units, glowSum->copiesPerFill));
    glowSum->withPicture = glowSum->withPicture && units >= 2;
}

void BlurEffect::Render(Adapter::Graphics& graphics, unsigned time, unsigned delta, int syncEvent)
{
    FullScreenRenderToTexture& target = *renderTarget;

    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The first drawable starts the capture (target viewport and projection).
    target.Draw(Enable(GL_TEXTURE_2D));
    RenderScene(target, time, delta, syncEvent);
    target.Draw(Enable(GL_TEXTURE_2D));
    // Also clears the whole window to (0, 0, 0, 0), colour and depth, so the
    // window needs no clear of its own before the background.
    target.Capture();

    // Summed while the surface is still clear, at the strength RenderScene
    // left. A flash's glow keeps its copies: every copy's edge is then a
    // step of tens of levels, which the smaller sum would soften visibly.
    float weights[glowPasses];
    const int copies = blurEnabled ? GlowWeights(blurStrength, weights) : 0;
    const bool summed = copies > 0 && glowMethod == GlowMethod::Summed && weights[0] <= maxSummedWeight;
    if (summed)
        glowSum->Sum(target.id, weights, copies, graphics.viewportWidth, graphics.viewportHeight);

    RenderBackground(graphics, time, delta, syncEvent);

    // The capture keeps alpha 0 wherever RenderScene drew nothing, so the
    // background shows through there.
    graphics.Draw(Enable(GL_TEXTURE_2D)).Draw(Enable(BLEND_ALPHA)).Draw(Color(1, 1, 1, 1));
    if (summed && glowSum->withPicture) {
        graphics.Draw(Disable(GL_DEPTH_TEST));
        glowSum->DrawWithCapture(graphics, target.id, compositeGrow);
        graphics.Draw(Enable(GL_BLEND));
    } else {
        DrawTarget(graphics, compositeGrow);
        graphics.Draw(Disable(BLEND_ALPHA));

        graphics.Draw(Enable(GL_TEXTURE_2D)).Draw(Disable(GL_DEPTH_TEST)).Draw(Enable(GL_BLEND));
        if (summed)
            glowSum->Draw(graphics);
        else if (copies > 0)
            DrawGlowCopies(weights, copies, graphics);
    }

    target.grow = compositeGrow;
    graphics.Draw(Color(1, 1, 1, 1));
    graphics.Draw(Disable(GL_TEXTURE_2D)).Draw(Disable(GL_BLEND));

    RenderForeground(graphics, time, delta, syncEvent);
}

// Additive copies of the capture, each enlarged further and weighted less.
void BlurEffect::DrawGlowCopies(const float* weights, int copies, Adapter::Graphics& graphics)
{
    for (int copy = 0; copy < copies; ++copy) {
        const float weight = weights[copy];
        graphics.Draw(Color(weight, weight, weight, weight));
        DrawTarget(graphics, static_cast<float>(glowSpread * (copy + 1)));
    }
}

void BlurEffect::DrawTarget(Adapter::Graphics& graphics, float grow)
{
    renderTarget->grow = grow;
    graphics.Draw(*renderTarget);
}

void BlurEffect::RenderScene(Medium::IOutputMedium&, unsigned, unsigned, int)
{
    throw std::runtime_error("RenderScene is implemented (BlurEffect is not supposed to stand alone)");
}

void BlurEffect::RenderBackground(Medium::IOutputMedium&, unsigned, unsigned, int) {}

void BlurEffect::RenderForeground(Medium::IOutputMedium&, unsigned, unsigned, int) {}

} // namespace Effects
