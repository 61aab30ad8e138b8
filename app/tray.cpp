#include "tray.h"
#include "input.h"
#include "main_window.h"
#include "face_paint.h"
#include "../state/clock_state.h"
#include "../engine/alarms.h"
#include "../options/general_page.h"
#include "../res/resource.h"
#include <shellapi.h>
#include <dwmapi.h>
#include <windowsx.h>

static void TrayData(HWND wnd, NOTIFYICONDATAW* data)
{
    ZeroMemory(data, sizeof(*data));
    data->cbSize = sizeof(*data);
    data->hWnd = wnd;
    data->uID = TRAY_ICON_ID;
}

/* The program's icon at the small icon size of the monitor the clock is on; the system
   gives that size at its own resolution. */
static HICON TrayIconImage(void)
{
    int size = MulDiv(GetSystemMetrics(SM_CXSMICON), gState->dpi, ScreenDpi());
    return (HICON)LoadImageW(gInstance, MAKEINTRESOURCEW(IDI_VELMOR), IMAGE_ICON, size, size, LR_DEFAULTCOLOR);
}

/* Puts the icon in the notification area, unless the options say none; the shell keeps
   a copy of the image. */
void AddTrayIcon(HWND wnd)
{
    NOTIFYICONDATAW data;
    if (gState->options.noTrayIcon == 1) return;
    TrayData(wnd, &data);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    data.uCallbackMessage = WM_TRAY;
    data.hIcon = TrayIconImage();
    lstrcpyW(data.szTip, MAIN_CLASS);
    lstrcpyW(gState->trayTip, data.szTip);
    gState->trayShown = Shell_NotifyIconW(NIM_ADD, &data) || Shell_NotifyIconW(NIM_MODIFY, &data);
    data.uVersion = NOTIFYICON_VERSION_4;
    if (gState->trayShown) Shell_NotifyIconW(NIM_SETVERSION, &data);
    DestroyIcon(data.hIcon);
}

void RemoveTrayIcon(HWND wnd)
{
    NOTIFYICONDATAW data;
    if (!gState->trayShown) return;
    TrayData(wnd, &data);
    Shell_NotifyIconW(NIM_DELETE, &data);
    gState->trayShown = 0;
}

/* The monitor's resolution changed: the icon is made again at its new size. */
void RefreshTrayIcon(HWND wnd)
{
    NOTIFYICONDATAW data;
    if (!gState->trayShown) return;
    TrayData(wnd, &data);
    data.uFlags = NIF_ICON;
    data.hIcon = TrayIconImage();
    Shell_NotifyIconW(NIM_MODIFY, &data);
    DestroyIcon(data.hIcon);
}

/* The tip is brought up to date as the pointer moves on the icon, never by the clock's
   own tick, and only when it reads otherwise: "VELMOR" and the face's lines. */
static void UpdateTrayTip(HWND wnd)
{
    NOTIFYICONDATAW data;
    WCHAR lines[2 * FACE_TEXT_SIZE];
    TrayData(wnd, &data);
    data.uFlags = NIF_TIP | NIF_SHOWTIP;
    FaceLinesNow(lines);
    wsprintfW(data.szTip, L"%s\n%.100s", MAIN_CLASS, lines);
    if (!lstrcmpW(data.szTip, gState->trayTip)) return;
    lstrcpyW(gState->trayTip, data.szTip);
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

/* Options or another dialog of the clock is open: it comes up, and nothing else. */
static int DialogBroughtUp(HWND wnd)
{
    if (IsWindowEnabled(wnd)) return 0;
    SetForegroundWindow(GetLastActivePopup(wnd));
    return 1;
}

void OnTrayMessage(HWND wnd, WPARAM wParam, LPARAM lParam)
{
    UINT event = LOWORD(lParam);
    if (event == WM_MOUSEMOVE) {
        UpdateTrayTip(wnd);
        return;
    }
    if ((event != NIN_SELECT && event != NIN_KEYSELECT && event != WM_CONTEXTMENU) || DialogBroughtUp(wnd)) return;
    if (event == WM_CONTEXTMENU) {
        POINT at = { GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam) };
        TrackContextMenu(wnd, at, 1);
    } else {
        ShowOrHide(wnd, 1);
    }
}

