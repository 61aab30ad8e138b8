/* The settings in the real registry: stored bytes, load rules, hostile contents, leaks. */
#include "support.h"
#include "../state/settings.h"
#include <algorithm>

/* The default font as older copies store it: "ＭＳ 明朝" in the ANSI code page where it
   holds it (the bytes of code page 932 spelt out), else its English name. */
static LOGFONTA DefaultStoredFont(void)
{
    LOGFONTA lf = { 26, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, FIXED_PITCH, "MS Mincho" };
    if (GetACP() == 932) lstrcpyA(lf.lfFaceName, "\x82\x6c\x82\x72\x20\x96\xbe\x92\xa9");
    if (GetACP() == CP_UTF8) lstrcpyA(lf.lfFaceName, u8"ＭＳ 明朝");
    return lf;
}
static const LOGFONTA kFont = DefaultStoredFont();

/* Whether the window opens with just these of the on-top and see-through styles. */
static bool OpensAs(LONG exStyle)
{
    return (GetWindowLongW(CreateMainWindow(SW_SHOWNORMAL), GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_LAYERED)) == exStyle;
}

/* Each row plants nothing (a first start), a value of the key, or a line's Option and Font. */
TEST_F(Fresh, StoredValuesLoadByTheRules)
{
    ClockState* s = gState;
    FaceItem red = { "", 0, RGB(255, 0, 0), 0, 0, 10 };
    LOGFONTA wide = kFont, unterminated = kFont, tall = kFont;
    wide.lfWidth = 5000;
    tall.lfHeight = -3000;
    FillMemory(unterminated.lfFaceName, LF_FACESIZE, 'A');
    Bytes item = Of(&red, 52), font = Of(&kFont, 60);
    auto isRed = [&] { return s->date.item.color == RGB(255, 0, 0) && s->date.item.format == 10 && s->date.font; };
    auto isDefault = [&] { return s->date.item.color == 0 && s->date.item.format == 0 && s->date.font; };
    const struct { const WCHAR *subkey, *name; Bytes value, font; std::function<bool()> holds; } rows[] = {
        { NULL, NULL, {}, {}, [&] {
            SaveSettings();
            return s->options.backColor == RGB(255, 255, 255) && !s->options.weekday && !s->options.oneLine && isDefault() &&
                   s->time.item.color == RGB(0, 128, 0) && s->count.item.color == RGB(0, 0, 128) && Stored(L"Time", L"Font") == font; } },
        { NULL, L"Option", { 0x11, 0x22, 0x33, 0, 1 }, {},
          [&] { return s->options.backColor == RGB(0x11, 0x22, 0x33) && s->options.weekday == 1 && !s->options.oneLine; } },
        { NULL, L"Option", Bytes(33, 1), {}, [&] { return s->options.backColor == RGB(255, 255, 255) && !s->options.weekday; } },
        { NULL, L"Option", { 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 1, 255 }, {}, [&] { return OpensAs(WS_EX_TOPMOST); } },
        { NULL, L"Option", { 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 2, 95 }, {}, [&] { return OpensAs(0); } },
        { NULL, L"Wave", Text(std::wstring(300, L'w')), {}, [&] { return s->wavePath == std::wstring(259, L'w'); } },
        { NULL, L"Wave", Text(std::wstring(258, L'w') + L"𠮷"), {}, [&] { return s->wavePath == std::wstring(258, L'w'); } },
        { NULL, L"Wave", { 'a', 0, 'b', 0 }, {}, [&] { return !lstrcmpW(s->wavePath, L"ab"); } },
        { NULL, L"Wave", Text(L"C:\\時報\\表𠮷☃.wav"), {}, [&] { return !lstrcmpW(s->wavePath, L"C:\\時報\\表𠮷☃.wav"); } },
        { L"Date", L"Option", item, font, isRed },
        { L"Date", L"Option", item, {}, isDefault },
        { L"Date", L"Option", Bytes(item.begin(), item.begin() + 40), font,
          [&] { return s->date.item.color == RGB(255, 0, 0) && s->date.item.format == 0; } },
        { L"Date", L"Option", item, Of(&wide, 60), isDefault },
        { L"Date", L"Option", item, Of(&tall, 60), [&] { return ScreenDpi() > 96 ? isDefault() : isRed(); } },
        { L"Date", L"Option", item, Of(&unterminated, 60), [&] { return isRed() && s->date.logFont.lfFaceName == std::wstring(31, L'A'); } },
    };
    for (const auto& r : rows) {
        SetUp();
        if (r.name) Plant(r.subkey, r.name, lstrcmpW(r.name, L"Wave") ? REG_BINARY : REG_SZ, r.value);
        if (!r.font.empty()) Plant(L"Date", L"Font", REG_BINARY, r.font);
        LoadSettings();
        EXPECT_TRUE(r.holds()) << "row " << &r - rows;
    }
}

