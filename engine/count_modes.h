/* The count machine: clock, count-up, stopped, countdown, and the countdown dialog. */
#ifndef VELMOR_COUNT_MODES_H
#define VELMOR_COUNT_MODES_H

#include <windows.h>

#define TIMER_TICK   101
#define TICK_PERIOD  100
/* The clock's tick comes this long after its second or minute begins, never just before it. */
#define TICK_MARGIN  2
/* An alarm that rings until stopped blinks the count line this often. */
#define BLINK_PERIOD 500
/* 999 hours: far below the 2^32 ms the tick arithmetic can hold, with days to spare. */
#define COUNTDOWN_MAX_SECONDS 3596400u

int   Counting(void);
int   CanResume(void);
DWORD TickDelay(int mode, int alarming, BYTE timeFormat, const SYSTEMTIME* now);
DWORD ArmTickAt(HWND wnd, const SYSTEMTIME* now);
void  ArmTick(HWND wnd);
DWORD CountdownLeft(DWORD now);
DWORD CountMilliseconds(DWORD now);
void  FormatCountTextAt(DWORD now);
void  FormatCountText(void);
void  ShowNow(HWND wnd);
void  StartCountUp(HWND wnd);
void  StopCount(HWND wnd);
void  StopCountAt(HWND wnd, DWORD now);
void  ResumeCount(HWND wnd);
void  ResumeCountAt(HWND wnd, DWORD now);
void  StartCountDown(HWND wnd);
void  RetimeCountdownAt(const TIME_ZONE_INFORMATION* zone, ULONGLONG utc, DWORD now);
void  RetimeCountdown(void);
void  FlashTaskbar(HWND wnd, DWORD flags);
void  FinishCountdown(HWND wnd);
INT_PTR CALLBACK CountdownDlgProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam);

#endif
