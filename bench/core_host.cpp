#include "core_host.h"
#include <stdio.h>
#include "../state/settings.h"

int HostCore(void)
{
    if (GetACP() != 932) {
        fprintf(stderr, "The ANSI code page is %u, not 932: run with LC_CTYPE=ja_JP.UTF-8.\n", GetACP());
        return 0;
    }
    gInstance = GetModuleHandleA(NULL);
    gState = (ClockState*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(ClockState));
    if (!gState) {
        fprintf(stderr, "No memory for the state record.\n");
        return 0;
    }
    gState->dpi = ScreenDpi();
    DeleteStoredSettings();
    LoadSettings();
    return 1;
}

void DeleteStoredSettings(void)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, REG_MAKER "\\" REG_PRODUCT);
}

void PumpMessages(void)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
