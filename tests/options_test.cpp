/* The Options dialog, worked from inside its own loop, and the Help menu's services. */
#include "support.h"
#include "../state/settings.h"
#include "../options/options_dialog.h"
#include "../engine/count_modes.h"
#include "../help/help_menu.h"
#include "../res/resource.h"
#include <dlgs.h>
#include <shellapi.h>

/* The Options dialog while it runs as the innermost dialog. */
static HWND Options(void)
{
    HWND dialog = gWork && gWork->generalPage ? GetParent(gWork->generalPage) : NULL;
    return dialog == TopDialog() ? dialog : NULL;
}

/* Changes every page, the WAVE path to wave, then posts command (or opens a font dialog). */
static Step Change(const std::string& wave, UINT message, WPARAM command)
{
    return [=] {
        HWND dialog = Options();
        if (!dialog) return false;
        CheckDlgButton(gWork->generalPage, IDC_ONELINE, BST_CHECKED);
        SendDlgItemMessageA(gWork->dateBlock.page, IDC_FORMAT, CB_SETCURSEL, 2, 0);
        SetDlgItemTextA(gWork->timeBlock.page, IDC_MARGIN_X, "-12");
        SetDlgItemTextA(gWork->countBlock.page, IDC_WAVE_PATH, wave.c_str());
        return Post(command == IDC_FONT_BUTTON ? gWork->dateBlock.page : dialog, message, command);
    };
}

/* In the font dialog, picks 36 points and leaves by way. */
static Step PickFontSize(UINT way)
{
    return [way] {
        HWND font = TopDialog(), sizes = GetDlgItem(font, cmb3);
        if (!font || Options()) return false;
        SendMessageA(sizes, CB_SELECTSTRING, -1, (LPARAM)"36");
        SendMessageA(font, WM_COMMAND, MAKEWPARAM(cmb3, CBN_SELCHANGE), (LPARAM)sizes);
        return Post(font, WM_COMMAND, way);
    };
}

/* Cancel, Escape, the close box and OK refused for a Japanese path too long in bytes apply
   nothing; OK stores all but a cancelled font, a font at 96 dpi, and restarts nothing. */
TEST_F(Fresh, OptionsApplyAndStoreOnOkOnly)
{
    const Bytes options = { 0xFF, 0xFF, 0xFF, 0, 0, 0, 2 };
    const std::string wave = "C:\\時報.wav";
    std::string tooLong = "C:\\";
    for (int i = 0; i < 200; i++) tooLong += "表";
    Plant(NULL, "Option", REG_BINARY, options);    /* a title-bar byte of 2 shows ticked */
    LoadSettings();
    HWND wnd = CreateMainWindow(SW_SHOWNORMAL);
    gState->mode = Stopped;
    lstrcpyA(gState->count.text, "00:00:07.0");
    ClockState before = *gState;
    bool refused = false;
    const std::vector<Step> ways[] = {
        { Change(wave, WM_COMMAND, IDCANCEL) }, { Change(wave, WM_KEYDOWN, VK_ESCAPE) },
        { Change(wave, WM_SYSCOMMAND, SC_CLOSE) }, { Change(tooLong, WM_COMMAND, IDOK), [&] {
            HWND box = TopDialog(), dialog = GetWindow(box, GW_OWNER);
            return (refused = box && !Options()) && EndDialog(box, IDOK) && Post(dialog, WM_COMMAND, IDCANCEL);
        } },
    };
    for (const auto& way : ways) {
        RunModal([&] { RunOptionsDialog(wnd); }, way);
        EXPECT_EQ(memcmp(gState, &before, sizeof(before)), 0) << "applied, way " << &way - ways;
        EXPECT_EQ(Stored(NULL, "Option"), options) << "saved, way " << &way - ways;
        EXPECT_FALSE(KillTimer(wnd, TIMER_TICK)) << "a stopped count ticks, way " << &way - ways;
    }
    EXPECT_TRUE(refused) << "no word of a path too long";
    RunModal([&] { RunOptionsDialog(wnd); }, {
        Change(wave, WM_COMMAND, IDC_FONT_BUTTON), PickFontSize(IDCANCEL), [] {
            if (!Options()) return false;
            EXPECT_EQ(gWork->dateBlock.logFont.lfHeight, 26) << "a cancelled font dialog changed the font";
            return Post(gWork->dateBlock.page, WM_COMMAND, IDC_FONT_BUTTON);
        }, PickFontSize(IDOK), [] { return Options() && Post(Options(), WM_COMMAND, IDOK); },
    });
    ClockState* s = gState;
    EXPECT_TRUE(s->options.oneLine == 1 && s->date.item.format == 10 && s->time.item.marginX == -12 && s->wavePath == wave);
    EXPECT_STREQ(s->count.text, "00:00:07.0") << "the stopped count left the face";
    EXPECT_TRUE(IsWindow(wnd)) << "restarted";
    Bytes stored = Stored(NULL, "Option");
    EXPECT_TRUE(stored.size() == 32 && stored[5] == 1 && stored[6] == 1) << "one line, title bar ticked";
    Bytes font = Stored("Date", "Font");
    EXPECT_TRUE(font.size() == 60 && *(LONG*)font.data() == -48) << "36 points are -48 pixels at 96 dpi";
}

/* The help file beside the program, found past a name whose second byte is 0x5C. */
TEST(Help, FileBesideTheProgramPastDoubleByteNames)
{
    char help[MAX_PATH] = "";
    EXPECT_EQ(HelpFilePath("C:\\ソフト\\表", help, MAX_PATH), 1);
    EXPECT_STREQ(help, "C:\\ソフト\\VELMOR.TXT");
    EXPECT_EQ(HelpFilePath("表.EXE", help, MAX_PATH), 0);
}

/* Windows' shell may fail leaving the last error alone (Wine's sets it): this is such one. */
static HINSTANCE WINAPI QuietShell(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT)
{
    return (HINSTANCE)SE_ERR_NOASSOC;
}
extern "C" {
void* __imp_ShellExecuteA = (void*)QuietShell;
}

TEST(Help, ErrorBoxTellsTheShellsErrorNotAnOlderOne)
{
    char expected[520] = "", shown[520] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, NULL, ERROR_NO_ASSOCIATION, 0, expected, sizeof(expected), NULL);
    SetLastError(ERROR_ACCESS_DENIED);
    RunModal([] { ShellOpen(NULL, "C:\\VELMOR.TXT"); }, { [&] {
        HWND box = TopDialog();
        return box && GetDlgItemTextA(box, 0xFFFF, shown, sizeof(shown)) && EndDialog(box, IDOK);
    } });
    EXPECT_STREQ(shown, expected);
}
