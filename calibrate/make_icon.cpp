// Build-time tool: writes the program icon to the file named on its command line.
#include <stdio.h>

#include "calibrate/icon_image.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTPUT.ico\n", argv[0]);
        return 2;
    }
    const std::vector<uint8_t> icon = BuildIconFile();
    FILE* file = fopen(argv[1], "wb");
    if (file == NULL) {
        perror(argv[1]);
        return 1;
    }
    const bool written = fwrite(icon.data(), 1, icon.size(), file) == icon.size();
    if (fclose(file) != 0 || !written) {
        fprintf(stderr, "%s: could not write the icon\n", argv[1]);
        return 1;
    }
    return 0;
}
