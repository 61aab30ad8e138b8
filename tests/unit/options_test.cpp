#include "options_fixture.h"
#include "../../options/face_pages.h"
#include "../../options/general_page.h"
#include "../../state/settings.h"
#include "../../engine/count_modes.h"
#include "../../res/resource.h"
#include <commctrl.h>

using namespace optionstest;

namespace {

FaceItem Line(COLORREF color, BYTE format, BYTE alignH, SHORT marginX, BYTE alignV, SHORT marginY)
{
    FaceItem item = {};
    item.color = color;
    item.format = format;
    item.alignH = alignH;
    item.marginX = marginX;
    item.alignV = alignV;
    item.marginY = marginY;
    return item;
}

bool Enabled(HWND page, int id)
{
    return IsWindowEnabled(GetDlgItem(page, id)) != FALSE;
}

struct Row {
    const char* label;
    LRESULT data;
};

void ExpectRows(HWND page, int combo, std::initializer_list<Row> rows)
{
    ASSERT_EQ(SendDlgItemMessageA(page, combo, CB_GETCOUNT, 0, 0), (LRESULT)rows.size()) << "combo " << combo;
    int index = 0;
    for (const Row& row : rows) {
        char text[64] = "";
        SendDlgItemMessageA(page, combo, CB_GETLBTEXT, index, (LPARAM)text);
        EXPECT_EQ(Utf8(text), Utf8(row.label)) << "combo " << combo << " row " << index;
        if (row.data >= 0) {
            EXPECT_EQ(SendDlgItemMessageA(page, combo, CB_GETITEMDATA, index, 0), row.data)
                << "combo " << combo << " row " << index;
        }
        index++;
    }
}

}

TEST(FontPointSize, RoundsToTheNearestPointWithHalvesUp)
{
    EXPECT_EQ(FontPointSize(-16, 96), 12);
    EXPECT_EQ(FontPointSize(-13, 96), 10) << "9.75 points";
    EXPECT_EQ(FontPointSize(-21, 96), 16) << "15.75 points";
    EXPECT_EQ(FontPointSize(26, 96), 20) << "a cell height of 26 is 19.5 points";
    EXPECT_EQ(FontPointSize(-26, 96), 20);
    EXPECT_EQ(FontPointSize(16, 96), 12);
    EXPECT_EQ(FontPointSize(0, 96), 0);
    EXPECT_EQ(FontPointSize(-16, 120), 10) << "9.6 points";
    EXPECT_EQ(FontPointSize(-15, 120), 9);
    EXPECT_EQ(FontPointSize(-25, 120), 15);
    EXPECT_EQ(FontPointSize(-14, 144), 7);
    EXPECT_EQ(FontPointSize(-1000, 96), 750);
}

TEST(FontPointSize, NoScreenResolutionCountsAsNinetySixPixelsPerInch)
{
    EXPECT_EQ(FontPointSize(-16, 0), 12);
    EXPECT_EQ(FontPointSize(-13, 0), 10);
    EXPECT_EQ(FontPointSize(26, 0), 20);
}

