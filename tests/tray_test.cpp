/* The ways back to the clock: its icon, driven as the shell drives it, the global keys,
   and click-through, which may only be on while there is one. */
#include "support.h"
#include "../state/settings.h"
#include "../app/tray.h"
#include "../app/face_paint.h"
#include "../app/input.h"
#include "../options/options_dialog.h"
#include "../res/resource.h"
#include <shellapi.h>
#include <commctrl.h>

static bool IconHeld(HWND wnd, DWORD change = NIM_MODIFY)
{
    NOTIFYICONDATAW data = { sizeof(data), wnd, TRAY_ICON_ID };
    return Shell_NotifyIconW(change, &data) != FALSE;
}

/* What the shell sends for event on the icon. */
static void Icon(HWND wnd, UINT event) { SendMessageW(wnd, WM_TRAY, MAKEWPARAM(40, 40), MAKELPARAM(event, TRAY_ICON_ID)); }

/* A click on the icon (or Enter on it) brings the clock up in front, restored, and hides
   it when it is in front already; minimised it may go to the icon. The tip reads the face
   as the pointer comes; the menu starts with 表示, ticked, and runs its commands. The shell
   started again gets the icon again; the clock going leaves none. */
TEST_F(Fresh, IconDrivenAsTheShellSendsIt)
{
    HWND wnd = CreateMainWindow(SW_SHOWNORMAL), cover = NULL;
    ApplyShellOptions(wnd);
    ASSERT_TRUE(IconHeld(wnd)) << "no icon";
    enum { Front, Hidden, Minimised, Covered, ToIcon };
    static const struct { int before; UINT event; bool shown; } rows[] = {
        { Front, NIN_SELECT, false }, { Hidden, NIN_KEYSELECT, true }, { Minimised, NIN_SELECT, true },
        { Covered, NIN_SELECT, true }, { ToIcon, NIN_SELECT, true },
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.before);
        ShowWindow(wnd, SW_RESTORE);
        SetForegroundWindow(wnd);
        gState->options.trayOnMinimise = r.before == ToIcon;
        if (r.before == Hidden) ShowWindow(wnd, SW_HIDE);
        if (r.before == Minimised || r.before == ToIcon) ShowWindow(wnd, SW_MINIMIZE);
        EXPECT_EQ(IsWindowVisible(wnd) != FALSE, r.before != Hidden && r.before != ToIcon) << "minimised to the icon or not";
        RECT rc;
        if (r.before == Covered && GetWindowRect(wnd, &rc))
            cover = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, rc.left + 20, rc.top + 20, 60, 40, NULL, NULL, NULL, NULL);
        Icon(wnd, r.event);
        EXPECT_TRUE(WindowShown(wnd) == r.shown && (!r.shown || (WindowInFront(wnd) && GetForegroundWindow() == wnd)));
        if (cover) DestroyWindow(cover), cover = NULL;
    }

    lstrcpyW(gState->count.text, L"00:04:59.3"), gState->mode = Stopped;
    Icon(wnd, WM_MOUSEMOVE);
    EXPECT_STREQ(gState->trayTip, L"VELMOR\n00:04:59.3");

    bool ticked = false;
    RunModal([&] { Icon(wnd, WM_CONTEXTMENU); }, { [&] {
        HWND popup = FindWindowW(L"#32768", NULL);
        HMENU menu = popup ? (HMENU)SendMessageW(popup, MN_GETHMENU, 0, 0) : NULL;
        if (!menu || !IsWindowVisible(popup)) return false;
        ticked = GetMenuItemID(menu, 0) == IDM_SHOWHIDE && GetMenuState(menu, IDM_SHOWHIDE, MF_BYCOMMAND) & MF_CHECKED;
        keybd_event('A', (BYTE)MapVirtualKeyW('A', 0), 0, 0), keybd_event('A', (BYTE)MapVirtualKeyW('A', 0), KEYEVENTF_KEYUP, 0);
        return true;
    } });
    EXPECT_TRUE(ticked) << "表示 not first, or not ticked";
    EXPECT_TRUE(WaitFor([] { return gState->mode == CountUp; })) << "カウントアップ chosen in the menu did not run";

    IconHeld(wnd, NIM_DELETE);
    SendMessageW(wnd, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(IconHeld(wnd)) << "not back when the shell started again";
    SendMessageW(wnd, WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(IconHeld(wnd)) << "left behind at the end";
}

/* Stored global keys are registered as long as each holds Ctrl or Alt and is free, and
   show or hide the clock and start and stop a count as Enter does. Click-through is on
   only with a way back, the icon or the show/hide key: a stored 1 is taken as off at
   start-up without one, and grey in the menu; Options removing the last way back turns it
   off. While on, a click on the face reaches the window beneath. */
TEST_F(Fresh, GlobalKeysAndClickThroughWithAWayBack)
{
    static const struct { BYTE noIcon; WORD key; bool on; } rows[] = {
        { 0, 0, true }, { 1, HOTKEYF_CONTROL << 8 | HOTKEYF_ALT << 8 | 'K', true }, { 1, 0, false }, { 1, 'K', false },
    };
    HMENU menu = LoadMenuW(gInstance, MAKEINTRESOURCEW(IDR_CONTEXTMENU));
    for (const auto& r : rows) {
        SCOPED_TRACE(&r - rows);
        SetUp();
        Plant(NULL, L"Option", REG_BINARY, { 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, r.noIcon, 1, 0, 0, LOBYTE(r.key), HIBYTE(r.key) });
        LoadSettings();
        HWND wnd = CreateMainWindow(SW_SHOWNORMAL);
        ApplyShellOptions(wnd), UpdateMenuStates(menu);
        EXPECT_EQ(GetWindowLongW(wnd, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TRANSPARENT), r.on ? WS_EX_LAYERED | WS_EX_TRANSPARENT : 0);
        EXPECT_EQ(GetMenuState(menu, IDM_CLICKTHROUGH, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED), r.on ? MF_CHECKED : MF_GRAYED);
        bool free = RegisterHotKey(NULL, 1, HIBYTE(r.key) ? MOD_CONTROL | MOD_ALT : 0, 'K') && UnregisterHotKey(NULL, 1);
        EXPECT_EQ(free, !r.on || !r.noIcon) << "K alone taken from every program, or Ctrl+Alt+K left free";
        if (!r.key || !r.on) continue;
        SetForegroundWindow(wnd);
        const struct { WPARAM key; bool shown; ClockMode mode; } presses[] = {
            { HOTKEY_SHOWHIDE, false, Clock }, { HOTKEY_SHOWHIDE, true, Clock }, { HOTKEY_COUNT, true, CountUp }, { HOTKEY_COUNT, true, Stopped },
        };
        for (const auto& p : presses) {
            SendMessageW(wnd, WM_HOTKEY, p.key, 0), PumpAsTheLoop();
            EXPECT_TRUE(WindowShown(wnd) == p.shown && gState->mode == p.mode) << "press " << &p - presses;
        }
    }
    RunModal([&] { OnCommand(gMainWnd, IDM_OPTIONS); }, { [] {
        if (!gWork || !gWork->generalPage) return false;
        SendDlgItemMessageW(gWork->generalPage, IDC_SHOWHIDE_KEY, HKM_SETHOTKEY, 0, 0);
        CheckDlgButton(gWork->generalPage, IDC_TRAY_ICON, BST_CHECKED);
        return Post(GetParent(gWork->generalPage), WM_COMMAND, IDOK);
    } });
    EXPECT_EQ(gState->options.clickThrough, 0) << "on with the key gone";

    /* A click on the face, through the window or not: one the clock takes answers its ringing. */
    WNDCLASSW beneath = { 0, [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_LBUTTONDOWN) SetPropW(w, L"clicked", (HANDLE)1);
        return DefWindowProcW(w, m, wp, lp); }, 0, 0, NULL, NULL, NULL, NULL, NULL, L"Beneath" };
    RegisterClassW(&beneath);
    RECT rc = {};
    GetWindowRect(gMainWnd, &rc);
    HWND under = CreateWindowExW(0, L"Beneath", L"", WS_POPUP | WS_VISIBLE, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, NULL, NULL, NULL, NULL);
    for (BYTE through : { 0, 1 }) {
        gState->options.clickThrough = through, gState->alarming = 1;
        ApplyTransparency(gMainWnd), SetWindowPos(gMainWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        RemovePropW(under, L"clicked"), SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0), mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
        ASSERT_TRUE(WaitFor([&] { return GetPropW(under, L"clicked") || !gState->alarming; }));
        EXPECT_TRUE((GetPropW(under, L"clicked") != NULL) == (through != 0) && gState->alarming == through) << "through " << (int)through;
    }
    DestroyWindow(under), DestroyMenu(menu);
}
