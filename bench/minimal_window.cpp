/* The floor a repainted clock face is measured against: a window of VELMOR's default
   frame and size whose timer invalidates it and whose paint only fills the client area
   through one off-screen bitmap and one BitBlt. The first argument is the timer period
   in milliseconds (100 by default); with "second" after it, a tick invalidates only
   when the second of the local time has changed since the last paint, as a clock face
   on a fixed tick would. */
#include "bench.h"
#include <stdlib.h>
#include <string.h>

static BOOL gEverySecond;
static WORD gPaintedSecond = 0xFFFF;

static WORD LocalSecond(void)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now.wSecond;
}

static void OnPaint(HWND wnd)
{
    PAINTSTRUCT ps;
    RECT rc;
    gPaintedSecond = LocalSecond();
    HDC hdc = BeginPaint(wnd, &ps);
    GetClientRect(wnd, &rc);
    HDC mem = CreateCompatibleDC(hdc);
    HBITMAP bitmap = CreateCompatibleBitmap(hdc, rc.right, rc.bottom);
    HBITMAP oldBitmap = (HBITMAP)SelectObject(mem, bitmap);
    SetDCBrushColor(mem, BENCH_FACE_COLOR);
    HBRUSH oldBrush = (HBRUSH)SelectObject(mem, GetStockObject(DC_BRUSH));
    PatBlt(mem, 0, 0, rc.right, rc.bottom, PATCOPY);
    BitBlt(hdc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
    SelectObject(mem, oldBrush);
    SelectObject(mem, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(mem);
    EndPaint(wnd, &ps);
}

static LRESULT CALLBACK MinimalWndProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        if (!gEverySecond || LocalSecond() != gPaintedSecond) InvalidateRect(wnd, NULL, FALSE);
        return 0;
    case WM_PAINT:
        OnPaint(wnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(wnd, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    UINT period = (UINT)atoi(commandLine);
    if (period == 0) period = 100;
    gEverySecond = strstr(commandLine, "second") != NULL;

    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MinimalWndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = MINIMAL_CLASS;
    if (!RegisterClassA(&wc)) return 1;
    HWND wnd = CreateWindowExA(WS_EX_CLIENTEDGE, MINIMAL_CLASS, "minimal", WS_OVERLAPPEDWINDOW,
                               CW_USEDEFAULT, CW_USEDEFAULT, 330, 200, NULL, NULL, instance, NULL);
    if (!wnd) return 1;
    ShowWindow(wnd, showCommand);
    UpdateWindow(wnd);
    SetTimer(wnd, 1, period, NULL);

    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0)) DispatchMessageA(&msg);
    return (int)msg.wParam;
}
