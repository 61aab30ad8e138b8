#include <gtest/gtest.h>
#include "test_support.h"

void ResetState(void)
{
    ReleaseFaceFonts();
    ZeroMemory(gState, sizeof(*gState));
}

void DeleteSettingsKey(void)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\ORBA\\VELMOR");
}

HWND CreateTestWindow(void)
{
    static ATOM atom;
    if (!atom) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = gInstance;
        wc.lpszClassName = "VelmorTestWindow";
        atom = RegisterClassA(&wc);
    }
    return CreateWindowA("VelmorTestWindow", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                         NULL, NULL, gInstance, NULL);
}

std::string Utf8(const char* cp932)
{
    wchar_t wide[512];
    char out[1024];
    if (!MultiByteToWideChar(932, 0, cp932, -1, wide, 512)) return "<not code page 932>";
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, sizeof(out), NULL, NULL);
    return out;
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GetACP() != 932) {
        fprintf(stderr, "The ANSI code page is %u, not 932: run with LC_CTYPE=ja_JP.UTF-8.\n", GetACP());
        return 1;
    }
    gInstance = GetModuleHandleA(NULL);
    gState = (ClockState*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(ClockState));
    return RUN_ALL_TESTS();
}
