// Where the About page draws its picture: centred across the page and centred
// vertically in the page's upper half. Pure arithmetic, no Windows calls.
#pragma once

struct PicturePosition {
    int x;
    int y;
};

// Sizes in pixels; the divisions truncate toward zero, so a picture wider or taller
// than its share lands at a negative offset and is clipped by the page.
PicturePosition AboutPicturePosition(int pageWidth, int pageHeight, int pictureWidth, int pictureHeight);
