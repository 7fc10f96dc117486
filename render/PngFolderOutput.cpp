#include "render/PngFolderOutput.h"
#include "render/OutputPath.h"

#include <cstdio>
#include <stdexcept>
#include <sys/stat.h>

namespace Render {

PngFolderOutput::PngFolderOutput(const std::string& path, std::unique_ptr<PngWorkers> givenWorkers)
    : folder(NormaliseOutputPath(path)), workers(std::move(givenWorkers))
{
    struct stat info;
    if (lstat(folder.c_str(), &info) == 0 && !(S_ISDIR(info.st_mode) && IsEmptyFolder(folder)))
        throw std::runtime_error(path + " already exists and is not an empty folder");
    if (!workers)
        workers.reset(new PngWorkers(PngWorkers::DefaultCount()));
    scratch = CreateScratchFolder(folder);
}

PngFolderOutput::~PngFolderOutput()
{
    if (!done)
        Abandon();
}

void PngFolderOutput::Write(const Frame& frame)
{
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06llu.png", written);
    workers->Submit(scratch + name, frame);
    ++written;
}

void PngFolderOutput::Finish()
{
    workers->Drain();
    workers->Stop();
    // A directory renamed onto an empty one replaces it; onto one that has
    // filled up meanwhile, it fails, and the frames stay where they are.
    if (std::rename(scratch.c_str(), folder.c_str()) != 0) {
        const std::string reason = SystemError("cannot rename " + scratch + " to " + folder);
        done = true;
        throw std::runtime_error(reason + "; the frames are kept in " + scratch);
    }
    done = true;
}

void PngFolderOutput::Abandon()
{
    if (done)
        return;
    workers->Stop(); // no file may appear once the folder is gone
    RemoveFlatFolder(scratch);
    done = true;
}

} // namespace Render
