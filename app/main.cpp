#include "app/CommandLine.h"
#include "app/Demo.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    Demo::ShowOptions options;
    try {
        options = Demo::ParseShowOptions(argc, argv, std::getenv("RUVO_VSYNC"));
    } catch (const Demo::UsageError& error) {
        std::fprintf(stderr, "ruvo: %s\n\n%s", error.what(), Demo::ShowUsage().c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(Demo::ShowUsage().c_str(), stdout);
        return 0;
    }
    return Demo::RunDemo(options);
}
