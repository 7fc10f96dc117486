// ruvo-bench: frame times per scene in the real window, load time, peak
// memory and heap allocations per frame. Run it from build/ on a display.
#include "app/ShowSession.h"
#include "bench/AllocationCounter.h"
#include "graphics/FrameSize.h"
#include "platform/DataFolder.h"
#include "platform/SoundSystem.h"

#include <GL/gl.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

struct SceneRun {
    const char* name;
    unsigned from; // music time of the first measured frame
};

// A representative stretch of each scene (the box scene shows its boxes
// only after 150 s); "empty frame" lies past the end, where only the
// clearing scene runs.
const SceneRun sceneRuns[] = {
    {"empty frame", 250000}, {"logo", 12000},  {"particles", 40000}, {"cylinder", 55000}, {"ball", 68000},
    {"drink", 95000},        {"city", 125000}, {"boxes", 160000},    {"end", 190000},
};

const int framesPerScene = 300;
const unsigned frameStepMs = 16;

double ProcessAgeMs()
{
    std::ifstream stat("/proc/self/stat");
    std::string line;
    std::getline(stat, line);
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    unsigned long long startTicks = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 22) {
            startTicks = std::stoull(field);
            break;
        }
    }
    double uptime = 0;
    std::ifstream("/proc/uptime") >> uptime;
    return (uptime - static_cast<double>(startTicks) / sysconf(_SC_CLK_TCK)) * 1000.0;
}

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, static_cast<size_t>(fraction * values.size()));
    return values[index];
}

bool ReadSize(const char* text, Adapter::DisplaySettings& display)
{
    if (!Adapter::ReadFrameSize(text, display.width, display.height))
        return false;
    display.surface = Adapter::Surface::Offscreen;
    return true;
}

int Usage()
{
    std::fprintf(stderr, "usage: ruvo-bench [--size WxH] [scene]\nscenes:");
    for (const SceneRun& run : sceneRuns)
        std::fprintf(stderr, " '%s'", run.name);
    std::fputc('\n', stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // Frames are timed, never shown to anyone: no wait for the refresh.
    Adapter::DisplaySettings display;
    display.vsync = false;
    // An optional scene name measures that scene alone (handy under a
    // profiler); --size draws frames of that size off screen.
    std::string only;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--size" && i + 1 < argc) {
            if (!ReadSize(argv[++i], display))
                return Usage();
        } else if (word.compare(0, 7, "--size=") == 0) {
            if (!ReadSize(argv[i] + 7, display))
                return Usage();
        } else if (only.empty() && word[0] != '-') {
            only = word;
        } else {
            return Usage();
        }
    }
    bool known = only.empty();
    for (const SceneRun& run : sceneRuns)
        known = known || only == run.name;
    if (!known)
        return Usage();

    Platform::ScriptedClockScope scope;
    Platform::ScriptedSoundSystem& clock = scope.clock;
    clock.RequireFile(true);
    try {
        Platform::FindShowData();
        Demo::ShowSession session(display);
        session.Load();
        // Off screen the frame is the output; the window only holds the context.
        const Adapter::Graphics& graphics = session.graphics;
        const bool offscreen = display.surface == Adapter::Surface::Offscreen;
        std::printf("%s %d x %d, the picture drawn at %d x %d\n", offscreen ? "frames" : "output",
                    offscreen ? graphics.WindowWidth() : graphics.OutputWidth(),
                    offscreen ? graphics.WindowHeight() : graphics.OutputHeight(), graphics.Fit().box.width,
                    graphics.Fit().box.height);
        session.StartMusic(static_cast<int>(sceneRuns[1].from));
        clock.SetPosition(sceneRuns[1].from);
        session.player.RenderFrame();
        glFinish();
        const double loadMs = ProcessAgeMs();
        bool allocationFree = true;

        std::printf("%-12s %7s %10s %8s %12s %12s\n", "scene", "frames", "median ms", "p95 ms", "allocs/frame",
                    "driver/frame");
        for (const SceneRun& run : sceneRuns) {
            if (!only.empty() && only != run.name)
                continue;
            std::vector<double> times;
            unsigned long long own = 0, driver = 0;
            unsigned time = run.from;
            session.player.Start(time, frameStepMs);
            for (int frame = 0; frame <= framesPerScene; ++frame, time += frameStepMs) {
                clock.SetPosition(time);
                const auto begin = std::chrono::steady_clock::now();
                Bench::StartCountingAllocations();
                session.player.DrawFrame();
                const Bench::AllocationCounts counts = Bench::StopCountingAllocations();
                glFinish();
                session.graphics.Present();
                const auto end = std::chrono::steady_clock::now();
                if (frame == 0)
                    continue; // a scene's first frame may build what it keeps
                times.push_back(std::chrono::duration<double, std::milli>(end - begin).count());
                own += counts.ownCode;
                driver += counts.libraries;
            }
            std::printf("%-12s %7d %10.2f %8.2f %12.2f %12.2f\n", run.name, framesPerScene, Percentile(times, 0.5),
                        Percentile(times, 0.95), static_cast<double>(own) / framesPerScene,
                        static_cast<double>(driver) / framesPerScene);
            if (own != 0)
                allocationFree = false;
        }
        if (!allocationFree)
            std::printf("\nthe show's own code allocated during frames after a scene's first\n");
        rusage usage = {};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("\nprocess start to first show frame: %.0f ms\n", loadMs);
        std::printf("peak resident memory: %.1f MiB\n", usage.ru_maxrss / 1024.0);
        return allocationFree ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ruvo-bench: %s\n", error.what());
        return 1;
    }
}
