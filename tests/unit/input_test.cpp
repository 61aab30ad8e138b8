#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <utility>
#include <vector>
#include "test_support.h"
#include "window_support.h"
#include "dialog_driver.h"
#include "../../app/input.h"
#include "../../engine/count_modes.h"
#include "../../res/resource.h"

namespace {

using namespace dialogdrive;

class Input : public TestMainWindow {
protected:
    void SetUp() override
    {
        TestMainWindow::SetUp();
        GetKeyboardState(keys_);
    }
    void TearDown() override
    {
        SetKeyboardState(keys_);
        TestMainWindow::TearDown();
    }
    void HoldShift(bool down)
    {
        BYTE keys[256];
        memcpy(keys, keys_, sizeof(keys));
        keys[VK_SHIFT] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }

    BYTE keys_[256];
};

TEST_F(Input, EnterPostsTheCommandOfTheMode)
{
    const struct { ClockMode mode; bool shift; UINT command; } cases[] = {
        { Clock, false, IDM_COUNTUP },   { Clock, true, IDM_COUNTDOWN },
        { Stopped, false, IDM_COUNTUP }, { Stopped, true, IDM_COUNTDOWN },
        { CountUp, false, IDM_STOP },    { CountUp, true, IDM_STOP },
        { CountDown, false, IDM_STOP },  { CountDown, true, IDM_STOP },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << (c.shift ? ", Shift+Enter" : ", Enter"));
        gState->mode = c.mode;
        HoldShift(c.shift);

        OnKeyDown(wnd_, VK_RETURN);

        EXPECT_EQ(gState->mode, c.mode) << "the command ran inside the key message";
        MSG msg;
        ASSERT_TRUE(TakePosted(wnd_, WM_COMMAND, &msg));
        EXPECT_EQ(msg.wParam, c.command);
        EXPECT_EQ(msg.lParam, 0);
        EXPECT_FALSE(TakePosted(wnd_, WM_COMMAND, &msg)) << "a second command";
    }
}

TEST_F(Input, OtherKeysPostNothing)
{
    const WPARAM keys[] = { VK_SPACE, VK_ESCAPE, VK_SHIFT, VK_SEPARATOR, 'S' };
    MSG msg;
    for (WPARAM key : keys) {
        OnKeyDown(wnd_, key);
        EXPECT_FALSE(TakePosted(wnd_, WM_COMMAND, &msg)) << "key " << key;
    }
}

/* Checks every command item of menu against the mode: the grey ones and the one
   ticked; all others enabled and unticked. */
void ExpectMenuFor(HMENU menu, ClockMode mode)
{
    static const UINT ids[] = { IDM_NOW, IDM_COUNTUP, IDM_STOP, IDM_COUNTDOWN, IDM_OPTIONS,
                                IDM_EXIT, IDM_HELP, IDM_HOMEPAGE, IDM_ABOUT };
    static const std::vector<UINT> greyCounting = { IDM_NOW, IDM_COUNTUP, IDM_COUNTDOWN, IDM_OPTIONS };
    static const std::vector<UINT> greyOtherwise = { IDM_STOP };
    const struct { ClockMode mode; const std::vector<UINT>& grey; UINT ticked; } rows[] = {
        { Clock, greyOtherwise, IDM_NOW },
        { CountUp, greyCounting, IDM_COUNTUP },
        { Stopped, greyOtherwise, IDM_STOP },
        { CountDown, greyCounting, IDM_COUNTDOWN },
    };
    const auto& row = rows[mode];
    for (UINT id : ids) {
        UINT state = GetMenuState(menu, id, MF_BYCOMMAND);
        ASSERT_NE(state, (UINT)-1) << "item " << id << " missing";
        bool grey = std::find(row.grey.begin(), row.grey.end(), id) != row.grey.end();
        EXPECT_EQ((state & MF_GRAYED) != 0, grey) << "item " << id << " in mode " << mode;
        EXPECT_EQ((state & MF_CHECKED) != 0, id == row.ticked) << "item " << id << " in mode " << mode;
    }
}

