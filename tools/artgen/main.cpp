// kurun_artgen: draws every picture of the program into an assets folder.
//   kurun_artgen <assets-dir>
#include <cstdio>
#include <exception>

#include "tools/artgen/Output.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kurun_artgen <assets-dir>\n");
        return 2;
    }
    try {
        artgen::WriteAll(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kurun_artgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
