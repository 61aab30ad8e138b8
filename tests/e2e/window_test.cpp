/* Where the window opens and what the program stores when it ends. */
#include "support.h"
#include "face.h"

class Startup : public Scenario {};
class Ending : public Scenario {};

static LONG Width(const RECT& rect) { return rect.right - rect.left; }
static LONG Height(const RECT& rect) { return rect.bottom - rect.top; }

/* Waits for the program to end by itself and checks what it stored as "Pos". */
static void ExpectEndsStoring(Velmor& app, const RECT& rect)
{
    ASSERT_TRUE(app.WaitForExit());
    std::vector<BYTE> pos;
    ASSERT_TRUE(ReadSetting("Pos", &pos)) << "no \"Pos\" stored";
    EXPECT_EQ(pos, StoredRect(rect)) << "expected the rectangle " << RectText(rect);
}

TEST_F(Startup, FirstStartOpensTheDefaultSizeWithTheMenuBar)
{
    Velmor app;
    ASSERT_TRUE(app.Start());
    RECT rect = WindowRect(app.Window());
    EXPECT_EQ(Width(rect), 330) << RectText(rect);
    EXPECT_EQ(Height(rect), 200) << RectText(rect);

    /* Wine keeps menus in the process that made them: GetMenuItemCount and
       GetMenuStringA on this handle fail from here. The captions are checked by their
       mnemonics instead (MenuBar below). */
    EXPECT_NE(GetMenu(app.Window()), nullptr) << "no menu bar";
    Face face;
    EXPECT_TRUE(WaitForFace(app.Window(), ShowsClock, &face)) << "no date and time in their colours";
}

TEST_F(Startup, StoredPositionIsHonouredExactly)
{
    RECT stored = { 120, 90, 520, 330 };
    PlantSetting("Pos", REG_BINARY, StoredRect(stored));
    Velmor app;
    ASSERT_TRUE(app.Start());
    RECT rect = WindowRect(app.Window());
    EXPECT_TRUE(SameRect(rect, stored)) << "opened at " << RectText(rect);
}

TEST_F(Startup, OffScreenPositionOpensOnTheDesktopWithItsSize)
{
    RECT stored = { 5000, 4000, 5330, 4200 };
    PlantSetting("Pos", REG_BINARY, StoredRect(stored));
    Velmor app;
    ASSERT_TRUE(app.Start());
    RECT rect = WindowRect(app.Window()), work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(Width(rect), 330) << RectText(rect);
    EXPECT_EQ(Height(rect), 200) << RectText(rect);
    RECT inside;
    EXPECT_TRUE(IntersectRect(&inside, &rect, &work) && SameRect(inside, rect))
        << RectText(rect) << " is not inside the work area " << RectText(work);
}

TEST_F(Startup, SecondCopyOpensElsewhereAndDoesNotStoreItsRectangle)
{
    RECT stored = { 200, 150, 600, 400 };
    PlantSetting("Pos", REG_BINARY, StoredRect(stored));
    Velmor first, second;
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(SameRect(WindowRect(first.Window()), stored)) << RectText(WindowRect(first.Window()));
    ASSERT_TRUE(second.Start());
    RECT rect = WindowRect(second.Window());
    EXPECT_FALSE(rect.left == stored.left && rect.top == stored.top)
        << "the second copy opened on top of the first, at " << RectText(rect);
    EXPECT_EQ(Width(rect), Width(stored)) << RectText(rect);
    EXPECT_EQ(Height(rect), Height(stored)) << RectText(rect);

    PostMessageA(second.Window(), WM_CLOSE, 0, 0);
    ExpectEndsStoring(second, stored);
    std::vector<BYTE> version;
    EXPECT_TRUE(ReadSetting("Version", &version)) << "the second copy saved no settings";

    RECT firstRect = WindowRect(first.Window());
    PostMessageA(first.Window(), WM_CLOSE, 0, 0);
    ExpectEndsStoring(first, firstRect);
}

TEST_F(Ending, CloseStoresTheLastWindowRectangle)
{
    Velmor app;
    ASSERT_TRUE(app.Start());
    RECT moved = { 137, 91, 487, 321 };
    SetWindowPos(app.Window(), NULL, moved.left, moved.top, Width(moved), Height(moved),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return SameRect(WindowRect(app.Window()), moved); }))
        << "the window did not move: " << RectText(WindowRect(app.Window()));
    PostMessageA(app.Window(), WM_CLOSE, 0, 0);
    ExpectEndsStoring(app, moved);
}

TEST_F(Ending, AltXStoresTheWindowRectangle)
{
    Velmor app;
    ASSERT_TRUE(app.Start());
    RECT rect = WindowRect(app.Window());
    ASSERT_TRUE(PressKey(app.Window(), 'X', { VK_MENU }));
    ExpectEndsStoring(app, rect);
}

TEST_F(Ending, CloseWhileMaximisedKeepsTheStoredRectangle)
{
    RECT stored = { 150, 120, 480, 320 };
    PlantSetting("Pos", REG_BINARY, StoredRect(stored));
    Velmor app;
    ASSERT_TRUE(app.Start());
    ShowWindow(app.Window(), SW_MAXIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(app.Window()) != FALSE; })) << "not maximised";
    PostMessageA(app.Window(), WM_CLOSE, 0, 0);
    ExpectEndsStoring(app, stored);
    std::vector<BYTE> version;
    EXPECT_TRUE(ReadSetting("Version", &version)) << "closing maximised saved no settings";
}

static LRESULT SendEndSession(HWND wnd, BOOL ending)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(wnd, WM_ENDSESSION, ending, 0, SMTO_NORMAL, kDeadline, &result);
}

TEST_F(Ending, EndSessionSavesOnlyWhenTheSessionEnds)
{
    Velmor app;
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(SendEndSession(app.Window(), FALSE));
    EXPECT_EQ(SettingsEntryCount(), 0) << "a cancelled log-off stored settings";

    ASSERT_TRUE(SendEndSession(app.Window(), TRUE));
    std::vector<BYTE> bytes;
    ASSERT_TRUE(ReadSetting("Version", &bytes)) << "the log-off saved nothing";
    EXPECT_EQ(bytes, BytesOf("0.11", 5));
    ASSERT_TRUE(ReadSetting("Wave", &bytes));
    EXPECT_EQ(bytes, BytesOf("", 1));
    ASSERT_TRUE(ReadSetting("Option", &bytes));
    EXPECT_EQ(bytes.size(), 32u);
    ASSERT_TRUE(ReadSetting("Pos", &bytes));
    EXPECT_EQ(bytes, StoredRect(WindowRect(app.Window())));
    for (const char* line : { "Date", "Time", "Stop" }) {
        EXPECT_TRUE(ReadSetting("Option", &bytes, line) && bytes.size() == 52) << line;
        EXPECT_TRUE(ReadSetting("Font", &bytes, line) && bytes.size() == 60) << line;
    }
}
