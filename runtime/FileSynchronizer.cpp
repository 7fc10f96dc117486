#include "runtime/FileSynchronizer.h"
#include "platform/DataFolder.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace Demo {

namespace {

const size_t lineBufferSize = 512;
const size_t timeTokenLength = 12;

// HH:MM:SS.mmm; the separators are not examined and the digits not checked.
// A token shorter than twelve characters gives 0 rather than reading past it.
unsigned ParseTime(const char* token)
{
    if (!token || std::strlen(token) < timeTokenLength)
        return 0;
    auto digit = [token](int index) { return static_cast<unsigned>(token[index] - '0'); };
    const unsigned hours = 10 * digit(0) + digit(1);
    const unsigned minutes = 10 * digit(3) + digit(4);
    const unsigned seconds = 10 * digit(6) + digit(7);
    const unsigned millis = 100 * digit(9) + 10 * digit(10) + digit(11);
    return ((hours * 60 + minutes) * 60 + seconds) * 1000 + millis;
}

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

} // namespace

SyncMark ParseSyncLine(char* line)
{
    SyncMark mark = {0, 0, false};
    const char* tokens[3] = {nullptr, nullptr, nullptr};
    int count = 0;
    char* cursor = line;
    while (count < 3) {
        while (*cursor == ' ')
            ++cursor;
        if (*cursor == '\0')
            break;
        tokens[count++] = cursor;
        while (*cursor != ' ' && *cursor != '\0')
            ++cursor;
        if (*cursor == ' ')
            *cursor++ = '\0';
    }
    mark.start = ParseTime(tokens[1]);
    mark.end = ParseTime(tokens[2]);
    return mark;
}

void FileSynchronizer::Load()
{
    std::unique_ptr<FILE, FileCloser> file(std::fopen(Platform::DataPath(path).c_str(), "r"));
    if (!file)
        throw std::runtime_error("Unable to read synchronization file:" + path);
    char buffer[lineBufferSize];
    for (int i = 0; i < 4; ++i) {
        if (!std::fgets(buffer, sizeof buffer, file.get()))
            break;
    }
    while (std::fgets(buffer, sizeof buffer, file.get()))
        marks.push_back(ParseSyncLine(buffer));
    // A read that failed (a directory, an I/O error) is not the end of the
    // file: reporting it beats playing on without beats.
    if (std::ferror(file.get()))
        throw std::runtime_error("Unable to read synchronization file:" + path);
}

int FileSynchronizer::Poll(unsigned time)
{
    for (SyncMark& mark : marks) {
        if (mark.fired)
            continue;
        if (mark.start > time)
            return 0;
        mark.fired = true;
        return id;
    }
    return 0;
}

void FileSynchronizer::SkipBefore(unsigned time)
{
    // The marks that polls up to `time` would have reported, in the same
    // file order: an earlier-timed line behind a later one still waits.
    for (SyncMark& mark : marks) {
        if (mark.fired)
            continue;
        if (mark.start >= time)
            return;
        mark.fired = true;
    }
}

} // namespace Demo