TEST_F(OptionsDialogTest, OpensOnTheGeneralTabAndShowsOnePageAtATime)
{
    Start();
    script.Do("look at the frame", [this] {
        EXPECT_FALSE(KillTimer(gMainWnd, TIMER_TICK)) << "the clock must not tick while the dialog is open";
        EXPECT_EQ(GetWindow(dlg, GW_OWNER), gMainWnd);
        const char* captions[4] = { "一般", "日付", "時刻", "計測" };
        ASSERT_EQ(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0), 4);
        for (int i = 0; i < 4; i++) {
            char text[32] = "";
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof(text);
            SendMessageA(tab, TCM_GETITEMA, i, (LPARAM)&item);
            EXPECT_EQ(Utf8(text), Utf8(captions[i])) << "tab " << i;
        }
        const HWND inWork[4] = { gWork->generalPage, gWork->dateBlock.page, gWork->timeBlock.page,
                                 gWork->countBlock.page };
        const DLGPROC procs[4] = { GeneralPageProc, DatePageProc, TimePageProc, MeasurementPageProc };
        for (int i = 0; i < 4; i++) {
            EXPECT_EQ(pages[i], inWork[i]) << "page " << i;
            EXPECT_EQ(GetParent(pages[i]), dlg) << "page " << i;
            EXPECT_EQ(GetWindowLongPtrA(pages[i], DWLP_DLGPROC), (LONG_PTR)procs[i]) << "page " << i;
        }
        EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 0);
        ExpectOnlyVisiblePage(GeneralTab);
    });
    for (int index : { CountTab, DateTab, TimeTab, GeneralTab }) {
        script.Do("pick tab " + std::to_string(index), [this, index] {
            SelectTab(index);
            ExpectOnlyVisiblePage(index);
            EXPECT_EQ(gWork->currentPage, index);
        });
    }
    script.Do("press Cancel", [this] { Click(dlg, IDCANCEL); });

    EXPECT_EQ(RunOptions(), 0);
    EXPECT_EQ(gWork, nullptr);
    EXPECT_TRUE(TickArrives()) << "the clock ticks again once the dialog has closed";
}

TEST_F(OptionsDialogTest, PagesOpenOnTheDefaultSettings)
{
    Start();
    script.Do("General page", [this] {
        HWND page = pages[GeneralTab];
        ExpectRows(page, IDC_WEEKDAY, { { "英語", -1 }, { "日本語", -1 }, { "無し", -1 } });
        EXPECT_EQ(Selection(page, IDC_WEEKDAY), 0);
        EXPECT_EQ(IsDlgButtonChecked(page, IDC_ONELINE), (UINT)BST_UNCHECKED);
        EXPECT_EQ(IsDlgButtonChecked(page, IDC_NOTITLEBAR), (UINT)BST_UNCHECKED);
        EXPECT_EQ(CentrePixel(GetDlgItem(page, IDC_BACK_SWATCH)), RGB(255, 255, 255));
    });
    const COLORREF colours[4] = { 0, RGB(0, 0, 0), RGB(0, 128, 0), RGB(0, 0, 128) };
    for (int index : { DateTab, TimeTab, CountTab }) {
        script.Do("face page " + std::to_string(index), [this, index, colours] {
            SelectTab(index);
            HWND page = pages[index];
            EXPECT_EQ(gWork->logPixelsY, 96) << "the labels below assume 96 pixels per inch";
            EXPECT_EQ(ControlText(page, IDC_FONT_LABEL), Utf8("ＭＳ 明朝 (20)"));
            EXPECT_EQ(CentrePixel(GetDlgItem(page, IDC_COLOR_SWATCH)), colours[index]);
            EXPECT_EQ(Selection(page, IDC_FORMAT), 0);
            ExpectRows(page, IDC_ALIGN_H, { { "中央", -1 }, { "左マージン", -1 }, { "右マージン", -1 } });
            ExpectRows(page, IDC_ALIGN_V, { { "中央", -1 }, { "上マージン", -1 }, { "下マージン", -1 } });
            EXPECT_EQ(Selection(page, IDC_ALIGN_H), 0);
            EXPECT_EQ(Selection(page, IDC_ALIGN_V), 0);
            EXPECT_EQ(ControlText(page, IDC_MARGIN_X), "0");
            EXPECT_EQ(ControlText(page, IDC_MARGIN_Y), "0");
            EXPECT_FALSE(Enabled(page, IDC_MARGIN_X)) << "a centred line has no margin";
            EXPECT_FALSE(Enabled(page, IDC_MARGIN_Y));
        });
    }
    script.Do("format rows and the WAVE file", [this] {
        ExpectRows(pages[DateTab], IDC_FORMAT,
                   { { "yyyy/mm/dd", 0 }, { "y/m/d", 1 }, { "y年m月d日", 10 }, { "平成y年m月d日", 11 } });
        ExpectRows(pages[TimeTab], IDC_FORMAT,
                   { { "hh:mm:ss", 0 }, { "h:m:s", 1 }, { "h:m:s AM/PM", 5 }, { "h:m:s am/pm", 6 },
                     { "h時m分s秒", 10 }, { "午前/午後 h時m分s秒", 11 } });
        ExpectRows(pages[CountTab], IDC_FORMAT, { { "hh:mm:ss.x", 0 }, { "h:m:s.x", 1 }, { "h時m分s秒.x", 10 } });
        EXPECT_EQ(ControlText(pages[CountTab], IDC_WAVE_PATH), "");
        Click(dlg, IDCANCEL);
    });
    EXPECT_EQ(RunOptions(), 0);
}

