/* velmor_bench: what is measured inside Wine, printed as lines of numbers for run_bench.py.
     velmor_bench paint | heap              PaintFace against a bare face: times, heap calls
     velmor_bench startup VELMOR MINIMAL    start-up to the first face on screen
     velmor_bench lag CLASS SECONDS         when a window's time line changes, by local time
     velmor_bench wait CLASS | post CLASS COMMAND | close CLASS     (post waits for the window too) */
#include "bench.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "core_host.h"
#include "../app/face_paint.h"
#include "../engine/face_text.h"
#include "../state/settings.h"

#define RUNS 7
#define STARTUP_RUNS 15
#define HEAP_PAINTS 1000
#define DEADLINE_MS 30000

static double NowMicros(void)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * 1e6 / (double)frequency.QuadPart;
}

/* Prints, for each of RUNS runs, the microseconds of one paint and of one bare face of the
   size of rc. A run holds about 100 ms of each, in alternating blocks of ten calls, so that
   both meet the same load from the rest of the machine. */
template <class Subject, class Baseline>
static void TimePaints(RECT rc, Subject subject, Baseline baseline)
{
    auto TenCallsMicros = [](auto work) {
        double start = NowMicros();
        for (int i = 0; i < 10; i++) work();
        return NowMicros() - start;
    };
    int blocks = (int)(100000 / TenCallsMicros(baseline)) + 2;
    for (int r = 0; r < RUNS; r++) {
        double subjectTime = 0, baselineTime = 0;
        for (int k = 0; k < blocks; k++) {
            if (k % 2) subjectTime += TenCallsMicros(subject);
            baselineTime += TenCallsMicros(baseline);
            if (k % 2 == 0) subjectTime += TenCallsMicros(subject);
        }
        printf("paint_%ldx%ld %.2f %.2f\n", rc.right, rc.bottom, subjectTime / (blocks * 10),
               baselineTime / (blocks * 10));
    }
}

/* The default two-line clock face's texts, as the bare face draws them. */
static WCHAR gLineText[2][FACE_TEXT_SIZE];
static int gLineLength[2];

/* The least a flicker-free paint of the same text costs: a memory bitmap and its fill,
   the same lines in the same fonts through the same text calls, one BitBlt. */
static void BareFace(HDC hdc, int width, int height)
{
    const FaceLine* lines[2] = { &gState->date, &gState->time };
    HDC mem = CreateCompatibleDC(hdc);
    HBITMAP bitmap = CreateCompatibleBitmap(hdc, width, height);
    SelectObject(mem, bitmap);
    PatBlt(mem, 0, 0, width, height, PATCOPY);
    SetBkMode(mem, TRANSPARENT);
    for (int i = 0; i < 2; i++) {
        SIZE extent;
        SelectObject(mem, lines[i]->font);
        GetTextExtentPoint32W(mem, gLineText[i], gLineLength[i], &extent);
        TextOutW(mem, 0, i * height / 2, gLineText[i], gLineLength[i]);
    }
    BitBlt(hdc, 0, 0, width, height, mem, 0, 0, SRCCOPY);
    DeleteDC(mem);
    DeleteObject(bitmap);
}

/* Every heap block of the process comes from ntdll's RtlAllocateHeap or RtlReAllocateHeap,
   whoever asks for it; run_bench.py counts Wine's trace of their calls between the marks. */
template <class Work>
static void TraceHeapCalls(const char* mark, Work work)
{
    work();  /* what is done once, at first use, is no cost per paint */
    OutputDebugStringA(mark);
    for (int i = 0; i < HEAP_PAINTS; i++) work();
    OutputDebugStringA("heap_end");
}

/* Times PaintFace against the bare face, or has their heap calls traced, in a borderless
   window whose client area is the size named: the paint only asks it for its rectangle. */
static void BenchPaint(int width, int height, int heap)
{
    FormatClockTexts();
    lstrcpyW(gLineText[0], gState->date.text);
    lstrcpyW(gLineText[1], gState->time.text);
    gLineLength[0] = lstrlenW(gLineText[0]);
    gLineLength[1] = lstrlenW(gLineText[1]);
    HWND wnd = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, width, height, NULL, NULL, gInstance, NULL);
    PumpMessages();
    HDC hdc = GetDC(wnd);
    RECT rc;
    GetClientRect(wnd, &rc);
    auto velmor = [&] { PaintFace(wnd, hdc); };
    auto bare = [&] { BareFace(hdc, rc.right, rc.bottom); };
    if (heap) {
        /* A count that cannot find what it is meant to find would prove nothing by its zero. */
        TraceHeapCalls("heap_control", [] { HeapFree(GetProcessHeap(), 0, HeapAlloc(GetProcessHeap(), 0, 16)); });
        TraceHeapCalls("heap_velmor", velmor);
        TraceHeapCalls("heap_bare", bare);
    } else {
        TimePaints(rc, velmor, bare);
    }
    ReleaseDC(wnd, hdc);
    DestroyWindow(wnd);
}

