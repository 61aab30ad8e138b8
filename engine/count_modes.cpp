#include "count_modes.h"
#include <mmsystem.h>
#include "../state/clock_state.h"
#include "../res/resource.h"
#include "face_text.h"
#include "wall_clock.h"
#include "sounds.h"

int Counting(void)
{
    return gState->mode == CountUp || gState->mode == CountDown;
}

/* A stop that left a count-up, or a countdown with time to go, can be gone on with. */
int CanResume(void)
{
    return gState->mode == Stopped && gState->pausedMode != Clock;
}

/* Milliseconds to the next tick the mode needs at now, 0 for none: the clock's comes just
   after its next second begins, or its next minute when the time line shows no seconds; a
   count's every tenth, a ringing end's at each blink, and a stopped count needs none. */
DWORD TickDelay(int mode, int alarming, BYTE timeFormat, const SYSTEMTIME* now)
{
    DWORD second = 1000 - now->wMilliseconds % 1000;
    switch (mode) {
    case Clock:   return second + (TimeShowsSeconds(timeFormat) ? 0 : (59 - now->wSecond % 60) * 1000) + TICK_MARGIN;
    case Stopped: return alarming ? BLINK_PERIOD : 0;
    default:      return TICK_PERIOD;
    }
}

/* Arms the tick the clock needs at now, or none; returns its delay. */
DWORD ArmTickAt(HWND wnd, const SYSTEMTIME* now)
{
    DWORD delay = TickDelay(gState->mode, gState->alarming, gState->time.item.format, now);
    if (delay) SetTimer(wnd, TIMER_TICK, delay, NULL);
    else KillTimer(wnd, TIMER_TICK);
    return delay;
}

void ArmTick(HWND wnd)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    ArmTickAt(wnd, &now);
}

/* Starts the new mode's tick and shows the mode at once. A screen reader hears of the
   new face text here, once a mode; it asks for the text itself, not each second. */
static void RestartTick(HWND wnd)
{
    ArmTick(wnd);
    InvalidateRect(wnd, NULL, FALSE);
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, wnd, OBJID_CLIENT, CHILDID_SELF);
}

/* Milliseconds the countdown has left at now, 0 once it is over: past the end the
   difference wraps to more than the countdown ever had. */
DWORD CountdownLeft(DWORD now)
{
    DWORD left = gState->tickMark - now;
    return left > gState->countLength ? 0 : left;
}

/* The count the face shows, in milliseconds: running, as at now; stopped, as at the
   stop; 0 when a countdown has ended. */
DWORD CountMilliseconds(DWORD now)
{
    ClockState* s = gState;
    ClockMode counting = s->mode == Stopped ? s->pausedMode : s->mode;
    if (s->mode == Stopped) now = s->pausedAt;
    if (counting == CountUp) return now - s->tickMark;
    return counting == CountDown ? CountdownLeft(now) : 0;
}

/* The count line at now, counted up or left; a stopped count keeps the text it stopped
   at, and the clock has none. */
void FormatCountTextAt(DWORD now)
{
    if (Counting()) FormatCount(gState->count.text, CountMilliseconds(now), gState->count.item.format);
}

void FormatCountText(void)
{
    FormatCountTextAt(GetTickCount());
}

void ShowNow(HWND wnd)
{
    if (gState->mode == Clock) return;
    KillTimer(wnd, TIMER_TICK);
    gState->mode = Clock;
    RestartTick(wnd);
}

void StartCountUp(HWND wnd)
{
    KillTimer(wnd, TIMER_TICK);
    gState->mode = CountUp;
    gState->tickMark = GetTickCount();
    RestartTick(wnd);
}

/* Stops a count at now, its face frozen at that very instant; a countdown that has
   reached zero ends as at its tick. */
void StopCountAt(HWND wnd, DWORD now)
{
    ClockState* s = gState;
    if (s->mode == CountDown && !CountdownLeft(now)) {
        FinishCountdown(wnd);
        return;
    }
    KillTimer(wnd, TIMER_TICK);
    FormatCountTextAt(now);
    s->pausedMode = s->mode;
    s->pausedAt = now;
    s->mode = Stopped;
    RestartTick(wnd);
}

void StopCount(HWND wnd)
{
    StopCountAt(wnd, GetTickCount());
}

/* Goes on with the stopped count from the instant it stopped: the time it spent stopped
   counts for nothing, and a countdown to a time of day goes on as a length. */
void ResumeCountAt(HWND wnd, DWORD now)
{
    ClockState* s = gState;
    if (!CanResume()) return;
    if (s->pausedMode == CountUp) s->tickMark = now - (s->pausedAt - s->tickMark);
    else s->tickMark = now + (s->tickMark - s->pausedAt);
    s->mode = s->pausedMode;
    s->countdownWall = 0;
    RestartTick(wnd);
}

void ResumeCount(HWND wnd)
{
    ResumeCountAt(wnd, GetTickCount());
}

/* A countdown to a time of day ends at the next moment the wall clock shows it, as an
   alarm rings, whatever the summer time does in between. */
