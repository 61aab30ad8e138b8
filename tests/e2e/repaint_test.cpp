/* The face repaints by itself only when it would change: every second for the
   clock, every tick for a running count. Watched here without asking for a paint. */
#include "scene.h"

class Repaint : public ClockScenario {};

/* Time enough for the next second, with room for a busy machine. */
static const DWORD kSecondSpan = 2500;

TEST_F(Repaint, ClockAdvancesEverySecondByItself)
{
    ASSERT_NO_FATAL_FAILURE(StartClock());
    Face before = CaptureFace(wnd), next;
    for (int second = 0; second < 2; second++) {
        ASSERT_TRUE(WaitForShownFace(wnd, [&](const Face& f) { return f != before; }, &next, kSecondSpan))
            << "the clock did not advance by itself";
        EXPECT_TRUE(ShowsClock(next));
        before = next;
    }
}

TEST_F(Repaint, RunningCountAdvancesTickByTickByItself)
{
    ASSERT_NO_FATAL_FAILURE(StartClock());
    ASSERT_NO_FATAL_FAILURE(CountUp());
    /* Ten ticks a second: far more new faces within two seconds than a repaint each
       second could give. */
    const int wanted = 6;
    Face last = CaptureFace(wnd), next;
    int changes = 0;
    WaitForShownFace(wnd, [&](const Face& f) {
        if (f != last) {
            last = f;
            changes++;
        }
        return changes >= wanted;
    }, &next, kSecondSpan);
    EXPECT_GE(changes, wanted) << "the running count repainted only " << changes << " times";
    EXPECT_TRUE(ShowsCount(next));
}
