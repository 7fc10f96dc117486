// The loading step: the loading picture is on screen, inside the letterbox,
// before any beat file or scene is read, and failures stop it in order.
#include "drawables/Drawables.h"
#include "runtime/ITimingElement.h"
#include "tests/support/GlTest.h"
#include "tests/support/TestData.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <SDL/SDL.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <stdexcept>
#include <string>
#include <vector>

using TestSupport::Texel;

namespace {

const int top = TestSupport::pictureTop;            // first letterbox row from the top of the window
const int bottom = TestSupport::pictureBottom + 1; // first band row below it

// Colours on the screen the viewer sees right now.
struct ScreenSample {
    TestSupport::Rgba bandAbove, pictureTop, pictureBottom, bandBelow, leftEdge, rightEdge;
};

// A photograph of the X screen as the viewer sees it. The GL side cannot
// tell: the SDL layer may draw into an off-screen buffer and copy it to the
// window only on a buffer swap, so only the screen shows what was presented.
// It is taken through the X connection of the current GL context, the one
// every presented frame travels on: the server handles a connection's
// requests in order, so the photograph holds every frame presented before
// it, however busy the machine, and nothing has to be waited for. Xlib and
// GLX are looked up at run time, as nothing else links them.
class ScreenShot {
public:
    ScreenShot()
    {
        void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        void* glx = dlopen("libGL.so.1", RTLD_NOW | RTLD_LOCAL);
        using CurrentDisplay = Display* (*)();
        using CurrentDrawable = GLXDrawable (*)();
        using Root = Window (*)(Display*);
        using Translate = Bool (*)(Display*, Window, Window, int, int, int*, int*, Window*);
        using Get = XImage* (*)(Display*, Drawable, int, int, unsigned, unsigned, unsigned long, int);
        auto current = glx ? reinterpret_cast<CurrentDisplay>(dlsym(glx, "glXGetCurrentDisplay")) : nullptr;
        auto drawable = glx ? reinterpret_cast<CurrentDrawable>(dlsym(glx, "glXGetCurrentDrawable")) : nullptr;
        auto root = x11 ? reinterpret_cast<Root>(dlsym(x11, "XDefaultRootWindow")) : nullptr;
        auto translate = x11 ? reinterpret_cast<Translate>(dlsym(x11, "XTranslateCoordinates")) : nullptr;
        auto get = x11 ? reinterpret_cast<Get>(dlsym(x11, "XGetImage")) : nullptr;
        // The connection is SDL's: used, never closed.
        Display* display = current && drawable && root && translate && get ? current() : nullptr;
        // The screen where the window lies, wherever the display put it.
        int x = 0, y = 0;
        Window child = 0;
        if (display && translate(display, drawable(), root(display), 0, 0, &x, &y, &child))
            image =
                get(display, root(display), x, y, TestSupport::windowWidth, TestSupport::windowHeight, ~0UL, ZPixmap);
        if (glx)
            dlclose(glx);
        if (x11)
            dlclose(x11);
        if (!image)
            throw std::runtime_error("cannot read the screen through the GL context's X connection");
    }
    ~ScreenShot() { image->f.destroy_image(image); }
    ScreenShot(const ScreenShot&) = delete;
    ScreenShot& operator=(const ScreenShot&) = delete;

    TestSupport::Rgba At(int x, int y) const
    {
        const unsigned long pixel = image->f.get_pixel(image, x, y);
        return {Channel(pixel, image->red_mask), Channel(pixel, image->green_mask),
                Channel(pixel, image->blue_mask), 255};
    }

private:
    static int Channel(unsigned long pixel, unsigned long mask)
    {
        if (!mask)
            return 0;
        while (!(mask & 1)) {
            mask >>= 1;
            pixel >>= 1;
        }
        return static_cast<int>((pixel & mask) * 255 / mask);
    }

    XImage* image = nullptr;
};

// Clamped pictures fade into the black border over half a texel at the
// sides, so the edges are sampled a few pixels in.
ScreenSample SampleScreen()
{
    const ScreenShot shot;
    return {shot.At(512, top - 1), shot.At(512, top + 10), shot.At(512, bottom - 10),
            shot.At(512, bottom),  shot.At(4, top + 10),   shot.At(1019, bottom - 10)};
}

bool IsBlack(const TestSupport::Rgba& p) { return p.r < 8 && p.g < 8 && p.b < 8; }
bool IsRed(const TestSupport::Rgba& p) { return p.r > 200 && p.g < 40 && p.b < 40; }
bool IsBlue(const TestSupport::Rgba& p) { return p.b > 200 && p.r < 40 && p.g < 40; }

// A beat channel that notes when it is loaded and what the screen showed.
class RecordingChannel : public Demo::ISynchronizerChannel {
public:
    RecordingChannel(std::string name, std::vector<std::string>& log, bool fails = false)
        : name(std::move(name)), log(log), fails(fails)
    {
    }
    void Load() override
    {
        log.push_back(name);
        screen = SampleScreen();
        if (fails)
            throw std::runtime_error("Unable to read synchronization file:" + name);
    }
    int Poll(unsigned) override { return 0; }
    void SkipBefore(unsigned) override {}

