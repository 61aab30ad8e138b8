/* The face as screen readers see it: an accessible clock for the client area. */
#ifndef VELMOR_FACE_ACCESS_H
#define VELMOR_FACE_ACCESS_H

#include <windows.h>

LRESULT OnGetObject(HWND wnd, WPARAM wParam, LPARAM lParam);

#endif
