// ruvo-render: the show rendered frame by frame to PNG files or a video.
#include "platform/DataFolder.h"
#include "platform/StopSignals.h"
#include "render/OfflineRenderer.h"
#include "render/PngFolderOutput.h"
#include "render/VideoOutput.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>

namespace {

class ProgressLine {
public:
    void operator()(unsigned long long done, unsigned long long total)
    {
        // Timed from the first frame, so that loading does not count.
        const auto now = std::chrono::steady_clock::now();
        if (done == 1)
            started = now;
        const double seconds = std::chrono::duration<double>(now - started).count();
        const double rate = seconds > 0 ? (done - 1) / seconds : 0;
        const long left = rate > 0 ? static_cast<long>((total - done) / rate + 0.5) : 0;
        std::fprintf(stderr, "\rframe %llu/%llu  %.1f fps  %ld:%02ld left ", done, total, rate, left / 60, left % 60);
        if (done == total)
            std::fputc('\n', stderr);
        std::fflush(stderr);
    }

private:
    std::chrono::steady_clock::time_point started;
};

int Fail(const std::string& message)
{
    std::fprintf(stderr, "\nruvo-render: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    Render::RenderOptions options;
    try {
        options = Render::ParseRenderOptions(argc, argv);
    } catch (const std::invalid_argument& error) {
        std::fprintf(stderr, "ruvo-render: %s\nTry 'ruvo-render --help' for more information.\n", error.what());
        return 1;
    }
    if (options.help) {
        std::fputs(Render::RenderUsage().c_str(), stdout);
        return 0;
    }

    Platform::InstallStopSignalHandlers();
    std::unique_ptr<Render::IFrameOutput> output;
    try {
        Platform::FindShowData(); // before any output is made
        if (!options.framesDir.empty()) {
            output.reset(new Render::PngFolderOutput(options.framesDir));
        } else {
            // The sound begins with the first written frame, which a pre-roll
            // puts on the whole show's grid, up to a frame after the start.
            const unsigned soundStart = Render::FrameTime(options, Render::FirstWrittenFrame(options));
            output.reset(new Render::VideoOutput(options.videoFile, Platform::DataPath("data/sound.mp3"), soundStart,
                                                 options.end, options.rateNumerator, options.rateDenominator));
        }
        Render::OfflineRenderer renderer(options);
        renderer.Run(*output, ProgressLine());
        output->Finish();
    } catch (const std::exception& error) {
        if (output)
            output->Abandon();
        const int status = Fail(error.what());
        Platform::ReraiseStopSignal();
        return status;
    }
    return 0;
}
