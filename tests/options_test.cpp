/* The Options dialog, worked from inside its own loop, and the Help menu's path. */
#include "support.h"
#include "../state/settings.h"
#include "../options/options_dialog.h"
#include "../engine/count_modes.h"
#include "../help/help_menu.h"
#include "../res/resource.h"
#include <dlgs.h>

/* Changes something on every page, then leaves by the button, key or system command. */
static Step ChangeAndLeave(UINT way)
{
    return [way] {
        HWND dialog = TopDialog();
        if (!dialog) return false;
        CheckDlgButton(gWork->generalPage, IDC_ONELINE, BST_CHECKED);
        SendDlgItemMessageA(gWork->generalPage, IDC_WEEKDAY, CB_SETCURSEL, 2, 0);
        SendDlgItemMessageA(gWork->dateBlock.page, IDC_FORMAT, CB_SETCURSEL, 2, 0);
        SendDlgItemMessageA(gWork->timeBlock.page, IDC_ALIGN_H, CB_SETCURSEL, 1, 0);
        SetDlgItemTextA(gWork->timeBlock.page, IDC_MARGIN_X, "-12");
        SetDlgItemTextA(gWork->countBlock.page, IDC_WAVE_PATH, "C:\\時報.wav");
        if (way == SC_CLOSE) return Post(dialog, WM_SYSCOMMAND, SC_CLOSE);
        return Post(dialog, way == VK_ESCAPE ? WM_KEYDOWN : WM_COMMAND, way);
    };
}

TEST_F(Fresh, OptionsApplyAndStoreOnOkOnly)
{
    LoadSettings();
    HWND wnd = OpenMainWindow();
    gState->mode = Stopped;
    lstrcpyA(gState->count.text, "00:00:07.0");
    ClockState before = *gState;
    for (UINT way : { IDCANCEL, VK_ESCAPE, SC_CLOSE }) {
        RunModal([&] { RunOptionsDialog(wnd); }, { ChangeAndLeave(way) });
        EXPECT_EQ(memcmp(gState, &before, sizeof(before)), 0) << "applied after " << way;
        EXPECT_EQ(Stored(NULL, "Option"), Bytes()) << "saved after " << way;
        EXPECT_FALSE(KillTimer(wnd, TIMER_TICK)) << "a stopped count ticks after " << way;
    }
    RunModal([&] { RunOptionsDialog(wnd); }, { ChangeAndLeave(IDOK) });
    ClockState* s = gState;
    EXPECT_TRUE(s->options.oneLine == 1 && s->options.weekday == 2 && s->date.item.format == 10 &&
                s->time.item.alignH == 1 && s->time.item.marginX == -12 && !lstrcmpA(s->wavePath, "C:\\時報.wav"));
    EXPECT_STREQ(s->count.text, "00:00:07.0") << "the stopped count left the face";
    EXPECT_EQ(Stored(NULL, "Option").at(5), 1);
    EXPECT_EQ(Stored("Date", "Option").at(44), 10);
    EXPECT_EQ(Stored("Time", "Option").at(43), 0xFF);
    EXPECT_EQ(Stored(NULL, "Wave"), Of("C:\\時報.wav", 12));
}

/* Opens the Date page's font dialog, picks the largest size of its list and leaves by
   way; then OK in Options. */
static void PickDateFontSize(HWND wnd, UINT way)
{
    HWND options = NULL;
    RunModal([&] { RunOptionsDialog(wnd); }, {
        [&] { return (options = TopDialog()) && Post(gWork->dateBlock.page, WM_COMMAND, IDC_FONT_BUTTON); },
        [&] {
            HWND font = TopDialog(), sizes = GetDlgItem(font, cmb3);
            if (!font || font == options) return false;
            SendMessageA(sizes, CB_SETCURSEL, SendMessageA(sizes, CB_GETCOUNT, 0, 0) - 1, 0);
            SendMessageA(font, WM_COMMAND, MAKEWPARAM(cmb3, CBN_SELCHANGE), (LPARAM)sizes);
            return Post(font, WM_COMMAND, way);
        },
        [&] { return TopDialog() == options && Post(options, WM_COMMAND, IDOK); },
    });
}

TEST_F(Fresh, CancelledFontDialogChangesNothing)
{
    LoadSettings();
    PickDateFontSize(OpenMainWindow(), IDCANCEL);
    LOGFONTA after = {};
    GetObjectA(gState->date.font, sizeof(after), &after);
    EXPECT_EQ(after.lfHeight, 26);
}

TEST(Help, FileBesideTheProgramPastDoubleByteNames)
{
    static const struct { const char *program, *help; } rows[] = {
        { "C:\\velmor 表\\VELMOR.EXE", "C:\\velmor 表\\VELMOR.TXT" },
        { "C:\\ソフト\\表", "C:\\ソフト\\VELMOR.TXT" },
        { "表.EXE", "" },
    };
    for (const auto& r : rows) {
        char help[MAX_PATH] = "";
        EXPECT_EQ(HelpFilePath(r.program, help, sizeof(help)), r.help[0] != 0) << r.help;
        EXPECT_STREQ(help, r.help);
    }
}