    std::string name;
    std::vector<std::string>& log;
    bool fails;
    ScreenSample screen{};
};

// A scene that is slow to initialise: it looks at the screen meanwhile.
class RecordingScene : public Demo::IEffect {
public:
    RecordingScene(std::string name, std::vector<std::string>& log) : name(std::move(name)), log(log) {}
    void Init(Adapter::Graphics&) override
    {
        log.push_back(name);
        SDL_Delay(20);
        screen = SampleScreen();
    }
    void Render(Adapter::Graphics&, unsigned, unsigned, int) override {}

    std::string name;
    std::vector<std::string>& log;
    ScreenSample screen{};
};

void ExpectLoadingPicture(const ScreenSample& screen)
{
    EXPECT_TRUE(IsBlack(screen.bandAbove));
    EXPECT_TRUE(IsRed(screen.pictureTop));
    EXPECT_TRUE(IsBlue(screen.pictureBottom));
    EXPECT_TRUE(IsBlack(screen.bandBelow));
    EXPECT_TRUE(IsRed(screen.leftEdge));
    EXPECT_TRUE(IsBlue(screen.rightEdge));
}

class LoadingScreenTest : public ::testing::Test {
protected:
    // Top half red, bottom half blue, at a size other than the letterbox.
    void WriteLoadingPicture()
    {
        data.WritePicture("data/loader/loading.png", 256, 128, [](int, int y) {
            return y < 64 ? Texel{255, 0, 0, 255} : Texel{0, 0, 255, 255};
        });
    }

    TestSupport::TestData data;
    TestSupport::ScriptedShow show;
    std::vector<std::string> log;
    RecordingChannel bass{"bass", log};
    RecordingChannel claps{"claps", log};
    RecordingScene first{"first", log};
    RecordingScene second{"second", log};
    Demo::AlwaysOnTiming always;
    Demo::StartEndTiming later{100000, 110000}; // not active at time 0: still initialised
};

TEST_F(LoadingScreenTest, LoadingPictureIsShownBeforeBeatFilesAndScenesLoad)
{
    WriteLoadingPicture();
    show.player->AddChannel(&bass);
    show.player->AddChannel(&claps);
    show.player->AddEffect(&always, &first);
    show.player->AddEffect(&later, &second);
    show.player->Initialize();

    EXPECT_EQ(log, (std::vector<std::string>{"bass", "claps", "first", "second"}));
    {
        SCOPED_TRACE("while the first beat file loads");
        ExpectLoadingPicture(bass.screen);
    }
    {
        SCOPED_TRACE("while the last scene initialises");
        ExpectLoadingPicture(second.screen);
    }
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(show.graphics->textures.count("data/loader/loading.png"), 1u);
    EXPECT_TRUE(TestSupport::IsIdentity(TestSupport::ModelviewMatrix()));
}

TEST_F(LoadingScreenTest, MissingLoadingPictureStopsBeforeAnythingIsRead)
{
    show.player->AddChannel(&bass);
    show.player->AddEffect(&always, &first);
    try {
        show.player->Initialize();
        FAIL() << "no exception";
    } catch (const std::exception& error) {
        EXPECT_NE(std::string(error.what()).find("data/loader/loading.png"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(log.empty());
    // Nothing was presented: the screen is still the start-up black.
    EXPECT_TRUE(IsBlack(SampleScreen().pictureTop));
}

TEST_F(LoadingScreenTest, BeatFileFailureStopsBeforeTheScenes)
{
    WriteLoadingPicture();
    RecordingChannel broken{"data/bass.txt", log, true};
    show.player->AddChannel(&broken);
    show.player->AddChannel(&claps);
    show.player->AddEffect(&always, &first);
    EXPECT_THROW(show.player->Initialize(), std::runtime_error);
    EXPECT_EQ(log, (std::vector<std::string>{"data/bass.txt"}));
}

} // namespace
