/* The face texts: every format code, at the instants and ticks where they go wrong. */
#include "support.h"
#include "../engine/face_text.h"
#include "../engine/count_modes.h"
#include "../engine/wall_clock.h"
#include "../state/settings.h"

/* The face as one line: the date line, then the time line unless the date holds it. */
TEST_F(Fresh, ClockTextsByFormatCode)
{
    static const struct { BYTE date, time, weekday, oneLine; WORD y, mo, d, dow, h, mi, s; const WCHAR* face; } rows[] = {
        {  0,  0, 2, 1, 2001, 5, 8, 2,  9, 5, 3, L"2001/05/08 09:05:03" }, {  1,  1, 2, 0, 2001, 5, 8, 2,  9, 5, 3, L"2001/5/8 9:5:3" },
        { 10, 10, 2, 1, 2001, 5, 8, 2, 14, 5, 7, L"2001年5月8日 14時5分7秒" }, { 11, 11, 2, 0, 1989, 1, 8, 0,  0, 0, 0, L"平成1年1月8日 午前 0時0分0秒" },
        { 11, 11, 2, 1, 2026, 12, 7, 1, 12, 0, 0, L"平成38年12月7日 午後 0時0分0秒" },
        { 99,  5, 2, 1, 2001, 5, 8, 2, 12, 0, 0, L"2001/05/08 0:0:0 PM" }, { 2,  5, 2, 1, 2001, 5, 8, 2,  0, 0, 0, L"2001/05/08 0:0:0 AM" },
        {  0,  5, 2, 1, 2001, 5, 8, 2, 23, 59, 59, L"2001/05/08 11:59:59 PM" }, {  0,  6, 2, 1, 2001, 5, 8, 2, 12, 30, 0, L"2001/05/08 0:30:0 pm" },
        {  0,  6, 2, 0, 2001, 5, 8, 2,  1, 0, 0, L"2001/05/08 1:0:0 am" }, {  0, 99, 0, 1, 2001, 5, 8, 2, 14, 5, 7, L"2001/05/08(TUS) 14:05:07" },
        {  0,  0, 0, 1, 2001, 5, 12, 6, 14, 5, 7, L"2001/05/12(SAT) 14:05:07" },
        {  0,  0, 1, 0, 2001, 5, 12, 6, 14, 5, 7, L"2001/05/12(土) 14:05:07" }, {  0,  0, 7, 1, 2001, 5, 8, 2, 14, 5, 7, L"2001/05/08 14:05:07" },
        { 12, 0, 2, 1, 2026, 12, 7, 1, 0, 0, 0, L"令和8年12月7日 00:00:00" }, { 12, 0, 2, 1, 2019, 5, 1, 3, 0, 0, 0, L"令和元年5月1日 00:00:00" },
        { 12, 0, 2, 1, 2019, 4, 30, 2, 0, 0, 0, L"平成31年4月30日 00:00:00" }, { 12, 0, 2, 1, 1989, 1, 8, 0, 0, 0, 0, L"平成元年1月8日 00:00:00" },
        { 12, 0, 2, 1, 1989, 1, 7, 6, 0, 0, 0, L"昭和64年1月7日 00:00:00" }, { 12, 0, 2, 1, 1926, 12, 25, 6, 0, 0, 0, L"昭和元年12月25日 00:00:00" },
        { 12, 0, 2, 1, 1926, 12, 24, 5, 0, 0, 0, L"大正15年12月24日 00:00:00" }, { 12, 0, 2, 1, 1912, 7, 30, 2, 0, 0, 0, L"大正元年7月30日 00:00:00" },
        { 12, 0, 2, 1, 1912, 7, 29, 1, 0, 0, 0, L"明治45年7月29日 00:00:00" }, { 12, 0, 2, 1, 1868, 1, 1, 3, 0, 0, 0, L"明治元年1月1日 00:00:00" },
        { 12, 0, 2, 1, 1867, 12, 31, 2, 0, 0, 0, L"1867/12/31 00:00:00" },
    };
    LoadEras();
    for (const auto& r : rows) {
        SYSTEMTIME t = { r.y, r.mo, r.dow, r.d, r.h, r.mi, r.s, 0 };
        gState->date.item.format = r.date;
        gState->time.item.format = r.time;
        gState->options.weekday = r.weekday;
        gState->options.oneLine = r.oneLine;
        FormatClockTextsAt(&t);
        std::wstring face = gState->date.text;
        if (!r.oneLine) face = face + L" " + gState->time.text;
        EXPECT_EQ(face, r.face) << "row " << &r - rows;
    }
}