TEST_F(Input, MenuStatesFollowTheMode)
{
    HMENU bar = LoadMenuA(gInstance, MAKEINTRESOURCEA(IDR_MAINMENU));
    HMENU context = LoadMenuA(gInstance, MAKEINTRESOURCEA(IDR_CONTEXTMENU));
    ASSERT_TRUE(bar && context);
    /* The order greys and ungreys, ticks and unticks every mode item. */
    for (ClockMode mode : { Clock, CountUp, Stopped, CountDown, Clock }) {
        gState->mode = mode;
        UpdateMenuStates(bar);
        UpdateMenuStates(GetSubMenu(context, 0));
        {
            SCOPED_TRACE("menu bar");
            ExpectMenuFor(bar, mode);
        }
        SCOPED_TRACE("context menu");
        ExpectMenuFor(GetSubMenu(context, 0), mode);
    }
    DestroyMenu(bar);
    DestroyMenu(context);
}

TEST_F(Input, UnknownCommandsDoNothing)
{
    /* Between these two modes, any mode command that ran would change something. */
    for (ClockMode mode : { Stopped, CountUp }) {
        SCOPED_TRACE(testing::Message() << "mode " << mode);
        gState->mode = mode;
        gState->tickMark = 0x89ABCDEF;
        gState->countdownSeconds = 77;
        bool ticking = mode != Stopped;
        if (ticking) SetMarkerTick(wnd_);
        ClockState before = *gState;
        /* With no steps, any dialog that opens fails the script and is cancelled. */
        DialogScript script;
        script.Run([this] {
            for (WORD id : { 0, 1000, 1004, 1006, 1007, 1008, 1009, 1010, 1013, 1020, 1024, 0xFFFF }) {
                OnCommand(wnd_, MAKEWPARAM(id, 0));
                OnCommand(wnd_, MAKEWPARAM(id, 1));
            }
            return 0;
        });

        EXPECT_EQ(memcmp(&before, gState, sizeof(before)), 0) << "the state changed";
        MSG msg;
        EXPECT_FALSE(TakePosted(wnd_, WM_COMMAND, &msg));
        EXPECT_FALSE(TakePosted(wnd_, WM_CLOSE, &msg));
        EXPECT_EQ(TakeTickTimer(wnd_, ticking), ticking ? TickMarker : TickOff);
    }
}

TEST_F(Input, CommandsFromMenusAndAcceleratorsAlike)
{
    /* The high word is 0 from a menu and 1 from an accelerator. */
    OnCommand(wnd_, MAKEWPARAM(IDM_COUNTUP, 1));
    EXPECT_EQ(gState->mode, CountUp);
    OnCommand(wnd_, MAKEWPARAM(IDM_STOP, 0));
    EXPECT_EQ(gState->mode, Stopped);
    OnCommand(wnd_, MAKEWPARAM(IDM_NOW, 1));
    EXPECT_EQ(gState->mode, Clock);
}

TEST_F(Input, ExitPostsClose)
{
    OnCommand(wnd_, IDM_EXIT);
    EXPECT_TRUE(IsWindow(wnd_)) << "closed at once instead of posted";
    MSG msg;
    EXPECT_TRUE(TakePosted(wnd_, WM_CLOSE, &msg));
}

/* The real main window, title-less unless a test says otherwise, worked by
   messages sent to it as the mouse and the menu loop would. */
