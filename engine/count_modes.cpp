#include "count_modes.h"
#include <mmsystem.h>
#include "../state/clock_state.h"
#include "../res/resource.h"
#include "face_text.h"

int Counting(void)
{
    return gState->mode == CountUp || gState->mode == CountDown;
}

/* A stop that left a count-up, or a countdown with time to go, can be gone on with. */
int CanResume(void)
{
    return gState->mode == Stopped && gState->pausedMode != Clock;
}

/* Milliseconds to the next tick the mode needs, 0 for none: the clock's comes just
   after its next second begins, a count's every tenth, a ringing alarm's at each blink,
   and a stopped count needs none. */
DWORD TickDelay(int mode, int alarming, WORD milliseconds)
{
    switch (mode) {
    case Clock:   return 1000 - milliseconds % 1000 + TICK_MARGIN;
    case Stopped: return alarming ? BLINK_PERIOD : 0;
    default:      return TICK_PERIOD;
    }
}

void ArmTick(HWND wnd)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    DWORD delay = TickDelay(gState->mode, gState->alarming, now.wMilliseconds);
    if (delay) SetTimer(wnd, TIMER_TICK, delay, NULL);
    else KillTimer(wnd, TIMER_TICK);
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

static ULONGLONG Utc(const TIME_ZONE_INFORMATION* zone, const SYSTEMTIME* local)
{
    SYSTEMTIME utc;
    FILETIME file;
    if (!TzSpecificLocalTimeToSystemTime(zone, local, &utc) || !SystemTimeToFileTime(&utc, &file)) return 0;
    return (ULONGLONG)file.dwHighDateTime << 32 | file.dwLowDateTime;
}

/* Milliseconds from now, a local time of zone (NULL for the system's), until its wall
   clock next shows the time of day end, in seconds after midnight: today while that is
   ahead, else tomorrow. Worked out in UTC, so that a change of daylight saving time in
   between counts as it passes. */
ULONGLONG MillisecondsToTimeOfDay(const TIME_ZONE_INFORMATION* zone, const SYSTEMTIME* now, DWORD end)
{
    SYSTEMTIME target = *now;
    FILETIME day;
    if (end <= (DWORD)(now->wHour * 3600 + now->wMinute * 60 + now->wSecond)) {
        ULARGE_INTEGER tomorrow;
        SystemTimeToFileTime(now, &day);
        tomorrow.LowPart = day.dwLowDateTime;
        tomorrow.HighPart = day.dwHighDateTime;
        tomorrow.QuadPart += 864000000000ULL;
        day.dwLowDateTime = tomorrow.LowPart;
        day.dwHighDateTime = tomorrow.HighPart;
        FileTimeToSystemTime(&day, &target);
    }
    target.wHour = (WORD)(end / 3600);
    target.wMinute = (WORD)(end / 60 % 60);
    target.wSecond = (WORD)(end % 60);
    target.wMilliseconds = 0;
    ULONGLONG from = Utc(zone, now), to = Utc(zone, &target);
    return to > from ? (to - from) / 10000 : 0;
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
    if (Counting()) return;
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
    if (!Counting()) return;
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
    s->countdownTarget = 0;
    RestartTick(wnd);
}

void ResumeCount(HWND wnd)
{
    ResumeCountAt(wnd, GetTickCount());
}

static ULONGLONG UtcNow(void)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (ULONGLONG)now.dwHighDateTime << 32 | now.dwLowDateTime;
}

void StartCountDown(HWND wnd)
{
    ClockState* s = gState;
    if (Counting()) return;
    if (DialogBoxParamW(gInstance, MAKEINTRESOURCEW(IDD_COUNTDOWN), wnd, CountdownDlgProc, 0) != IDOK)
        return;
    KillTimer(wnd, TIMER_TICK);
    s->countLength = s->countdownSeconds * 1000;
    s->countdownTarget = 0;
    if (s->countdownToTime) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        s->countLength = (DWORD)MillisecondsToTimeOfDay(NULL, &now, s->countdownEnd);
        s->countdownTarget = UtcNow() + (ULONGLONG)s->countLength * 10000;
    }
    s->mode = CountDown;
    s->tickMark = GetTickCount() + s->countLength;
    RestartTick(wnd);
}

/* The wall clock jumped (a new time or zone, a resume from sleep): a countdown to a time
   of day takes what is left from it. */
void RetimeCountdown(DWORD now)
{
    ClockState* s = gState;
    if (s->mode != CountDown || !s->countdownTarget) return;
    ULONGLONG utc = UtcNow();
    s->countLength = s->countdownTarget > utc ? (DWORD)((s->countdownTarget - utc) / 10000) : 0;
    s->tickMark = now + s->countLength;
}

/* The WAVE file playing, read whole: the system's sound call opens a file by a name in
   the ANSI code page, which cannot name every path. It lives until the next play. */
static BYTE* gSound;

/* Plays the file at path once or in a loop, from memory where it can be read whole, else
   by its name: a file that cannot be played gives the system's default sound. */
int PlayWaveFile(const WCHAR* path, int loop)
{
    LARGE_INTEGER size = {};
    DWORD read = 0, flags = SND_ASYNC | (loop ? SND_LOOP : 0);

    PlaySoundW(NULL, NULL, 0);
    HeapFree(GetProcessHeap(), 0, gSound);
    gSound = NULL;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= WAVE_SIZE_LIMIT &&
            (gSound = (BYTE*)HeapAlloc(GetProcessHeap(), 0, (SIZE_T)size.QuadPart)))
            ReadFile(file, gSound, (DWORD)size.QuadPart, &read, NULL);
        CloseHandle(file);
    }
    if (gSound && read == size.QuadPart) return PlaySoundW((LPCWSTR)gSound, NULL, SND_MEMORY | flags);
    return PlaySoundW(path, NULL, flags);
}

static void FlashTaskbar(HWND wnd, DWORD flags)
{
    FLASHWINFO flash = { sizeof(flash), wnd, flags, 0, 0 };
    FlashWindowEx(&flash);
}

/* The countdown is at zero, whether the window is shown or not: the zero count stays on
   the face, the WAVE file plays, once, or until the user stops it with the count
   blinking and the taskbar button flashing. Nothing is left to go on with. */
void FinishCountdown(HWND wnd)
{
    ClockState* s = gState;
    int untilStopped = s->options.alarmUntilStopped == 1;

    KillTimer(wnd, TIMER_TICK);
    FormatCountTextAt(s->tickMark);
    s->mode = Stopped;
    s->pausedMode = Clock;
    if (s->wavePath[0]) PlayWaveFile(s->wavePath, untilStopped);
    if (untilStopped) {
        s->alarming = 1;
        s->alarmStart = GetTickCount();
        FlashTaskbar(wnd, FLASHW_TRAY | FLASHW_TIMERNOFG);
    }
    RestartTick(wnd);
}

/* A key, a click or a command stops a ringing alarm: silence at once, the zero count
   steady. Returns whether one rang. */
int EndAlarm(HWND wnd)
{
    if (!gState->alarming) return 0;
    PlaySoundW(NULL, NULL, 0);
    gState->alarming = 0;
    FlashTaskbar(wnd, FLASHW_STOP);
    ArmTick(wnd);
    InvalidateRect(wnd, NULL, FALSE);
    return 1;
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
