// Feeds arbitrary bytes to the beat-file reader as a whole file, then polls
// the marks it made over the length of the show.
#include "runtime/FileSynchronizer.h"
#include "runtime/ShowEnd.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = "/tmp/ruvo-fuzz-beats-" + std::to_string(getpid()) + ".txt";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    Demo::FileSynchronizer channel(1, path.c_str());
    channel.Load();
    for (unsigned time = 0; time <= Demo::showEnd; time += 997)
        channel.Poll(time);
    channel.Poll(~0u);
    return 0;
}
