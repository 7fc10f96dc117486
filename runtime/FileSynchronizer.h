#pragma once
#include "runtime/ISynchronizerChannel.h"

#include <string>
#include <vector>

namespace Demo {

struct SyncMark {
    unsigned start;
    unsigned end;
    bool fired;
};

// Beat marks read from a text file: four header lines, then one mark per
// line as "label HH:MM:SS.mmm HH:MM:SS.mmm". Marks fire in file order, one per
// poll, as soon as the music time reaches them.
class FileSynchronizer : public ISynchronizerChannel {
public:
    FileSynchronizer(int id, const char* path) : id(id), path(path) {}
    void Load() override;
    int Poll(unsigned time) override;
    void SkipBefore(unsigned time) override;

    int id;
    std::string path;
    std::vector<SyncMark> marks;
};

// Splits one line in place at spaces and reads its two times.
SyncMark ParseSyncLine(char* line);

} // namespace Demo
