/* The main window: its place, commands, keys, menus, tick, paints, resolution, screen readers. */
#include "support.h"
#include "../state/settings.h"
#include "../app/input.h"
#include "../engine/count_modes.h"
#include "../engine/wall_clock.h"
#include "../engine/alarms.h"
#include "../res/resource.h"
#include "../app/face_paint.h"
#include "../engine/face_text.h"
#include <oleacc.h>

/* The window opens at its stored place, on screen (330 by 200 at 96 dpi if none); closing
   stores where it is, unless another copy owns the place or it is maximised or minimised. */
TEST_F(Fresh, WindowPlaceOnOpeningAndClosing)
{
    const int big = ScreenDpi() == 144, width = big ? 495 : 330, height = big ? 300 : 200;
    const struct { RECT stored; int other, show, width, height, at /* 1 there, -1 not */; bool storesMove; } rows[] = {
        { { 100, 50, 500, 330 }, 0, SW_SHOWNORMAL, 400, 280, 1, true }, { { 100, 50, 500, 330 }, 1, SW_SHOWNORMAL, 400, 280, -1, false },
        { { 100, 50, 500, 330 }, 0, SW_MAXIMIZE, 400, 280, 1, false }, { { 100, 50, 500, 330 }, 0, SW_MINIMIZE, 400, 280, 1, false },
        { { 0, 0, 0, 0 }, 0, SW_SHOWNORMAL, width, height, 0, true }, { { 5000, 4000, 5400, 4280 }, 0, SW_SHOWNORMAL, 400, 280, 0, true },
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(&r - rows);
        SetUp();
        Plant(NULL, L"Pos", REG_BINARY, Of(&r.stored, 16));
        LoadSettings();
        gOtherInstance = r.other;
        RECT opened, inside, moved = { 200, 100, 200 + r.width, 100 + r.height };
        MONITORINFO monitor = { sizeof(monitor) };
        GetWindowRect(CreateMainWindow(SW_SHOWNORMAL), &opened);
        GetMonitorInfoW(MonitorFromWindow(gMainWnd, MONITOR_DEFAULTTONEAREST), &monitor);
        EXPECT_TRUE(IntersectRect(&inside, &opened, &monitor.rcWork) && EqualRect(&inside, &opened));
        EXPECT_TRUE(opened.right - opened.left == r.width && opened.bottom - opened.top == r.height);
        EXPECT_TRUE(!r.at || EqualRect(&opened, &r.stored) == (r.at > 0));
        SetWindowPos(gMainWnd, NULL, 200, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ShowWindow(gMainWnd, r.show);
        CloseMainWindow();
        EXPECT_EQ(Stored(NULL, L"Pos"), Of(r.storesMove ? &moved : &r.stored, 16));
    }
}

/* The menu's items, a letter each: e enabled, g grey, a capital when ticked. */
static std::string MenuItems(HMENU menu)
{
    std::string items;
    UpdateMenuStates(menu);
    for (UINT id : { IDM_NOW, IDM_COUNTUP, IDM_COUNTDOWN, IDM_STOP, IDM_RESUME, IDM_OPTIONS, IDM_EXIT, IDM_HELP, IDM_ABOUT })
        items += "egEG"[(GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED ? 1 : 0) + (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED ? 2 : 0)];
    return items;
}

/* Puts the window in mode as the user does, its tick armed as the program arms it. */
static void EnterMode(HWND wnd, ClockMode mode)
{
    OnCommand(wnd, IDM_STOP);
    OnCommand(wnd, IDM_NOW);
    if (mode == CountDown) RunModal([&] { OnCommand(wnd, IDM_COUNTDOWN); }, { [] { return TopDialog() && Post(TopDialog(), WM_COMMAND, IDOK); } });
    if (mode == CountUp || mode == Stopped) OnCommand(wnd, IDM_COUNTUP);
    if (mode == Stopped) OnCommand(wnd, IDM_STOP);
    ArmTick(wnd);
}

/* Each command and Enter, Shift+Enter in each mode: the mode and menu after, a count from
   now, the countdown dialog, the tick. A command whose item is grey does nothing, tick
   included.
   On top toggles at once in any mode, ticked while on, and is stored at exit. */
TEST_F(Fresh, CommandsAndEnterByMode)
{
    enum { Enter = 1, ShiftEnter = 2 };
    static const char* const menus[4] = { "Eeeggeeee", "gGgeggeee", "eeeGeeeee", "ggGeggeee" };
    static const struct { UINT command; ClockMode from, to; bool marks, asks; } rows[] = {
        { IDM_NOW, Clock, Clock },              { IDM_NOW, CountUp, CountUp },
        { IDM_NOW, Stopped, Clock },            { IDM_NOW, CountDown, CountDown },
        { IDM_COUNTUP, Clock, CountUp, true },  { IDM_COUNTUP, CountUp, CountUp },
        { IDM_COUNTUP, Stopped, CountUp, true }, { IDM_COUNTUP, CountDown, CountDown },
        { IDM_STOP, Clock, Clock },             { IDM_STOP, CountUp, Stopped },
        { IDM_STOP, Stopped, Stopped },         { IDM_STOP, CountDown, Stopped },
        { IDM_COUNTDOWN, CountUp, CountUp },    { IDM_OPTIONS, CountDown, CountDown },
        { Enter, Clock, CountUp, true },        { Enter, Stopped, CountUp, true },
        { Enter, CountUp, Stopped },            { Enter, CountDown, Stopped },
        { ShiftEnter, Clock, Clock, false, true }, { ShiftEnter, Stopped, Stopped, false, true },
        { ShiftEnter, CountUp, Stopped },       { ShiftEnter, CountDown, Stopped },
        { IDM_RESUME, Clock, Clock },           { IDM_RESUME, Stopped, CountUp, true },
        { IDM_RESUME, CountDown, CountDown },   { IDM_TOPMOST, CountUp, CountUp },
        { IDM_TOPMOST, Clock, Clock },          { IDM_TOPMOST, CountDown, CountDown },
    };
    HWND wnd = CreateMainWindow(SW_SHOWNORMAL);
    HMENU menu = LoadMenuW(gInstance, MAKEINTRESOURCEW(IDR_CONTEXTMENU));
    BYTE keys[256];
    bool top = false;
    gState->countdownSeconds = 3600;
    for (const auto& r : rows) {
        SCOPED_TRACE(&r - rows);
        EnterMode(wnd, r.from);
        /* A command in the same millisecond would leave the mark as it was. */
        DWORD mark = gState->tickMark -= 100000;
        gState->pausedAt -= 100000;
        GetKeyboardState(keys);
        keys[VK_SHIFT] = r.command == ShiftEnter ? 0x80 : 0;
        SetKeyboardState(keys);
        bool asked = false;
        RunModal([&] {
            if (r.command > ShiftEnter) return OnCommand(wnd, r.command);
            MSG msg;
            OnKeyDown(wnd, VK_RETURN);
            if (PeekMessageW(&msg, wnd, WM_COMMAND, WM_COMMAND, PM_REMOVE)) DispatchMessageW(&msg);
        }, { [&] {
            HWND dialog = TopDialog();
            asked = asked || (dialog && EndDialog(dialog, 0));
            return false;
        } });
        EXPECT_EQ(gState->mode, r.to);
        EXPECT_EQ(MenuItems(menu), menus[r.to]);
        EXPECT_EQ(gState->tickMark != mark, r.marks);
        EXPECT_EQ(asked, r.asks);
        EXPECT_EQ(KillTimer(wnd, TIMER_TICK) != FALSE, r.to != Stopped);
        top ^= r.command == IDM_TOPMOST;
        bool ticked = GetMenuState(menu, IDM_TOPMOST, MF_BYCOMMAND) & MF_CHECKED;
        EXPECT_TRUE(!(GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) == !top && ticked == top);
    }
    CloseMainWindow();
    EXPECT_EQ(Stored(NULL, L"Option").at(7), 1);
}

/* Stop, a wait, resume: the count goes on from the instant it stopped, to the tenth; a
   countdown stopped at zero cannot. A clock set anew: a countdown to a time takes what is
   left from the wall clock, in the zone of the moment. */
TEST_F(Fresh, ResumeGoesOnFromTheStop)
{
    static const struct { ClockMode mode; DWORD mark, stop, resume, read; const WCHAR *stopped, *after; } rows[] = {
        { CountUp, 1000, 5050, 90000, 91500, L"00:00:04.0 0:00:04 - VELMOR", L"00:00:05.5 0:00:05 - VELMOR" },
        { CountUp, 0xFFFFF000u, 0x10, 0xFFFFFFF0u, 0x3F0, L"00:00:04.1 0:00:04 - VELMOR", L"00:00:05.1 0:00:05 - VELMOR" },
        { CountDown, 61000, 1000, 500000, 530000, L"00:01:00.0 0:01:00 - VELMOR", L"00:00:30.0 0:00:30 - VELMOR" },
        { CountDown, 61000, 61000, 70000, 70000, L"00:00:00.0 0:00:00 - VELMOR", L"stopped" },
    };
    HWND wnd = CreateMainWindow(SW_SHOWNORMAL);
    WCHAR title[32];
    /* The face, and the title in whole seconds as the taskbar button shows it. */
    auto shown = [&](DWORD now) { UpdateTitleAt(wnd, now); GetWindowTextW(wnd, title, 32); return std::wstring(gState->count.text) + L" " + title; };
    for (const auto& r : rows) {
        gState->mode = r.mode, gState->tickMark = r.mark, gState->countLength = 60000;
        StopCountAt(wnd, r.stop);
        std::wstring stopped = shown(r.resume);
        ResumeCountAt(wnd, r.resume);
        FormatCountTextAt(r.read);
        EXPECT_EQ(stopped + L" | " + (gState->mode == r.mode ? shown(r.read) : L"stopped"), std::wstring(r.stopped) + L" | " + r.after);
    }
    OnCommand(wnd, IDM_NOW);
    EXPECT_TRUE(GetWindowTextW(wnd, title, 32) && !lstrcmpW(title, L"VELMOR")) << "the clock's title";
    gState->countdownWall = LocalFromUtc(NULL, UtcNow() + 600 * FILETIME_SECOND);    /* ten minutes on, the tick says an hour */
    gState->mode = CountDown;
    gState->tickMark = GetTickCount() + 3600000;
    SendMessageW(wnd, WM_TIMECHANGE, 0, 0);
    EXPECT_NEAR(CountdownLeft(GetTickCount()), 600000, 10000);
    /* Three o'clock is three hours from noon in Tokyo, whatever zone the countdown began in. */
    const TIME_ZONE_INFORMATION jst = { -540 };
    SYSTEMTIME three = { 2026, 12, 0, 9, 15, 0, 0, 0 }, noon = { 2026, 12, 0, 9, 3, 0, 0, 0 };
    ULARGE_INTEGER wall, utc;
    SystemTimeToFileTime(&three, (FILETIME*)&wall), SystemTimeToFileTime(&noon, (FILETIME*)&utc);
    gState->countdownWall = wall.QuadPart, RetimeCountdownAt(&jst, utc.QuadPart, 1000);
    EXPECT_EQ(CountdownLeft(1000), 3 * 3600000u);
}

static int gNameChanges;
static void CALLBACK CountNameChange(HWINEVENTHOOK, DWORD, HWND wnd, LONG object, LONG, DWORD, DWORD)
{
    gNameChanges += wnd == gMainWnd && object == OBJID_CLIENT;
}

/* A screen reader finds a clock named and valued as the face reads when it asks, in each
   mode and layout, and hears once of each change of mode. */
TEST_F(Fresh, FaceTellsScreenReaders)
{
    static const struct { UINT command; BYTE oneLine; ClockMode mode; int changes; } rows[] = {
        { IDM_NOW, 0, Clock, 0 }, { IDM_NOW, 1, Clock, 0 }, { IDM_COUNTUP, 1, CountUp, 1 },
        { IDM_STOP, 0, Stopped, 1 }, { IDM_RESUME, 0, CountUp, 1 }, { IDM_STOP, 1, Stopped, 1 }, { IDM_NOW, 0, Clock, 1 },
    };
    HWND wnd = CreateMainWindow(SW_SHOWNORMAL);
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, GetModuleHandleW(NULL),
                                         CountNameChange, GetCurrentProcessId(), GetCurrentThreadId(), WINEVENT_INCONTEXT);
    IAccessible* face;
    VARIANT self = { VT_I4 };
    for (const auto& r : rows) {
        SCOPED_TRACE(&r - rows);
        gNameChanges = 0;
        gState->options.oneLine = r.oneLine;
        OnCommand(wnd, r.command);
        EXPECT_TRUE(gState->mode == r.mode && gNameChanges == r.changes) << gNameChanges;
        ASSERT_EQ(AccessibleObjectFromWindow(wnd, OBJID_CLIENT, __uuidof(IAccessible), (void**)&face), S_OK);
        VARIANT role = {};
        EXPECT_TRUE(face->get_accRole(self, &role) == S_OK && role.vt == VT_I4 && role.lVal == ROLE_SYSTEM_CLOCK);
        for (auto read : { &IAccessible::get_accName, &IAccessible::get_accValue }) {
            /* Texts the face showed before: what the reader hears is formatted as it asks. */
            lstrcpyW(gState->date.text, L"old"), lstrcpyW(gState->time.text, L"old");
            if (r.mode != Stopped) lstrcpyW(gState->count.text, L"old");
            BSTR text = NULL;
            (face->*read)(self, &text);
            const std::wstring shown = r.mode != Clock ? gState->count.text : r.oneLine ? gState->date.text
                                 : std::wstring(gState->date.text) + L" " + gState->time.text;
            EXPECT_TRUE(shown.find(L"old") == std::wstring::npos && text && text == shown) << (text ? text : L"-") << L" | " << shown;
            SysFreeString(text);
        }
        EXPECT_EQ(face->Release(), 0u);
    }
    UnhookWinEvent(hook);
}

