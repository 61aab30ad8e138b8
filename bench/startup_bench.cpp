/* Start-up, observed from outside the same way for VELMOR and the minimal window: from
   CreateProcess until the window's client area shows the colour its first paint fills
   it with, read back from the screen. */
#include "bench.h"
#include <stdio.h>
#include "../state/settings.h"
#include "core_host.h"

#define DEADLINE_MS 30000

static HWND FindWithin(const char* className, DWORD deadline)
{
    for (;;) {
        HWND wnd = FindWindowA(className, NULL);
        if (wnd || GetTickCount() > deadline) return wnd;
        Sleep(1);
    }
}

int WaitForWindow(const char* className, int seconds)
{
    return FindWithin(className, GetTickCount() + seconds * 1000) != NULL;
}

int PostToWindow(const char* className, UINT message, WPARAM wParam)
{
    HWND wnd = FindWindowA(className, NULL);
    return wnd && PostMessageA(wnd, message, wParam, 0);
}

static COLORREF ClientPixel(HWND wnd)
{
    HDC dc = GetDC(wnd);
    COLORREF color = GetPixel(dc, 4, 4);
    ReleaseDC(wnd, dc);
    return color;
}

/* Microseconds from the start of the process to its face on screen, or -1. */
static double TimeToFace(const char* program, const char* arguments, const char* className)
{
    char commandLine[MAX_PATH * 2];
    STARTUPINFOA si = {};
    PROCESS_INFORMATION pi;
    double face = -1;

    si.cb = sizeof(si);
    wsprintfA(commandLine, "\"%s\" %s", program, arguments);
    double start = NowMicros();
    if (!CreateProcessA(program, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
        fprintf(stderr, "cannot start %s (error %lu)\n", program, GetLastError());
        return -1;
    }
    DWORD deadline = GetTickCount() + DEADLINE_MS;
    HWND wnd = FindWithin(className, deadline);
    while (wnd && GetTickCount() < deadline) {
        if (ClientPixel(wnd) == BENCH_FACE_COLOR) {
            face = NowMicros() - start;
            break;
        }
        Sleep(1);
    }
    if (wnd) PostMessageA(wnd, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, DEADLINE_MS) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return face;
}

int BenchStartup(const char* program, const char* minimal, int runs)
{
    if (!HostCore()) return 0;
    /* The face takes the colour the minimal window fills with, so one test fits both. */
    gState->options.backColor = BENCH_FACE_COLOR;
    SaveSettings();

    double velmor[32], floor[32];
    if (runs > 32) runs = 32;
    for (int r = 0; r < runs; r++) {
        /* Alternate which starts first, so neither always finds a warmer system. */
        int first = r % 2;
        for (int k = 0; k < 2; k++) {
            if (k == first) velmor[r] = TimeToFace(program, "", "VELMOR");
            else floor[r] = TimeToFace(minimal, "1000", MINIMAL_CLASS);
        }
        if (velmor[r] < 0 || floor[r] < 0) {
            DeleteStoredSettings();
            return 0;
        }
    }
    DeleteStoredSettings();

    double velmorMedian = Median(velmor, runs), floorMedian = Median(floor, runs);
    char figure[96], value[32], baseline[64];
    sprintf(figure, "start-up to the first face on screen (median of %d)", runs);
    sprintf(baseline, "%s (minimal window)", Duration(value, floorMedian));
    PrintRow(figure, Duration(value, velmorMedian), baseline, velmorMedian / floorMedian, "<= 1.2",
             velmorMedian <= 1.2 * floorMedian);
    return 1;
}
