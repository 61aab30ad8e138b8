/* Proves that formatting and painting allocate nothing by counting every call of
   ntdll's heap allocator while they run. Each entry is overwritten with a jump to a
   counter, which puts the original bytes back for the one call it passes on and then
   jumps in again; the program has one thread, so no call slips past half-patched. */
#include "bench.h"
#include <stdio.h>
#include <string.h>
#include "../app/face_paint.h"
#include "../engine/face_text.h"

#define CALLS 10000
#define JUMP_SIZE 12

struct EntryPatch {
    BYTE* entry;
    BYTE  original[JUMP_SIZE];
    BYTE  jump[JUMP_SIZE];
    DWORD oldProtect;
};

typedef PVOID (WINAPI* RtlAllocateHeapFn)(PVOID heap, ULONG flags, SIZE_T size);
typedef PVOID (WINAPI* RtlReAllocateHeapFn)(PVOID heap, ULONG flags, PVOID block, SIZE_T size);

/* Where the counted calls came from, so a non-zero count names its culprit. */
struct CallSite {
    void* returnAddress;
    LONG  calls;
};
#define SITES 8

static EntryPatch gAlloc, gReAlloc;
static LONG gHeapCalls;
static CallSite gSites[SITES];

static void NoteCall(void* returnAddress)
{
    gHeapCalls++;
    for (CallSite& site : gSites) {
        if (!site.returnAddress) site.returnAddress = returnAddress;
        if (site.returnAddress == returnAddress) {
            site.calls++;
            return;
        }
    }
}

static void Jump(EntryPatch* patch, int on)
{
    memcpy(patch->entry, on ? patch->jump : patch->original, JUMP_SIZE);
}

static PVOID WINAPI CountedAllocate(PVOID heap, ULONG flags, SIZE_T size)
{
    NoteCall(__builtin_return_address(0));
    Jump(&gAlloc, 0);
    PVOID block = ((RtlAllocateHeapFn)gAlloc.entry)(heap, flags, size);
    Jump(&gAlloc, 1);
    return block;
}

static PVOID WINAPI CountedReAllocate(PVOID heap, ULONG flags, PVOID block, SIZE_T size)
{
    NoteCall(__builtin_return_address(0));
    Jump(&gReAlloc, 0);
    PVOID moved = ((RtlReAllocateHeapFn)gReAlloc.entry)(heap, flags, block, size);
    Jump(&gReAlloc, 1);
    return moved;
}

/* mov rax, counter; jmp rax */
static int Prepare(EntryPatch* patch, const char* name, void* counter)
{
    patch->entry = (BYTE*)GetProcAddress(GetModuleHandleA("ntdll.dll"), name);
    if (!patch->entry) return 0;
    memcpy(patch->original, patch->entry, JUMP_SIZE);
    patch->jump[0] = 0x48;
    patch->jump[1] = 0xB8;
    memcpy(patch->jump + 2, &counter, sizeof(counter));
    patch->jump[10] = 0xFF;
    patch->jump[11] = 0xE0;
    return 1;
}

static void StartCounting(void)
{
    VirtualProtect(gAlloc.entry, JUMP_SIZE, PAGE_EXECUTE_READWRITE, &gAlloc.oldProtect);
    VirtualProtect(gReAlloc.entry, JUMP_SIZE, PAGE_EXECUTE_READWRITE, &gReAlloc.oldProtect);
    gHeapCalls = 0;
    ZeroMemory(gSites, sizeof(gSites));
    Jump(&gAlloc, 1);
    Jump(&gReAlloc, 1);
}

static LONG StopCounting(void)
{
    Jump(&gReAlloc, 0);
    Jump(&gAlloc, 0);
    DWORD ignored;
    /* Restored in reverse order: both entries may share a page. */
    VirtualProtect(gReAlloc.entry, JUMP_SIZE, gReAlloc.oldProtect, &ignored);
    VirtualProtect(gAlloc.entry, JUMP_SIZE, gAlloc.oldProtect, &ignored);
    return gHeapCalls;
}

template <class Work>
static LONG HeapCallsDuring(Work work)
{
    work();  /* anything done once, on first use, is not a per-call cost */
    StartCounting();
    for (int i = 0; i < CALLS; i++) work();
    return StopCounting();
}

/* Appends "module+offset: calls" for each place the counted calls returned to. */
static void DescribeSites(char* out)
{
    const char* separator = "";
    for (const CallSite& site : gSites) {
        if (!site.returnAddress) break;
        HMODULE module = NULL;
        char path[MAX_PATH] = "?";
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           (LPCSTR)site.returnAddress, &module);
        if (module) GetModuleFileNameA(module, path, sizeof(path));
        const char* name = strrchr(path, '\\') ? strrchr(path, '\\') + 1 : path;
        out += sprintf(out, "%s%s+%llx: %ld", separator, name,
                       (unsigned long long)((BYTE*)site.returnAddress - (BYTE*)module), site.calls);
        separator = ", ";
    }
}

static void ReportZero(const char* what, LONG calls, const char* control)
{
    char figure[128], value[512];
    sprintf(figure, "heap allocations, %d calls of %s", CALLS, what);
    int length = sprintf(value, "%ld", calls);
    if (calls) {
        length += sprintf(value + length, " (returning to ");
        DescribeSites(value + length);
        strcat(value, ")");
    }
    PrintRow(figure, value, control, 0, "0", calls == 0);
}

void BenchAllocations(void)
{
    if (!Prepare(&gAlloc, "RtlAllocateHeap", (void*)CountedAllocate) ||
        !Prepare(&gReAlloc, "RtlReAllocateHeap", (void*)CountedReAllocate)) {
        fprintf(stderr, "ntdll has no RtlAllocateHeap or RtlReAllocateHeap\n");
        return;
    }
    /* The counter must see what it is meant to find, or a zero proves nothing. */
    LONG control = HeapCallsDuring([] {
        void* volatile block = HeapAlloc(GetProcessHeap(), 0, 16);
        HeapFree(GetProcessHeap(), 0, block);
    });
    char controlText[96], what[96];
    sprintf(controlText, "control: %d HeapAlloc calls counted as %ld", CALLS, control);
    if (control != CALLS) {
        PrintRow("heap allocation counter", "broken", controlText, 0, "", 0);
        return;
    }

    for (const BenchFace& face : kFaces) {
        UseFace(&face);
        LONG calls = face.mode == Clock ? HeapCallsDuring([] { FormatClockTexts(); })
                                        : HeapCallsDuring([] { FormatCountText(); });
        sprintf(what, "%s (%s)", face.mode == Clock ? "FormatClockTexts" : "FormatCountText", face.name);
        ReportZero(what, calls, controlText);
    }

    HWND wnd = CreateFaceWindow(330, 200);
    HDC hdc = GetDC(wnd);
    for (const BenchFace& face : kFaces) {
        UseFace(&face);
        LONG calls = HeapCallsDuring([&] { PaintFace(wnd, hdc); });
        sprintf(what, "PaintFace (%s, 330x200)", face.name);
        ReportZero(what, calls, controlText);
    }
    ReleaseDC(wnd, hdc);
    DestroyWindow(wnd);
}
