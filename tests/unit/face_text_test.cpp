#include <gtest/gtest.h>
#include "test_support.h"
#include "../../engine/face_text.h"
#include "../../res/resource.h"

namespace {

class FaceText : public testing::Test {
protected:
    void SetUp() override { ResetState(); }

    /* Formats the clock texts for y/m/d h:m:s on weekday dow. */
    void At(int y, int mo, int d, int dow, int h, int mi, int s)
    {
        SYSTEMTIME t = {};
        t.wYear = (WORD)y; t.wMonth = (WORD)mo; t.wDay = (WORD)d; t.wDayOfWeek = (WORD)dow;
        t.wHour = (WORD)h; t.wMinute = (WORD)mi; t.wSecond = (WORD)s;
        FormatClockTextsAt(&t);
    }
    std::string Date() { return Utf8(gState->date.text); }
    std::string Time() { return Utf8(gState->time.text); }
    std::string Count() { return Utf8(gState->count.text); }
    void Formats(int date, int time, int weekday)
    {
        gState->date.item.format = (BYTE)date;
        gState->time.item.format = (BYTE)time;
        gState->options.weekday = (BYTE)weekday;
    }
};

TEST_F(FaceText, DateCodesAndEraYear)
{
    const struct { int code; const char* text; } cases[] = {
        { 0, "2001/05/08" }, { 1, "2001/5/8" }, { 10, "2001年5月8日" },
        { 11, "平成13年5月8日" }, { 2, "2001/05/08" }, { 255, "2001/05/08" },
    };
    for (const auto& c : cases) {
        Formats(c.code, 0, 2);
        At(2001, 5, 8, 2, 14, 5, 7);
        EXPECT_EQ(Date(), Utf8(c.text)) << "date code " << c.code;
    }
    Formats(11, 0, 2);
    At(1989, 12, 31, 0, 0, 0, 0);
    EXPECT_EQ(Date(), Utf8("平成1年12月31日"));
    At(2026, 1, 1, 4, 0, 0, 0);
    EXPECT_EQ(Date(), Utf8("平成38年1月1日"));
    Formats(0, 0, 2);
    At(987, 1, 2, 0, 0, 0, 0);
    EXPECT_EQ(Date(), Utf8(" 987/01/02")) << "%4d pads the year with blanks";
}

TEST_F(FaceText, TimeCodes)
{
    const struct { int code; const char* text; } cases[] = {
        { 0, "14:05:07" }, { 1, "14:5:7" }, { 5, "2:5:7 PM" }, { 6, "2:5:7 pm" },
        { 10, "14時5分7秒" }, { 11, "午後 2時5分7秒" }, { 3, "14:05:07" }, { 255, "14:05:07" },
    };
    for (const auto& c : cases) {
        Formats(0, c.code, 2);
        At(2001, 5, 8, 2, 14, 5, 7);
        EXPECT_EQ(Time(), Utf8(c.text)) << "time code " << c.code;
    }
    Formats(0, 0, 2);
    At(2001, 5, 8, 2, 9, 5, 3);
    EXPECT_EQ(Time(), Utf8("09:05:03"));
    Formats(0, 1, 2);
    At(2001, 5, 8, 2, 9, 5, 3);
    EXPECT_EQ(Time(), Utf8("9:5:3"));
}

TEST_F(FaceText, TwelveHourDialAroundNoonAndMidnight)
{
    const struct { int code, hour, minute, second; const char* text; } cases[] = {
        { 5, 12, 0, 0, "0:0:0 PM" },   { 5, 0, 0, 0, "0:0:0 AM" },
        { 5, 11, 59, 59, "11:59:59 AM" }, { 5, 23, 59, 59, "11:59:59 PM" },
        { 5, 12, 30, 0, "0:30:0 PM" },
        { 6, 11, 0, 0, "11:0:0 am" },  { 6, 12, 0, 0, "0:0:0 pm" },
        { 11, 12, 0, 0, "午後 0時0分0秒" }, { 11, 0, 0, 0, "午前 0時0分0秒" },
        { 11, 11, 59, 59, "午前 11時59分59秒" },
    };
    for (const auto& c : cases) {
        Formats(0, c.code, 2);
        At(2001, 5, 8, 2, c.hour, c.minute, c.second);
        EXPECT_EQ(Time(), Utf8(c.text)) << "code " << c.code << " at " << c.hour << ":" << c.minute;
    }
}

TEST_F(FaceText, WeekdaySuffix)
{
    Formats(0, 0, 0);
    At(2001, 5, 8, 2, 14, 5, 7);
    EXPECT_EQ(Date(), Utf8("2001/05/08(TUS)"));
    Formats(0, 0, 1);
    At(2001, 5, 8, 2, 14, 5, 7);
    EXPECT_EQ(Date(), Utf8("2001/05/08(火)"));

    const char* english[7] = { "SUN", "MON", "TUS", "WED", "THU", "FRI", "SAT" };
    const char* japanese[7] = { "日", "月", "火", "水", "木", "金", "土" };
    for (int day = 0; day < 7; day++) {
        Formats(1, 0, 0);
        At(2001, 5, 8, day, 0, 0, 0);
        EXPECT_EQ(Date(), std::string("2001/5/8(") + english[day] + ")");
        Formats(1, 0, 1);
        At(2001, 5, 8, day, 0, 0, 0);
        EXPECT_EQ(Date(), "2001/5/8(" + Utf8(japanese[day]) + ")");
    }
    for (int weekday : { 2, 7, 255 }) {
        Formats(0, 0, weekday);
        At(2001, 5, 8, 2, 14, 5, 7);
        EXPECT_EQ(Date(), Utf8("2001/05/08")) << "weekday " << weekday;
    }
    Formats(0, 0, 0);
    At(2001, 5, 8, 9, 14, 5, 7);
    EXPECT_EQ(Date(), Utf8("2001/05/08()")) << "a day outside the week names no letters";
}

TEST_F(FaceText, OneLineJoin)
{
    gState->options.oneLine = 1;
    Formats(0, 0, 2);
    At(2001, 5, 8, 2, 14, 5, 7);
    EXPECT_EQ(Date(), Utf8("2001/05/08 14:05:07"));
    EXPECT_EQ(Time(), Utf8("14:05:07"));
    Formats(0, 0, 0);
    At(2001, 5, 8, 2, 14, 5, 7);
    EXPECT_EQ(Date(), Utf8("2001/05/08(TUS) 14:05:07"));

    /* The longest join of real dates, era year, English suffix and the Japanese
       day-half: 39 bytes, drawn whole. */
    Formats(11, 11, 0);
    At(2087, 12, 28, 3, 23, 59, 59);
    EXPECT_EQ(Date(), Utf8("平成99年12月28日(WED) 午後 11時59分59秒"));
    EXPECT_EQ(lstrlenA(gState->date.text), 39);

    /* Whatever the SYSTEMTIME holds, the join stays inside its buffer. */
    At(65535, 65535, 65535, 6, 65535, 65535, 65535);
    EXPECT_LT(lstrlenA(gState->date.text), FACE_TEXT_SIZE);
}

class CountText : public FaceText {
protected:
    void CountUpAt(DWORD start, DWORD now)
    {
        gState->mode = CountUp;
        gState->tickMark = start;
        FormatCountTextAt(now);
    }
};

TEST_F(CountText, SplitAndFormats)
{
    DWORD elapsed = (3600 + 2 * 60 + 5) * 1000 + 400;
    const struct { int code; const char* text; } cases[] = {
        { 0, "01:02:05.4" }, { 1, "1:2:5.4" }, { 10, "1時2分5秒.4" }, { 7, "01:02:05.4" },
    };
    for (const auto& c : cases) {
        gState->count.item.format = (BYTE)c.code;
        CountUpAt(5000, 5000 + elapsed + 99);
        EXPECT_EQ(Count(), Utf8(c.text)) << "count code " << c.code;
    }
    gState->count.item.format = 0;
    CountUpAt(0, 25u * 3600 * 1000);
    EXPECT_EQ(Count(), Utf8("25:00:00.0")) << "hours are not taken modulo 24";
    CountUpAt(1, 0);
    EXPECT_EQ(Count(), Utf8("1193:02:47.2")) << "the largest count";
}

TEST_F(CountText, CountUpAcrossTheTickWrap)
{
    CountUpAt(0xFFFFFF00u, 0x00000100u);   /* 512 ms across the wrap */
    EXPECT_EQ(Count(), Utf8("00:00:00.5"));
    CountUpAt(0xFFFFFFFFu - 999, 60000u);   /* 61 s across the wrap */
    EXPECT_EQ(Count(), Utf8("00:01:01.0"));
}

TEST_F(CountText, OtherModesLeaveTheTextAlone)
{
    lstrcpyA(gState->count.text, "00:00:07.3");
    for (ClockMode mode : { Clock, Stopped }) {
        gState->mode = mode;
        FormatCountTextAt(123456);
        EXPECT_EQ(Count(), Utf8("00:00:07.3"));
    }
    SYSTEMTIME t = {};
    t.wYear = 2001; t.wMonth = 5; t.wDay = 8;
    FormatClockTextsAt(&t);
    EXPECT_EQ(Count(), Utf8("00:00:07.3")) << "the clock does not touch the count";
}

class Countdown : public FaceText {
protected:
    HWND window = NULL;
    void SetUp() override
    {
        FaceText::SetUp();
        window = CreateTestWindow();
        gMainWnd = window;
    }
    void TearDown() override
    {
        DestroyWindow(window);
        gMainWnd = NULL;
    }
    /* A countdown of seconds that started at tick start, painted at tick now. */
    void PaintAt(DWORD seconds, DWORD start, DWORD now)
    {
        gState->mode = CountDown;
        gState->countdownSeconds = seconds;
        gState->tickMark = start + seconds * 1000;
        FormatCountTextAt(now);
    }
    /* How many stop commands the end of the countdown posted. */
    int PostedStops()
    {
        MSG msg;
        int stops = 0;
        while (PeekMessageA(&msg, window, WM_COMMAND, WM_COMMAND, PM_REMOVE))
            if (msg.wParam == IDM_STOP && msg.lParam == 0) stops++;
        return stops;
    }
};

TEST_F(Countdown, ShowsTheLengthThenCountsToZero)
{
    const DWORD start = 1000000;
    PaintAt(60, start, start);
    EXPECT_EQ(Count(), Utf8("00:01:00.0"));
    PaintAt(60, start, start + 1);
    EXPECT_EQ(Count(), Utf8("00:00:59.9"));
    PaintAt(60, start, start + 100);
    EXPECT_EQ(Count(), Utf8("00:00:59.9"));
    PaintAt(60, start, start + 101);
    EXPECT_EQ(Count(), Utf8("00:00:59.8"));
    PaintAt(60, start, start + 59900);
    EXPECT_EQ(Count(), Utf8("00:00:00.1"));
    EXPECT_EQ(PostedStops(), 0) << "no end before the zero count";

    PaintAt(60, start, start + 59901);
    EXPECT_EQ(Count(), Utf8("00:00:00.0")) << "99 ms before the end is the zero count";
    EXPECT_EQ(PostedStops(), 1);
}

TEST_F(Countdown, LatePaintAndZeroLengthEndAtOnce)
{
    PaintAt(5, 1000, 1000 + 5000 + 60000);
    EXPECT_EQ(Count(), Utf8("00:00:00.0")) << "a paint long after the end";
    EXPECT_EQ(PostedStops(), 1);
    PaintAt(0, 1000, 1000);
    EXPECT_EQ(Count(), Utf8("00:00:00.0"));
    EXPECT_EQ(PostedStops(), 1);
    gState->count.item.format = 10;
    PaintAt(0, 1000, 1000);
    EXPECT_EQ(Count(), Utf8("0時0分0秒.0"));
    EXPECT_EQ(PostedStops(), 1);
}

TEST_F(Countdown, AcrossTheTickWrap)
{
    const DWORD start = 0xFFFFF000u;   /* the end tick wraps past 2^32 */
    PaintAt(10, start, start);
    EXPECT_EQ(Count(), Utf8("00:00:10.0"));
    PaintAt(10, start, start + 5000);  /* now wrapped too */
    EXPECT_EQ(Count(), Utf8("00:00:05.0"));
    EXPECT_EQ(PostedStops(), 0);
    PaintAt(10, start, start + 10000);
    EXPECT_EQ(Count(), Utf8("00:00:00.0"));
    EXPECT_EQ(PostedStops(), 1);
}

}