/* Up to 999 hours, or a time of day on a 24-hour clock, as typed; the last choice offered
   again with its fields; anything else refused with the dialog open. */
TEST_F(Fresh, CountdownDialogTakesALengthOrATimeOfDay)
{
    static const struct { const WCHAR* fields[3]; bool end, starts; DWORD value; } rows[] = {
        { { L"0", L"1", L"30" }, false, true, 90 }, { { L"", L"", L"" }, false, true, 0 }, { { L"999", L"0", L"0" }, false, true, 3596400 },
        { { L"998", L"60", L"0" }, false, true, 3596400 }, { { L"999", L"0", L"1" }, false, false }, { { L"0", L"4294967296", L"0" }, false, false },
        { { L"23", L"59", L"59" }, true, true, 86399 }, { { L"24", L"0", L"0" }, true, false }, { { L"23", L"60", L"0" }, true, false },
    };
    HWND wnd = CreateMainWindow(SW_SHOWNORMAL), dialog = NULL;
    for (const auto& r : rows) {
        WCHAR offered[3][16] = {};
        std::wstring choice;
        gState->mode = Stopped, gState->countdownSeconds = 3725, gState->countdownEnd = 45296, gState->countdownToTime = r.end;
        RunModal([&] { OnCommand(wnd, IDM_COUNTDOWN); }, {
            [&] {
                if (!(dialog = TopDialog())) return false;
                choice = IsDlgButtonChecked(dialog, IDC_CD_END) ? L"end " : L"length ";
                CheckRadioButton(dialog, IDC_CD_LENGTH, IDC_CD_END, IDC_CD_LENGTH + r.end);
                for (int i = 0; i < 3; i++) {
                    GetDlgItemTextW(dialog, IDC_CD_HOURS + i, offered[i], 16);
                    SetDlgItemTextW(dialog, IDC_CD_HOURS + i, r.fields[i]);
                }
                return Post(dialog, WM_COMMAND, IDOK);
            },
            [&] { return r.starts || (TopDialog() != dialog && EndDialog(TopDialog(), IDOK) && Post(dialog, WM_COMMAND, IDCANCEL)); },
        });
        SCOPED_TRACE(&r - rows);
        EXPECT_EQ(choice + offered[0] + L":" + offered[1] + L":" + offered[2], r.end ? L"end 12:34:56" : L"length 1:2:5");
        EXPECT_EQ(gState->mode, r.starts ? CountDown : Stopped);
        EXPECT_EQ(r.end ? gState->countdownEnd : gState->countdownSeconds, r.starts ? r.value : r.end ? 45296u : 3725u);
        EXPECT_TRUE(!r.starts || !r.end || (gState->countLength > 0 && gState->countLength <= 86400000));
    }
}

