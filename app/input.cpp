#include "input.h"
#include "../state/clock_state.h"
#include "../engine/count_modes.h"
#include "../engine/alarms.h"
#include "../options/options_dialog.h"
#include "../help/help_menu.h"
#include "main_window.h"
#include "tray.h"
#include "face_paint.h"
#include "../res/resource.h"

/* On top or not, at once and in any mode; stored with the other options. */
static void ToggleTopMost(HWND wnd)
{
    gState->options.topMost = gState->options.topMost == 1 ? 0 : 1;
    ApplyTopMost(wnd);
}

/* Whether a command can run in the current mode: its menu item is grey when not, and an
   accelerator does the same with or without a menu bar. */
int CommandEnabled(UINT id)
{
    switch (id) {
    case IDM_NOW:
    case IDM_COUNTUP:
    case IDM_COUNTDOWN:
    case IDM_ALARMS:
    case IDM_OPTIONS:   return !Counting();
    case IDM_STOP:      return Counting();
    case IDM_RESUME:    return CanResume();
    case IDM_CLICKTHROUGH: return gState->options.clickThrough == 1 || WayBack();
    default:            return 1;
    }
}

/* Options, and after OK what only the window can put in place. */
static void ChangeOptions(HWND wnd, int page)
{
    if (!RunOptionsDialog(wnd, page) || !IsWindow(wnd)) return;
    ApplyShellOptions(wnd);
    FitFaceFonts(wnd);
}

/* A command chosen while something rings answers the ringing first, then runs. */
void OnCommand(HWND wnd, WPARAM wParam)
{
    EndRinging(wnd);
    if (!CommandEnabled(LOWORD(wParam))) return;
    switch (LOWORD(wParam)) {
    case IDM_NOW:       ShowNow(wnd); break;
    case IDM_COUNTUP:   StartCountUp(wnd); break;
    case IDM_STOP:      StopCount(wnd); break;
    case IDM_RESUME:    ResumeCount(wnd); break;
    case IDM_COUNTDOWN: StartCountDown(wnd); break;
    case IDM_TOPMOST:   ToggleTopMost(wnd); break;
    case IDM_CLICKTHROUGH: ToggleClickThrough(wnd); break;
    case IDM_SHOWHIDE:  ShowOrHide(wnd, 0); break;
    case IDM_OPTIONS:   ChangeOptions(wnd, OPTIONS_GENERAL); break;
    case IDM_ALARMS:    ChangeOptions(wnd, OPTIONS_ALARMS); break;
    case IDM_EXIT:      PostMessageW(wnd, WM_CLOSE, 0, 0); break;
    case IDM_HELP:      OpenHelpFile(wnd); break;
    case IDM_HOMEPAGE:  OpenHomePage(wnd); break;
    case IDM_ABOUT:
        DialogBoxParamW(gInstance, MAKEINTRESOURCEW(IDD_ABOUT), wnd, AboutDlgProc, 0);
        break;
    }
    if (IsWindow(wnd)) UpdateTitle(wnd);
}

/* The command Enter stands for in the current mode. */
UINT EnterCommand(int shift)
{
    if (Counting()) return IDM_STOP;
    return shift ? IDM_COUNTDOWN : IDM_COUNTUP;
}

static int AnyKeyDown(void)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    for (int key = VK_BACK; key < 256; key++)
        if (keys[key] & 0x80) return 1;
    return 0;
}

/* A key pressed on the clock while something rings answers the ringing and does nothing
   else, accelerators included, whatever the menus show: Ctrl+S ends the ringing at Ctrl,
   and the S that follows goes nowhere. Every key message goes nowhere until no key is
   held. Returns whether the loop is to pass the message over. */
int KeyEndsRinging(const MSG* msg)
{
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST || msg->hwnd != gMainWnd) return 0;
    if (gState->answeringKeys) {
        if ((msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP) && !AnyKeyDown()) gState->answeringKeys = 0;
        return 1;
    }
    if ((msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) || !EndRinging(msg->hwnd)) return 0;
    gState->answeringKeys = 1;
    return 1;
}