namespace {

TEST(FaceStaleness, ClockRepaintsOnlyWhenTheSecondChanges)
{
    ResetState();
    SYSTEMTIME t = {};
    t.wYear = 2026; t.wMonth = 12; t.wDay = 31; t.wDayOfWeek = 4;
    t.wHour = 23; t.wMinute = 59; t.wSecond = 59; t.wMilliseconds = 10;
    FormatClockTextsAt(&t);

    SYSTEMTIME later = t;
    later.wMilliseconds = 990;
    EXPECT_FALSE(FaceIsStaleAt(&later)) << "same second, same face";
    SYSTEMTIME next = {};
    next.wYear = 2027; next.wMonth = 1; next.wDay = 1; next.wDayOfWeek = 5;
    EXPECT_TRUE(FaceIsStaleAt(&next)) << "midnight of the new year";
    later = t;
    later.wDay = 30;
    EXPECT_TRUE(FaceIsStaleAt(&later)) << "the same time on another day";

    gState->mode = Stopped;
    EXPECT_FALSE(FaceIsStaleAt(&next)) << "a stopped count never changes by itself";
    for (ClockMode counting : { CountUp, CountDown }) {
        gState->mode = counting;
        EXPECT_TRUE(FaceIsStaleAt(&t)) << "a running count changes every tick";
    }
}

}
