/* The settings in the real registry: the stored bytes, the load rules, hostile contents
   saved at log-off, and no GDI object or handle left per paint or save. */
#include "support.h"
#include "../state/settings.h"
#include <algorithm>
#include <winternl.h>

static const LOGFONTA kFont = { 26, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, FIXED_PITCH, "ＭＳ 明朝" };
static const char* const kLines[3] = { "Date", "Time", "Stop" };

static FaceLine* Line(ClockState* s, int i)
{
    return i == 0 ? &s->date : i == 1 ? &s->time : &s->count;
}

/* A first start's defaults as stored, and the layout of a stored line. */
TEST_F(Fresh, FirstStartDefaultsAndTheStoredLayout)
{
    static const BYTE white[32] = { 0xFF, 0xFF, 0xFF }, pos[16] = { 100, 0, 0, 0, 50, 0, 0, 0, 0xAE, 1, 0, 0, 0xFA };
    static const BYTE colors[3][4] = { { 0 }, { 0, 0x80 }, { 0, 0, 0x80 } };
    static const BYTE item[16] = { 0, 0x80, 0, 0, 0xFB, 0xFF, 10, 0, 5, 2, 1, 1, 2, 3, 4, 5 };
    LoadSettings();
    SetRect(&gState->windowRect, 100, 50, 430, 250);
    SaveSettings();
    EXPECT_EQ(Stored(NULL, "Version"), Of("0.11", 5));
    EXPECT_EQ(Stored(NULL, "Wave"), Bytes(1, 0));
    EXPECT_EQ(Stored(NULL, "Option"), Of(white, 32));
    EXPECT_EQ(Stored(NULL, "Pos"), Of(pos, 16));
    for (int i = 0; i < 3; i++) {
        Bytes option = Stored(kLines[i], "Option"), expected(52);
        CopyMemory(&expected[32], &option[32], 4);   /* the font handle of the run */
        CopyMemory(&expected[36], colors[i], 4);
        EXPECT_EQ(option, expected) << kLines[i];
        EXPECT_EQ(Stored(kLines[i], "Font"), Of(&kFont, 60)) << kLines[i];
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
    LOGFONTA tall = kFont, wide = kFont, unterminated = kFont;
    tall.lfHeight = -5000;
    wide.lfWidth = 5000;
    FillMemory(unterminated.lfFaceName, LF_FACESIZE, 'A');
    Bytes item = Of(&red, 52), font = Of(&kFont, 60);
    auto isRed = [&] { return s->date.item.color == RGB(255, 0, 0) && s->date.item.format == 10 && s->date.font; };
    auto isDefault = [&] { return s->date.item.color == 0 && s->date.item.format == 0 && s->date.font; };
    const struct { const char *subkey, *name; Bytes value, font; std::function<bool()> holds; } rows[] = {
        { NULL, "Option", { 0x11, 0x22, 0x33, 0, 1 }, {},
          [&] { return s->options.backColor == RGB(0x11, 0x22, 0x33) && s->options.weekday == 1 && !s->options.oneLine; } },
        { NULL, "Option", Bytes(33, 1), {}, [&] { return s->options.backColor == RGB(255, 255, 255) && !s->options.weekday; } },
        { NULL, "Wave", Bytes(300, 'w'), {}, [&] { return s->wavePath == std::string(259, 'w'); } },
        { NULL, "Wave", { 'a', 'b' }, {}, [&] { return !lstrcmpA(s->wavePath, "ab"); } },
        { "Date", "Option", item, font, isRed },
        { "Date", "Option", item, {}, isDefault },
        { "Date", "Option", Bytes(item.begin(), item.begin() + 40), font,
          [&] { return s->date.item.color == RGB(255, 0, 0) && s->date.item.format == 0; } },
        { "Date", "Option", item, Of(&tall, 60), isDefault },
        { "Date", "Option", item, Of(&wide, 60), isDefault },
        { "Date", "Option", item, Of(&unterminated, 60), [&] { return isRed() && !s->date.logFont.lfFaceName[31]; } },
    };
    for (const auto& r : rows) {
        SetUp();
        Plant(r.subkey, r.name, lstrcmpA(r.name, "Wave") ? REG_BINARY : REG_SZ, r.value);
        if (!r.font.empty()) Plant("Date", "Font", REG_BINARY, r.font);
        LoadSettings();
        EXPECT_TRUE(r.holds()) << "row " << &r - rows;
    }
}

/* Whatever bytes the key holds, the program loads, draws, and saves as at log-off (at
   WM_ENDSESSION and again, its fonts released, at WM_DESTROY) what loads back the same.
   The path is text, which the registry keeps as Unicode: it stays short enough not to
   be cut inside a double-byte character, whose half a save cannot keep. */
TEST_F(Fresh, HostileStoredBytesLoadDrawSaveAndLoadBack)
{
    static const struct { const char *subkey, *name; DWORD size; } values[] = {
        { NULL, "Option", 32 }, { NULL, "Pos", 16 }, { NULL, "Wave", 258 }, { "Date", "Option", 52 }, { "Date", "Font", 60 },
        { "Time", "Option", 52 }, { "Time", "Font", 60 }, { "Stop", "Option", 52 }, { "Stop", "Font", 60 },
    };
    DWORD seed = 20261207;
    auto next = [&] { return (seed = seed * 1103515245 + 12345) >> 16; };
    for (int round = 0; round < 60; round++) {
        SCOPED_TRACE(round);
        SetUp();
        for (const auto& v : values) {
            DWORD sizes[4] = { v.size, v.size, v.size + 1, next() % (v.size + 2) };
            Bytes bytes(sizes[next() % 4]);
            for (BYTE& b : bytes) b = (BYTE)next();
            /* Now and then a font of a size it draws, so its other bytes get used. */
            if (bytes.size() == 60 && next() % 2) bytes[1] = bytes[2] = bytes[3] = bytes[5] = 0;
            /* Any type is taken whose bytes fit. */
            if (next() % 5) Plant(v.subkey, v.name, v.size == 258 || next() % 3 == 0 ? REG_SZ : REG_BINARY, bytes);
        }
        LoadSettings();
        gState->mode = (ClockMode)(next() % 3);
        RedrawWindow(OpenMainWindow(), NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        ClockState loaded = *gState;
        RECT shown;
        GetWindowRect(gMainWnd, &shown);
        SendMessageA(gMainWnd, WM_ENDSESSION, FALSE, 0);
        EXPECT_EQ(Stored(NULL, "Version"), Bytes()) << "a cancelled log-off saved";
        SendMessageA(gMainWnd, WM_ENDSESSION, TRUE, 0);
        CloseMainWindow();
        Reset();
        LoadSettings();
        EXPECT_EQ(Of(&gState->options, 32), Of(&loaded.options, 32));
        EXPECT_STREQ(gState->wavePath, loaded.wavePath);
        EXPECT_TRUE(EqualRect(&gState->windowRect, &shown));
        /* A line's item and its stored font, which lie together, the handle aside. */
        static_assert(offsetof(FaceLine, logFont) == 52, "item and font lie together");
        for (int i = 0; i < 3; i++) {
            Line(gState, i)->item.font = Line(&loaded, i)->item.font = 0;
            EXPECT_EQ(Of(&Line(gState, i)->item, 112), Of(&Line(&loaded, i)->item, 112)) << kLines[i];
        }
    }
}

/* The handles this process holds as the system lists them: Wine's process handle count
   is always 0. */
static size_t HandleCount(void)
{
    struct Entry { ULONG process; BYTE type, flags; USHORT value; PVOID object; ULONG access; };
    std::vector<ULONG_PTR> table(1 << 19);
    if (NtQuerySystemInformation((SYSTEM_INFORMATION_CLASS)16, table.data(), (ULONG)table.size() * 8, NULL)) return 0;
    const Entry* entries = (const Entry*)&table[1];
    return std::count_if(entries, entries + (ULONG)table[0], [](const Entry& e) { return e.process == GetCurrentProcessId(); });
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
    size_t gdi = GdiHeadroom(), handles = HandleCount();
    for (int i = 0; i < 3000; i++) {
        gState->mode = i % 2 ? Clock : CountUp;
        RedrawWindow(wnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        if (i % 30 == 0) { SaveSettings(); ReleaseFaceFonts(); LoadSettings(); }
    }
    EXPECT_GE(GdiHeadroom() + 50, gdi) << "GDI objects left behind";
    EXPECT_GT(handles, 0u);
    EXPECT_LE(HandleCount(), handles + 20) << "handles left behind";
}