/* Whatever the key holds loads, draws, and saves at log-off (at WM_ENDSESSION, then with
   the fonts gone at WM_DESTROY) to load back the same; 3,000 paints and 120 saves leave no
   GDI object behind. */
TEST_F(Fresh, HostileStoredBytesLoadDrawSaveAndLoadBack)
{
    static const struct { const WCHAR *subkey, *name; DWORD size; } values[] = {
        { NULL, L"Option", 32 }, { NULL, L"Pos", 16 }, { NULL, L"Wave", 600 }, { L"Date", L"Option", 52 }, { L"Date", L"Font", 60 },
        { L"Time", L"Option", 52 }, { L"Time", L"Font", 60 }, { L"Stop", L"Option", 52 }, { L"Stop", L"Font", 60 },
    };
    DWORD seed = 20261207;
    auto next = [&] { return (seed = seed * 1103515245 + 12345) >> 16; };
    /* How many more GDI objects this process can make: Wine counts no GDI handles. */
    auto gdiHeadroom = [] {
        std::vector<HRGN> made;
        for (HRGN region; (region = CreateRectRgn(0, 0, 1, 1)) != NULL;) made.push_back(region);
        for (HRGN region : made) DeleteObject(region);
        return made.size();
    };
    size_t gdi = 0;
    for (int round = 0; round <= 60; round++) {
        SCOPED_TRACE(round);
        /* Counted from the second round: the first makes what lasts the whole run. */
        if (round == 1) gdi = gdiHeadroom();
        SetUp();
        for (const auto& v : values) {
            const DWORD sizes[4] = { v.size, v.size, v.size + 1, next() % (v.size + 2) };
            Bytes bytes(sizes[next() % 4]);
            for (BYTE& b : bytes) b = (BYTE)next();
            /* Now and then a font of a size it draws, so its other bytes get used. */
            if (bytes.size() == 60 && next() % 2) bytes[1] = bytes[2] = bytes[3] = bytes[5] = 0;
            /* Any type is taken whose bytes fit. */
            if (next() % 5) Plant(v.subkey, v.name, v.size == 600 || next() % 3 == 0 ? REG_SZ : REG_BINARY, bytes);
        }
        LoadSettings();
        gState->mode = (ClockMode)(next() % 3);
        HWND wnd = CreateMainWindow(SW_SHOWNORMAL);
        for (int paint = 0; paint < 50; paint++) RedrawWindow(wnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        ClockState loaded = *gState;
        RECT shown;
        GetWindowRect(wnd, &shown);
        SendMessageW(wnd, WM_ENDSESSION, FALSE, 0);
        EXPECT_EQ(Stored(NULL, L"Version"), Bytes()) << "a cancelled log-off saved";
        SendMessageW(wnd, WM_ENDSESSION, TRUE, 0);
        CloseMainWindow();
        EXPECT_EQ(Stored(NULL, L"Version"), Text(L"0.11"));
        EXPECT_EQ(Stored(NULL, L"Wave"), Text(loaded.wavePath));
        ReleaseFaceFonts();
        ZeroMemory(gState, sizeof(*gState));
        gState->dpi = ScreenDpi();
        LoadSettings();
        EXPECT_TRUE(!memcmp(&gState->options, &loaded.options, 32) && !lstrcmpW(gState->wavePath, loaded.wavePath));
        EXPECT_TRUE(EqualRect(&gState->windowRect, &shown));
        static_assert(offsetof(FaceLine, logFont) == 52, "item and font lie together");
        for (FaceLine ClockState::*line : { &ClockState::date, &ClockState::time, &ClockState::count }) {
            (gState->*line).item.font = (loaded.*line).item.font = 0;
            EXPECT_EQ(Of(&(gState->*line).item, 144), Of(&(loaded.*line).item, 144));
        }
    }
    EXPECT_GE(gdiHeadroom() + 50, gdi) << "GDI objects left behind";
}
