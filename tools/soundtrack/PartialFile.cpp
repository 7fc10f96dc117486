#include "tools/soundtrack/PartialFile.h"

#include <cstdio>

namespace Soundtrack {

bool CompletePartialFile(const std::string& path, bool written, const char* what)
{
    const std::string partial = PartialPath(path);
    if (written && std::rename(partial.c_str(), path.c_str()) == 0)
        return true;
    std::fprintf(stderr, "%s: cannot write the %s\n", path.c_str(), what);
    std::remove(partial.c_str());
    return false;
}

} // namespace Soundtrack
