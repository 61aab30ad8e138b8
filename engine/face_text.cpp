#include "face_text.h"
#include "count_modes.h"
#include "../state/clock_state.h"
#include "../res/resource.h"
#include <stdlib.h>

Era gEras[MAX_ERAS];
int gEraCount;

/* Takes one value of the system's era list: named by the era's first day, "YYYY MM DD",
   holding "名前_略_English_E". Anything else is passed over. */
static void AddEra(const WCHAR* day, DWORD dayLength, const WCHAR* data)
{
    static const char shape[] = "#### ## ##";
    int nameLength = 0;
    BOOL lossy = FALSE;
    if (dayLength != 10) return;
    for (int i = 0; i < 10; i++)
        if (shape[i] == '#' ? day[i] < '0' || day[i] > '9' : day[i] != ' ') return;
    int year = _wtoi(day), month = _wtoi(day + 5), first = _wtoi(day + 8);
    while (data[nameLength] && data[nameLength] != '_') nameLength++;
    if (year < 1 || month < 1 || month > 12 || first < 1 || first > 31 || nameLength < 1 || nameLength > 4) return;

    Era era = { (DWORD)(year * 10000 + month * 100 + first), "" };
    if (!WideCharToMultiByte(932, 0, data, nameLength, era.name, sizeof(era.name) - 1, NULL, &lossy) || lossy) return;
    int i = gEraCount++;
    for (; i > 0 && gEras[i - 1].start > era.start; i--) gEras[i] = gEras[i - 1];
    gEras[i] = era;
}

/* The eras from the list Windows keeps for new ones, so that an era Windows learns of
   shows without a new VELMOR; the eras known when this was written where that list is
   missing or holds nothing usable. Read once, at start-up. */
void LoadEras(void)
{
    static const Era known[] = {
        { 18680101, "明治" }, { 19120730, "大正" }, { 19261225, "昭和" }, { 19890108, "平成" }, { 20190501, "令和" },
    };
    HKEY key;
    gEraCount = 0;
    if (!RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Nls\\Calendars\\Japanese\\Eras",
                       0, KEY_READ, &key)) {
        WCHAR day[16], data[64];
        DWORD type, dayLength, size;
        for (DWORD i = 0; gEraCount < MAX_ERAS; i++) {
            dayLength = ARRAYSIZE(day);
            size = sizeof(data) - sizeof(WCHAR);
            LONG result = RegEnumValueW(key, i, day, &dayLength, NULL, &type, (BYTE*)data, &size);
            if (result == ERROR_NO_MORE_ITEMS) break;
            if (result != ERROR_SUCCESS || type != REG_SZ) continue;
            data[size / sizeof(WCHAR)] = 0;
            AddEra(day, dayLength, data);
        }
        RegCloseKey(key);
    }
    if (gEraCount == 0) {
        CopyMemory(gEras, known, sizeof(known));
        gEraCount = ARRAYSIZE(known);
    }
}

/* 令和元年5月1日: the era's name and year, 元 for its first. 0 before the first era. */
static int FormatEraDate(char* out, int year, int month, int day)
{
    DWORD date = year * 10000 + month * 100 + day;
    int i = gEraCount;
    while (i > 0 && gEras[i - 1].start > date) i--;
    if (i == 0) return 0;
    int eraYear = year - (int)(gEras[i - 1].start / 10000) + 1;
    char number[12] = "元";
    if (eraYear > 1) wsprintfA(number, "%d", eraYear);
    wsprintfA(out, "%s%s年%d月%d日", gEras[i - 1].name, number, month, day);
    return 1;
}

static void FormatDate(char* out, const SYSTEMTIME* t, BYTE format)
{
    int year = t->wYear, month = t->wMonth, day = t->wDay;
    if (format == 12 && FormatEraDate(out, year, month, day)) return;
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
