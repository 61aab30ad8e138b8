#include "face_text.h"
#include "count_modes.h"
#include "../state/clock_state.h"
#include "../res/resource.h"

static void FormatDate(char* out, const SYSTEMTIME* t, BYTE format)
{
    int year = t->wYear, month = t->wMonth, day = t->wDay;
    switch (format) {
    case 1:  wsprintfA(out, "%d/%d/%d", year, month, day); break;
    case 10: wsprintfA(out, "%d年%d月%d日", year, month, day); break;
    case 11: wsprintfA(out, "平成%d年%d月%d日", year - 1988, month, day); break;
    default: wsprintfA(out, "%4d/%02d/%02d", year, month, day); break;
    }
}

static void FormatTime(char* out, const SYSTEMTIME* t, BYTE format)
{
    int hour = t->wHour, minute = t->wMinute, second = t->wSecond;
    /* Noon and midnight both read 0 on the 12-hour dial. */
    int hour12 = hour >= 12 ? hour - 12 : hour;
    char marker[8];

    switch (format) {
    case 5:
    case 6:
        lstrcpyA(marker, hour < 12 ? "AM" : "PM");
        if (format == 6) CharLowerA(marker);
        wsprintfA(out, "%d:%d:%d %s", hour12, minute, second, marker);
        break;
    case 11:
        wsprintfA(out, "%s %d時%d分%d秒", hour < 12 ? "午前" : "午後", hour12, minute, second);
        break;
    case 10: wsprintfA(out, "%d時%d分%d秒", hour, minute, second); break;
    case 1:  wsprintfA(out, "%d:%d:%d", hour, minute, second); break;
    default: wsprintfA(out, "%02d:%02d:%02d", hour, minute, second); break;
    }
}

/* Appends "(letters)" for the day of the week, unless weekday says no suffix. */
static void AppendWeekday(char* out, int dayOfWeek, BYTE weekday)
{
    char names[32], letters[8];

    if (weekday > 1) return;
    int n = weekday == 0 ? 3 : 2;
    ZeroMemory(names, sizeof(names));
    LoadStringA(gInstance, weekday == 0 ? IDS_WEEKDAY_EN : IDS_WEEKDAY_JA, names, sizeof(names));
    /* An out-of-range day gives empty parentheses rather than a read past the list. */
    letters[0] = '\0';
    if (dayOfWeek < 7) lstrcpynA(letters, names + dayOfWeek * n, n + 1);
    lstrcatA(out, "(");
    lstrcatA(out, letters);
    lstrcatA(out, ")");
}

void FormatClockTextsAt(const SYSTEMTIME* now)
{
    ClockState* s = gState;

    FormatDate(s->date.text, now, s->date.item.format);
    FormatTime(s->time.text, now, s->time.item.format);
    AppendWeekday(s->date.text, now->wDayOfWeek, s->options.weekday);
    if (s->options.oneLine) {
        lstrcatA(s->date.text, " ");
        lstrcatA(s->date.text, s->time.text);
    }
}

void FormatClockTexts(void)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    FormatClockTextsAt(&now);
}

void FormatCountTextAt(DWORD now)
{
    ClockState* s = gState;
    DWORD t;

    if (s->mode == CountUp) {
        t = (now - s->tickMark) / 100;
    } else if (s->mode == CountDown) {
        t = (s->tickMark - now) / 100;
        /* Past the end the difference wraps to a huge value: that is zero left. */
        if ((int)t > (int)(s->countdownSeconds * 10)) t = 0;
    } else {
        return;
    }

    int total = (int)(t / 10);
    int tenths = (int)(t % 10), seconds = total % 60, minutes = total / 60 % 60, hours = total / 3600;
    switch (s->count.item.format) {
    case 1:  wsprintfA(s->count.text, "%d:%d:%d.%d", hours, minutes, seconds, tenths); break;
    case 10: wsprintfA(s->count.text, "%d時%d分%d秒.%d", hours, minutes, seconds, tenths); break;
    default: wsprintfA(s->count.text, "%02d:%02d:%02d.%d", hours, minutes, seconds, tenths); break;
    }
    if (s->mode == CountDown && t == 0) FinishCountdown();
}

void FormatCountText(void)
{
    FormatCountTextAt(GetTickCount());
}
