// Writes every picture of the show into the given data folder.
#include "tools/pictures/Canvas.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DATA_DIR\n", argv[0]);
        return 2;
    }
    try {
        Pictures::WriteOpeningPictures(argv[1]);
        Pictures::WriteClosingPictures(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
    return 0;
}
