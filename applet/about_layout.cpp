#include "about_layout.h"

PicturePosition AboutPicturePosition(int pageWidth, int pageHeight, int pictureWidth, int pictureHeight)
{
    PicturePosition position;
    position.x = (pageWidth - pictureWidth) / 2;
    position.y = (pageHeight / 2 - pictureHeight) / 2;
    return position;
}
