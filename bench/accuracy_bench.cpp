/* How exact the count is: the real main window, its real 100 ms timer and message loop,
   observed at every paint against the performance counter. */
#include "bench.h"
#include <stdio.h>
#include <string.h>
#include "../app/main_window.h"
#include "../engine/count_modes.h"
#include "../res/resource.h"
#include "../state/settings.h"
#include "core_host.h"

struct Observation {
    double  start;            /* when the count started, in microseconds */
    double  stopAfter;        /* count-up: microseconds after which it is stopped */
    long    paints;
    double  lastPaint;
    double  lastShown;        /* microseconds the previous paint showed */
    double  worstBehind;      /* at a paint: real elapsed time minus the count shown */
    double  worstAhead;
    double  worstBeforeRepaint;
    double  longestGap;
    double  endAction;        /* countdown: when the paint that ran the end action began */
    DWORD   endTick;
};

static WNDPROC gOriginal;
static Observation gSeen;

/* The count text of format 0 in microseconds, or -1. */
static double ShownMicros(const char* text)
{
    int hours, minutes, seconds, tenths;
    if (sscanf(text, "%d:%d:%d.%d", &hours, &minutes, &seconds, &tenths) != 4) return -1;
    return (((hours * 60.0 + minutes) * 60 + seconds) * 10 + tenths) * 1e5;
}

static void SeeCountUpPaint(HWND wnd, double at)
{
    double elapsed = at - gSeen.start, shown = ShownMicros(gState->count.text);
    double behind = elapsed - shown;
    if (behind > gSeen.worstBehind) gSeen.worstBehind = behind;
    if (-behind > gSeen.worstAhead) gSeen.worstAhead = -behind;
    if (gSeen.paints > 0) {
        if (at - gSeen.lastPaint > gSeen.longestGap) gSeen.longestGap = at - gSeen.lastPaint;
        if (elapsed - gSeen.lastShown > gSeen.worstBeforeRepaint)
            gSeen.worstBeforeRepaint = elapsed - gSeen.lastShown;
    }
    gSeen.paints++;
    gSeen.lastPaint = at;
    gSeen.lastShown = shown;
    if (elapsed >= gSeen.stopAfter && gSeen.stopAfter > 0) {
        gSeen.stopAfter = 0;
        PostMessageA(wnd, WM_COMMAND, IDM_STOP, 0);
    }
}

/* The end action runs in the first countdown paint that computes the zero count. */
static void SeeCountdownPaint(double at)
{
    if (gSeen.endAction == 0 && ShownMicros(gState->count.text) == 0) {
        gSeen.endAction = at;
        gSeen.endTick = GetTickCount();
    }
}

static LRESULT CALLBACK ObservedWndProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ClockMode mode = gState->mode;
    double at = NowMicros();
    LRESULT result = CallWindowProcA(gOriginal, wnd, message, wParam, lParam);
    if (message == WM_PAINT && mode == CountUp) SeeCountUpPaint(wnd, at);
    if (message == WM_PAINT && mode == CountDown) SeeCountdownPaint(at);
    /* Every measured count ends with its stop; the loop ends there too. */
    if (message == WM_COMMAND && LOWORD(wParam) == IDM_STOP) PostQuitMessage(0);
    return result;
}

/* Accepts the countdown dialog as it opens, with the length it shows. */
static LRESULT CALLBACK AcceptCountdownDialog(int code, WPARAM wParam, LPARAM lParam)
{
    char className[16];
    if (code == HCBT_ACTIVATE && GetClassNameA((HWND)wParam, className, sizeof(className)) &&
        !strcmp(className, "#32770"))
        PostMessageA((HWND)wParam, WM_COMMAND, IDOK, 0);
    return CallNextHookEx(NULL, code, wParam, lParam);
}