TEST_F(OptionsDialogTest, OkStoresEveryPageAndKeepsTheReservedBytes)
{
    ClockOptions options = {};
    options.backColor = 0x00336699;
    for (int i = 0; i < 25; i++) options.reserved[i] = (BYTE)(0xA0 + i);
    PlantOptions(options);
    FaceItem date = Line(0x00123456, 0, 0, 0, 0, 0);
    const BYTE dateReserved[5] = { 1, 2, 3, 4, 5 };
    memcpy(date.reserved, dateReserved, 5);
    PlantLine("Date", date, -16);
    FaceItem count = Line(RGB(0, 0, 128), 0, 0, 0, 0, 0);
    const BYTE countReserved[5] = { 0xF1, 0xF2, 0xF3, 0xF4, 0xF5 };
    memcpy(count.reserved, countReserved, 5);
    PlantLine("Stop", count, 26);
    Start();
    std::array<HFONT, 3> before = Fonts();

    script.Do("General: Japanese weekday, one line", [this] {
        ChooseRow(pages[GeneralTab], IDC_WEEKDAY, 1);
        Click(pages[GeneralTab], IDC_ONELINE);
    });
    script.Do("Date: era format, 12 from the right, 7 from the top", [this] {
        SelectTab(DateTab);
        HWND page = pages[DateTab];
        EXPECT_EQ(ControlText(page, IDC_FONT_LABEL), Utf8("ＭＳ 明朝 (12)"));
        ChooseRow(page, IDC_FORMAT, 2);
        ChooseRow(page, IDC_ALIGN_H, 2);
        EXPECT_TRUE(Enabled(page, IDC_MARGIN_X)) << "a right margin can be typed";
        Type(page, IDC_MARGIN_X, "12");
        ChooseRow(page, IDC_ALIGN_V, 1);
        Type(page, IDC_MARGIN_Y, "7");
    });
    script.Do("Time: Japanese day-half format", [this] {
        SelectTab(TimeTab);
        ChooseRow(pages[TimeTab], IDC_FORMAT, 5);
    });
    script.Do("Measurement: Japanese units, 30 from the bottom", [this] {
        SelectTab(CountTab);
        HWND page = pages[CountTab];
        ChooseRow(page, IDC_FORMAT, 2);
        ChooseRow(page, IDC_ALIGN_V, 2);
        Type(page, IDC_MARGIN_Y, "30");
    });
    script.Do("press OK", [this] { Click(dlg, IDOK); });
    ASSERT_EQ(RunOptions(), 1);

    const char* optionBytes = "99 66 33 00 01 01 00 A0 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF B0 B1 B2 B3 B4 B5 B6 B7 B8";
    EXPECT_EQ(Hex(&gState->options, 32), optionBytes);
    EXPECT_EQ(Hex(Stored(NULL, "Option"), 0, 32), optionBytes);

    /* colour, marginY, marginX, format, alignH, alignV, reserved */
    const char* dateBytes = "56 34 12 00 07 00 0C 00 0A 02 01 01 02 03 04 05";
    EXPECT_EQ(Hex((const BYTE*)&gState->date.item + 36, 16), dateBytes);
    Bytes storedDate = Stored("Date", "Option");
    EXPECT_EQ(Hex(storedDate, 36, 16), dateBytes);
    EXPECT_TRUE(AllZero(storedDate, 0, 32)) << "a stored line has no text";
    EXPECT_EQ(Hex(Stored("Time", "Option"), 44, 3), "0B 00 00");
    const char* countBytes = "00 00 80 00 1E 00 00 00 0A 00 02 F1 F2 F3 F4 F5";
    EXPECT_EQ(Hex((const BYTE*)&gState->count.item + 36, 16), countBytes);
    EXPECT_EQ(Hex(Stored("Stop", "Option"), 36, 16), countBytes);

    ExpectFontsReplaced(before);
    LOGFONTA dateFont = {};
    GetObjectA(gState->date.font, sizeof(dateFont), &dateFont);
    EXPECT_EQ(dateFont.lfHeight, -16) << "the new font is the one the page showed";
    EXPECT_EQ(Hex(Stored("Date", "Font"), 0, 4), "F0 FF FF FF");
}

