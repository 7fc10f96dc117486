// The loading step: the loading picture is on screen, inside the letterbox,
// before any beat file or scene is read, and failures stop it in order.
#include "drawables/Drawables.h"
#include "runtime/ITimingElement.h"
#include "support/GlTest.h"
#include "support/TestData.h"

#include <GL/gl.h>
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

// A screenshot of the X screen through a connection of its own. The GL side
// cannot tell: the SDL layer may draw into an off-screen buffer and copy it
// to the window only on a buffer swap, so only the screen shows what was
// presented. Xlib is looked up at run time, as nothing else links it.
class ScreenShot {
public:
    ScreenShot()
    {
        void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        if (!x11)
            throw std::runtime_error("no libX11");
        using Open = Display* (*)(const char*);
        using Root = Window (*)(Display*);
        using Get = XImage* (*)(Display*, Drawable, int, int, unsigned, unsigned, unsigned long, int);
        using Close = int (*)(Display*);
        auto open = reinterpret_cast<Open>(dlsym(x11, "XOpenDisplay"));
        auto root = reinterpret_cast<Root>(dlsym(x11, "XDefaultRootWindow"));
        auto get = reinterpret_cast<Get>(dlsym(x11, "XGetImage"));
        auto close = reinterpret_cast<Close>(dlsym(x11, "XCloseDisplay"));
        Display* display = open && root && get && close ? open(nullptr) : nullptr;
        if (display) {
            image = get(display, root(display), 0, 0, 1024, 768, ~0UL, ZPixmap);
            close(display);
        }
        dlclose(x11);
        if (!image)
            throw std::runtime_error("cannot read the screen");
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

// A presented frame reaches the X server a little later, through another
// connection than ours: look again for up to two seconds before taking the
// screen as it is. A loading picture that was never presented still fails.
ScreenSample SampleScreenOncePresented()
{
    ScreenSample screen = SampleScreen();
    for (int attempt = 0; attempt < 100 && !IsRed(screen.pictureTop); ++attempt) {
        SDL_Delay(20);
        screen = SampleScreenOncePresented();
    }
    return screen;
}

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
        screen = SampleScreenOncePresented();
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
        screen = SampleScreenOncePresented();
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
