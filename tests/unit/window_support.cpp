#include "window_support.h"
#include "test_support.h"
#include "../../app/main_window.h"
#include "../../engine/count_modes.h"

bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    MSG msg;
    while (!cond()) {
        if (GetTickCount() - start >= timeoutMs) return false;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, NULL, FALSE, 50, QS_ALLINPUT);
    }
    return true;
}

bool TakePosted(HWND wnd, UINT message, MSG* msg)
{
    return PeekMessageA(msg, wnd, message, message, PM_REMOVE) != 0;
}

static LONG gMarkerTicks;

static void CALLBACK MarkerTick(HWND, UINT, UINT_PTR, DWORD)
{
    ++gMarkerTicks;
}

void SetMarkerTick(HWND wnd)
{
    SetTimer(wnd, TIMER_TICK, USER_TIMER_MINIMUM, MarkerTick);
}

std::ostream& operator<<(std::ostream& out, TickTimer timer)
{
    static const char* names[] = { "off", "the test's marker", "set by the code", "running" };
    return out << names[timer];
}

TickTimer TakeTickTimer(HWND wnd, bool waitForTick)
{
    if (waitForTick) {
        DWORD start = GetTickCount();
        MSG msg;
        while (GetTickCount() - start < 10000) {
            if (!PeekMessageA(&msg, wnd, WM_TIMER, WM_TIMER, PM_REMOVE)) {
                MsgWaitForMultipleObjects(0, NULL, FALSE, 50, QS_TIMER);
            } else if (msg.wParam == TIMER_TICK) {
                LONG before = gMarkerTicks;
                DispatchMessageA(&msg);
                KillTimer(wnd, TIMER_TICK);
                return gMarkerTicks != before ? TickMarker : TickFresh;
            }
        }
    }
    return KillTimer(wnd, TIMER_TICK) ? TickRunning : TickOff;
}

void TestMainWindow::SetUp()
{
    ResetState();
    wnd_ = CreateTestWindow();
    ASSERT_TRUE(wnd_ != NULL);
    gMainWnd = wnd_;
}

void TestMainWindow::TearDown()
{
    KillTimer(wnd_, TIMER_TICK);
    DestroyWindow(wnd_);
    gMainWnd = NULL;
}

HWND OpenMainWindow(void)
{
    WNDCLASSEXA wc;
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExA(gInstance, MAIN_CLASS, &wc)) {
        BYTE noTitleBar = gState->options.noTitleBar;
        gState->options.noTitleBar = 0;
        RegisterMainClass();
        gState->options.noTitleBar = noTitleBar;
    }
    return CreateMainWindow(SW_SHOWNORMAL);
}

void CloseMainWindow(void)
{
    MSG msg;
    if (gMainWnd) DestroyWindow(gMainWnd);
    gMainWnd = NULL;
    PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE);
    DeleteSettingsKey();
}