/* A time without seconds at the instants where it goes wrong (noon, midnight, 9:05, 12:59), and
   the tick armed then: just after the next second, or the next minute when the time line shows
   no seconds; every tenth while counting and at each blink while an end rings, whatever the
   format; none when stopped. */
TEST_F(Fresh, TimeWithoutSecondsAndTheTick)
{
    static const struct { ClockMode mode; int alarming; BYTE format; WORD hour, minute, second, milliseconds; const WCHAR* time; DWORD delay; } rows[] = {
        { Clock, 0, 2, 0, 0, 30, 500, L"00:00", 29502 },       { Clock, 0, 2, 9, 5, 59, 999, L"09:05", 3 },         { Clock, 0, 7, 12, 0, 0, 0, L"0:00 PM", 60002 },
        { Clock, 0, 7, 9, 5, 0, 1, L"9:05 AM", 60001 },        { Clock, 0, 12, 12, 59, 30, 500, L"12時59分", 29502 }, { Clock, 0, 12, 0, 0, 0, 0, L"0時0分", 60002 },
        { Clock, 0, 13, 12, 0, 59, 999, L"午後 0時0分", 3 },   { Clock, 0, 13, 12, 59, 0, 0, L"午後 0時59分", 60002 }, { Clock, 0, 0, 9, 5, 30, 500, L"09:05:30", 502 },
        { Clock, 0, 99, 12, 59, 59, 999, L"12:59:59", 3 },     { Clock, 0, 11, 0, 0, 0, 0, L"午前 0時0分0秒", 1002 },
        { CountUp, 0, 2, 9, 5, 30, 500, NULL, 100 },           { CountDown, 0, 13, 9, 5, 59, 999, NULL, 100 },
        { Stopped, 0, 2, 9, 5, 30, 500, NULL, 0 },             { Stopped, 1, 12, 9, 5, 30, 500, NULL, BLINK_PERIOD },
    };
    HWND wnd = CreateMainWindow(SW_SHOWNORMAL);
    for (const auto& r : rows) {
        SYSTEMTIME at = { 2026, 12, 3, 9, r.hour, r.minute, r.second, r.milliseconds };
        WCHAR time[FACE_TEXT_SIZE] = L"";
        gState->mode = r.mode, gState->alarming = r.alarming, gState->time.item.format = r.format;
        FormatTime(time, &at, r.format), SetTimer(wnd, TIMER_TICK, 5000, NULL);
        EXPECT_TRUE((!r.time || !lstrcmpW(time, r.time)) && ArmTickAt(wnd, &at) == r.delay && (KillTimer(wnd, TIMER_TICK) != FALSE) == (r.delay != 0))
            << "row " << &r - rows << ": " << time;
    }
}

