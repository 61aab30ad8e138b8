#include "face_text.h"
#include "../state/clock_state.h"
#include "../res/resource.h"
#include <stdlib.h>

Era gEras[MAX_ERAS];
int gEraCount;

/* Takes one value of the system's era list: named by the era's first day, "YYYY MM DD",
   holding four fields joined by "_", "名前_略_English_E". Anything else is passed over. */
static void AddEra(const WCHAR* day, DWORD dayLength, const WCHAR* data)
{
    static const char shape[] = "#### ## ##";
    int nameLength = 0, joins = 0;
    if (dayLength != 10 || gEraCount >= MAX_ERAS) return;
    for (int i = 0; i < 10; i++)
        if (shape[i] == '#' ? day[i] < '0' || day[i] > '9' : day[i] != ' ') return;
    int year = _wtoi(day), month = _wtoi(day + 5), first = _wtoi(day + 8);
    while (data[nameLength] && data[nameLength] != '_') nameLength++;
    for (const WCHAR* c = data; *c; c++) joins += *c == '_';
    if (year < 1 || month < 1 || month > 12 || first < 1 || first > 31 || nameLength < 1 || nameLength > 4 || joins != 3)
        return;

    Era era = { (DWORD)(year * 10000 + month * 100 + first), L"" };
    CopyMemory(era.name, data, nameLength * sizeof(WCHAR));
    int i = gEraCount++;
    for (; i > 0 && gEras[i - 1].start > era.start; i--) gEras[i] = gEras[i - 1];
    gEras[i] = era;
}

/* The eras from the list Windows keeps for new ones, so that an era Windows learns of
   shows without a new VELMOR; after its last era, those known when this was written,
   for a list that is missing, holds nothing usable, or predates an era. Read once, at
   start-up. */
void LoadEras(void)
{
    static const Era known[] = {
        { 18680101, L"明治" }, { 19120730, L"大正" }, { 19261225, L"昭和" }, { 19890108, L"平成" }, { 20190501, L"令和" },
    };
    HKEY key;
    gEraCount = 0;
    if (!RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Nls\\Calendars\\Japanese\\Eras",
                       0, KEY_READ, &key)) {
        WCHAR day[16], data[64];
        DWORD type, dayLength, size;
        for (DWORD i = 0;; i++) {
            dayLength = ARRAYSIZE(day);
            size = sizeof(data) - sizeof(WCHAR);
            LONG result = RegEnumValueW(key, i, day, &dayLength, NULL, &type, (BYTE*)data, &size);
            /* A value too large is passed over; any other failure ends the list. */
            if (result == ERROR_MORE_DATA) continue;
            if (result != ERROR_SUCCESS) break;
            if (type != REG_SZ) continue;
            data[size / sizeof(WCHAR)] = 0;
            AddEra(day, dayLength, data);
        }
        RegCloseKey(key);
    }
    DWORD last = gEraCount ? gEras[gEraCount - 1].start : 0;
    for (const Era& era : known)
        if (era.start > last && gEraCount < MAX_ERAS) gEras[gEraCount++] = era;
}

/* 令和元年5月1日: the era's name and year, 元 for its first. 0 before the first era. */
static int FormatEraDate(WCHAR* out, int year, int month, int day)
{
    DWORD date = year * 10000 + month * 100 + day;
    int i = gEraCount;
    while (i > 0 && gEras[i - 1].start > date) i--;
    if (i == 0) return 0;
    int eraYear = year - (int)(gEras[i - 1].start / 10000) + 1;
    WCHAR number[12] = L"元";
    if (eraYear > 1) wsprintfW(number, L"%d", eraYear);
    wsprintfW(out, L"%s%s年%d月%d日", gEras[i - 1].name, number, month, day);
    return 1;
}

void FormatDate(WCHAR* out, const SYSTEMTIME* t, BYTE format)
{
    int year = t->wYear, month = t->wMonth, day = t->wDay;
    if (format == 12 && FormatEraDate(out, year, month, day)) return;
    switch (format) {
    case 1:  wsprintfW(out, L"%d/%d/%d", year, month, day); break;
    case 10: wsprintfW(out, L"%d年%d月%d日", year, month, day); break;
    case 11: wsprintfW(out, L"平成%d年%d月%d日", year - 1988, month, day); break;
    default: wsprintfW(out, L"%4d/%02d/%02d", year, month, day); break;
    }
}

