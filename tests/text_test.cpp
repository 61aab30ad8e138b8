/* The face texts: every format code, at the instants and ticks where they go wrong. */
#include "support.h"
#include "../engine/face_text.h"
#include "../res/resource.h"

/* The whole clock face as one line: the date line, and the time line after a blank
   unless the one-line date already holds it. */
TEST_F(Fresh, ClockTextsByFormatCode)
{
    static const struct {
        BYTE date, time, weekday, oneLine;
        WORD y, mo, d, dow, h, mi, s;
        const char* face;
    } rows[] = {
        {  0,  0, 2, 1, 2001, 5, 8, 2,  9, 5, 3, "2001/05/08 09:05:03" },
        {  1,  1, 2, 0, 2001, 5, 8, 2,  9, 5, 3, "2001/5/8 9:5:3" },
        { 10, 10, 2, 1, 2001, 5, 8, 2, 14, 5, 7, "2001年5月8日 14時5分7秒" },
        { 11, 11, 2, 1, 2001, 5, 8, 2, 14, 5, 7, "平成13年5月8日 午後 2時5分7秒" },
        { 11, 11, 2, 0, 1989, 1, 8, 0,  0, 0, 0, "平成1年1月8日 午前 0時0分0秒" },
        { 11, 11, 2, 1, 2026, 12, 7, 1, 12, 0, 0, "平成38年12月7日 午後 0時0分0秒" },
        { 99,  5, 2, 1, 2001, 5, 8, 2, 12, 0, 0, "2001/05/08 0:0:0 PM" },
        {  2,  5, 2, 1, 2001, 5, 8, 2,  0, 0, 0, "2001/05/08 0:0:0 AM" },
        {  0,  5, 2, 1, 2001, 5, 8, 2, 11, 59, 59, "2001/05/08 11:59:59 AM" },
        {  0,  5, 2, 1, 2001, 5, 8, 2, 23, 59, 59, "2001/05/08 11:59:59 PM" },
        {  0,  6, 2, 1, 2001, 5, 8, 2, 12, 30, 0, "2001/05/08 0:30:0 pm" },
        {  0,  6, 2, 0, 2001, 5, 8, 2,  1, 0, 0, "2001/05/08 1:0:0 am" },
        {  0, 99, 0, 1, 2001, 5, 8, 2, 14, 5, 7, "2001/05/08(TUS) 14:05:07" },
        {  0,  0, 0, 0, 2001, 5, 6, 0, 14, 5, 7, "2001/05/06(SUN) 14:05:07" },
        {  0,  0, 0, 1, 2001, 5, 12, 6, 14, 5, 7, "2001/05/12(SAT) 14:05:07" },
        {  0,  0, 1, 1, 2001, 5, 8, 2, 14, 5, 7, "2001/05/08(火) 14:05:07" },
        {  0,  0, 1, 0, 2001, 5, 12, 6, 14, 5, 7, "2001/05/12(土) 14:05:07" },
        {  0,  0, 7, 1, 2001, 5, 8, 2, 14, 5, 7, "2001/05/08 14:05:07" },
    };
    for (const auto& r : rows) {
        SYSTEMTIME t = { r.y, r.mo, r.dow, r.d, r.h, r.mi, r.s, 0 };
        gState->date.item.format = r.date;
        gState->time.item.format = r.time;
        gState->options.weekday = r.weekday;
        gState->options.oneLine = r.oneLine;
        FormatClockTextsAt(&t);
        std::string face = gState->date.text;
        if (!r.oneLine) face = face + " " + gState->time.text;
        EXPECT_EQ(face, r.face) << "row " << &r - rows;
    }
}

/* Count-ups from their start, countdowns to their end, across the tick counter's wrap;
   a countdown that reads zero ends itself, by a posted stop. */
TEST_F(Fresh, CountTextsByModeFormatAndTick)
{
    static const struct {
        ClockMode mode;
        BYTE format;
        DWORD mark, seconds, now;
        const char* text;
        bool ends;
    } rows[] = {
        { CountUp,    0, 1000, 0, 1000 + 3725400, "01:02:05.4", false },
        { CountUp,    1, 1000, 0, 1000 + 3725400, "1:2:5.4", false },
        { CountUp,   10, 1000, 0, 1000 + 3725499, "1時2分5秒.4", false },
        { CountUp,   99, 1000, 0, 1000 + 3725400, "01:02:05.4", false },
        { CountUp,    0, 5, 0, 5 + 90000000, "25:00:00.0", false },
        { CountUp,    0, 0xFFFFFF00u, 0, 0x100, "00:00:00.5", false },
        { CountDown,  0, 61000, 60, 1000, "00:01:00.0", false },
        { CountDown,  0, 61000, 60, 1001, "00:00:59.9", false },
        { CountDown,  1, 61000, 60, 60899, "0:0:0.1", false },
        { CountDown,  0, 61000, 60, 60901, "00:00:00.0", true },
        { CountDown,  0, 61000, 60, 75000, "00:00:00.0", true },
        { CountDown,  0, 0x100, 60, 0xFFFFFF00u, "00:00:00.5", false },
        { CountDown, 10, 0, 0, 0, "0時0分0秒.0", true },
        { Stopped,    0, 0, 0, 5000, "00:00:07.0", false },
        { Clock,      0, 0, 0, 5000, "00:00:07.0", false },
    };
    for (const auto& r : rows) {
        MSG stop;
        lstrcpyA(gState->count.text, "00:00:07.0");
        gState->mode = r.mode;
        gState->count.item.format = r.format;
        gState->tickMark = r.mark;
        gState->countdownSeconds = r.seconds;
        FormatCountTextAt(r.now);
        EXPECT_STREQ(gState->count.text, r.text) << "row " << &r - rows;
        /* With no main window the stop is posted to this thread. */
        bool ended = PeekMessageA(&stop, (HWND)-1, WM_COMMAND, WM_COMMAND, PM_REMOVE) && stop.wParam == IDM_STOP;
        EXPECT_EQ(ended, r.ends) << "row " << &r - rows;
    }
}
