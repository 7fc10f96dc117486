// Feeds arbitrary command-line words to the start-time reader.
#include "runtime/StartTime.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string line(reinterpret_cast<const char*>(data), size); // stops at the first NUL
    if (Demo::IsStartTime(line.c_str()))
        Demo::ReadStartTime(line.c_str());
    Demo::ReadStartTime(line.c_str());
    return 0;
}