static void MeasureCountUp(int seconds)
{
    char figure[128], value[64];

    gSeen = Observation();
    gSeen.stopAfter = seconds * 1e6;
    gSeen.start = NowMicros();
    SendMessageA(gMainWnd, WM_COMMAND, IDM_COUNTUP, 0);
    RunMessageLoop();

    sprintf(figure, "count-up over %d s (%ld paints): largest lag of the count shown behind real time, at a paint",
            seconds, gSeen.paints);
    PrintRow(figure, Duration(value, gSeen.worstBehind), "", 0, "<= 100 ms",
             gSeen.worstBehind <= 100000);
    sprintf(figure, "count-up over %d s: largest lead of the count shown over real time, at a paint", seconds);
    PrintRow(figure, Duration(value, gSeen.worstAhead), "", 0, "", -1);
    sprintf(figure, "count-up over %d s: longest time between two paints", seconds);
    PrintRow(figure, Duration(value, gSeen.longestGap), "", 0, "", -1);
    sprintf(figure, "count-up over %d s: largest lag just before a repaint", seconds);
    PrintRow(figure, Duration(value, gSeen.worstBeforeRepaint), "", 0, "", -1);
}

/* Runs a countdown of the given length through the real dialog; returns when the end
   action ran relative to the end tick, in microseconds (negative: before it). */
static double MeasureCountdown(DWORD seconds, long* tickOffset)
{
    gSeen.endAction = 0;
    gState->countdownSeconds = seconds;
    SendMessageA(gMainWnd, WM_COMMAND, IDM_COUNTDOWN, 0);
    /* The dialog has returned and the end tick is set: the count starts now. */
    double start = NowMicros();
    DWORD endTick = gState->tickMark;
    RunMessageLoop();
    *tickOffset = (long)(gSeen.endTick - endTick);
    return gSeen.endAction - (start + seconds * 1e6);
}

static void MeasureCountdowns(int longest)
{
    static const struct { DWORD seconds; int runs; } lengths[] = { { 1, 5 }, { 5, 3 }, { 60, 1 } };
    HHOOK hook = SetWindowsHookExA(WH_CBT, AcceptCountdownDialog, NULL, GetCurrentThreadId());
    char figure[128], value[96], ticks[96];

    for (const auto& length : lengths) {
        if ((int)length.seconds > longest) continue;
        double earliest = 1e12, latest = -1e12;
        long earliestTick = LONG_MAX, latestTick = LONG_MIN;
        for (int r = 0; r < length.runs; r++) {
            long tick;
            double offset = MeasureCountdown(length.seconds, &tick);
            if (offset < earliest) earliest = offset;
            if (offset > latest) latest = offset;
            if (tick < earliestTick) earliestTick = tick;
            if (tick > latestTick) latestTick = tick;
        }
        sprintf(figure, "countdown of %lu s (%d run%s): end action relative to the end tick",
                length.seconds, length.runs, length.runs > 1 ? "s" : "");
        sprintf(value, "%+.1f .. %+.1f ms", earliest / 1000, latest / 1000);
        sprintf(ticks, "by GetTickCount: %+ld .. %+ld ms", earliestTick, latestTick);
        PrintRow(figure, value, ticks, 0, "-100 .. +150 ms", earliest >= -100000 && latest <= 150000);
    }
    UnhookWindowsHookEx(hook);
}

void BenchAccuracy(int countUpSeconds)
{
    /* As at start-up: the clock, whatever an earlier part left. */
    gState->mode = Clock;
    gState->options.oneLine = 0;
    if (!RegisterMainClass() || !CreateMainWindow(SW_SHOWNORMAL)) {
        fprintf(stderr, "cannot create the main window\n");
        return;
    }
    gOriginal = (WNDPROC)SetWindowLongPtrA(gMainWnd, GWLP_WNDPROC, (LONG_PTR)ObservedWndProc);
    SetTimer(gMainWnd, TIMER_TICK, TICK_PERIOD, NULL);

    MeasureCountUp(countUpSeconds);
    MeasureCountdowns(countUpSeconds);

    /* The shut-down saves the settings and releases the fonts: take them back. */
    DestroyWindow(gMainWnd);
    gMainWnd = NULL;
    PumpMessages();
    LoadSettings();
}
