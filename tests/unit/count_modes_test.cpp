#include <gtest/gtest.h>
#include "test_support.h"
#include "window_support.h"
#include "dialog_driver.h"
#include "../../engine/count_modes.h"
#include "../../res/resource.h"

namespace {

using namespace dialogdrive;

const DWORD kSentinelTick = 0x89ABCDEF;

/* t lies between before and after, on the wrapping tick counter. */
bool TickBetween(DWORD t, DWORD before, DWORD after)
{
    return (DWORD)(t - before) <= (DWORD)(after - before);
}

class CountModes : public TestMainWindow {
protected:
    /* Adds the step that waits for the countdown dialog over the test window. */
    DialogScript& AwaitDialog(DialogScript& script)
    {
        return script.Wait("the countdown dialog", [this] { return (dlg_ = FindDialogOwnedBy({ wnd_ })) != NULL; });
    }
    void AcceptOffer(DialogScript& script)
    {
        AwaitDialog(script).Do("press OK", [this] { Click(dlg_, IDOK); });
    }
    /* The three fields as "h m s". */
    std::string Fields()
    {
        return TextOf(GetDlgItem(dlg_, IDC_CD_HOURS)) + " " + TextOf(GetDlgItem(dlg_, IDC_CD_MINUTES)) +
               " " + TextOf(GetDlgItem(dlg_, IDC_CD_SECONDS));
    }
    /* Fills the fields as a paste would: a field too narrow for a long number
       takes no more keystrokes. */
    void Fill(const char* hours, const char* minutes, const char* seconds)
    {
        SetText(GetDlgItem(dlg_, IDC_CD_HOURS), hours);
        SetText(GetDlgItem(dlg_, IDC_CD_MINUTES), minutes);
        SetText(GetDlgItem(dlg_, IDC_CD_SECONDS), seconds);
    }

