/* The keys, menus and mouse on the main window, and what the face shows for them. */
#include "scene.h"
#include "../../res/resource.h"

class Counting : public ClockScenario {};

class MenuBar : public Counting {};

class TitleLess : public Counting {
protected:
    void SetUp() override
    {
        Counting::SetUp();
        std::vector<BYTE> options(32, 0);
        options[0] = options[1] = options[2] = 0xFF;    /* white background */
        options[6] = 1;                                 /* no title bar */
        PlantSetting("Option", REG_BINARY, options);
    }
};

TEST_F(Counting, EnterCountsUpAndBackspaceOrEnterFreezesTheFace)
{
    Face stopped;
    ASSERT_NO_FATAL_FAILURE(StartClock());
    ASSERT_NO_FATAL_FAILURE(CountUp());
    ASSERT_NO_FATAL_FAILURE(ExpectKeyStops(VK_BACK, &stopped));

    ASSERT_TRUE(PressKey(wnd, VK_RETURN));
    ASSERT_TRUE(WaitForFaceChange(wnd, stopped)) << "Enter did not count again after a stop";
    ASSERT_NO_FATAL_FAILURE(ExpectKeyStops(VK_RETURN, &stopped));
}

/* Wine cannot read another process's menu, so the bar's two captions are checked by
   their mnemonics: Alt+D opens the first popup, whose A counts up; Alt+H opens the
   second, from which Left reaches the first again. */
TEST_F(MenuBar, MnemonicsOpenBothPopups)
{
    Face face, stopped;
    ASSERT_NO_FATAL_FAILURE(StartClock());
    ASSERT_TRUE(ChooseMenuItem(wnd, 'D', 'A'));
    ASSERT_TRUE(WaitForFace(wnd, ShowsCount, &face)) << "A in the first menu did not count up";
    EXPECT_TRUE(WaitUntil([&] { return !PopupMenuOpen(wnd); })) << "the menu stayed open";
    ASSERT_NO_FATAL_FAILURE(ExpectKeyStops(VK_RETURN, &stopped));

    ASSERT_TRUE(PressKey(wnd, 'H', { VK_MENU }));
    ASSERT_TRUE(WaitUntil([&] { return PopupMenuOpen(wnd); })) << "Alt+H opened no menu";
    ASSERT_TRUE(PressKey(wnd, VK_LEFT));
    ASSERT_TRUE(PressKey(wnd, 'A'));
    EXPECT_TRUE(WaitForFaceChange(wnd, stopped)) << "Left and A from the second menu did not count up";
}

static void ExpectOffered(HWND dialog, const char* hours, const char* minutes, const char* seconds)
{
    EXPECT_EQ(ControlText(dialog, IDC_CD_HOURS), hours);
    EXPECT_EQ(ControlText(dialog, IDC_CD_MINUTES), minutes);
    EXPECT_EQ(ControlText(dialog, IDC_CD_SECONDS), seconds);
}

TEST_F(Counting, CountdownStopsAtZeroAndOffersItsLengthAgain)
{
    Face face, end, other, zero;
    ASSERT_NO_FATAL_FAILURE(StartClock());
    HWND dialog = OpenCountdownDialog(wnd);
    ASSERT_NE(dialog, nullptr) << "Shift+Enter opened no countdown dialog";
    ExpectOffered(dialog, "0", "0", "0");
    SetControlText(dialog, IDC_CD_SECONDS, "2");
    ASSERT_TRUE(Dismiss(dialog, Dismissal::Ok));
    ASSERT_TRUE(WaitForFace(wnd, ShowsCount, &face)) << "the countdown showed no count";
    EXPECT_TRUE(WaitForFaceChange(wnd, face)) << "the countdown does not run";
    ASSERT_TRUE(WaitForFrozenFace(wnd, &end)) << "the countdown did not stop";

    dialog = OpenCountdownDialog(wnd);
    ASSERT_NE(dialog, nullptr) << "Shift+Enter opened no countdown dialog after a countdown";
    ExpectOffered(dialog, "0", "0", "2");
    ASSERT_TRUE(Dismiss(dialog, Dismissal::Cancel));

    /* A countdown of no length stops at its first paint, on the zero count: the face the
       two-second countdown must have ended on. A stopped count-up in between proves the
       zero countdown replaced the face. */
    ASSERT_NO_FATAL_FAILURE(CountUp());
    ASSERT_NO_FATAL_FAILURE(ExpectKeyStops(VK_RETURN, &other));
    EXPECT_TRUE(other != end);
    ASSERT_TRUE(StartCountdown(wnd, "0"));
    ASSERT_TRUE(WaitForFrozenFace(wnd, &zero));
    EXPECT_TRUE(zero == end) << "the countdown did not stop on the zero count";
}

TEST_F(Counting, SpaceWhileCountingDoesNothingWithATitleBar)
{
    Face stopped;
    ASSERT_NO_FATAL_FAILURE(StartClock());
    ASSERT_NO_FATAL_FAILURE(CountUp());
    /* Keys are handled in order: had Space shown the clock, the Enter after it would
       start a fresh count instead of stopping this one, and the face would not freeze. */
    ASSERT_TRUE(PressKey(wnd, VK_SPACE));
    ASSERT_NO_FATAL_FAILURE(ExpectKeyStops(VK_RETURN, &stopped));
}

TEST_F(TitleLess, HasNoCaptionNorMenuAndSpaceEndsTheCount)
{
    ASSERT_NO_FATAL_FAILURE(StartClock());
    EXPECT_EQ(GetWindowLongA(wnd, GWL_STYLE) & WS_CAPTION, 0) << "the window has a caption";
    EXPECT_EQ(GetMenu(wnd), nullptr) << "the window has a menu bar";

    ASSERT_NO_FATAL_FAILURE(CountUp());
    ASSERT_TRUE(PressKey(wnd, VK_SPACE));
    Face face;
    EXPECT_TRUE(WaitForFace(wnd, ShowsClock, &face)) << "Space did not show the clock";
}

TEST_F(TitleLess, FollowsADragOfItsFace)
{
    RECT stored = { 100, 100, 430, 300 }, expected = stored, path;
    PlantSetting("Pos", REG_BINARY, StoredRect(stored));
    ASSERT_NO_FATAL_FAILURE(StartClock());
    ASSERT_TRUE(SameRect(WindowRect(wnd), stored)) << RectText(WindowRect(wnd));
    /* A window moving under the X pointer makes Wine report that pointer's position as
       a mouse move, which would join the drag (see DragMouse). */
    POINT pointer;
    GetCursorPos(&pointer);
    SetRect(&path, 30, 40, 510, 360);
    ASSERT_FALSE(PtInRect(&path, pointer)) << "the pointer rests in the way of the drag";

    RECT client;
    GetClientRect(wnd, &client);
    POINT middle = { client.right / 2, client.bottom / 2 };
    ASSERT_TRUE(DragMouse(wnd, middle, { { 40, 30 }, { 80, 60 } }));
    OffsetRect(&expected, 80, 60);
    EXPECT_TRUE(SameRect(WindowRect(wnd), expected)) << RectText(WindowRect(wnd));

    /* One quick move that leaves the window to the left and above. */
    POINT corner = { 10, 10 };
    ASSERT_TRUE(DragMouse(wnd, corner, { { -150, -120 } }));
    OffsetRect(&expected, -150, -120);
    EXPECT_TRUE(SameRect(WindowRect(wnd), expected)) << RectText(WindowRect(wnd));
}