TEST_F(OptionsDialogTest, OkWithNothingChangedInStoppedModeKeepsTheCountAndSavesAll)
{
    Start();
    KillTimer(gMainWnd, TIMER_TICK);
    gState->mode = Stopped;
    lstrcpyA(gState->count.text, "0:01:02.3");
    lstrcpyA(gState->date.text, "2026/05/08");
    const char* wave = "C:\\表示 音\\end.wav";
    lstrcpyA(gState->wavePath, wave);
    std::array<HFONT, 3> before = Fonts();

    script.Do("press OK", [this] { Click(dlg, IDOK); });
    ASSERT_EQ(RunOptions(), 1);

    EXPECT_STREQ(gState->count.text, "0:01:02.3") << "the stopped count stays on the face";
    EXPECT_STREQ(gState->date.text, "") << "the save empties the date text for the next paint";
    EXPECT_EQ(gState->mode, Stopped);
    ExpectFontsReplaced(before);
    EXPECT_STREQ(gState->wavePath, wave);
    Bytes storedWave = Stored(NULL, "Wave");
    EXPECT_EQ(std::string(storedWave.begin(), storedWave.end()), std::string(wave) + '\0');
    EXPECT_EQ(Hex(Stored(NULL, "Version"), 0, 5), "30 2E 31 31 00");
    for (const char* line : { "Date", "Time", "Stop" }) {
        EXPECT_EQ(Stored(line, "Option").size(), 52u) << line;
        EXPECT_EQ(Stored(line, "Font").size(), 60u) << line;
    }
    EXPECT_TRUE(TickArrives()) << "the tick runs after the dialog, though it was off before";
}

enum Dismissal { CancelButton, EscapeKey, CloseBox };

class OptionsDismissTest : public OptionsDialogTest, public testing::WithParamInterface<Dismissal> {};

TEST_P(OptionsDismissTest, ChangesNothing)
{
    Start();
    lstrcpyA(gState->wavePath, "C:\\sounds\\old.wav");
    SaveSettings();
    TakeSnapshot();

    script.Do("change every page", [this] {
        ChooseRow(pages[GeneralTab], IDC_WEEKDAY, 2);
        Click(pages[GeneralTab], IDC_ONELINE);
        Click(pages[GeneralTab], IDC_NOTITLEBAR);
        for (int index : { DateTab, TimeTab, CountTab }) {
            SelectTab(index);
            ChooseRow(pages[index], IDC_FORMAT, 1);
            ChooseRow(pages[index], IDC_ALIGN_H, 1);
            Type(pages[index], IDC_MARGIN_X, "44");
        }
        SetText(GetDlgItem(pages[CountTab], IDC_WAVE_PATH), "C:\\sounds\\new.wav");
    });
    script.Do("dismiss the dialog", [this] {
        switch (GetParam()) {
        case CancelButton: Click(dlg, IDCANCEL); break;
        /* The dialog's own loop turns the key into IDCANCEL. */
        case EscapeKey: PostMessageA(tab, WM_KEYDOWN, VK_ESCAPE, 1); break;
        case CloseBox: PostMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        }
    });
    EXPECT_EQ(RunOptions(), 0);

    ExpectNothingChanged();
    EXPECT_STREQ(gState->wavePath, "C:\\sounds\\old.wav");
    EXPECT_TRUE(TickArrives()) << "the clock resumes ticking";
}