/* Noon and midnight both read 0 on the 12-hour dial. */
void FormatTime(WCHAR* out, const SYSTEMTIME* t, BYTE format)
{
    int hour = t->wHour, minute = t->wMinute, second = t->wSecond, hour12 = hour % 12;
    const WCHAR* half = hour < 12 ? L"午前" : L"午後";

    switch (format) {
    case 1:  wsprintfW(out, L"%d:%d:%d", hour, minute, second); break;
    case 2:  wsprintfW(out, L"%02d:%02d", hour, minute); break;
    case 5:  wsprintfW(out, L"%d:%d:%d %s", hour12, minute, second, hour < 12 ? L"AM" : L"PM"); break;
    case 6:  wsprintfW(out, L"%d:%d:%d %s", hour12, minute, second, hour < 12 ? L"am" : L"pm"); break;
    case 7:  wsprintfW(out, L"%d:%02d %s", hour12, minute, hour < 12 ? L"AM" : L"PM"); break;
    case 10: wsprintfW(out, L"%d時%d分%d秒", hour, minute, second); break;
    case 11: wsprintfW(out, L"%s %d時%d分%d秒", half, hour12, minute, second); break;
    case 12: wsprintfW(out, L"%d時%d分", hour, minute); break;
    case 13: wsprintfW(out, L"%s %d時%d分", half, hour12, minute); break;
    default: wsprintfW(out, L"%02d:%02d:%02d", hour, minute, second); break;
    }
}

/* Whether a time format shows seconds; a code it does not know formats as 0, which does. */
int TimeShowsSeconds(BYTE format)
{
    return format != 2 && format != 7 && format != 12 && format != 13;
}

/* Appends "(letters)" for the day of the week, unless weekday says no suffix. */
static void AppendWeekday(WCHAR* out, int dayOfWeek, BYTE weekday)
{
    WCHAR names[32], letters[8];

    if (weekday > 1) return;
    int n = weekday == 0 ? 3 : 1;
    ZeroMemory(names, sizeof(names));
    LoadStringW(gInstance, weekday == 0 ? IDS_WEEKDAY_EN : IDS_WEEKDAY_JA, names, ARRAYSIZE(names));
    /* An out-of-range day gives empty parentheses rather than a read past the list. */
    letters[0] = L'\0';
    if (dayOfWeek < 7) lstrcpynW(letters, names + dayOfWeek * n, n + 1);
    lstrcatW(out, L"(");
    lstrcatW(out, letters);
    lstrcatW(out, L")");
}

void FormatClockTextsAt(const SYSTEMTIME* now)
{
    ClockState* s = gState;

    FormatDate(s->date.text, now, s->date.item.format);
    FormatTime(s->time.text, now, s->time.item.format);
    AppendWeekday(s->date.text, now->wDayOfWeek, s->options.weekday);
    if (s->options.oneLine) {
        lstrcatW(s->date.text, L" ");
        lstrcatW(s->date.text, s->time.text);
    }
}

void FormatClockTexts(void)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    FormatClockTextsAt(&now);
}

/* A count of milliseconds, to the tenth of a second below it. */
void FormatCount(WCHAR* out, DWORD milliseconds, BYTE format)
{
    DWORD t = milliseconds / 100;
    int total = (int)(t / 10);
    int tenths = (int)(t % 10), seconds = total % 60, minutes = total / 60 % 60, hours = total / 3600;
    switch (format) {
    case 1:  wsprintfW(out, L"%d:%d:%d.%d", hours, minutes, seconds, tenths); break;
    case 10: wsprintfW(out, L"%d時%d分%d秒.%d", hours, minutes, seconds, tenths); break;
    default: wsprintfW(out, L"%02d:%02d:%02d.%d", hours, minutes, seconds, tenths); break;
    }
}
