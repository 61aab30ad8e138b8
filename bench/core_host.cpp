#include "core_host.h"
#include <stdio.h>
#include "../state/settings.h"

int HostCore(void)
{
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
    RegDeleteTreeW(HKEY_CURRENT_USER, REG_MAKER L"\\" REG_PRODUCT);
}

void PumpMessages(void)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
