/* The settings in the real registry: the stored bytes, the load rules, hostile
   contents saved at log-off, and no GDI object or handle left per paint or save. */
#include "support.h"
#include "../state/settings.h"

static const LOGFONTA kFont = { 26, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, FIXED_PITCH, "ＭＳ 明朝" };
static const char* const kLines[3] = { "Date", "Time", "Stop" };

static FaceLine* Line(ClockState* s, int i)
{
    return i == 0 ? &s->date : i == 1 ? &s->time : &s->count;
}

static Bytes FontOf(const FaceLine* line)
{
    LOGFONTA lf = {};
    GetObjectA(line->font, sizeof(lf), &lf);
    return Of(&lf, sizeof(lf));
}

/* A first start's defaults as they are stored, and the stored layout of a line. */
TEST_F(Fresh, FirstStartDefaultsAndTheStoredLayout)
{
    static const COLORREF colors[3] = { RGB(0, 0, 0), RGB(0, 128, 0), RGB(0, 0, 128) };
    static const BYTE white[32] = { 0xFF, 0xFF, 0xFF }, pos[16] = { 100, 0, 0, 0, 50, 0, 0, 0, 0xAE, 1, 0, 0, 0xFA };
    static const BYTE item[16] = { 0, 0x80, 0, 0, 0xFB, 0xFF, 10, 0, 5, 2, 1, 1, 2, 3, 4, 5 };
    LoadSettings();
    SetRect(&gState->windowRect, 100, 50, 430, 250);
    lstrcpyA(gState->date.text, "2001/05/08");
    lstrcpyA(gState->date.item.text, "x");
    SaveSettings();
    EXPECT_EQ(Stored(NULL, "Version"), Of("0.11", 5));
    EXPECT_EQ(Stored(NULL, "Wave"), Bytes(1, 0));
    EXPECT_EQ(Stored(NULL, "Option"), Of(white, 32));
    EXPECT_EQ(Stored(NULL, "Pos"), Of(pos, 16));
    for (int i = 0; i < 3; i++) {
        Bytes option = Stored(kLines[i], "Option");
        option.erase(option.begin() + 32, option.begin() + 36);
        Bytes expected(48, 0);
        CopyMemory(&expected[32], &colors[i], 4);
        EXPECT_EQ(option, expected) << kLines[i];
        EXPECT_EQ(Stored(kLines[i], "Font"), Of(&kFont, 60)) << kLines[i];
        EXPECT_STREQ(Line(gState, i)->text, "") << "a save empties the live texts";
    }
    CopyMemory(&gState->time.item.color, item, 16);
    SaveSettings();
    Bytes option = Stored("Time", "Option");
    EXPECT_EQ(Bytes(option.begin() + 36, option.end()), Of(item, 16));
}

/* Each row plants one value of the program's key, or a line's "Option" and "Font". */
TEST_F(Fresh, OddStoredValuesLoadByTheRules)
{
    ClockState* s = gState;
    FaceItem red = {};
    red.color = RGB(255, 0, 0);
    red.format = 10;
    LOGFONTA tall = kFont, wide = kFont;
    tall.lfHeight = -5000;
    wide.lfWidth = 5000;
    Bytes item = Of(&red, 52), font = Of(&kFont, 60);
    auto isRed = [&] { return s->date.item.color == RGB(255, 0, 0) && s->date.item.format == 10 && s->date.font; };
    auto isDefault = [&] { return s->date.item.color == 0 && s->date.item.format == 0 && s->date.font; };
    const struct { const char *subkey, *name; Bytes value, font; std::function<bool()> holds; } rows[] = {
        { NULL, "Option", { 0x11, 0x22, 0x33, 0, 1 }, {}, [&] {
            return s->options.backColor == RGB(0x11, 0x22, 0x33) && s->options.weekday == 1 && !s->options.oneLine; } },
        { NULL, "Option", Bytes(33, 1), {}, [&] { return s->options.backColor == RGB(255, 255, 255) && !s->options.weekday; } },
        { NULL, "Wave", Bytes(300, 'w'), {}, [&] { return std::string(s->wavePath) == std::string(259, 'w'); } },
        { NULL, "Wave", { 'a', 'b' }, {}, [&] { return !lstrcmpA(s->wavePath, "ab"); } },
        { "Date", "Option", item, font, isRed },
        { "Date", "Option", item, {}, isDefault },
        { "Date", "Option", Bytes(53, 1), font, isDefault },
        { "Date", "Option", Bytes(item.begin(), item.begin() + 40), font,
          [&] { return s->date.item.color == RGB(255, 0, 0) && s->date.item.format == 0; } },
        { "Date", "Option", item, Bytes(font.begin(), font.begin() + 40), isRed },
        { "Date", "Option", item, Of(&tall, 60), isDefault },
        { "Date", "Option", item, Of(&wide, 60), isDefault },
    };
    for (const auto& r : rows) {
        SetUp();
        Plant(r.subkey, r.name, lstrcmpA(r.name, "Wave") ? REG_BINARY : REG_SZ, r.value);
        if (!r.font.empty()) Plant("Date", "Font", REG_BINARY, r.font);
        LoadSettings();
        EXPECT_TRUE(r.holds()) << "row " << &r - rows;
    }
}

