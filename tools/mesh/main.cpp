// Writes the ring mesh tables as C++ source: ruvo-meshgen <output.cpp>
#include "tools/mesh/MeshSourceWriter.h"
#include "tools/mesh/RingBuilder.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.cpp>\n", argv[0]);
        return 2;
    }
    const std::string source = MeshGen::WriteMeshSource(MeshGen::BuildRing());
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file << source;
    file.close();
    if (!file) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