void StartCountDown(HWND wnd)
{
    ClockState* s = gState;
    if (DialogBoxParamW(gInstance, MAKEINTRESOURCEW(IDD_COUNTDOWN), wnd, CountdownDlgProc, 0) != IDOK)
        return;
    KillTimer(wnd, TIMER_TICK);
    s->countLength = s->countdownSeconds * 1000;
    s->countdownWall = 0;
    if (s->countdownToTime) {
        ULONGLONG now = UtcNow();
        s->countdownWall = NextWallTime(NULL, now, s->countdownEnd, 0);
        s->countLength = (DWORD)((UtcFromLocal(NULL, s->countdownWall) - now) / FILETIME_MS);
    }
    s->mode = CountDown;
    s->tickMark = GetTickCount() + s->countLength;
    RestartTick(wnd);
}

/* The wall clock jumped (a new time or zone, a resume from sleep): a countdown to a time
   of day ends when the new wall clock shows that time, at once if it is past. */
void RetimeCountdownAt(const TIME_ZONE_INFORMATION* zone, ULONGLONG utc, DWORD now)
{
    ClockState* s = gState;
    if (s->mode != CountDown || !s->countdownWall) return;
    ULONGLONG end = UtcFromLocal(zone, s->countdownWall);
    s->countLength = end > utc ? (DWORD)((end - utc) / FILETIME_MS) : 0;
    s->tickMark = now + s->countLength;
}

void RetimeCountdown(void)
{
    RetimeCountdownAt(NULL, UtcNow(), GetTickCount());
}

void FlashTaskbar(HWND wnd, DWORD flags)
{
    FLASHWINFO flash = { sizeof(flash), wnd, flags, 0, 0 };
    FlashWindowEx(&flash);
}

/* The countdown is at zero, whether the window is shown or not: the zero count stays on
   the face, the WAVE file plays (the built-in tone where there is none it can play, if
   chosen), once, or until the user stops it with the count blinking and the taskbar
   button flashing. Nothing is left to go on with. */
void FinishCountdown(HWND wnd)
{
    ClockState* s = gState;
    int untilStopped = s->options.alarmUntilStopped == 1;

    KillTimer(wnd, TIMER_TICK);
    FormatCountTextAt(s->tickMark);
    s->mode = Stopped;
    s->pausedMode = Clock;
    if (!PlaySoundFile(s->wavePath, untilStopped)) {
        if (s->options.builtInSound == 1) PlayTone(ToneAlarm, untilStopped);
        /* Without the built-in tone, as before it: by its name, the system's own sound if
           the file is missing. */
        else if (s->wavePath[0]) PlaySoundW(s->wavePath, NULL, SND_ASYNC | (untilStopped ? SND_LOOP : 0));
    }
    if (untilStopped) {
        s->alarming = 1;
        s->alarmStart = GetTickCount();
        FlashTaskbar(wnd, FLASHW_TRAY | FLASHW_TIMERNOFG);
    }
    RestartTick(wnd);
}

/* The last choice again: a length, or a time of day, in the same three fields. */
static void InitCountdownDialog(HWND dlg)
{
    DWORD s = gState->countdownToTime ? gState->countdownEnd : gState->countdownSeconds;
    CheckRadioButton(dlg, IDC_CD_LENGTH, IDC_CD_END, gState->countdownToTime ? IDC_CD_END : IDC_CD_LENGTH);
    DWORD hours = s / 3600, minutes = (s - hours * 3600) / 60;
    SetDlgItemInt(dlg, IDC_CD_HOURS, hours, FALSE);
    SetDlgItemInt(dlg, IDC_CD_MINUTES, minutes, FALSE);
    SetDlgItemInt(dlg, IDC_CD_SECONDS, s - hours * 3600 - minutes * 60, FALSE);
}

/* Reads one field; an empty field is 0. Fails for what is not a number it can hold. */
static int ReadCountdownField(HWND dlg, int id, ULONGLONG* value)
{
    BOOL ok;
    *value = GetDlgItemInt(dlg, id, &ok, FALSE);
    return ok || GetWindowTextLengthW(GetDlgItem(dlg, id)) == 0;
}

static int Refuse(HWND dlg, const WCHAR* text)
{
    MessageBoxW(dlg, text, L"カウントダウン", MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

/* Takes the length or the time of day from the fields; refuses, with the dialog left
   open, what would silently become another countdown. */
static int ReadCountdownDialog(HWND dlg)
{
    ULONGLONG hours, minutes, seconds;
    int toTime = IsDlgButtonChecked(dlg, IDC_CD_END) == BST_CHECKED;
    if (!ReadCountdownField(dlg, IDC_CD_HOURS, &hours) ||
        !ReadCountdownField(dlg, IDC_CD_MINUTES, &minutes) ||
        !ReadCountdownField(dlg, IDC_CD_SECONDS, &seconds))
        return Refuse(dlg, L"時間、分、秒には数字を入力してください。");
    ULONGLONG total = seconds + 60 * minutes + 3600 * hours;
    if (toTime && (hours > 23 || minutes > 59 || seconds > 59))
        return Refuse(dlg, L"終了時刻は 0 時 0 分 0 秒から 23 時 59 分 59 秒までの時刻で入力してください。");
    if (total > COUNTDOWN_MAX_SECONDS) return Refuse(dlg, L"カウントダウンは999時間までです。");
    gState->countdownToTime = toTime;
    if (toTime) gState->countdownEnd = (DWORD)total;
    else gState->countdownSeconds = (DWORD)total;
    return 1;
}

INT_PTR CALLBACK CountdownDlgProc(HWND dlg, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        InitCountdownDialog(dlg);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (ReadCountdownDialog(dlg)) EndDialog(dlg, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dlg, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}