/* Whatever bytes the key holds, the program loads, draws, saves and loads back the
   same settings. It saves as at log-off: at WM_ENDSESSION and again, with the fonts
   released, at WM_DESTROY. The path is text, which the registry keeps as Unicode: it
   stays short enough not to be cut inside a double-byte character, whose half a save
   cannot keep. */
TEST_F(Fresh, HostileStoredBytesLoadDrawSaveAndLoadBack)
{
    static const struct { const char* subkey; const char* name; DWORD size; } values[] = {
        { NULL, "Option", 32 }, { NULL, "Pos", 16 }, { NULL, "Wave", 258 }, { "Date", "Option", 52 },
        { "Date", "Font", 60 }, { "Time", "Option", 52 }, { "Time", "Font", 60 }, { "Stop", "Option", 52 },
        { "Stop", "Font", 60 },
    };
    DWORD seed = 20261207;
    auto next = [&] { return (seed = seed * 1103515245 + 12345) >> 16; };
    for (int round = 0; round < 60; round++) {
        SetUp();
        for (const auto& v : values) {
            DWORD sizes[4] = { v.size, v.size, v.size + 1, next() % (v.size + 2) };
            Bytes bytes(sizes[next() % 4]);
            for (BYTE& b : bytes) b = (BYTE)next();
            /* Now and then a font of a size it can draw, so its other bytes get used. */
            if (bytes.size() == 60 && next() % 2) bytes[1] = bytes[2] = bytes[3] = bytes[5] = 0;
            /* Any type is taken whose bytes fit. */
            if (next() % 5) Plant(v.subkey, v.name, v.size == 258 || next() % 3 == 0 ? REG_SZ : REG_BINARY, bytes);
        }
        LoadSettings();
        gState->mode = (ClockMode)(next() % 3);
        RedrawWindow(OpenMainWindow(), NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        ClockState loaded = *gState;
        Bytes fonts[3] = { FontOf(&gState->date), FontOf(&gState->time), FontOf(&gState->count) };
        RECT shown;
        GetWindowRect(gMainWnd, &shown);
        SendMessageA(gMainWnd, WM_ENDSESSION, FALSE, 0);
        EXPECT_EQ(Stored(NULL, "Version"), Bytes()) << "a cancelled log-off saved";
        SendMessageA(gMainWnd, WM_ENDSESSION, TRUE, 0);
        CloseMainWindow();
        ReleaseFaceFonts();
        ZeroMemory(gState, sizeof(*gState));
        LoadSettings();
        SCOPED_TRACE(round);
        EXPECT_EQ(Of(&gState->options, 32), Of(&loaded.options, 32));
        EXPECT_STREQ(gState->wavePath, loaded.wavePath);
        EXPECT_TRUE(EqualRect(&gState->windowRect, &shown));
        for (int i = 0; i < 3; i++) {
            Line(gState, i)->item.font = Line(&loaded, i)->item.font = 0;
            EXPECT_EQ(Of(&Line(gState, i)->item, 52), Of(&Line(&loaded, i)->item, 52)) << kLines[i];
            EXPECT_EQ(FontOf(Line(gState, i)), fonts[i]) << kLines[i];
        }
    }
}

/* How many more GDI objects this process can make: Wine counts no GDI handles. */
static size_t GdiHeadroom(void)
{
    std::vector<HRGN> made;
    for (HRGN region; (region = CreateRectRgn(0, 0, 1, 1)) != NULL;) made.push_back(region);
    for (HRGN region : made) DeleteObject(region);
    return made.size();
}

TEST_F(Fresh, PaintsAndSavesLeaveNoGdiObjectOrHandle)
{
    LoadSettings();
    HWND wnd = OpenMainWindow();
    RedrawWindow(wnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    size_t gdi = GdiHeadroom();
    DWORD handles = 0, after = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    for (int i = 0; i < 3000; i++) {
        gState->mode = i % 2 ? Clock : CountUp;
        RedrawWindow(wnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    for (int i = 0; i < 100; i++) {
        SaveSettings();
        ReleaseFaceFonts();
        LoadSettings();
    }
    GetProcessHandleCount(GetCurrentProcess(), &after);
    EXPECT_GE(GdiHeadroom() + 50, gdi) << "GDI objects left behind";
    EXPECT_LE(after, handles + 20) << "handles left behind";
}
