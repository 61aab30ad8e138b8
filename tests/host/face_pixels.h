/* A window's face as the user sees it: its client area's pixels, read from the screen. */
#ifndef VELMOR_FACE_PIXELS_H
#define VELMOR_FACE_PIXELS_H

#include <windows.h>
#include <vector>

struct Face {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;

    /* Pixels of exactly this colour. */
    size_t Count(COLORREF color) const;
    /* Where they lie: one flag a pixel, and the smallest rectangle around them
       (empty when there are none). */
    std::vector<bool> Where(COLORREF color) const;
    RECT Bounds(COLORREF color) const;
    COLORREF At(int x, int y) const;
    bool operator==(const Face& other) const;
    bool operator!=(const Face& other) const { return !(*this == other); }
};

/* The client area as the window shows it by itself, without asking for a paint. */
Face CaptureFace(HWND wnd);
/* Repaints the client area at once and reads it. */
Face RepaintAndCapture(HWND wnd);

#endif
