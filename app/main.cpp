#include "main_window.h"
#include "../state/settings.h"
#include "../engine/count_modes.h"
#include "../engine/face_text.h"
#include "../engine/alarms.h"
#include "tray.h"
#include <commctrl.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    gInstance = instance;
    gOtherInstance = FindWindowW(MAIN_CLASS, NULL) != NULL;
    gState = (ClockState*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(ClockState));
    if (!gState) return 0;
    InitCommonControls();
    gState->dpi = ScreenDpi();
    LoadSettings();
    LoadEras();
    ScheduleAlarms(NULL, UtcNow());
    if (!RegisterMainClass() || !CreateMainWindow(showCommand)) return 0;
    ArmTick(gMainWnd);
    ArmAlarms(gMainWnd);
    /* After the first face is on screen: the shell takes its time to load. */
    ApplyShellOptions(gMainWnd);

    int exitCode = RunMessageLoop();
    HeapFree(GetProcessHeap(), 0, gState);
    gState = NULL;
    return exitCode;
}
