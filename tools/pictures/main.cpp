// Writes every picture of the show into the given data folder, or with
// --icons the program's menu icon into the given folder.
#include "tools/pictures/Canvas.h"

#include <cstdio>
#include <cstring>
#include <exception>

int main(int argc, char** argv)
{
    const bool icons = argc == 3 && std::strcmp(argv[1], "--icons") == 0;
    if (argc != 2 && !icons) {
        std::fprintf(stderr, "usage: %s DATA_DIR\n       %s --icons ICON_DIR\n", argv[0], argv[0]);
        return 2;
    }
    try {
        if (icons) {
            Pictures::WriteIcons(argv[2]);
        } else {
            Pictures::WriteOpeningPictures(argv[1]);
            Pictures::WriteClosingPictures(argv[1]);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
    return 0;
}