/* A line's top-left corner: centred in its half or the whole face, or a margin from an
   edge; a right margin places the text's left edge, not its right. */
TEST(Face, PlacementByAlignment)
{
    static const struct { BYTE alignH, alignV; SHORT marginX, marginY; int whole, second; LONG x, y; } rows[] = {
        { 0, 0, 9, 9, 0, 1, 110, 140 }, { 0, 0, 9, 9, 1, 1, 110, 90 }, { 1, 1, 7, -5, 0, 1, 7, -5 }, { 2, 2, 100, 30, 0, 0, 200, 170 },
    };
    gState->dpi = 96;
    for (const auto& r : rows) {
        FaceItem item = { "", 0, 0, r.marginY, r.marginX, 0, r.alignH, r.alignV };
        POINT at = FaceTextOrigin(&item, 300, 200, SIZE { 80, 20 }, r.whole, r.second);
        EXPECT_TRUE(at.x == r.x && at.y == r.y) << "row " << &r - rows << ": " << at.x << ", " << at.y;
    }
}

/* Every paint, however little was asked, and a clock set, draw the whole face at once:
   never two times on it. On a monitor of 192 dpi, text of 26 pixels at 96 is 52. */
TEST_F(Fresh, PaintsDrawTheWholeFace)
{
    LoadSettings();
    HWND wnd = CreateMainWindow(SW_SHOWNORMAL);
    RECT client, corner = { 0, 0, 4, 4 }, given = { 10, 20, 710, 420 }, now;
    auto tall = [] { LOGFONTW lf = {}; GetObjectW(gState->date.font, sizeof(lf), &lf); return lf.lfHeight; };
    SendMessageW(wnd, WM_DPICHANGED, MAKEWPARAM(192, 192), (LPARAM)&given);
    EXPECT_TRUE(GetWindowRect(wnd, &now) && EqualRect(&now, &given) && tall() == 52);
    GetClientRect(wnd, &client);
    for (int way = 0; way < 2; way++) {
        /* Black all over, nothing pending: a face drawn anew has but its date in black. */
        HDC dc = GetDC(wnd);
        FillRect(dc, &client, (HBRUSH)GetStockObject(BLACK_BRUSH));
        ReleaseDC(wnd, dc);
        ValidateRect(wnd, NULL);
        if (way) SendMessageW(wnd, WM_TIMECHANGE, 0, 0);
        else RedrawWindow(wnd, &corner, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        std::vector<COLORREF> face = Pixels(wnd);
        EXPECT_LT(std::count(face.begin(), face.end(), RGB(0, 0, 0)) * 4, client.right * client.bottom) << "way " << way;
    }
    EXPECT_TRUE(KillTimer(wnd, TIMER_TICK)) << "a time change left the clock without its tick";
}

/* A font chosen at any resolution is drawn at the height the font dialog chose, labelled
   with its points, and stored at 96 dpi as a height that loads back to those points. */
TEST_F(Fresh, FontSizesTrueAtAnyScale)
{
    FaceLine* line = &gState->date;
    auto drawn = [&] { LOGFONTW lf = {}; GetObjectW(line->font, sizeof(lf), &lf); return lf.lfHeight; };
    for (UINT dpi : { 96, 120, 144, 168, 192 }) {
        for (int points = 1; points <= 300; points++) {
            SCOPED_TRACE(testing::Message() << dpi << " dpi, " << points << " points");
            ReleaseFaceFonts();
            gState->dpi = dpi;
            DefaultFaceItem(line, 0);
            line->logFont.lfHeight = -MulDiv(points, dpi, 72), line->fontDpi = dpi;  /* as the font dialog gives it */
            CreateFaceFonts();
            EXPECT_TRUE(drawn() == line->logFont.lfHeight && FontPoints(drawn(), dpi) == points);
            SaveFaceItem(L"Date", line);
            ReleaseFaceFonts();
            LoadFaceItem(L"Date", line);
            EXPECT_EQ(FontPoints(drawn(), dpi), points) << "loaded";
        }
    }
}

/* While something rings, a key answers it and runs nothing, menu bar or none: Backspace,
   whose item is grey then, Space and Ctrl+S, the S and the releases included. With nothing
   ringing the keys run, but Space, grey while counting, does nothing without a menu bar
   either. */
TEST_F(Fresh, KeysDuringARingOnlyEndIt)
{
    enum { Quiet, CountEnd, AlarmRing };
    static const struct { bool menu; int ringing; ClockMode from; WORD key; bool control; ClockMode to; } rows[] = {
        { true, CountEnd, CountDown, VK_BACK, false, Stopped },  { false, CountEnd, CountDown, VK_SPACE, false, Stopped },
        { true, CountEnd, CountDown, VK_SPACE, false, Stopped }, { true, CountEnd, CountDown, 'S', true, Stopped },
        { false, AlarmRing, Clock, 'S', true, Clock },           { true, AlarmRing, Stopped, VK_SPACE, false, Stopped },
        { false, Quiet, CountDown, VK_SPACE, false, CountDown },  { true, Quiet, CountDown, VK_SPACE, false, CountDown },
        { false, Quiet, Clock, 'S', true, CountUp },             { true, Quiet, Stopped, VK_SPACE, false, Clock },
    };
    HWND wnd = CreateMainWindow(SW_SHOWNORMAL);
    HMENU bar = GetMenu(wnd);
    BYTE keys[256];
    gState->countdownSeconds = 3600, gState->options.alarmUntilStopped = 1;
    for (const auto& r : rows) {
        SCOPED_TRACE(&r - rows);
        SetMenu(wnd, r.menu ? bar : NULL), EnterMode(wnd, r.from);
        if (r.ringing == CountEnd) FinishCountdown(wnd);
        if (r.ringing == AlarmRing) {
            gState->alarmCount = 1, gState->alarms[0] = { { 1 }, L"", L"", LocalFromUtc(NULL, UtcNow()) };
            RingDueAlarms(wnd);
        }
        ASSERT_EQ(Ringing(), r.ringing != Quiet);
        /* Posted keys leave the keyboard state alone: it is set as they would. */
        GetKeyboardState(keys);
        keys[VK_CONTROL] = r.control ? 0x80 : 0, keys[r.key] = 0x80;
        SetKeyboardState(keys);
        if (r.control) Post(wnd, WM_KEYDOWN, VK_CONTROL);
        Post(wnd, WM_KEYDOWN, r.key), PumpAsTheLoop();
        keys[VK_CONTROL] = keys[r.key] = 0;
        SetKeyboardState(keys), PostMessageW(wnd, WM_KEYUP, r.key, 0xC0000001), PumpAsTheLoop();
        EXPECT_TRUE(gState->mode == r.to && !Ringing()) << "mode " << gState->mode;
    }
}

/* Fitted to its window, every shown line's widest text lies inside the client area at any
   size and instant, one filling most of its room, date and time keeping their sizes to
   each other and their places; the fonts come from the size, never from a paint. Without
   the option the fonts are as chosen. */
TEST_F(Fresh, FaceFitsItsWindow)
{
    static const struct { BYTE fit; int width, height; BYTE oneLine, alignH; SHORT marginX; ClockMode mode; } rows[] = {
        { 1, 220, 150, 0, 0, 0, Clock }, { 1, 330, 200, 0, 0, 0, Clock }, { 1, 1100, 420, 0, 0, 0, Clock },
        { 1, 260, 700, 1, 0, 0, Clock }, { 1, 480, 400, 0, 1, 150, Clock }, { 1, 500, 300, 0, 0, 0, Stopped },
        { 0, 900, 600, 0, 0, 0, Clock },
    };
    static const WORD instants[4][3] = { { 0, 0, 0 }, { 11, 11, 11 }, { 12, 0, 0 }, { 23, 58, 58 } };
    LoadSettings();
    gState->time.logFont.lfHeight = 40;
    CreateFaceFonts();
    HWND wnd = CreateMainWindow(SW_SHOWNORMAL);
    for (const auto& r : rows) {
        SCOPED_TRACE(&r - rows);
        ClockState* s = gState;
        s->options.fitToWindow = r.fit, s->options.oneLine = r.oneLine, s->mode = r.mode, s->date.item.alignH = r.alignH, s->date.item.marginX = r.marginX;
        SetWindowPos(wnd, NULL, 0, 0, r.width, r.height, SWP_NOZORDER | SWP_NOMOVE);
        FitFaceFonts(wnd);
        HFONT fonts[3] = { s->date.font, s->time.font, s->count.font };
        RECT client = {};
        HDC dc = GetClientRect(wnd, &client) ? GetDC(wnd) : NULL;
        double fullest = 0;
        for (const auto& t : instants) {
            SYSTEMTIME at = { 2026, 12, 3, 9, t[0], t[1], t[2], 0 };
            FormatClockTextsAt(&at), FormatCount(s->count.text, (t[0] * 3600 + t[1] * 60 + t[2]) * 1000, s->count.item.format);
            FaceLine* shown[2] = { r.mode == Clock ? &s->date : &s->count, r.mode == Clock && !r.oneLine ? &s->time : NULL };
            for (int i = 0; i < 2 && shown[i]; i++) {
                SIZE size;
                SelectObject(dc, shown[i]->font), GetTextExtentPoint32W(dc, shown[i]->text, lstrlenW(shown[i]->text), &size);
                POINT at = FaceTextOrigin(&shown[i]->item, client.right, client.bottom, size, r.mode != Clock || r.oneLine, i);
                EXPECT_TRUE(!r.fit || (at.x >= 0 && at.y >= 0 && at.x + size.cx <= client.right && at.y + size.cy <= client.bottom))
                    << t[0] << ":" << t[1] << ":" << t[2] << " line " << i << " at " << at.x << "," << at.y << " size " << size.cx << "x" << size.cy;
                fullest = std::max(fullest, std::max((double)size.cx / (client.right - ScaleToDpi(r.marginX)), (double)size.cy / client.bottom * (r.oneLine ? 1 : 2)));
            }
        }
        ReleaseDC(wnd, dc);
        LOGFONTW date = {}, time = {};
        GetObjectW(s->date.font, sizeof(date), &date), GetObjectW(s->time.font, sizeof(time), &time);
        EXPECT_TRUE(r.fit ? fullest > 0.85 : date.lfHeight == ScaleToDpi(s->date.logFont.lfHeight)) << "fullest " << fullest;
        EXPECT_NEAR((double)time.lfHeight / date.lfHeight, 40.0 / 26, 0.1) << "date and time sizes apart";
        RedrawWindow(wnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);    /* at another second */
        EXPECT_TRUE(fonts[0] == s->date.font && fonts[1] == s->time.font && fonts[2] == s->count.font) << "a font made in a paint";
    }
}
