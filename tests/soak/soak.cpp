/* A day of the clock in a few minutes: 100,000 paints of the real main window in every
   face, and 1,000 save-and-load cycles of the settings. Afterwards the process must hold
   no more GDI objects and kernel handles than before, and the same state must paint the
   same pixels. */
#include <windows.h>
#include <stdio.h>
#include <vector>
#include "../../bench/core_host.h"
#include "../host/face_pixels.h"
#include "../../app/main_window.h"
#include "../../engine/count_modes.h"
#include "../../res/resource.h"
#include "../../state/settings.h"

#define PAINTS        100000
#define CYCLES        1000
#define FACE_BLOCK    1000          /* paints before the face changes */
#define GDI_PROBE_MAX (1 << 17)     /* above Wine's limit of about 65,000 per process */

#define BACK_COLOR  RGB(0xF0, 0xE8, 0xD0)
#define COUNT_COLOR RGB(0x80, 0x00, 0x20)

static int gFailures;

static void Check(int ok, const char* what, long long expected, long long got)
{
    if (ok) return;
    fprintf(stderr, "FAILED: %s: expected %lld, got %lld\n", what, expected, got);
    gFailures++;
}

/* How many more GDI objects this process can create before creation fails. Wine's
   GetGuiResources answers 0, so a leak shows here instead, as less headroom. */
static int GdiHeadroom(void)
{
    HRGN* regions = (HRGN*)HeapAlloc(GetProcessHeap(), 0, GDI_PROBE_MAX * sizeof(HRGN));
    int count = 0;
    while (count < GDI_PROBE_MAX && (regions[count] = CreateRectRgn(0, 0, 1, 1))) count++;
    for (int i = 0; i < count; i++) DeleteObject(regions[i]);
    HeapFree(GetProcessHeap(), 0, regions);
    return count;
}

/* One entry of the system handle list, as Wine's ntdll lays it out. */
struct HandleEntry {
    ULONG       ownerPid;
    BYTE        objectType;
    BYTE        flags;
    USHORT      handle;
    PVOID       object;
    ACCESS_MASK access;
};

/* The kernel handles this process holds (registry keys among them), or -1. */
static int OwnHandles(void)
{
    typedef LONG (WINAPI* QuerySystemInformationFn)(ULONG, PVOID, ULONG, PULONG);
    const ULONG SystemHandleInformation = 16;
    const LONG InfoLengthMismatch = (LONG)0xC0000004;
    QuerySystemInformationFn query = (QuerySystemInformationFn)GetProcAddress(
        GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation");
    if (!query) return -1;

    std::vector<BYTE> buffer(1 << 16);
    ULONG needed = 0;
    LONG status;
    while ((status = query(SystemHandleInformation, buffer.data(), (ULONG)buffer.size(), &needed)) ==
           InfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0) return -1;

    ULONG entries = *(ULONG*)buffer.data();
    const HandleEntry* entry = (const HandleEntry*)(buffer.data() + sizeof(ULONG_PTR));
    int own = 0;
    for (ULONG i = 0; i < entries; i++)
        if (entry[i].ownerPid == GetCurrentProcessId()) own++;
    return own;
}

static void Command(UINT id)
{
    SendMessageA(gMainWnd, WM_COMMAND, id, 0);
}

static void Paint(void)
{
    RedrawWindow(gMainWnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
}

/* Settings unlike the defaults, so that a load that fell back to them would show. */
static void ConfigureFace(void)
{
    ClockState* s = gState;
    LOGFONTA lf;

    s->options.backColor = BACK_COLOR;
    s->options.weekday = 1;
    s->date.item.format = 10;
    s->time.item.format = 11;
    s->count.item.color = COUNT_COLOR;
    s->count.item.alignH = 1;
    s->count.item.marginX = 12;
    DefaultLogFont(&lf);
    lf.lfHeight = 40;
    lf.lfWeight = FW_BOLD;
    DeleteObject(s->count.font);
    s->count.font = CreateFontIndirectA(&lf);
    SaveSettings();
}

static void SaveAndLoad(void)
{
    SaveSettings();
    ReleaseFaceFonts();
    LoadSettings();
}

/* Face k of the cycle: two-line clock, one-line clock, running count. */
static void ShowFace(int k)
{
    Command(IDM_STOP);
    Command(IDM_NOW);
    gState->options.oneLine = k == 1;
    if (k == 2) Command(IDM_COUNTUP);
}

/* A face that does not move with the clock: a stopped count with a fixed text. */
static Face StillFace(void)
{
    ShowFace(2);
    Command(IDM_STOP);
    lstrcpyA(gState->count.text, "12:34:56.7");
    return RepaintAndCapture(gMainWnd);
}

int main()
{
    if (!HostCore()) return 1;
    ConfigureFace();
    if (!RegisterMainClass() || !CreateMainWindow(SW_SHOWNORMAL)) {
        fprintf(stderr, "FAILED: cannot create the main window\n");
        return 1;
    }
    DWORD started = GetTickCount();

    /* Whatever is made once, on first use, is made before anything is counted. */
    for (int k = 0; k < 3; k++) {
        ShowFace(k);
        Paint();
    }
    SaveAndLoad();

    Face before = StillFace();
    int gdiBefore = GdiHeadroom(), handlesBefore = OwnHandles();

    int cycles = 0;
    for (int i = 0; i < PAINTS; i++) {
        if (i % FACE_BLOCK == 0) {
            PumpMessages();
            ShowFace(i / FACE_BLOCK % 3);
        }
        Paint();
        if (i % (PAINTS / CYCLES) == 0) {
            SaveAndLoad();
            cycles++;
        }
    }

    int gdiAfter = GdiHeadroom(), handlesAfter = OwnHandles();
    Face after = StillFace();

    long background = (long)before.Count(BACK_COLOR), ink = (long)before.Count(COUNT_COLOR);
    long differing = 0;
    for (size_t i = 0; i < before.pixels.size() && i < after.pixels.size(); i++)
        if (after.pixels[i] != before.pixels[i]) differing++;
    printf("soak: %d paints, %d save-and-load cycles in %lu ms; GDI headroom %d -> %d; "
           "kernel handles %d -> %d; face %dx%d, %ld background and %ld text pixels\n",
           PAINTS, cycles, GetTickCount() - started, gdiBefore, gdiAfter, handlesBefore,
           handlesAfter, before.width, before.height, background, ink);

    Check(cycles == CYCLES, "save-and-load cycles", CYCLES, cycles);
    Check(gdiBefore > 1000, "GDI headroom before the soak, at least", 1000, gdiBefore);
    Check(gdiAfter == gdiBefore, "GDI headroom after the soak", gdiBefore, gdiAfter);
    Check(handlesBefore > 0, "kernel handles counted before the soak, at least", 1, handlesBefore);
    Check(handlesAfter == handlesBefore, "kernel handles after the soak", handlesBefore, handlesAfter);
    Check(background > 0, "pixels of the stored background colour, at least", 1, background);
    Check(ink > 0, "pixels of the stored count colour, at least", 1, ink);
    Check(after.width == before.width, "face width after the soak", before.width, after.width);
    Check(after.height == before.height, "face height after the soak", before.height, after.height);
    Check(differing == 0, "pixels that differ after the soak", 0, differing);

    DestroyWindow(gMainWnd);
    PumpMessages();
    DeleteStoredSettings();
    printf("soak: %s\n", gFailures ? "FAILED" : "PASSED");
    return gFailures ? 1 : 0;
}
