/* The count machine: clock, count-up, stopped, countdown, and the countdown dialog. */
#ifndef VELMOR_COUNT_MODES_H
#define VELMOR_COUNT_MODES_H

#include <windows.h>

#define TIMER_TICK   101
#define TICK_PERIOD  100
/* The clock's tick comes this long after its second begins, never just before it. */
#define TICK_MARGIN  2
/* 999 hours: far below the 2^32 ms the tick arithmetic can hold, with days to spare. */
#define COUNTDOWN_MAX_SECONDS 3596400u
/* A WAVE file larger than this is played by its name, not read whole. */
#define WAVE_SIZE_LIMIT (64 << 20)

int   Counting(void);
DWORD TickDelay(int mode, WORD milliseconds);
void ArmTick(HWND wnd);
void ShowNow(HWND wnd);
void StartCountUp(HWND wnd);
void StopCount(HWND wnd);
void StartCountDown(HWND wnd);
int  PlayWaveFile(const WCHAR* path);
void FinishCountdown(void);
INT_PTR CALLBACK CountdownDlgProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam);

#endif