/* Shown on screen and not minimised. */
int WindowShown(HWND wnd)
{
    return IsWindowVisible(wnd) && !IsIconic(wnd);
}

/* Shown, and no other window lies over any of it: the alarm window, the taskbar and the
   windows Windows keeps hidden but visible do not count. */
int WindowInFront(HWND wnd)
{
    RECT mine, other, overlap;
    WCHAR name[32];
    if (!WindowShown(wnd)) return 0;
    GetWindowRect(wnd, &mine);
    for (HWND above = GetWindow(wnd, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
        BOOL cloaked = FALSE;
        if (above == gState->ringWindow || !IsWindowVisible(above) || !GetWindowRect(above, &other) ||
            !IntersectRect(&overlap, &mine, &other))
            continue;
        if ((GetClassNameW(above, name, ARRAYSIZE(name)) && !lstrcmpW(name, L"Shell_TrayWnd")) ||
            (SUCCEEDED(DwmGetWindowAttribute(above, DWMWA_CLOAKED, &cloaked, sizeof(cloaked))) && cloaked))
            continue;
        return 0;
    }
    return 1;
}

/* Brings the window up in front, restored; or hides it where inFrontHides and it is in
   front already, or, from the menu, wherever it is shown. */
void ShowOrHide(HWND wnd, int inFrontHides)
{
    if (inFrontHides ? WindowInFront(wnd) : WindowShown(wnd)) {
        ShowWindow(wnd, SW_HIDE);
        return;
    }
    ShowWindow(wnd, IsIconic(wnd) ? SW_RESTORE : SW_SHOW);
    /* Already the foreground window, it may still lie under another. */
    SetForegroundWindow(wnd);
    BringWindowToTop(wnd);
}

/* The global keys as stored; one Windows reserves or another program holds is passed over
   without a word, as at start-up nobody is there to read it. */
void RegisterHotKeys(HWND wnd)
{
    const WORD keys[2] = { gState->options.showHideKey, gState->options.countKey };
    for (int i = 0; i < 2; i++) {
        if (gState->hotKeys & 1 << i) UnregisterHotKey(wnd, HOTKEY_SHOWHIDE + i);
        gState->hotKeys &= ~(1 << i);
        if (HotKeyUsable(keys[i]) && RegisterHotKey(wnd, HOTKEY_SHOWHIDE + i, HotKeyModifiers(keys[i]) | MOD_NOREPEAT, LOBYTE(keys[i])))
            gState->hotKeys |= 1 << i;
    }
}

/* A global key: while something rings it answers that alone, as any key does; with a
   dialog of the clock open it brings that up. */
void OnHotKey(HWND wnd, WPARAM id)
{
    if (EndRinging(wnd) || DialogBroughtUp(wnd)) return;
    if (id == HOTKEY_SHOWHIDE) ShowOrHide(wnd, 1);
    else if (id == HOTKEY_COUNT) PostMessageW(wnd, WM_COMMAND, EnterCommand(0), 0);
}

/* A window that lets every click through can be reached only by the icon or a key. */
int WayBack(void)
{
    return gState->options.noTrayIcon != 1 || (gState->hotKeys & 1 << (HOTKEY_SHOWHIDE - 1));
}

void ToggleClickThrough(HWND wnd)
{
    gState->options.clickThrough = gState->options.clickThrough == 1 ? 0 : 1;
    ApplyTransparency(wnd);
}

/* The icon, the keys and click-through as the options say, at start-up and after Options:
   click-through left without a way back is taken as off. */
void ApplyShellOptions(HWND wnd)
{
    RegisterHotKeys(wnd);
    if (gState->options.noTrayIcon == 1) RemoveTrayIcon(wnd);
    else if (!gState->trayShown) AddTrayIcon(wnd);
    if (!WayBack()) gState->options.clickThrough = 0;
    ApplyTransparency(wnd);
}
