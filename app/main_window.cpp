#include "main_window.h"
#include "face_paint.h"
#include "face_access.h"
#include "tray.h"
#include "input.h"
#include "../state/settings.h"
#include "../engine/count_modes.h"
#include "../engine/alarms.h"
#include "../options/options_dialog.h"
#include "../help/help_menu.h"
#include "../res/resource.h"

ATOM RegisterMainClass(void)
{
    WNDCLASSEXW wc;

    ZeroMemory(&wc, sizeof(wc));
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = gInstance;
    wc.hIcon = LoadIconW(gInstance, MAKEINTRESOURCEW(IDI_VELMOR));
    wc.hIconSm = (HICON)LoadImageW(gInstance, MAKEINTRESOURCEW(IDI_VELMOR), IMAGE_ICON,
                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                   LR_DEFAULTCOLOR);
    wc.hCursor = LoadCursorW(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszMenuName = gState->options.noTitleBar ? NULL : MAKEINTRESOURCEW(IDR_MAINMENU);
    wc.lpszClassName = MAIN_CLASS;
    return RegisterClassExW(&wc);
}

/* Moves rect, size kept, to lie inside work (its top-left corner when it is larger). */
void FitRectToWorkArea(RECT* rect, const RECT* work)
{
    LONG width = rect->right - rect->left, height = rect->bottom - rect->top;
    LONG x = rect->left, y = rect->top;

    if (x + width > work->right) x = work->right - width;
    if (y + height > work->bottom) y = work->bottom - height;
    if (x < work->left) x = work->left;
    if (y < work->top) y = work->top;
    SetRect(rect, x, y, x + width, y + height);
}

/* The stored rectangle, or none when it has no sensible size. A rectangle that no
   monitor shows any more is brought onto the nearest one, or a title-less window
   could never be reached again. */
static int StoredWindowRect(RECT* rect)
{
    *rect = gState->windowRect;
    LONGLONG width = (LONGLONG)rect->right - rect->left;
    LONGLONG height = (LONGLONG)rect->bottom - rect->top;
    if (width <= 0 || height <= 0 || width > SHRT_MAX || height > SHRT_MAX) return 0;

    if (!MonitorFromRect(rect, MONITOR_DEFAULTTONULL)) {
        MONITORINFO mi;
        mi.cbSize = sizeof(mi);
        if (GetMonitorInfoW(MonitorFromRect(rect, MONITOR_DEFAULTTONEAREST), &mi))
            FitRectToWorkArea(rect, &mi.rcWork);
    }
    return 1;
}

/* The resolution of the monitor the window is on, where the system can tell. */
static UINT WindowDpi(HWND wnd)
{
    typedef UINT (WINAPI *GetDpiForWindowProc)(HWND);
    GetDpiForWindowProc dpiOf = (GetDpiForWindowProc)(void*)GetProcAddress(GetModuleHandleW(L"USER32.DLL"), "GetDpiForWindow");
    UINT dpi = dpiOf ? dpiOf(wnd) : 0;
    return dpi ? dpi : gState->dpi;
}

HWND CreateMainWindow(int showCommand)
{
    RECT rect;
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
    int width = ScaleToDpi(DEFAULT_WIDTH), height = ScaleToDpi(DEFAULT_HEIGHT);

    if (StoredWindowRect(&rect)) {
        x = rect.left;
        y = rect.top;
        width = rect.right - rect.left;
        height = rect.bottom - rect.top;
    }
    if (gOtherInstance) x = y = CW_USEDEFAULT;

    DWORD exStyle = WS_EX_CLIENTEDGE, style = WS_OVERLAPPEDWINDOW;
    if (gState->options.noTitleBar) {
        exStyle = 0;
        style = WS_POPUP | WS_VISIBLE | WS_THICKFRAME;
    }
    if (gState->options.topMost == 1) exStyle |= WS_EX_TOPMOST;
    gMainWnd = CreateWindowExW(exStyle, MAIN_CLASS, MAIN_CLASS, style, x, y, width, height,
                               NULL, NULL, gInstance, NULL);
    if (!gMainWnd) return NULL;
    gState->taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    ApplyTransparency(gMainWnd);
    /* A stored place may lie on a monitor of another resolution than the system's. */
    UINT dpi = WindowDpi(gMainWnd);
    if (dpi != gState->dpi) {
        gState->dpi = dpi;
        CreateFaceFonts();
        FitFaceFonts(gMainWnd);
    }
    ShowWindow(gMainWnd, showCommand);
    UpdateWindow(gMainWnd);
    return gMainWnd;
}

static void OnPaint(HWND wnd)
{
    PAINTSTRUCT ps;
    /* A paint clipped to what was uncovered would leave the rest of the face at an
       older second: every paint draws the whole face. */
    InvalidateRect(wnd, NULL, FALSE);
    HDC hdc = BeginPaint(wnd, &ps);
    PaintFace(wnd, hdc);
    EndPaint(wnd, &ps);
}

/* The clock's tick is armed anew for each second or minute it shows. The tick, not a paint,
   finds the end of a countdown, so that a minimised clock rings too. While Options is
   open no tick runs, not even one queued before it opened; the alarms ring all the same. */
static void OnTimer(HWND wnd, WPARAM id)
{
    if (id == TIMER_ALARM) {
        RingDueAlarms(wnd);
        return;
    }
    if (gWork) {
        KillTimer(wnd, TIMER_TICK);
        return;
    }
    if (gState->mode == CountDown && !CountdownLeft(GetTickCount())) FinishCountdown(wnd);
    InvalidateRect(wnd, NULL, FALSE);
    UpdateTitle(wnd);
    if (gState->mode == Clock) ArmTick(wnd);
}

/* The title reads the count in whole seconds while one is shown, for the taskbar button,
   Alt+Tab and the icon's tip; "VELMOR" with the clock. It is set only when it changes:
   a count's tick comes ten times a second. */
void UpdateTitleAt(HWND wnd, DWORD now)
{
    WCHAR title[ARRAYSIZE(gState->title)] = MAIN_CLASS;
    if (gState->mode != Clock) {
        DWORD seconds = CountMilliseconds(now) / 1000;
        wsprintfW(title, L"%lu:%02lu:%02lu - %s", seconds / 3600, seconds / 60 % 60, seconds % 60, MAIN_CLASS);
    }
    if (!lstrcmpW(title, gState->title)) return;
    lstrcpyW(gState->title, title);
    SetWindowTextW(wnd, title);
}

void UpdateTitle(HWND wnd)
{
    UpdateTitleAt(wnd, GetTickCount());
}

/* The clock jumped (a new time or zone, or a resume): show it now and tick from it; a
   countdown to a time of day and the alarms go by the new wall clock, and what it has
   passed rings if it is not too late. While Options is open no tick runs; it starts
   when the dialog closes. */
static void OnTimeChange(HWND wnd)
{
    RetimeCountdown();
    RingDueAlarms(wnd);
    if (!gWork) ArmTick(wnd);
    RedrawWindow(wnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
}

/* The window went to a monitor of another resolution: take the place the system
   suggests and draw the face at the new resolution. */
static void OnDpiChanged(HWND wnd, WPARAM wParam, const RECT* suggested)
{
    gState->dpi = HIWORD(wParam);
    CreateFaceFonts();
    RefreshTrayIcon(wnd);
    SetWindowPos(wnd, NULL, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    FitFaceFonts(wnd);
    InvalidateRect(wnd, NULL, FALSE);
}

/* A new size: the face may fit it anew. Minimised, a clock whose icon is shown may leave
   the taskbar for it. */
static void OnSize(HWND wnd, WPARAM kind)
{
    if (kind != SIZE_MINIMIZED) FitFaceFonts(wnd);
    else if (gState->options.trayOnMinimise == 1 && gState->trayShown) ShowWindow(wnd, SW_HIDE);
}

LRESULT CALLBACK MainWndProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    /* The shell started again, and holds no icon. */
    if (message == gState->taskbarCreated && message) {
        gState->trayShown = 0;
        AddTrayIcon(wnd);
        return 0;
    }
    switch (message) {
    case WM_DESTROY:
        Shutdown();
        PostQuitMessage(0);
        return 0;
    case WM_ENDSESSION:
        if (wParam) Shutdown();
        return 0;
    case WM_PAINT:
        OnPaint(wnd);
        return 0;
    case WM_TIMER:
        OnTimer(wnd, wParam);
        return 0;
    case WM_TIMECHANGE:
        OnTimeChange(wnd);
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(wnd, wParam, (const RECT*)lParam);
        return 0;
    case WM_GETOBJECT:
        return OnGetObject(wnd, wParam, lParam);
    case WM_TRAY:
        OnTrayMessage(wnd, wParam, lParam);
        return 0;
    case WM_HOTKEY:
        OnHotKey(wnd, wParam);
        return 0;
    case WM_SIZE:
        OnSize(wnd, wParam);
        return 0;
    case WM_DISPLAYCHANGE:
        RefreshTrayIcon(wnd);
        break;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMEAUTOMATIC) OnTimeChange(wnd);
        break;
    case WM_KEYDOWN:
        OnKeyDown(wnd, wParam);
        return 0;
    case WM_COMMAND:
        OnCommand(wnd, wParam);
        return 0;
    case WM_INITMENU:
        UpdateMenuStates((HMENU)wParam);
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(wnd, lParam);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(wnd, lParam);
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp();
        return 0;
    case WM_RBUTTONDOWN:
        ShowContextMenu(wnd, lParam);
        return 0;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        EndDrag();
        break;
    }
    return DefWindowProcW(wnd, message, wParam, lParam);
}

/* Keeps the window above the others, or not, as the options say. */
void ApplyTopMost(HWND wnd)
{
    SetWindowPos(wnd, gState->options.topMost == 1 ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

/* Lets the desk show through, and the mouse go through, as the options say; a window
   that does neither is not layered at all, so that it costs no more to draw than one that
   never was. */
void ApplyTransparency(HWND wnd)
{
    int tenths = SeeThroughTenths(gState->options.transparency), through = gState->options.clickThrough == 1;
    LONG_PTR exStyle = GetWindowLongPtrW(wnd, GWL_EXSTYLE), wanted = exStyle & ~(WS_EX_LAYERED | WS_EX_TRANSPARENT);
    if (tenths || through) wanted |= WS_EX_LAYERED;
    if (through) wanted |= WS_EX_TRANSPARENT;
    if (wanted != exStyle) SetWindowLongPtrW(wnd, GWL_EXSTYLE, wanted);
    if (wanted & WS_EX_LAYERED) SetLayeredWindowAttributes(wnd, 0, (BYTE)MulDiv(255, 10 - tenths, 10), LWA_ALPHA);
}

/* Records the rectangle (unless another copy owns it, or the window is minimised or
   maximised), saves everything and releases the timer and fonts. Runs twice at log-off. */
void Shutdown(void)
{
    if (!gState) return;
    if (gMainWnd && !gOtherInstance && !IsIconic(gMainWnd) && !IsZoomed(gMainWnd))
        GetWindowRect(gMainWnd, &gState->windowRect);
    SaveSettings();
    KillTimer(gMainWnd, TIMER_TICK);
    KillTimer(gMainWnd, TIMER_ALARM);
    RemoveTrayIcon(gMainWnd);
    /* A restarted copy takes the keys as soon as this one lets them go. */
    UnregisterHotKey(gMainWnd, HOTKEY_SHOWHIDE);
    UnregisterHotKey(gMainWnd, HOTKEY_COUNT);
    gState->hotKeys = 0;
    ReleaseFaceFonts();
}

/* Starts this very program file, whatever blanks and characters its folders hold,
   held suspended: the new copy must not run before this one has closed its window. */
static int StartSuspendedCopy(PROCESS_INFORMATION* pi)
{
    WCHAR path[LONG_PATH_SIZE], commandLine[LONG_PATH_SIZE + 2];
    STARTUPINFOW si;

    /* A command line holds at most LONG_PATH_SIZE units, terminator included. */
    DWORD length = ProgramPath(path);
    if (!length || length + 3 > LONG_PATH_SIZE) return 0;
    QuotePath(commandLine, path);
    ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOW;
    return CreateProcessW(path, commandLine, NULL, NULL, FALSE, CREATE_SUSPENDED, NULL, NULL, &si, pi);
}

/* Closes this copy (which saves the settings) and lets a fresh one run, which takes
   the new frame. A copy that cannot be started leaves this one open, and says so. */
void RestartProgram(HWND wnd)
{
    PROCESS_INFORMATION pi;

    if (!StartSuspendedCopy(&pi)) {
        ShowErrorBox(L"VELMOR を起動し直せませんでした。新しい設定は次の起動から使われます。", (UINT)-1);
        return;
    }
    SendMessageW(wnd, WM_CLOSE, 0, 0);
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

/* One message of the loop: a key that answers a ringing goes no further, the alarm
   window's keys work as in any dialog, and the accelerators come before the rest. */
void HandleMessage(MSG* msg, HACCEL accel)
{
    if (KeyEndsRinging(msg)) return;
    if (gState->ringWindow && IsDialogMessageW(gState->ringWindow, msg)) return;
    if (!TranslateAcceleratorW(gMainWnd, accel, msg)) {
        TranslateMessage(msg);
        DispatchMessageW(msg);
    }
}

/* Runs until WM_QUIT. */
int RunMessageLoop(void)
{
    HACCEL accel = LoadAcceleratorsW(gInstance, MAKEINTRESOURCEW(IDR_ACCEL));
    MSG msg;

    while (GetMessageW(&msg, NULL, 0, 0)) HandleMessage(&msg, accel);
    return (int)msg.wParam;
}