static std::string DismissalName(const testing::TestParamInfo<Dismissal>& info)
{
    static const char* const names[] = { "CancelButton", "EscapeKey", "CloseBox" };
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(Ways, OptionsDismissTest, testing::Values(CancelButton, EscapeKey, CloseBox), DismissalName);

TEST_F(OptionsDialogTest, ValuesNoRowOffersAreKeptOrStoredAs255AndMarginsAreSigned16Bit)
{
    ClockOptions options = {};
    options.backColor = RGB(255, 255, 255);
    options.weekday = 9;
    options.oneLine = 7;
    PlantOptions(options);
    PlantLine("Date", Line(0, 5, 7, 3, 1, 4), 26);
    PlantLine("Time", Line(0, 0, 1, -5, 2, 33), 26);
    PlantLine("Stop", Line(0, 0, 0, 0, 0, 0), 26);
    Start();

    script.Do("General: no weekday row, one line ticked", [this] {
        EXPECT_EQ(Selection(pages[GeneralTab], IDC_WEEKDAY), CB_ERR);
        EXPECT_EQ(IsDlgButtonChecked(pages[GeneralTab], IDC_ONELINE), (UINT)BST_CHECKED);
    });
    script.Do("Date: format 5 and placement 7 have no row", [this] {
        SelectTab(DateTab);
        HWND page = pages[DateTab];
        EXPECT_EQ(Selection(page, IDC_FORMAT), CB_ERR);
        EXPECT_EQ(Selection(page, IDC_ALIGN_H), CB_ERR);
        EXPECT_TRUE(Enabled(page, IDC_MARGIN_X)) << "no placement row counts as a margin";
        EXPECT_EQ(Selection(page, IDC_ALIGN_V), 1);
        EXPECT_TRUE(Enabled(page, IDC_MARGIN_Y));
    });
    script.Do("Time: -5 shows its sign; centring disables the typed margin", [this] {
        SelectTab(TimeTab);
        HWND page = pages[TimeTab];
        EXPECT_EQ(Selection(page, IDC_ALIGN_H), 1);
        EXPECT_EQ(ControlText(page, IDC_MARGIN_X), "-5");
        EXPECT_EQ(Selection(page, IDC_ALIGN_V), 2);
        Type(page, IDC_MARGIN_Y, "21");
        ChooseRow(page, IDC_ALIGN_V, 0);
        EXPECT_FALSE(Enabled(page, IDC_MARGIN_Y));
    });
    script.Do("Measurement: a margin row enables the edit; 70000 is typed", [this] {
        SelectTab(CountTab);
        HWND page = pages[CountTab];
        EXPECT_FALSE(Enabled(page, IDC_MARGIN_X));
        ChooseRow(page, IDC_ALIGN_H, 1);
        EXPECT_TRUE(Enabled(page, IDC_MARGIN_X));
        Type(page, IDC_MARGIN_X, "70000");
        Click(dlg, IDOK);
    });
    ASSERT_EQ(RunOptions(), 1);

    EXPECT_EQ(Hex(Stored(NULL, "Option"), 4, 3), "FF 01 00") << "weekday 255, one line 1";
    EXPECT_EQ(gState->options.weekday, 255);
    /* marginY, marginX, format, alignH, alignV */
    EXPECT_EQ(Hex(Stored("Date", "Option"), 40, 7), "04 00 03 00 05 FF 01");
    EXPECT_EQ(Hex(Stored("Time", "Option"), 40, 7), "15 00 FB FF 00 01 00");
    EXPECT_EQ(gState->time.item.marginX, -5);
    EXPECT_EQ(gState->time.item.marginY, 21) << "a disabled margin is read all the same";
    EXPECT_EQ(Hex(Stored("Stop", "Option"), 40, 7), "00 00 70 11 00 01 00");
    EXPECT_EQ(gState->count.item.marginX, 4464) << "70000 keeps its low 16 bits";
}

TEST_F(OptionsDialogTest, TickingAndUntickingTheTitleBarBoxRestartsNothing)
{
    Start();
    script.Do("tick the box and untick it", [this] {
        HWND page = pages[GeneralTab];
        Click(page, IDC_NOTITLEBAR);
        EXPECT_EQ(IsDlgButtonChecked(page, IDC_NOTITLEBAR), (UINT)BST_CHECKED);
        Click(page, IDC_NOTITLEBAR);
        EXPECT_EQ(IsDlgButtonChecked(page, IDC_NOTITLEBAR), (UINT)BST_UNCHECKED);
        Click(dlg, IDOK);
    });
    EXPECT_EQ(RunOptions(), 1);

    EXPECT_TRUE(IsWindow(gMainWnd)) << "a restart closes the main window";
    EXPECT_EQ(gState->options.noTitleBar, 0);
    EXPECT_EQ(Hex(Stored(NULL, "Option"), 6, 1), "00");
}

TEST_F(OptionsDialogTest, DialogThatCannotBeCreatedAppliesNothing)
{
    Start();
    SaveSettings();
    TakeSnapshot();
    HINSTANCE program = gInstance;
    gInstance = GetModuleHandleA("kernel32.dll");  /* holds no dialog 111 */
    int result = RunOptionsDialog(gMainWnd);
    gInstance = program;

    EXPECT_EQ(result, 0);
    EXPECT_EQ(gWork, nullptr);
    ExpectNothingChanged();
    EXPECT_TRUE(TickArrives());
}

namespace {
/* Refuses the fourth page, remembering the brushes the first three made. */
struct PageRefusal {
    int pagesSeen;
    HBRUSH brushes[3];
} refusal;

LRESULT CALLBACK RefuseFourthPage(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA* cs = ((CBT_CREATEWNDA*)lParam)->lpcs;
        char name[16];
        if ((cs->style & WS_CHILD) && GetClassNameA((HWND)wParam, name, sizeof(name)) &&
            lstrcmpA(name, "#32770") == 0 && ++refusal.pagesSeen == 4) {
            refusal.brushes[0] = gWork->backBrush;
            refusal.brushes[1] = gWork->dateBlock.swatchBrush;
            refusal.brushes[2] = gWork->timeBlock.swatchBrush;
            return 1;
        }
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}
}

TEST_F(OptionsDialogTest, PageThatCannotBeCreatedEndsTheDialogAndReleasesTheBrushesMade)
{
    Start();
    SaveSettings();
    TakeSnapshot();
    refusal = PageRefusal();
    HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseFourthPage, NULL, GetCurrentThreadId());
    ASSERT_NE(hook, (HHOOK)NULL);
    int result = RunOptionsDialog(gMainWnd);
    UnhookWindowsHookEx(hook);

    EXPECT_EQ(result, 0);
    ASSERT_EQ(refusal.pagesSeen, 4) << "the fourth page was never asked for";
    for (int i = 0; i < 3; i++) {
        EXPECT_NE(refusal.brushes[i], (HBRUSH)NULL) << "page " << i << " made no brush";
        EXPECT_EQ(GetObjectType(refusal.brushes[i]), 0u) << "the brush of page " << i << " was not released";
    }
    EXPECT_EQ(gWork, nullptr);
    ExpectNothingChanged();
    EXPECT_EQ(FindThreadDialog([](HWND) { return true; }), (HWND)NULL) << "a dialog was left open";
}