/* Counts across the tick's wrap; a countdown past its end reads zero. */
TEST_F(Fresh, CountTextsByModeFormatAndTick)
{
    static const struct { ClockMode mode; BYTE format; DWORD mark, length, now; const WCHAR* text; } rows[] = {
        { CountUp,    0, 1000, 0, 1000 + 3725400, L"01:02:05.4" },   { CountUp,    1, 1000, 0, 1000 + 3725400, L"1:2:5.4" },
        { CountUp,   10, 1000, 0, 1000 + 3725499, L"1時2分5秒.4" },  { CountUp,   99, 1000, 0, 1000 + 3725400, L"01:02:05.4" },
        { CountUp,    0, 5, 0, 5 + 90000000, L"25:00:00.0" },         { CountUp,    0, 0xFFFFFF00u, 0, 0x100, L"00:00:00.5" },
        { CountDown,  0, 61000, 60000, 1000, L"00:01:00.0" },         { CountDown,  0, 61000, 60000, 1001, L"00:00:59.9" },
        { CountDown,  1, 61000, 60000, 60899, L"0:0:0.1" },           { CountDown,  0, 61000, 60000, 60901, L"00:00:00.0" },
        { CountDown,  0, 61000, 60000, 75000, L"00:00:00.0" },        { CountDown,  0, 0x100, 60000, 0xFFFFFF00u, L"00:00:00.5" },
        { CountDown, 10, 0, 0, 0, L"0時0分0秒.0" },                  { Stopped,    0, 0, 0, 5000, L"00:00:07.0" },
        { Clock,      0, 0, 0, 5000, L"00:00:07.0" },
    };
    for (const auto& r : rows) {
        lstrcpyW(gState->count.text, L"00:00:07.0");
        gState->mode = r.mode;
        gState->count.item.format = r.format;
        gState->tickMark = r.mark;
        gState->countLength = r.length;
        FormatCountTextAt(r.now);
        EXPECT_STREQ(gState->count.text, r.text) << "row " << &r - rows;
    }
}

static ULONGLONG Utc(const WORD* t)
{
    SYSTEMTIME at = { t[0], t[1], 0, t[2], t[3], t[4], t[5], 0 };
    ULARGE_INTEGER utc = {};
    return t[0] && SystemTimeToFileTime(&at, (FILETIME*)&utc) ? utc.QuadPart : 0;
}

/* The next moment an alarm or a countdown to a time of day (days, from a time of day) or
   the time signal (chime 1 hourly, 2 half-hourly, 3 none) is due, where it goes wrong:
   the same minute, midnight, the week's end, the hour that comes twice and the hour that
   is skipped in Central Europe (2026: October 25, March 29), another zone. The moments
   were worked out from the system's tz database. */
