/* The Options dialog, worked from inside its own loop, and the Help menu's path. */
#include "support.h"
#include "../state/settings.h"
#include "../options/options_dialog.h"
#include "../engine/count_modes.h"
#include "../help/help_menu.h"
#include "../res/resource.h"
#include <dlgs.h>
#include <shellapi.h>

/* The Options dialog, once it runs and its pages exist. */
static HWND Options(void)
{
    return gWork && gWork->generalPage ? GetParent(gWork->generalPage) : NULL;
}

/* Changes something on every page and the WAVE path to wave, then posts command to
   the dialog, or opens the Date page's font dialog. */
static Step Change(const std::string& wave, UINT message, WPARAM command)
{
    return [=] {
        HWND dialog = Options();
        if (!dialog || TopDialog() != dialog) return false;
        CheckDlgButton(gWork->generalPage, IDC_ONELINE, BST_CHECKED);
        SendDlgItemMessageA(gWork->generalPage, IDC_WEEKDAY, CB_SETCURSEL, 2, 0);
        SendDlgItemMessageA(gWork->dateBlock.page, IDC_FORMAT, CB_SETCURSEL, 2, 0);
        SendDlgItemMessageA(gWork->timeBlock.page, IDC_ALIGN_H, CB_SETCURSEL, 1, 0);
        SetDlgItemTextA(gWork->timeBlock.page, IDC_MARGIN_X, "-12");
        SetDlgItemTextA(gWork->countBlock.page, IDC_WAVE_PATH, wave.c_str());
        return Post(command == IDC_FONT_BUTTON ? gWork->dateBlock.page : dialog, message, command);
    };
}

/* In the font dialog, picks 36 points and leaves by way; then OK in Options. */
static std::vector<Step> PickFontSize(UINT way)
{
    return { [way] {
        HWND font = TopDialog(), sizes = GetDlgItem(font, cmb3);
        if (!font || font == Options()) return false;
        SendMessageA(sizes, CB_SELECTSTRING, -1, (LPARAM)"36");
        SendMessageA(font, WM_COMMAND, MAKEWPARAM(cmb3, CBN_SELCHANGE), (LPARAM)sizes);
        return Post(font, WM_COMMAND, way);
    }, [] { return Options() && TopDialog() == Options() && Post(Options(), WM_COMMAND, IDOK); } };
}

void PickDateFontSize(HWND wnd, UINT way)
{
    std::vector<Step> steps = PickFontSize(way);
    steps.insert(steps.begin(), [] { return Options() && TopDialog() == Options() && Post(gWork->dateBlock.page, WM_COMMAND, IDC_FONT_BUTTON); });
    RunModal([&] { RunOptionsDialog(wnd); }, steps);
}

/* Cancel, Escape, the close box and an OK refused for a Japanese WAVE path that the
   edit takes (259 characters) but that does not fit whole (259 bytes) apply nothing;
   OK applies and stores all but a font whose dialog was cancelled. The title-bar byte
   is stored as 2, which shows ticked: OK with the box as it was restarts nothing. */
TEST_F(Fresh, OptionsApplyAndStoreOnOkOnly)
{
    const Bytes options = { 0xFF, 0xFF, 0xFF, 0, 0, 0, 2 };
    const std::string wave = "C:\\時報.wav";
    std::string tooLong = "C:\\";
    for (int i = 0; i < 200; i++) tooLong += "表";
    Plant(NULL, "Option", REG_BINARY, options);
    LoadSettings();
    HWND wnd = OpenMainWindow();
    gState->mode = Stopped;
    lstrcpyA(gState->count.text, "00:00:07.0");
    ClockState before = *gState;
    bool refused = false;
    const std::vector<Step> ways[] = {
        { Change(wave, WM_COMMAND, IDCANCEL) }, { Change(wave, WM_KEYDOWN, VK_ESCAPE) },
        { Change(wave, WM_SYSCOMMAND, SC_CLOSE) }, { Change(tooLong, WM_COMMAND, IDOK), [&] {
            HWND box = TopDialog();
            return (refused = box && box != Options()) && EndDialog(box, IDOK) && Post(Options(), WM_COMMAND, IDCANCEL);
        } },
    };
    for (const auto& way : ways) {
        RunModal([&] { RunOptionsDialog(wnd); }, way);
        EXPECT_EQ(memcmp(gState, &before, sizeof(before)), 0) << "applied, way " << &way - ways;
        EXPECT_EQ(Stored(NULL, "Option"), options) << "saved, way " << &way - ways;
        EXPECT_FALSE(KillTimer(wnd, TIMER_TICK)) << "a stopped count ticks, way " << &way - ways;
    }
    EXPECT_TRUE(refused) << "no word of a path too long";
    std::vector<Step> ok = PickFontSize(IDCANCEL);
    ok.insert(ok.begin(), Change(wave, WM_COMMAND, IDC_FONT_BUTTON));
    RunModal([&] { RunOptionsDialog(wnd); }, ok);
    ClockState* s = gState;
    EXPECT_TRUE(s->options.oneLine == 1 && s->options.weekday == 2 && s->date.item.format == 10 &&
                s->time.item.alignH == 1 && s->time.item.marginX == -12 && s->wavePath == wave);
    EXPECT_EQ(s->date.logFont.lfHeight, 26) << "a cancelled font dialog changed the font";
    EXPECT_STREQ(s->count.text, "00:00:07.0") << "the stopped count left the face";
    EXPECT_TRUE(IsWindow(wnd)) << "restarted";
    Bytes applied = { 0xFF, 0xFF, 0xFF, 0, 2, 1, 1 };
    applied.resize(32);
    EXPECT_EQ(Stored(NULL, "Option"), applied);
    EXPECT_EQ(Stored("Date", "Option").at(44), 10);
    EXPECT_EQ(Stored("Time", "Option").at(43), 0xFF);
    EXPECT_EQ(Stored(NULL, "Wave"), Of(wave.c_str(), wave.size() + 1));
    /* Chosen on a screen at 144 dpi, stored at 96. */
    PickDateFontSize(wnd, IDOK);
    EXPECT_EQ(*(LONG*)Stored("Date", "Font").data(), -48) << "36 points are -48 pixels at 96 dpi";
}

/* The help file beside the program, found past a name whose second byte is 0x5C. */
TEST(Help, FileBesideTheProgramPastDoubleByteNames)
{
    char help[MAX_PATH] = "";
    EXPECT_EQ(HelpFilePath("C:\\ソフト\\表", help, MAX_PATH), 1);
    EXPECT_STREQ(help, "C:\\ソフト\\VELMOR.TXT");
    EXPECT_EQ(HelpFilePath("表.EXE", help, MAX_PATH), 0);
}

/* Windows' shell may fail without a word in the last error, though Wine's always sets
   one: this test program's shell is such a quiet one that finds no program. */
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
    RunModal([] { ShellOpen(NULL, "C:\\VELMOR.TXT"); }, {
        [&] { HWND box = TopDialog(); return box && GetDlgItemTextA(box, 0xFFFF, shown, sizeof(shown)) && EndDialog(box, IDOK); },
    });
    EXPECT_STREQ(shown, expected);
}
