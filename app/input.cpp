#include "input.h"
#include "../state/clock_state.h"
#include "../engine/count_modes.h"
#include "../options/options_dialog.h"
#include "../help/help_menu.h"
#include "main_window.h"
#include "../res/resource.h"

/* On top or not, at once and in any mode; stored with the other options. */
static void ToggleTopMost(HWND wnd)
{
    gState->options.topMost = gState->options.topMost == 1 ? 0 : 1;
    ApplyTopMost(wnd);
}

/* Any command also stops an alarm that rings until stopped. */
void OnCommand(HWND wnd, WPARAM wParam)
{
    EndAlarm(wnd);
    switch (LOWORD(wParam)) {
    case IDM_NOW:       ShowNow(wnd); break;
    case IDM_COUNTUP:   StartCountUp(wnd); break;
    case IDM_STOP:      StopCount(wnd); break;
    case IDM_RESUME:    ResumeCount(wnd); break;
    case IDM_COUNTDOWN: StartCountDown(wnd); break;
    case IDM_TOPMOST:   ToggleTopMost(wnd); break;
    case IDM_OPTIONS:   if (!Counting()) RunOptionsDialog(wnd); break;
    case IDM_EXIT:      PostMessageW(wnd, WM_CLOSE, 0, 0); break;
    case IDM_HELP:      OpenHelpFile(wnd); break;
    case IDM_HOMEPAGE:  OpenHomePage(wnd); break;
    case IDM_ABOUT:
        DialogBoxParamW(gInstance, MAKEINTRESOURCEW(IDD_ABOUT), wnd, AboutDlgProc, 0);
        break;
    }
}

/* The command Enter stands for in the current mode. */
UINT EnterCommand(int shift)
{
    if (Counting()) return IDM_STOP;
    return shift ? IDM_COUNTDOWN : IDM_COUNTUP;
}

/* Enter is posted, so the command runs after the key message is done. A ringing alarm
   takes any key to stop it, and nothing more. */
void OnKeyDown(HWND wnd, WPARAM key)
{
    if (EndAlarm(wnd) || key != VK_RETURN) return;
    int shift = (GetKeyState(VK_SHIFT) & 0xFF00) != 0;
    PostMessageW(wnd, WM_COMMAND, EnterCommand(shift), 0);
}

static void SetMenuItem(HMENU menu, UINT id, int enabled, int checked)
{
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

/* Greys what cannot run now and ticks the current mode. */
void UpdateMenuStates(HMENU menu)
{
    if (!menu) return;
    ClockMode mode = gState->mode;
    int counting = Counting();

    SetMenuItem(menu, IDM_NOW, !counting, mode == Clock);
    SetMenuItem(menu, IDM_COUNTUP, !counting, mode == CountUp);
    SetMenuItem(menu, IDM_COUNTDOWN, !counting, mode == CountDown);
    SetMenuItem(menu, IDM_STOP, counting, mode == Stopped);
    SetMenuItem(menu, IDM_RESUME, CanResume(), 0);
    SetMenuItem(menu, IDM_TOPMOST, 1, gState->options.topMost == 1);
    EnableMenuItem(menu, IDM_OPTIONS, MF_BYCOMMAND | (counting ? MF_GRAYED : MF_ENABLED));
}

void ShowContextMenu(HWND wnd, LPARAM lParam)
{
    HMENU menu = LoadMenuW(gInstance, MAKEINTRESOURCEW(IDR_CONTEXTMENU));
    if (!menu) return;
    HMENU popup = GetSubMenu(menu, 0);
    if (popup) {
        POINT pt = { (SHORT)LOWORD(lParam), (SHORT)HIWORD(lParam) };
        ClientToScreen(wnd, &pt);
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, pt.x, pt.y, 0, wnd, NULL);
    }
    DestroyMenu(menu);
}

/* A title-less window is moved by dragging its face; a click on the face stops a
   ringing alarm first. */
void OnLButtonDown(HWND wnd, LPARAM lParam)
{
    if (EndAlarm(wnd) || !gState->options.noTitleBar) return;
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
