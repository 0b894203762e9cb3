#include "calibrator_path.h"

#include <string.h>

bool CalibratorPathInFolder(const char* folder, char* path, size_t size)
{
    if (size == 0)
        return false;
    path[0] = '\0';
    size_t folderLength = strlen(folder);
    size_t nameLength = sizeof(CALIBRATOR_FILE_NAME) - 1;
    if (folderLength >= size || nameLength >= size - folderLength)
        return false;
    memcpy(path, folder, folderLength);
    memcpy(path + folderLength, CALIBRATOR_FILE_NAME, nameLength + 1);
    return true;
}