static HWND FindWithin(const char* className, DWORD deadline)
{
    HWND wnd;
    while (!(wnd = FindWindowA(className, NULL)) && GetTickCount() < deadline) Sleep(1);
    return wnd;
}

/* Microseconds from CreateProcess until the window's client area shows, read back from
   the screen, the colour its first paint fills it with; -1 if it never does. */
static double TimeToFace(const char* program, const char* arguments, const char* className)
{
    char commandLine[MAX_PATH * 2];
    STARTUPINFOA si = { sizeof(si) };
    PROCESS_INFORMATION pi;
    double start = NowMicros();
    wsprintfA(commandLine, "\"%s\" %s", program, arguments);
    if (!CreateProcessA(program, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) return -1;
    DWORD deadline = GetTickCount() + DEADLINE_MS;
    HWND wnd = FindWithin(className, deadline);
    HDC dc = GetDC(wnd);
    while (GetPixel(dc, 4, 4) != BENCH_FACE_COLOR && GetTickCount() < deadline) Sleep(1);
    double face = GetTickCount() < deadline ? NowMicros() - start : -1;
    ReleaseDC(wnd, dc);
    PostMessageA(wnd, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, DEADLINE_MS) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return face;
}

static int BenchStartup(const char* program, const char* minimal)
{
    /* VELMOR's face takes the minimal window's colour, so one check fits both. */
    gState->options.backColor = BENCH_FACE_COLOR;
    SaveSettings();
    for (int r = 0; r < STARTUP_RUNS; r++) {
        /* Alternate which starts first, so neither always finds a warmer system. */
        double velmor = r % 2 ? TimeToFace(program, "", "VELMOR") : 0;
        double floor = TimeToFace(minimal, "1000", MINIMAL_CLASS);
        if (r % 2 == 0) velmor = TimeToFace(program, "", "VELMOR");
        if (velmor < 0 || floor < 0) return 0;
        printf("startup %.0f %.0f\n", velmor, floor);
    }
    return 1;
}

/* Reads the time line (the lower half of the default two-line face) of another process's
   window from the screen about every millisecond. Each time it has changed, prints the local
   time and how long since the read before: the change came within that gap. */
static int BenchLag(const char* className, int seconds)
{
    HWND wnd = FindWithin(className, GetTickCount() + DEADLINE_MS);
    RECT rc;
    if (!GetClientRect(wnd, &rc)) return 0;
    int top = rc.bottom / 2, width = rc.right, height = rc.bottom - top, bytes = width * height * 4, polls = 0;
    HDC screen = GetDC(wnd), mem = CreateCompatibleDC(screen);
    HBITMAP shot = CreateBitmap(width, height, 1, 32, NULL);
    SelectObject(mem, shot);
    BYTE* pixels[2] = { (BYTE*)malloc(bytes), (BYTE*)malloc(bytes) };
    DWORD start = GetTickCount(), previous = start;
    for (; GetTickCount() - start < (DWORD)seconds * 1000; Sleep(1)) {
        BitBlt(mem, 0, 0, width, height, screen, 0, top, SRCCOPY);
        GetBitmapBits(shot, bytes, pixels[++polls % 2]);
        DWORD gap = GetTickCount() - previous;
        previous += gap;
        if (polls == 1 || !memcmp(pixels[0], pixels[1], bytes)) continue;
        SYSTEMTIME now;
        GetLocalTime(&now);
        printf("shown %d %d %d %d %lu\n", now.wHour, now.wMinute, now.wSecond, now.wMilliseconds, gap);
    }
    printf("polls %d\n", polls);
    return 1;
}

int main(int argc, char** argv)
{
    const char* what = argc > 1 ? argv[1] : "";
    if (argc == 3 && !strcmp(what, "wait")) return !FindWithin(argv[2], GetTickCount() + DEADLINE_MS);
    if (argc == 3 && !strcmp(what, "close")) return !PostMessageA(FindWindowA(argv[2], NULL), WM_CLOSE, 0, 0);
    if (argc == 4 && !strcmp(what, "post"))
        return !PostMessageA(FindWithin(argv[2], GetTickCount() + DEADLINE_MS), WM_COMMAND, atoi(argv[3]), 0);
    if (argc == 4 && !strcmp(what, "lag")) return !BenchLag(argv[2], atoi(argv[3]));
    if (!HostCore()) return 1;
    int heap = !strcmp(what, "heap"), ok = heap || !strcmp(what, "paint");
    if (ok) BenchPaint(330, 200, heap);
    if (ok && !heap) BenchPaint(1920, 1080, 0);
    if (argc == 4 && !strcmp(what, "startup")) ok = BenchStartup(argv[2], argv[3]);
    DeleteStoredSettings();
    return !ok;
}
