/* The floor a repainted face is measured against: a window of VELMOR's default frame and
   size whose timer invalidates it, every so many milliseconds as its argument says (none
   without one, or 0), and whose paint fills the client area through one off-screen bitmap. */
#include "bench.h"
#include <stdlib.h>

static LRESULT CALLBACK MinimalWndProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    PAINTSTRUCT ps;
    RECT rc;
    if (message == WM_TIMER) InvalidateRect(wnd, NULL, FALSE);
    if (message == WM_DESTROY) PostQuitMessage(0);
    if (message != WM_PAINT) return DefWindowProcA(wnd, message, wParam, lParam);
    HDC hdc = BeginPaint(wnd, &ps);
    GetClientRect(wnd, &rc);
    HDC mem = CreateCompatibleDC(hdc);
    HBITMAP bitmap = CreateCompatibleBitmap(hdc, rc.right, rc.bottom);
    SelectObject(mem, bitmap);
    SelectObject(mem, GetStockObject(DC_BRUSH));
    SetDCBrushColor(mem, BENCH_FACE_COLOR);
    PatBlt(mem, 0, 0, rc.right, rc.bottom, PATCOPY);
    BitBlt(hdc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
    DeleteDC(mem);
    DeleteObject(bitmap);
    EndPaint(wnd, &ps);
    return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    WNDCLASSA wc = { CS_HREDRAW | CS_VREDRAW, MinimalWndProc, 0, 0, instance, NULL,
                     LoadCursorA(NULL, (LPCSTR)IDC_ARROW), (HBRUSH)GetStockObject(WHITE_BRUSH), NULL, MINIMAL_CLASS };
    RegisterClassA(&wc);
    HWND wnd = CreateWindowExA(WS_EX_CLIENTEDGE, MINIMAL_CLASS, "minimal", WS_OVERLAPPEDWINDOW,
                               CW_USEDEFAULT, CW_USEDEFAULT, 330, 200, NULL, NULL, instance, NULL);
    ShowWindow(wnd, showCommand);
    UpdateWindow(wnd);
    if (atoi(commandLine) > 0) SetTimer(wnd, 1, atoi(commandLine), NULL);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0)) DispatchMessageA(&msg);
    return 0;
}
