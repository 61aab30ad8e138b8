#include "support.h"
#include "../state/settings.h"
#include "../app/main_window.h"
#include "../res/resource.h"

static std::wstring KeyPath(const WCHAR* subkey) { return std::wstring(REG_MAKER L"\\" REG_PRODUCT) + (subkey ? L"\\" : L"") + (subkey ? subkey : L""); }

/* The bytes as stored: RegGetValueW would add a terminator a text lacks. */
Bytes Stored(const WCHAR* subkey, const WCHAR* name)
{
    HKEY key;
    BYTE data[1024];
    DWORD size = 0;
    if (!RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath(subkey).c_str(), 0, KEY_READ, &key)) {
        size = sizeof(data);
        if (RegQueryValueExW(key, name, NULL, NULL, data, &size)) size = 0;
        RegCloseKey(key);
    }
    return Of(data, size);
}

void Plant(const WCHAR* subkey, const WCHAR* name, DWORD type, const Bytes& bytes)
{
    ASSERT_FALSE(RegSetKeyValueW(HKEY_CURRENT_USER, KeyPath(subkey).c_str(), name, type, bytes.data(), (DWORD)bytes.size()));
}

void Fresh::SetUp()
{
    if (gMainWnd) CloseMainWindow();
    ReleaseFaceFonts();
    ZeroMemory(gState, sizeof(*gState));
    gState->dpi = ScreenDpi();
    gOtherInstance = 0;
    RegDeleteTreeW(HKEY_CURRENT_USER, KeyPath(NULL).c_str());
    RegDeleteKeyValueW(HKEY_CURRENT_USER, REG_RUN, REG_PRODUCT);
}

void CloseMainWindow(void)
{
    MSG quit;
    DestroyWindow(gMainWnd);
    gMainWnd = NULL;
    PeekMessageW(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE);
}

bool WaitFor(const std::function<bool()>& cond)
{
    MSG msg;
    for (DWORD start = GetTickCount(); !cond(); MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT)) {
        if (GetTickCount() - start > 15000) return false;
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    return true;
}

void PumpAsTheLoop(void)
{
    static HACCEL accel = LoadAcceleratorsW(gInstance, MAKEINTRESOURCEW(IDR_ACCEL));
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) HandleMessage(&msg, accel);
}

static struct { const std::vector<Step>* steps; size_t next; DWORD since; } gRun;

static void CALLBACK RunStep(HWND, UINT, UINT_PTR, DWORD)
{
    if (gRun.since && gRun.next < gRun.steps->size() && (*gRun.steps)[gRun.next]()) {
        gRun.next++;
        gRun.since = GetTickCount();
    } else if (GetTickCount() - gRun.since > 15000) {
        /* Fails once, then ends a dialog or menu a tick until the body returns. */
        if (gRun.since) ADD_FAILURE() << "stuck after step " << gRun.next << " of " << gRun.steps->size();
        gRun.since = 0;
        EndMenu();
        EndDialog(TopDialog(), 0);
    }
}

void RunModal(const std::function<void()>& body, const std::vector<Step>& steps)
{
    gRun = { &steps, 0, GetTickCount() };
    UINT_PTR timer = SetTimer(NULL, 0, 20, RunStep);
    body();
    KillTimer(NULL, timer);
}

HWND TopDialog(void)
{
    HWND active = GetActiveWindow();
    return active != gMainWnd && IsWindowVisible(active) ? active : NULL;
}

std::vector<COLORREF> Pixels(HWND wnd)
{
    RECT rc;
    GetClientRect(wnd, &rc);
    BITMAPINFO info = { { sizeof(BITMAPINFOHEADER), rc.right, -rc.bottom, 1, 32, BI_RGB } };
    std::vector<COLORREF> pixels((size_t)rc.right * rc.bottom);
    HDC screen = GetDC(wnd), mem = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, rc.right, rc.bottom), old = (HBITMAP)SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, rc.right, rc.bottom, screen, 0, 0, SRCCOPY);
    GetDIBits(mem, (HBITMAP)SelectObject(mem, old), 0, rc.bottom, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(wnd, screen);
    /* 0x00RRGGBB as a COLORREF, 0x00BBGGRR. */
    for (COLORREF& p : pixels) p = RGB(GetBValue(p), GetGValue(p), GetRValue(p));
    return pixels;
}

int main(int argc, char** argv)
{
    /* A copy started by a restart of the program under test must not run the tests. */
    if (GetEnvironmentVariableW(L"VELMOR_TESTS", NULL, 0)) return 0;
    SetEnvironmentVariableW(L"VELMOR_TESTS", L"1");
    testing::InitGoogleTest(&argc, argv);
    /* The run names each pass's code page: a locale or manifest gone wrong would pass at another. */
    char expected[8] = "";
    if (GetEnvironmentVariableA("VELMOR_ACP", expected, 8) && GetACP() != (UINT)atoi(expected) && !GTEST_FLAG_GET(list_tests))
        return fprintf(stderr, "The ANSI code page is %u, not %s.\n", GetACP(), expected), 1;
    gInstance = GetModuleHandleW(NULL);
    gState = (ClockState*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(ClockState));
    RegisterMainClass();
    return RUN_ALL_TESTS();
}
