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
    bool operator==(const Face& other) const;
    bool operator!=(const Face& other) const { return !(*this == other); }
};

/* Repaints the client area at once and reads it. */
Face RepaintAndCapture(HWND wnd);

#endif