/* Enter is posted, so the command runs after the key message is done. */
void OnKeyDown(HWND wnd, WPARAM key)
{
    if (key != VK_RETURN) return;
    int shift = (GetKeyState(VK_SHIFT) & 0xFF00) != 0;
    PostMessageW(wnd, WM_COMMAND, EnterCommand(shift), 0);
}

static void SetMenuItem(HMENU menu, UINT id, int enabled, int checked)
{
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

/* Greys what cannot run now and ticks the current mode and the options that are on. */
void UpdateMenuStates(HMENU menu)
{
    /* The mode each item ticks, -1 none. */
    static const struct { UINT id; int mode; } items[] = {
        { IDM_NOW, Clock }, { IDM_COUNTUP, CountUp }, { IDM_COUNTDOWN, CountDown }, { IDM_STOP, Stopped },
        { IDM_RESUME, -1 }, { IDM_ALARMS, -1 }, { IDM_OPTIONS, -1 },
    };
    if (!menu) return;
    for (const auto& item : items) SetMenuItem(menu, item.id, CommandEnabled(item.id), (int)gState->mode == item.mode);
    SetMenuItem(menu, IDM_TOPMOST, 1, gState->options.topMost == 1);
    SetMenuItem(menu, IDM_CLICKTHROUGH, CommandEnabled(IDM_CLICKTHROUGH), gState->options.clickThrough == 1);
    SetMenuItem(menu, IDM_SHOWHIDE, 1, WindowShown(gMainWnd));
}

/* The context menu at a point of the screen; from the icon, with 表示 on top, and as the
   shell asks of a menu of the notification area: the window in the foreground while it is
   open, and a message after, or the menu would not close when clicked away from. */
void TrackContextMenu(HWND wnd, POINT at, int fromIcon)
{
    HMENU menu = LoadMenuW(gInstance, MAKEINTRESOURCEW(IDR_CONTEXTMENU));
    HMENU popup = menu ? GetSubMenu(menu, 0) : NULL;
    if (popup) {
        if (fromIcon) {
            InsertMenuW(popup, 0, MF_BYPOSITION | MF_SEPARATOR, 0, NULL);
            InsertMenuW(popup, 0, MF_BYPOSITION | MF_STRING, IDM_SHOWHIDE, L"表示(&V)");
            SetForegroundWindow(wnd);
        }
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, wnd, NULL);
        if (fromIcon) PostMessageW(wnd, WM_NULL, 0, 0);
    }
    if (menu) DestroyMenu(menu);
}

void ShowContextMenu(HWND wnd, LPARAM lParam)
{
    POINT at = { (SHORT)LOWORD(lParam), (SHORT)HIWORD(lParam) };
    ClientToScreen(wnd, &at);
    TrackContextMenu(wnd, at, 0);
}

/* A title-less window is moved by dragging its face; a click on the face answers a
   ringing first. */
void OnLButtonDown(HWND wnd, LPARAM lParam)
{
    if (EndRinging(wnd) || !gState->options.noTitleBar) return;
    gState->dragX = (SHORT)LOWORD(lParam);
    gState->dragY = (SHORT)HIWORD(lParam);
    SetCapture(wnd);
    gState->dragging = 1;
}

void OnMouseMove(HWND wnd, LPARAM lParam)
{
    RECT rc;
    /* A menu or dialog may have taken the capture without a button-up. */
    if (!gState->dragging || GetCapture() != wnd) return;
    GetWindowRect(wnd, &rc);
    SetWindowPos(wnd, NULL, rc.left + (SHORT)LOWORD(lParam) - gState->dragX,
                 rc.top + (SHORT)HIWORD(lParam) - gState->dragY, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void OnLButtonUp(void)
{
    if (gState->dragging) {
        gState->dragging = 0;
        ReleaseCapture();
    }
}

/* The capture went elsewhere: whatever took it, the drag is over. */
void EndDrag(void)
{
    gState->dragging = 0;
}
