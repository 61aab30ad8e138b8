#include "alarms.h"
#include "wall_clock.h"
#include "sounds.h"
#include "count_modes.h"
#include "../state/settings.h"
#include "../res/resource.h"

/* The alarm's time of day in seconds after midnight. */
int AlarmTime(const Alarm* alarm)
{
    return alarm->option.hour * 3600 + alarm->option.minute * 60;
}

/* "7:30 起床": the time and, where there is one, the label. */
void FormatAlarmTime(WCHAR* out, const Alarm* alarm)
{
    wsprintfW(out, L"%d:%02d%s%s", alarm->option.hour, alarm->option.minute, alarm->label[0] ? L" " : L"", alarm->label);
}

/* Each alarm that is on waits for the next moment after now that its wall clock shows
   its time on one of its days. */
void ScheduleAlarms(const TIME_ZONE_INFORMATION* zone, ULONGLONG now)
{
    for (int i = 0; i < gState->alarmCount; i++) {
        Alarm* alarm = &gState->alarms[i];
        alarm->wallTarget = alarm->option.on == 1 ? NextWallTime(zone, now, AlarmTime(alarm), alarm->option.days) : 0;
    }
}

/* Arms the alarm timer for the first of the alarms, the snoozed ring, the end of an
   unanswered ring's sound and the time signal; kills it when nothing is due. Returns
   the delay in milliseconds, 0 for none. */
DWORD ArmAlarmsAt(HWND wnd, const TIME_ZONE_INFORMATION* zone, ULONGLONG now)
{
    ClockState* s = gState;
    ULONGLONG first = 0;
    auto consider = [&](ULONGLONG at) { if (at && (!first || at < first)) first = at; };

    for (int i = 0; i < s->alarmCount; i++)
        if (s->alarms[i].wallTarget) consider(UtcFromLocal(zone, s->alarms[i].wallTarget));
    consider(s->snoozeAt);
    consider(s->ringQuietAt);
    consider(s->chimeAt = NextChime(zone, now, s->options.chime, CHIME_LEAD));
    if (!first) {
        KillTimer(wnd, TIMER_ALARM);
        return 0;
    }
    ULONGLONG delay = first > now ? (first - now + FILETIME_MS - 1) / FILETIME_MS : USER_TIMER_MINIMUM;
    if (delay > USER_TIMER_MAXIMUM) delay = USER_TIMER_MAXIMUM;
    SetTimer(wnd, TIMER_ALARM, (UINT)delay, NULL);
    return (DWORD)delay;
}

void ArmAlarms(HWND wnd)
{
    ArmAlarmsAt(wnd, NULL, UtcNow());
}

/* Adds lines below those in text, as far as they fit whole. */
static void AppendLines(WCHAR* text, const WCHAR* lines)
{
    int length = lstrlenW(text);
    if (!lines[0] || length + 2 + lstrlenW(lines) >= RING_TEXT_SIZE) return;
    if (length) lstrcatW(text, L"\r\n");
    lstrcatW(text, lines);
}

int Ringing(void)
{
    return gState->alarming || gState->ringWindow;
}

/* The alarm window comes up above every other window without taking the keyboard, on
   the monitor of the clock; an alarm still unanswered keeps its lines above the new. */
