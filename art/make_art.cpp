// Build-time tool: writes the programs' icons and pictures into the folder named on
// its command line.
#include <stdio.h>

#include <string>

#include "art/program_art.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    for (const ArtFile& art : ART_FILES) {
        const std::string path = std::string(argv[1]) + "/" + art.name;
        const std::vector<uint8_t> bytes = art.build();
        FILE* file = fopen(path.c_str(), "wb");
        if (file == NULL) {
            perror(path.c_str());
            return 1;
        }
        const bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        if (fclose(file) != 0 || !written) {
            fprintf(stderr, "%s: could not write it\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
