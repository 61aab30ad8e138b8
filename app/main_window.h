/* The main window: class, frame, window procedure, shut-down and restart. */
#ifndef VELMOR_MAIN_WINDOW_H
#define VELMOR_MAIN_WINDOW_H

#include <windows.h>

#define MAIN_CLASS      L"VELMOR"
#define DEFAULT_WIDTH   330
#define DEFAULT_HEIGHT  200

ATOM    RegisterMainClass(void);
HWND    CreateMainWindow(int showCommand);
LRESULT CALLBACK MainWndProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
void    ApplyTopMost(HWND wnd);
void    UpdateTitleAt(HWND wnd, DWORD now);
void    UpdateTitle(HWND wnd);
void    ApplyTransparency(HWND wnd);
void    Shutdown(void);
void    RestartProgram(HWND wnd);
void    FitRectToWorkArea(RECT* rect, const RECT* work);
void    HandleMessage(MSG* msg, HACCEL accel);
int     RunMessageLoop(void);

#endif