static void Ring(HWND wnd, const AlarmRing* ring, ULONGLONG now)
{
    ClockState* s = gState;
    if (!s->ringWindow) s->ring.text[0] = L'\0';
    AppendLines(s->ring.text, ring->text);
    lstrcpyW(s->ring.wave, ring->wave);
    s->ring.loop = ring->loop;
    if (!PlaySoundFile(s->ring.wave, s->ring.loop)) PlayTone(ToneAlarm, s->ring.loop);
    s->ringQuietAt = s->ring.loop ? now + RING_QUIET_TIME : 0;
    if (!s->ringWindow && (s->ringWindow = CreateDialogParamW(gInstance, MAKEINTRESOURCEW(IDD_ALARM_RING), NULL,
                                                              AlarmRingDlgProc, 0)) != NULL) {
        RECT box;
        MONITORINFO monitor = { sizeof(monitor) };
        GetWindowRect(s->ringWindow, &box);
        GetMonitorInfoW(MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST), &monitor);
        SetWindowPos(s->ringWindow, HWND_TOPMOST,
                     (monitor.rcWork.left + monitor.rcWork.right - (box.right - box.left)) / 2,
                     (monitor.rcWork.top + monitor.rcWork.bottom - (box.bottom - box.top)) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    SetDlgItemTextW(s->ringWindow, IDC_RING_TEXT, s->ring.text);
    FlashTaskbar(wnd, FLASHW_TRAY | FLASHW_TIMERNOFG);
}

/* Everything due by now: the alarms ring as one, the first one's sound playing, in a loop
   if any of them rings until stopped; one missed by more than the late limit is passed
   over. A once alarm switches itself off, and that is stored at once. The time signal
   plays unless something rings. Then the timer is armed for what comes next. */
void RingDueAlarmsAt(HWND wnd, const TIME_ZONE_INFORMATION* zone, ULONGLONG now)
{
    ClockState* s = gState;
    AlarmRing ring = {};
    int stored = 0;

    now += ALARM_SLACK;
    for (int i = 0; i < s->alarmCount; i++) {
        Alarm* alarm = &s->alarms[i];
        ULONGLONG due = alarm->wallTarget ? UtcFromLocal(zone, alarm->wallTarget) : now + 1;
        if (due > now) continue;
        if (now - due <= ALARM_LATE_LIMIT) {
            WCHAR line[16 + ALARM_LABEL_SIZE];
            FormatAlarmTime(line, alarm);
            if (!ring.text[0]) lstrcpyW(ring.wave, alarm->wave);
            AppendLines(ring.text, line);
            ring.loop |= alarm->option.untilStopped == 1;
        }
        if (alarm->option.days & EVERY_DAY) {
            alarm->wallTarget = NextWallTime(zone, now, AlarmTime(alarm), alarm->option.days);
        } else {
            alarm->option.on = 0;
            alarm->wallTarget = 0;
            stored = 1;
        }
    }
    if (s->snoozeAt && s->snoozeAt <= now) {
        if (now - s->snoozeAt <= ALARM_LATE_LIMIT) {
            if (!ring.text[0]) lstrcpyW(ring.wave, s->snooze.wave);
            AppendLines(ring.text, s->snooze.text);
            ring.loop |= s->snooze.loop;
        }
        s->snoozeAt = 0;
    }
    if (s->ringQuietAt && s->ringQuietAt <= now) {
        StopSound();
        s->ringQuietAt = 0;
    }
    if (stored) SaveAlarms();
    if (ring.text[0]) Ring(wnd, &ring, now);
    else if (s->chimeAt && s->chimeAt <= now && now - s->chimeAt < FILETIME_SECOND && !Ringing()) PlayTone(ToneChime, 0);
    ArmAlarmsAt(wnd, zone, now);
}

/* The alarm timer, a new time or zone, a resume from sleep. */
void RingDueAlarms(HWND wnd)
{
    RingDueAlarmsAt(wnd, NULL, UtcNow());
}

/* A key, a click, a command or the alarm window's button answers whatever rings: the
   alarm and a countdown's end share the one sound, and both stop. The zero count stays
   steady. Returns whether anything rang. */
int EndRinging(HWND wnd)
{
    ClockState* s = gState;
    if (!Ringing()) return 0;
    StopSound();
    if (s->ringWindow) DestroyWindow(s->ringWindow);
    s->ringWindow = NULL;
    s->ringQuietAt = 0;
    FlashTaskbar(wnd, FLASHW_STOP);
    if (s->alarming) {
        s->alarming = 0;
        ArmTick(wnd);
        InvalidateRect(wnd, NULL, FALSE);
    }
    ArmAlarms(wnd);
    return 1;
}

/* Stops the ring and brings it back, with any snoozed before, five minutes on. */
static void Snooze(HWND wnd)
{
    ClockState* s = gState;
    if (!s->snoozeAt) {
        s->snooze.text[0] = L'\0';
        s->snooze.loop = 0;
    }
    AppendLines(s->snooze.text, s->ring.text);
    lstrcpyW(s->snooze.wave, s->ring.wave);
    s->snooze.loop |= s->ring.loop;
    s->snoozeAt = UtcNow() + SNOOZE_TIME;
    EndRinging(wnd);
}

/* The alarm's lines twice the dialog's size, to be read from across the room. */
static void InitRingWindow(HWND dlg)
{
    LOGFONTW lf = {};
    GetObjectW((HFONT)SendMessageW(dlg, WM_GETFONT, 0, 0), sizeof(lf), &lf);
    lf.lfHeight *= 2;
    HFONT font = CreateFontIndirectW(&lf);
    SetWindowLongPtrW(dlg, DWLP_USER, (LONG_PTR)font);
    SendDlgItemMessageW(dlg, IDC_RING_TEXT, WM_SETFONT, (WPARAM)font, FALSE);
}

INT_PTR CALLBACK AlarmRingDlgProc(HWND dlg, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        InitRingWindow(dlg);
        return FALSE;    /* no focus: the keyboard stays with the program in use */
    case WM_DESTROY:
        DeleteObject((HFONT)GetWindowLongPtrW(dlg, DWLP_USER));
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_RING_SNOOZE) Snooze(gMainWnd);
        else if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndRinging(gMainWnd);
        return TRUE;
    }
    return FALSE;
}