TEST(WallClock, NextDueMoment)
{
    const TIME_ZONE_INFORMATION cet = { -60, L"", { 0, 10, 0, 5, 3, 0, 0, 0 }, 0, L"", { 0, 3, 0, 5, 2, 0, 0, 0 }, -60 }, jst = { -540 };
    const struct { const TIME_ZONE_INFORMATION* zone; WORD now[6]; DWORD second; BYTE days, chime; WORD due[6]; } rows[] = {
        /* Later today; passed, so tomorrow; passed by seconds; now itself; across midnight. */
        { &cet, { 2026, 12, 9, 8, 0, 0 }, 34200, 0, 0, { 2026, 12, 9, 8, 30, 0 } },     { &cet, { 2026, 12, 9, 8, 0, 0 }, 28800, 0, 0, { 2026, 12, 10, 7, 0, 0 } },
        { &cet, { 2026, 12, 9, 8, 0, 30 }, 32400, 0, 0, { 2026, 12, 10, 8, 0, 0 } },    { &cet, { 2026, 12, 9, 8, 0, 0 }, 32400, 0, 0, { 2026, 12, 10, 8, 0, 0 } },
        { &cet, { 2026, 12, 9, 22, 59, 0 }, 60, 0, 0, { 2026, 12, 9, 23, 1, 0 } },
        /* Weekdays on a Friday, Sundays on a Saturday, Saturdays on a Sunday. */
        { &cet, { 2026, 12, 11, 19, 0, 0 }, 25200, 0x3E, 0, { 2026, 12, 14, 6, 0, 0 } }, { &cet, { 2026, 12, 12, 22, 30, 0 }, 25200, 0x01, 0, { 2026, 12, 13, 6, 0, 0 } },
        { &cet, { 2026, 12, 12, 23, 30, 0 }, 25200, 0x40, 0, { 2026, 12, 19, 6, 0, 0 } },
        /* 2:30 twice: the first, and not again once rung; 4:00 from the second 2:30. */
        { &cet, { 2026, 10, 24, 22, 0, 0 }, 9000, 0, 0, { 2026, 10, 25, 0, 30, 0 } },   { &cet, { 2026, 10, 25, 0, 30, 0 }, 9000, 0x7F, 0, { 2026, 10, 26, 1, 30, 0 } },
        { &cet, { 2026, 10, 25, 1, 30, 0 }, 14400, 0, 0, { 2026, 10, 25, 3, 0, 0 } },
        /* 2:30 skipped: the gap's end; after the gap, in summer time; 9:30 in Tokyo. */
        { &cet, { 2026, 3, 29, 0, 30, 0 }, 9000, 0, 0, { 2026, 3, 29, 1, 0, 0 } },      { &cet, { 2026, 3, 29, 0, 30, 0 }, 14400, 0, 0, { 2026, 3, 29, 2, 0, 0 } },
        { &jst, { 2026, 12, 9, 8, 0, 0 }, 34200, 0, 0, { 2026, 12, 10, 0, 30, 0 } },
        /* The signal: hourly, half-hourly, the one now done, none; 2:00 skipped rings at 3:00,
           and not twice; 3:00 after the hour that comes twice, once. */
        { &cet, { 2026, 12, 9, 8, 10, 0 }, 0, 0, 1, { 2026, 12, 9, 8, 59, 57 } },       { &cet, { 2026, 12, 9, 8, 10, 0 }, 0, 0, 2, { 2026, 12, 9, 8, 29, 57 } },
        { &cet, { 2026, 12, 9, 8, 59, 57 }, 0, 0, 1, { 2026, 12, 9, 9, 59, 57 } },      { &cet, { 2026, 12, 9, 8, 10, 0 }, 0, 0, 3, {} },
        { &cet, { 2026, 3, 29, 0, 30, 0 }, 0, 0, 1, { 2026, 3, 29, 0, 59, 57 } },       { &cet, { 2026, 3, 29, 0, 59, 57 }, 0, 0, 1, { 2026, 3, 29, 1, 59, 57 } },
        { &cet, { 2026, 10, 25, 0, 10, 0 }, 0, 0, 1, { 2026, 10, 25, 1, 59, 57 } },     { &cet, { 2026, 10, 25, 0, 10, 0 }, 0, 0, 2, { 2026, 10, 25, 0, 29, 57 } },
    };
    for (const auto& r : rows) {
        ULONGLONG now = Utc(r.now);
        ULONGLONG due = r.chime ? NextChime(r.zone, now, r.chime, 3 * FILETIME_SECOND)
                                : UtcFromLocal(r.zone, NextWallTime(r.zone, now, r.second, r.days));
        EXPECT_EQ(due, Utc(r.due)) << "row " << &r - rows;
    }
}