    HWND dlg_ = NULL;
};

enum Command { Now, Up, Stop, Down };
enum TickMark { Kept, StartsNow, EndsAfterLength };

struct Transition {
    ClockMode from;
    Command command;
    ClockMode to;
    TickMark tick;
    TickTimer timer;
    bool dialog;
};

TEST_F(CountModes, EveryCommandInEveryMode)
{
    static const char* commands[] = { "ShowNow", "StartCountUp", "StopCount", "StartCountDown" };
    const Transition table[] = {
        { Clock, Now, Clock, Kept, TickMarker, false },
        { Clock, Up, CountUp, StartsNow, TickFresh, false },
        { Clock, Stop, Clock, Kept, TickMarker, false },
        { Clock, Down, CountDown, EndsAfterLength, TickFresh, true },
        { CountUp, Now, Clock, Kept, TickFresh, false },
        { CountUp, Up, CountUp, Kept, TickMarker, false },
        { CountUp, Stop, Stopped, Kept, TickOff, false },
        { CountUp, Down, CountUp, Kept, TickMarker, false },
        { Stopped, Now, Clock, Kept, TickFresh, false },
        { Stopped, Up, CountUp, StartsNow, TickFresh, false },
        { Stopped, Stop, Stopped, Kept, TickOff, false },
        { Stopped, Down, CountDown, EndsAfterLength, TickFresh, true },
        { CountDown, Now, Clock, Kept, TickFresh, false },
        { CountDown, Up, CountDown, Kept, TickMarker, false },
        { CountDown, Stop, Stopped, Kept, TickOff, false },
        { CountDown, Down, CountDown, Kept, TickMarker, false },
    };
    /* 999 hours, the longest countdown: its end tick passes 2^32 whenever the
       counter is above about 8 days. */
    const DWORD length = COUNTDOWN_MAX_SECONDS;

    for (const Transition& t : table) {
        SCOPED_TRACE(testing::Message() << commands[t.command] << " in mode " << t.from);
        gState->mode = t.from;
        gState->tickMark = kSentinelTick;
        gState->countdownSeconds = length;
        /* In Stopped the timer is off; elsewhere it runs. */
        if (t.from != Stopped) SetMarkerTick(wnd_);
        /* A dialog where none belongs fails the script at its deadline. */
        DialogScript script;
        if (t.dialog) AcceptOffer(script);

        DWORD before = GetTickCount(), after = 0;
        script.Run([&] {
            switch (t.command) {
            case Now:  ShowNow(wnd_); break;
            case Up:   StartCountUp(wnd_); break;
            case Stop: StopCount(wnd_); break;
            case Down: StartCountDown(wnd_); break;
            }
            after = GetTickCount();
            return 0;
        });

        EXPECT_EQ(gState->mode, t.to);
        EXPECT_EQ(gState->countdownSeconds, length);
        switch (t.tick) {
        case Kept:
            EXPECT_EQ(gState->tickMark, kSentinelTick);
            break;
        case StartsNow:
            EXPECT_TRUE(TickBetween(gState->tickMark, before, after))
                << gState->tickMark << " not in " << before << ".." << after;
            break;
        case EndsAfterLength:
            EXPECT_TRUE(TickBetween(gState->tickMark - length * 1000, before, after))
                << gState->tickMark << " - " << length << " s not in " << before << ".." << after;
            break;
        }
        EXPECT_EQ(TakeTickTimer(wnd_, t.timer != TickOff), t.timer);
    }
}

TEST_F(CountModes, CancelledCountdownChangesNothing)
{
    gState->tickMark = kSentinelTick;
    gState->countdownSeconds = 3723;
    SetMarkerTick(wnd_);
    DialogScript script;
    AwaitDialog(script).Do("fill in 90 s and cancel", [this] {
        Fill("0", "0", "90");
        Click(dlg_, IDCANCEL);
    });

    script.Run([this] { StartCountDown(wnd_); return 0; });

    EXPECT_EQ(gState->mode, Clock);
    EXPECT_EQ(gState->tickMark, kSentinelTick);
    EXPECT_EQ(gState->countdownSeconds, 3723u);
    EXPECT_EQ(TakeTickTimer(wnd_, true), TickMarker);
}

/* The countdown dialog run as StartCountDown runs it, worked from inside its own
   modal loop. */
class CountdownDialog : public CountModes {
protected:
    INT_PTR Run(DialogScript& script)
    {
        return script.Run([this] {
            return DialogBoxParamA(gInstance, MAKEINTRESOURCEA(IDD_COUNTDOWN), wnd_, CountdownDlgProc, 0);
        });
    }
    /* The fields offered for the current countdownSeconds, as "h m s". */
    std::string Offered()
    {
        std::string fields;
        DialogScript script;
        AwaitDialog(script).Do("read the fields and cancel", [&] {
            fields = Fields();
            Click(dlg_, IDCANCEL);
        });
        Run(script);
        return fields;
    }
    /* Fills the fields and presses OK, which is to end the dialog. */
    INT_PTR Accept(const char* hours, const char* minutes, const char* seconds)
    {
        DialogScript script;
        AwaitDialog(script).Do("fill in and press OK", [&] {
            Fill(hours, minutes, seconds);
            Click(dlg_, IDOK);
        });
        return Run(script);
    }
};

TEST_F(CountdownDialog, OffersTheLastLengthSplit)
{
    const struct { DWORD seconds; const char* fields; } cases[] = {
        { 0, "0 0 0" }, { 59, "0 0 59" }, { 90, "0 1 30" }, { 3600, "1 0 0" },
        { 3723, "1 2 3" }, { COUNTDOWN_MAX_SECONDS, "999 0 0" },
    };
    for (const auto& c : cases) {
        gState->countdownSeconds = c.seconds;
        EXPECT_EQ(Offered(), c.fields) << c.seconds << " s";
    }
}

TEST_F(CountdownDialog, AcceptsLengthsUpTo999Hours)
{
    const struct { const char* h; const char* m; const char* s; DWORD seconds; } cases[] = {
        { "0", "0", "90", 90 },
        { "", "2", "", 120 },
        { "", "", "", 0 },
        { "999", "0", "0", COUNTDOWN_MAX_SECONDS },
        { "0", "59940", "0", COUNTDOWN_MAX_SECONDS },
        { "998", "59", "60", COUNTDOWN_MAX_SECONDS },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "'" << c.h << "' h '" << c.m << "' min '" << c.s << "' s");
        gState->countdownSeconds = 1;
        EXPECT_EQ(Accept(c.h, c.m, c.s), IDOK);
        EXPECT_EQ(gState->countdownSeconds, c.seconds);
    }
    Accept("0", "0", "90");
    EXPECT_EQ(Offered(), "0 1 30") << "90 seconds offered again";
}

TEST_F(CountdownDialog, RefusesWhatWouldBecomeAnotherLength)
{
    const struct { const char* h; const char* m; const char* s; } cases[] = {
        { "0", "99999999999", "0" },    /* not a 32-bit number */
        { "0", "0", "4294967296" },
        { "1000", "0", "0" },
        { "999", "0", "1" },
        { "1193047", "0", "0" },        /* 1904 s once wrapped at 2^32 */
        { "0", "71582789", "0" },       /* 44 s once wrapped */
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "'" << c.h << "' h '" << c.m << "' min '" << c.s << "' s");
        gState->countdownSeconds = 3723;
        std::string caption, fields;
        bool open = false;
        HWND box = NULL;
        DialogScript script;
        AwaitDialog(script)
            .Do("fill in and press OK", [&] {
                Fill(c.h, c.m, c.s);
                PostClick(dlg_, IDOK);
            })
            .Wait("the message box", [&] { return (box = FindDialogOwnedBy({ dlg_ })) != NULL; })
            .Do("read and close the message box", [&] {
                caption = TextOf(box);
                Click(box, IDOK);
            })
            .Wait("the message box to close", [&] { return !IsWindow(box); })
            .Do("look at the dialog and cancel", [&] {
                open = IsWindowVisible(dlg_) != 0;
                fields = Fields();
                Click(dlg_, IDCANCEL);
            });

        EXPECT_EQ(Run(script), 0);
        EXPECT_EQ(Utf8(caption.c_str()), Utf8("カウントダウン"));
        EXPECT_TRUE(open);
        EXPECT_EQ(fields, std::string(c.h) + " " + c.m + " " + c.s) << "the fields as typed";
        EXPECT_EQ(gState->countdownSeconds, 3723u);
    }
}

}
