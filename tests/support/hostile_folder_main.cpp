// hostile-folder <glyph folder> <folder>: writes a hostile picture folder for the desktop test.
#include "support/hostile_folder.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: hostile-folder <glyph folder> <folder>\n");
        return 2;
    }
    std::printf("%d\n", writeHostileFolder(argv[1], argv[2]));
    return 0;
}
