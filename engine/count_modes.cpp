#include "count_modes.h"
#include <mmsystem.h>
#include "../state/clock_state.h"
#include "../res/resource.h"

int Counting(void)
{
    return gState->mode == CountUp || gState->mode == CountDown;
}

/* Milliseconds to the next tick the mode needs, 0 for none: the clock's comes just
   after its next second begins, a count's every tenth, and a stopped count needs none. */
DWORD TickDelay(int mode, WORD milliseconds)
{
    switch (mode) {
    case Clock:   return 1000 - milliseconds % 1000 + TICK_MARGIN;
    case Stopped: return 0;
    default:      return TICK_PERIOD;
    }
}

void ArmTick(HWND wnd)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    DWORD delay = TickDelay(gState->mode, now.wMilliseconds);
    if (delay) SetTimer(wnd, TIMER_TICK, delay, NULL);
    else KillTimer(wnd, TIMER_TICK);
}

/* Starts the new mode's tick and shows the mode at once. */
static void RestartTick(HWND wnd)
{
    ArmTick(wnd);
    InvalidateRect(wnd, NULL, FALSE);
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

void StopCount(HWND wnd)
{
    if (!Counting()) return;
    KillTimer(wnd, TIMER_TICK);
    gState->mode = Stopped;
}

void StartCountDown(HWND wnd)
{
    if (Counting()) return;
    if (DialogBoxParamW(gInstance, MAKEINTRESOURCEW(IDD_COUNTDOWN), wnd, CountdownDlgProc, 0) != IDOK)
        return;
    KillTimer(wnd, TIMER_TICK);
    gState->mode = CountDown;
    gState->tickMark = GetTickCount() + gState->countdownSeconds * 1000;
    RestartTick(wnd);
}

/* The WAVE file playing, read whole: the system's sound call opens a file by a name in
   the ANSI code page, which cannot name every path. It lives until the next play. */
static BYTE* gSound;

/* Plays the file at path once, from memory where it can be read whole, else by its name:
   a file that cannot be played gives the system's default sound. */
int PlayWaveFile(const WCHAR* path)
{
    LARGE_INTEGER size = {};
    DWORD read = 0;

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
    if (gSound && read == size.QuadPart) return PlaySoundW((LPCWSTR)gSound, NULL, SND_MEMORY | SND_ASYNC);
    return PlaySoundW(path, NULL, SND_ASYNC);
}

/* Runs inside the paint that computed the zero count, so the stop is posted. */
void FinishCountdown(void)
{
    if (gState->wavePath[0]) PlayWaveFile(gState->wavePath);
    PostMessageW(gMainWnd, WM_COMMAND, IDM_STOP, 0);
}

static void InitCountdownDialog(HWND dlg)
{
    DWORD s = gState->countdownSeconds;
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

/* Takes the length from the fields; refuses, with the dialog left open, what would
   silently become another countdown. */
static int ReadCountdownDialog(HWND dlg)
{
    ULONGLONG hours, minutes, seconds;
    if (!ReadCountdownField(dlg, IDC_CD_HOURS, &hours) ||
        !ReadCountdownField(dlg, IDC_CD_MINUTES, &minutes) ||
        !ReadCountdownField(dlg, IDC_CD_SECONDS, &seconds)) {
        MessageBoxW(dlg, L"時間、分、秒には数字を入力してください。", L"カウントダウン", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    ULONGLONG total = seconds + 60 * minutes + 3600 * hours;
    if (total > COUNTDOWN_MAX_SECONDS) {
        MessageBoxW(dlg, L"カウントダウンは999時間までです。", L"カウントダウン", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    gState->countdownSeconds = (DWORD)total;
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
