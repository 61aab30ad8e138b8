#include "face_pixels.h"

/* A DIB pixel is 0x00RRGGBB; a COLORREF is 0x00BBGGRR. */
static DWORD PixelOf(COLORREF color)
{
    return (DWORD)GetRValue(color) << 16 | (DWORD)GetGValue(color) << 8 | GetBValue(color);
}

size_t Face::Count(COLORREF color) const
{
    DWORD pixel = PixelOf(color);
    size_t count = 0;
    for (DWORD p : pixels)
        if ((p & 0xFFFFFF) == pixel) count++;
    return count;
}

std::vector<bool> Face::Where(COLORREF color) const
{
    DWORD pixel = PixelOf(color);
    std::vector<bool> where(pixels.size());
    for (size_t i = 0; i < pixels.size(); i++) where[i] = (pixels[i] & 0xFFFFFF) == pixel;
    return where;
}

RECT Face::Bounds(COLORREF color) const
{
    DWORD pixel = PixelOf(color);
    RECT bounds = {};
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            if ((pixels[(size_t)y * width + x] & 0xFFFFFF) != pixel) continue;
            RECT pixel = { x, y, x + 1, y + 1 };
            UnionRect(&bounds, &bounds, &pixel);
        }
    return bounds;
}

COLORREF Face::At(int x, int y) const
{
    DWORD p = pixels[(size_t)y * width + x];
    return RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF);
}

bool Face::operator==(const Face& other) const
{
    return width == other.width && height == other.height && pixels == other.pixels;
}

Face CaptureFace(HWND wnd)
{
    Face face;
    RECT client;
    GetClientRect(wnd, &client);
    face.width = client.right;
    face.height = client.bottom;
    if (face.width <= 0 || face.height <= 0) return face;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = face.width;
    info.bmiHeader.biHeight = -face.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = NULL;
    HDC screen = GetDC(wnd);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(mem, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, face.width, face.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    face.pixels.assign((DWORD*)bits, (DWORD*)bits + (size_t)face.width * face.height);
    SelectObject(mem, old);
    DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(wnd, screen);
    return face;
}

Face RepaintAndCapture(HWND wnd)
{
    RedrawWindow(wnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    return CaptureFace(wnd);
}
