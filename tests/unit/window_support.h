/* What the tests of the main window and the count modes share: the tick timer as
   seen from outside, a stand-in main window and the real one. */
#ifndef VELMOR_WINDOW_SUPPORT_H
#define VELMOR_WINDOW_SUPPORT_H

#include <gtest/gtest.h>
#include <windows.h>
#include <functional>
#include <ostream>

/* Handles this thread's messages until cond holds or timeoutMs has passed; returns
   cond's last answer. */
bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs = 10000);
/* Removes the first posted message of this kind for wnd; false when there is none. */
bool TakePosted(HWND wnd, UINT message, MSG* msg);

/* Sets TIMER_TICK on wnd with a procedure of the test's own, so that a later tick
   tells whether the code under test left the timer alone. */
void SetMarkerTick(HWND wnd);
enum TickTimer { TickOff, TickMarker, TickFresh, TickRunning };
std::ostream& operator<<(std::ostream& out, TickTimer timer);
/* Tells how TIMER_TICK stands on wnd and ends it. A running timer is known by the
   tick it delivers: the marker's procedure counts it, a timer the code set has
   none. Only KillTimer can tell that no timer exists, and it ends the timer, so the
   caller says whether to wait for a tick first; a running timer that was not waited
   for is TickRunning. */
TickTimer TakeTickTimer(HWND wnd, bool waitForTick);

/* A fresh state with a hidden test window standing in as the main window. */
class TestMainWindow : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND wnd_ = NULL;
};

/* The real main window for gState, made as start-up makes it (with the class of
   a start with a title bar). */
HWND OpenMainWindow(void);
/* Destroys it as the program's end does, then takes back what that leaves in a
   test process: the quit message and the saved settings. */
void CloseMainWindow(void);

#endif