/* The eras come from the list Windows keeps: a new one shows as soon as it is listed,
   values that do not parse are passed over, and a list that stops at an older era is
   followed by the eras known after it. The list is planted in a stand-in for
   HKEY_LOCAL_MACHINE: the system's own is never touched. */
TEST_F(Fresh, ErasFromTheSystemList)
{
    static const WCHAR path[] = L"SYSTEM\\CurrentControlSet\\Control\\Nls\\Calendars\\Japanese\\Eras";
    SYSTEMTIME t;
    WCHAR first[16], today[64];
    GetLocalTime(&t);
    wsprintfW(first, L"%04d %02d %02d", t.wYear, t.wMonth, t.wDay);
    const struct { const WCHAR *day, *data; } values[] = {
        { L"1868 01 01", L"明治_明_Meiji_M" }, { L"1912 07 30", L"大正_大_Taisho_T" }, { L"1926 12 25", L"昭和_昭_Showa_S" },
        { L"1989 01 08", L"平成_平_Heisei_H" }, { L"2019 05 01", L"令和_令_Reiwa_R" }, { first, L"ベルモア_ベ_Velmor_V" },
        { L"1700 1 01", L"誤_誤_X_X" }, { L"1700 13 01", L"誤_誤_X_X" }, { L"17OO 01 01", L"誤_誤_X_X" }, { L"1700 01 01", L"ERA55_E_X_X" },
        { L"1701 01 01", L"_誤_X_X" }, { L"1702 01 01", L"偽元号" }, { L"1704 01 01", L"偽_偽_X" }, { L"1707 01 01", L"偽_偽_X_X_X" },
        { L"1703 01 01", L"A text of seventy characters and more, beyond what one era can hold_A" },
        { L"1705 01 01 and a value name too long", L"誤_誤_X_X" },
    };
    HKEY machine, key;    /* inside the settings key, which the next test deletes */
    ASSERT_FALSE(RegCreateKeyExW(HKEY_CURRENT_USER, REG_MAKER L"\\" REG_PRODUCT L"\\Machine", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &machine, NULL));
    ASSERT_FALSE(RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine));
    ASSERT_FALSE(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL));
    for (const auto& v : values) RegSetValueExW(key, v.day, 0, REG_SZ, (const BYTE*)v.data, (lstrlenW(v.data) + 1) * 2);
    RegSetValueExW(key, L"1706 01 01", 0, REG_DWORD, (const BYTE*)L"誤_", 4);
    LoadEras();
    /* The longest join: an era of four characters, an English weekday, time code 11. */
    gState->date.item.format = 12;
    gState->time.item.format = 11;
    gState->options.oneLine = 1;
    wsprintfW(today, L"ベルモア元年%d月%d日(SUN) 午後 11時59分59秒", t.wMonth, t.wDay);
    SYSTEMTIME at = { t.wYear, t.wMonth, 0, t.wDay, 23, 59, 59, 0 }, early = { 1800, 1, 0, 1, 23, 59, 59, 0 },
               later = { 2026, 12, 0, 7, 23, 59, 59, 0 };
    FormatClockTextsAt(&at);
    EXPECT_STREQ(gState->date.text, today);
    FormatClockTextsAt(&early);
    EXPECT_STREQ(gState->date.text, L"1800/01/01(SUN) 午後 11時59分59秒");
    /* A Windows without the update of 2019. */
    RegDeleteValueW(key, first);
    RegDeleteValueW(key, L"2019 05 01");
    LoadEras();
    FormatClockTextsAt(&later);
    EXPECT_STREQ(gState->date.text, L"令和8年12月7日(SUN) 午後 11時59分59秒");
    RegCloseKey(key);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, NULL);
    RegCloseKey(machine);
}
