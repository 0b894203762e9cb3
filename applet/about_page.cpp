// The About page: its texts come from the template; the picture is painted through
// its mask so that the page shows around it.
#include "applet/pages.h"

#include "applet/about_layout.h"
#include "applet/applet.h"
#include "applet/property_sheet.h"
#include "applet/resource.h"

namespace {

// Three raster operations: the picture where the mask is white, the page as it was
// where the mask is black.
void PaintMaskedPicture(HWND page, HDC dc)
{
    HDC picture = CreateCompatibleDC(dc);
    HDC mask = CreateCompatibleDC(dc);
    HBITMAP pictureBitmap = LoadBitmapA(AppletInstance, MAKEINTRESOURCEA(IDB_ABOUT_PICTURE));
    HBITMAP maskBitmap = LoadBitmapA(AppletInstance, MAKEINTRESOURCEA(IDB_ABOUT_MASK));
    if (picture != NULL && mask != NULL && pictureBitmap != NULL && maskBitmap != NULL) {
        HGDIOBJ keptPicture = SelectObject(picture, pictureBitmap);
        HGDIOBJ keptMask = SelectObject(mask, maskBitmap);
        BITMAP size;
        GetObjectA(pictureBitmap, sizeof(size), &size);
        RECT window;
        GetWindowRect(page, &window);
        PicturePosition at = AboutPicturePosition(window.right - window.left, window.bottom - window.top,
                                                  size.bmWidth, size.bmHeight);
        BitBlt(picture, 0, 0, size.bmWidth, size.bmHeight, mask, 0, 0, MERGEPAINT);
        BitBlt(dc, at.x, at.y, size.bmWidth, size.bmHeight, mask, 0, 0, NOTSRCERASE);
        BitBlt(dc, at.x, at.y, size.bmWidth, size.bmHeight, picture, 0, 0, SRCINVERT);
        SelectObject(mask, keptMask);
        SelectObject(picture, keptPicture);
    }
    if (mask != NULL)
        DeleteDC(mask);
    if (picture != NULL)
        DeleteDC(picture);
    if (maskBitmap != NULL)
        DeleteObject(maskBitmap);
    if (pictureBitmap != NULL)
        DeleteObject(pictureBitmap);
}

INT_PTR OnPaint(HWND page)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(page, &paint);
    if (dc == NULL)
        return FALSE;
    PaintMaskedPicture(page, dc);
    EndPaint(page, &paint);
    return FALSE;
}

} // namespace

INT_PTR CALLBACK AboutPage(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        return OnPaint(page);
    case WM_NOTIFY:
        return HandleSheetNotify(page, (const NMHDR*)lParam);
    default:
        return FALSE;
    }
}