class MainWindowInput : public testing::Test {
protected:
    void SetUp() override
    {
        ResetState();
        gState->options.noTitleBar = 1;
        SetRect(&gState->windowRect, 200, 150, 530, 350);
    }
    void TearDown() override
    {
        ReleaseCapture();
        CloseMainWindow();
    }
    HWND Open()
    {
        HWND wnd = OpenMainWindow();
        EXPECT_TRUE(wnd != NULL);
        return wnd;
    }
    static void Mouse(HWND wnd, UINT message, int x, int y)
    {
        SendMessageA(wnd, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    }
    static std::pair<LONG, LONG> TopLeft(HWND wnd)
    {
        RECT rc;
        GetWindowRect(wnd, &rc);
        return { rc.left, rc.top };
    }
};

std::pair<LONG, LONG> At(LONG x, LONG y)
{
    return { x, y };
}

TEST_F(MainWindowInput, DragFollowsTheGrabPointUntilTheButtonIsUp)
{
    HWND wnd = Open();
    ASSERT_TRUE(wnd);
    EXPECT_EQ(TopLeft(wnd), At(200, 150));

    Mouse(wnd, WM_LBUTTONDOWN, 20, 30);
    EXPECT_EQ(GetCapture(), wnd);
    EXPECT_EQ(gState->dragging, 1);

    /* Out of the window to the left and above: negative client coordinates. */
    Mouse(wnd, WM_MOUSEMOVE, -5, 10);
    EXPECT_EQ(TopLeft(wnd), At(175, 130));
    Mouse(wnd, WM_MOUSEMOVE, 60, 80);
    EXPECT_EQ(TopLeft(wnd), At(215, 180));

    Mouse(wnd, WM_LBUTTONUP, 60, 80);
    EXPECT_EQ(gState->dragging, 0);
    EXPECT_NE(GetCapture(), wnd);
    Mouse(wnd, WM_MOUSEMOVE, 90, 90);
    EXPECT_EQ(TopLeft(wnd), At(215, 180));
}

TEST_F(MainWindowInput, DragEndsWhenTheCaptureIsLost)
{
    HWND wnd = Open();
    ASSERT_TRUE(wnd);
    HWND other = CreateTestWindow();
    const struct { const char* what; std::function<void()> lose; } ways[] = {
        { "WM_CANCELMODE", [&] { SendMessageA(wnd, WM_CANCELMODE, 0, 0); } },
        { "ReleaseCapture", [] { ReleaseCapture(); } },
        { "another window's capture", [&] { SetCapture(other); } },
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.what);
        Mouse(wnd, WM_LBUTTONDOWN, 20, 30);
        ASSERT_EQ(gState->dragging, 1);
        way.lose();
        EXPECT_EQ(gState->dragging, 0);
        std::pair<LONG, LONG> before = TopLeft(wnd);
        Mouse(wnd, WM_MOUSEMOVE, 70, 90);
        EXPECT_EQ(TopLeft(wnd), before);
        ReleaseCapture();
    }
    DestroyWindow(other);
}

TEST_F(MainWindowInput, DragMovesOnlyWhileTheWindowHoldsTheCapture)
{
    HWND wnd = Open();
    ASSERT_TRUE(wnd);
    /* Whatever took the capture without telling: a drag flag alone moves nothing. */
    gState->dragX = 20;
    gState->dragY = 30;
    gState->dragging = 1;
    Mouse(wnd, WM_MOUSEMOVE, 70, 90);
    EXPECT_EQ(TopLeft(wnd), At(200, 150));
}

TEST_F(MainWindowInput, WithATitleBarTheLeftButtonDoesNothing)
{
    gState->options.noTitleBar = 0;
    HWND wnd = Open();
    ASSERT_TRUE(wnd);
    std::pair<LONG, LONG> before = TopLeft(wnd);

    Mouse(wnd, WM_LBUTTONDOWN, 20, 30);
    EXPECT_NE(GetCapture(), wnd);
    EXPECT_EQ(gState->dragging, 0);
    Mouse(wnd, WM_MOUSEMOVE, 70, 90);
    EXPECT_EQ(TopLeft(wnd), before);
    Mouse(wnd, WM_LBUTTONUP, 70, 90);
}

TEST_F(MainWindowInput, InitMenuAppliesTheModeToTheMenuBar)
{
    gState->options.noTitleBar = 0;
    HWND wnd = Open();
    ASSERT_TRUE(wnd);
    HMENU bar = GetMenu(wnd);
    ASSERT_TRUE(bar) << "no menu bar";
    gState->mode = CountUp;
    SendMessageA(wnd, WM_INITMENU, (WPARAM)bar, 0);
    ExpectMenuFor(bar, CountUp);
}

}
