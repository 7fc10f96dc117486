// Composes the soundtrack and writes <dir>/sound.mp3 with its beat files
// <dir>/bass.txt (kicks) and <dir>/claps.txt, from one list of events.
#include "tools/soundtrack/BeatFile.h"
#include "tools/soundtrack/Composition.h"
#include "tools/soundtrack/Mastering.h"
#include "tools/soundtrack/Mp3Encoder.h"
#include "tools/soundtrack/Renderer.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void PrintSections(const Soundtrack::Score& score)
{
    using Soundtrack::Drum;
    for (const Soundtrack::Section& section : score.sections) {
        int kicks = 0, claps = 0;
        for (const Soundtrack::Hit& hit : score.hits) {
            if (hit.beat >= section.startBeat && hit.beat < section.endBeat) {
                kicks += hit.drum == Drum::Kick;
                claps += hit.drum == Drum::Clap;
            }
        }
        std::printf("  %-10s %6.1f-%6.1f s  %3d kicks  %3d claps\n", section.name.c_str(), section.startBeat / 2,
                    section.endBeat / 2, kicks, claps);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const auto begin = std::chrono::steady_clock::now();

    const Soundtrack::Score score = Soundtrack::Compose();
    const Soundtrack::StereoBus master = Soundtrack::RenderScore(score);
    const double loudness = Soundtrack::IntegratedLoudness(master, Soundtrack::sampleRate);
    const std::vector<short> pcm = Soundtrack::ToPcm16(master);
    const double rendered = SecondsSince(begin);
    if (!Soundtrack::WriteMp3(folder + "/sound.mp3", pcm, Soundtrack::sampleRate))
        return 1;
    const double encoded = SecondsSince(begin) - rendered;

    const auto kicks = Soundtrack::DrumMarks(score, Soundtrack::Drum::Kick);
    const auto claps = Soundtrack::DrumMarks(score, Soundtrack::Drum::Clap);
    if (!Soundtrack::WriteBeatFile(folder + "/bass.txt", "bass drum", kicks) ||
        !Soundtrack::WriteBeatFile(folder + "/claps.txt", "claps", claps))
        return 1;

    std::printf("soundtrack: %.1f s of music at %.1f LUFS, %zu kicks, %zu claps; rendered in %.2f s, encoded in "
                "%.2f s\n",
                pcm.size() / 2.0 / Soundtrack::sampleRate, loudness, kicks.size(), claps.size(), rendered, encoded);
    PrintSections(score);
    return 0;
}
