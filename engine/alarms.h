/* Alarms at a time of day, the hourly time signal, and the ringing that answers to a key. */
#ifndef VELMOR_ALARMS_H
#define VELMOR_ALARMS_H

#include "../state/clock_state.h"
#include "wall_clock.h"

/* The alarms' own timer, armed for the next moment anything is due and at no other. */
#define TIMER_ALARM      102
/* A moment missed by no more than this, asleep or by a change of the clock, still rings. */
#define ALARM_LATE_LIMIT (10 * FILETIME_MINUTE)
#define SNOOZE_TIME      (5 * FILETIME_MINUTE)
#define RING_QUIET_TIME  (10 * FILETIME_MINUTE)
#define CHIME_LEAD       (3 * FILETIME_SECOND)
/* A timer never comes exactly on time: what is due this soon is due now. */
#define ALARM_SLACK      (20 * FILETIME_MS)

int   AlarmTime(const Alarm* alarm);
void  FormatAlarmTime(WCHAR* out, const Alarm* alarm);
void  ScheduleAlarms(const TIME_ZONE_INFORMATION* zone, ULONGLONG now);
DWORD ArmAlarmsAt(HWND wnd, const TIME_ZONE_INFORMATION* zone, ULONGLONG now);
void  ArmAlarms(HWND wnd);
void  RingDueAlarmsAt(HWND wnd, const TIME_ZONE_INFORMATION* zone, ULONGLONG now);
void  RingDueAlarms(HWND wnd);
int   Ringing(void);
int   EndRinging(HWND wnd);
INT_PTR CALLBACK AlarmRingDlgProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam);

#endif
