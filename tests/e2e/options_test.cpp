/* The Options dialog: how it opens, what OK stores and shows, what the ways out
   without OK keep, and the colour, font and file dialogs behind its buttons. */
#include "scene.h"
#include "options.h"
#include "sound.h"
#include "../../res/resource.h"
#include <commctrl.h>
#include <dlgs.h>
#include <string.h>

static const char* const kLineKeys[3] = { "Date", "Time", "Stop" };
static const COLORREF kLineColors[3] = { kDateColor, kTimeColor, kCountColor };
static const char kPlantedWave[] = "C:\\planted.wav";
static const COLORREF kYellow = RGB(255, 255, 0);
static const COLORREF kRed = RGB(255, 0, 0);

/* Offsets in the stored forms of the options and of a face line. */
enum { kWeekday = 4, kOneLine = 5, kOptionsReserved = 7 };
enum { kFontSlot = 32, kColor = 36, kMarginY = 40, kMarginX = 42, kFormat = 44, kAlignH = 45,
       kAlignV = 46, kLineReserved = 47 };

/* What a start finds stored: white, English weekday, two lines, a title bar, the
   first start's line colours and font, and reserved bytes that no save may touch. */
static std::vector<BYTE> PlantedOptions()
{
    std::vector<BYTE> options(32, 0);
    options[0] = options[1] = options[2] = 0xFF;
    for (int i = kOptionsReserved; i < 32; i++) options[i] = (BYTE)(0x40 + i);
    return options;
}

static std::vector<BYTE> PlantedLine(int line)
{
    std::vector<BYTE> item(52, 0);
    memcpy(&item[kColor], &kLineColors[line], sizeof(COLORREF));
    for (int i = kLineReserved; i < 52; i++) item[i] = (BYTE)(0x60 + 8 * line + i);
    return item;
}

static void PutShort(std::vector<BYTE>* bytes, int offset, SHORT value)
{
    memcpy(&(*bytes)[offset], &value, sizeof(value));
}

/* The slot where a save puts the font handle of the moment. */
static std::vector<BYTE> WithoutFontSlot(std::vector<BYTE> item)
{
    if (item.size() >= kFontSlot + 4) memset(&item[kFontSlot], 0, 4);
    return item;
}

class Options : public ClockScenario {
protected:
    void SetUp() override
    {
        ClockScenario::SetUp();
        LOGFONTA font = {};
        font.lfHeight = 26;
        font.lfWeight = FW_NORMAL;
        font.lfCharSet = SHIFTJIS_CHARSET;
        font.lfPitchAndFamily = FIXED_PITCH;
        lstrcpyA(font.lfFaceName, "ＭＳ 明朝");
        PlantSetting("Option", REG_BINARY, PlantedOptions());
        PlantSetting("Wave", REG_SZ, BytesOf(kPlantedWave, sizeof(kPlantedWave)));
        for (int line = 0; line < 3; line++) {
            PlantSetting("Option", REG_BINARY, PlantedLine(line), kLineKeys[line]);
            PlantSetting("Font", REG_BINARY, BytesOf(&font, sizeof(font)), kLineKeys[line]);
        }
    }

    /* Opens the dialog with Ctrl+O and finds its four pages. */
    void Open()
    {
        dialog = OpenOptionsDialog(wnd);
        ASSERT_NE(dialog, nullptr) << "Ctrl+O opened no Options dialog";
        pages = OptionsPages(dialog);
        for (int i = 0; i < PageCount; i++) ASSERT_NE(pages[i], nullptr) << "page " << i << " is missing";
    }

    /* Ends the dialog one way and waits for whatever it started to finish. */
    void Close(Dismissal way)
    {
        ASSERT_TRUE(Dismiss(dialog, way));
        ASSERT_TRUE(WaitForOptionsClosed(dialog, wnd));
    }

    /* The stored options and lines are the planted ones with the given changes. */
    void ExpectStored(const std::vector<BYTE>& options, const std::vector<BYTE> (&lines)[3])
    {
        std::vector<BYTE> bytes;
        ASSERT_TRUE(ReadSetting("Option", &bytes));
        EXPECT_EQ(bytes, options) << "stored options";
        for (int line = 0; line < 3; line++) {
            ASSERT_TRUE(ReadSetting("Option", &bytes, kLineKeys[line])) << kLineKeys[line];
            EXPECT_EQ(WithoutFontSlot(bytes), lines[line]) << "stored line " << kLineKeys[line];
        }
    }

    HWND dialog = NULL;
    std::vector<HWND> pages;
};

static std::string StoredWave()
{
    std::vector<BYTE> bytes;
    if (!ReadSetting("Wave", &bytes)) return "(none)";
    return std::string(bytes.begin(), bytes.end()).c_str();
}

TEST_F(Options, OpensFromItsKeyAndTheMenuOnTheFirstOfFourTabs)
{
    ASSERT_NO_FATAL_FAILURE(StartClock());
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_EQ(SendDlgItemMessageA(dialog, IDC_TAB, TCM_GETITEMCOUNT, 0, 0), 4);
    const char* const captions[4] = { "一般", "日付", "時刻", "計測" };
    for (int i = 0; i < 4; i++) EXPECT_EQ(TabText(dialog, i), captions[i]) << "tab " << i;
    EXPECT_EQ(ShownPage(pages), GeneralPage);

    for (int tab : { DatePage, CountPage, TimePage, GeneralPage, CountPage }) {
        ASSERT_TRUE(SelectTab(dialog, tab));
        EXPECT_TRUE(WaitUntil([&] { return ShownPage(pages) == tab; }))
            << "tab " << tab << " shows page " << ShownPage(pages);
    }
    ASSERT_NO_FATAL_FAILURE(Close(Dismissal::Cancel));

    /* Opened again from the menu: the General page first, whichever was left open. */
    ASSERT_TRUE(ChooseMenuItem(wnd, 'D', 'O'));
    dialog = WaitForDialog(wnd, "オプション");
    ASSERT_NE(dialog, nullptr) << "Alt+D, O opened no Options dialog";
    EXPECT_EQ(ShownPage(OptionsPages(dialog)), GeneralPage);
    ASSERT_NO_FATAL_FAILURE(Close(Dismissal::Cancel));
}

TEST_F(Options, OkStoresExactlyTheNewChoicesAndTheFaceShowsThem)
{
    ASSERT_NO_FATAL_FAILURE(StartClock());
    ASSERT_NO_FATAL_FAILURE(Open());
    ChooseRow(pages[GeneralPage], IDC_WEEKDAY, 1);             /* Japanese */
    Click(pages[GeneralPage], IDC_ONELINE);
    ChooseRow(pages[DatePage], IDC_FORMAT, 2);                 /* y年m月d日 */
    ChooseRow(pages[DatePage], IDC_ALIGN_H, 1);                /* left margin */
    SetControlText(pages[DatePage], IDC_MARGIN_X, "7");
    ChooseRow(pages[DatePage], IDC_ALIGN_V, 1);                /* top margin */
    SetControlText(pages[DatePage], IDC_MARGIN_Y, "5");
    ChooseRow(pages[TimePage], IDC_ALIGN_V, 2);                /* bottom margin */
    SetControlText(pages[TimePage], IDC_MARGIN_Y, "30");
    ChooseRow(pages[CountPage], IDC_FORMAT, 2);                /* h時m分s秒.x */
    ASSERT_NO_FATAL_FAILURE(Close(Dismissal::Ok));

    std::vector<BYTE> options = PlantedOptions(), lines[3];
    options[kWeekday] = 1;
    options[kOneLine] = 1;
    for (int line = 0; line < 3; line++) lines[line] = PlantedLine(line);
    lines[0][kFormat] = 10;
    lines[0][kAlignH] = 1;
    lines[0][kAlignV] = 1;
    PutShort(&lines[0], kMarginX, 7);
    PutShort(&lines[0], kMarginY, 5);
    lines[1][kAlignV] = 2;
    PutShort(&lines[1], kMarginY, 30);
    lines[2][kFormat] = 10;
    ExpectStored(options, lines);
    EXPECT_EQ(StoredWave(), kPlantedWave);

    /* One line in the date's colour, from the date's margins: the time's colour is gone. */
    Face face;
    ASSERT_TRUE(WaitForShownFace(wnd, [](const Face& f) {
        return f.Count(kTimeColor) == 0 && f.Count(kDateColor) > 0;
    }, &face, kDeadline)) << "the face still shows two lines";
    RECT date = face.Bounds(kDateColor);
    EXPECT_TRUE(date.left >= 7 && date.left < 15 && date.top >= 5 && date.top < 30)
        << "the line is drawn at " << RectText(date);
}

TEST_F(Options, CancelEscapeAndTheCloseBoxKeepEverything)
{
    ASSERT_NO_FATAL_FAILURE(StartClock());
    Face face;
    ASSERT_TRUE(WaitForFace(wnd, ShowsClock, &face));
    RECT date = face.Bounds(kDateColor);

    for (Dismissal way : { Dismissal::Cancel, Dismissal::Escape, Dismissal::CloseBox }) {
        SCOPED_TRACE(DismissalName(way));
        ASSERT_NO_FATAL_FAILURE(Open());
        ChooseRow(pages[GeneralPage], IDC_WEEKDAY, 2);
        Click(pages[GeneralPage], IDC_ONELINE);
        ChooseRow(pages[DatePage], IDC_ALIGN_H, 2);
        SetControlText(pages[DatePage], IDC_MARGIN_X, "40");
        SetControlText(pages[CountPage], IDC_WAVE_PATH, "C:\\elsewhere.wav");
        ASSERT_NO_FATAL_FAILURE(Close(way));

        ASSERT_TRUE(WaitForFace(wnd, ShowsClock, &face)) << "the face lost a line";
        EXPECT_TRUE(SameRect(face.Bounds(kDateColor), date)) << "the date moved to "
                                                             << RectText(face.Bounds(kDateColor));
    }
    /* Whatever the dialog left in the running program is saved when it ends. */
    PostMessageA(wnd, WM_CLOSE, 0, 0);
    ASSERT_TRUE(app.WaitForExit());
    std::vector<BYTE> lines[3];
    for (int line = 0; line < 3; line++) lines[line] = PlantedLine(line);
    ExpectStored(PlantedOptions(), lines);
    EXPECT_EQ(StoredWave(), kPlantedWave);
}

TEST_F(Options, PickedColourFontAndFileArriveOnlyWithTheirOk)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof(folder), folder);
    std::string wave = std::string(folder) + "velmor-picked.wav";
    ASSERT_TRUE(WriteToneWave(wave));

    ASSERT_NO_FATAL_FAILURE(StartClock());
    ASSERT_NO_FATAL_FAILURE(Open());
    HWND general = pages[GeneralPage], date = pages[DatePage], count = pages[CountPage];
    EXPECT_TRUE(WaitUntil([&] { return SwatchColor(general, IDC_BACK_SWATCH) == RGB(255, 255, 255); }))
        << "the swatch shows " << std::hex << SwatchColor(general, IDC_BACK_SWATCH);

    HWND picker = OpenPicker(dialog, general, IDC_BACK_BUTTON);
    ASSERT_NE(picker, nullptr) << "no colour dialog";
    SetPickerColor(picker, kYellow);
    ASSERT_TRUE(Dismiss(picker, Dismissal::Ok));
    EXPECT_TRUE(WaitUntil([&] { return SwatchColor(general, IDC_BACK_SWATCH) == kYellow; }))
        << "the swatch shows " << std::hex << SwatchColor(general, IDC_BACK_SWATCH);
    picker = OpenPicker(dialog, general, IDC_BACK_BUTTON);
    ASSERT_NE(picker, nullptr) << "no colour dialog the second time";
    SetPickerColor(picker, RGB(0, 255, 255));
    ASSERT_TRUE(Dismiss(picker, Dismissal::Cancel));
    EXPECT_EQ(SwatchColor(general, IDC_BACK_SWATCH), kYellow) << "a cancelled colour arrived";

    /* The font dialog: its size list holds points, its colour list colours. */
    ASSERT_TRUE(SelectTab(dialog, DatePage));
    ASSERT_TRUE(WaitUntil([&] { return ShownPage(pages) == DatePage; }));
    std::string label = ControlText(date, IDC_FONT_LABEL);
    EXPECT_TRUE(WaitUntil([&] { return SwatchColor(date, IDC_COLOR_SWATCH) == kDateColor; }))
        << "the swatch shows " << std::hex << SwatchColor(date, IDC_COLOR_SWATCH);
    HWND font = OpenPicker(dialog, date, IDC_FONT_BUTTON);
    ASSERT_NE(font, nullptr) << "no font dialog";
    int sizes = (int)SendDlgItemMessageA(font, cmb3, CB_GETCOUNT, 0, 0);
    ASSERT_GT(sizes, 1) << "the font dialog offers no sizes";
    int points = (int)SendDlgItemMessageA(font, cmb3, CB_GETITEMDATA, sizes - 1, 0);
    ChooseRow(font, cmb3, sizes - 1);
    int red = RowWithData(font, cmb4, kRed);
    ASSERT_GE(red, 0) << "the font dialog offers no red";
    ChooseRow(font, cmb4, red);
    std::string face = ControlText(font, cmb1);
    ASSERT_TRUE(Dismiss(font, Dismissal::Ok));
    std::string picked = ControlText(date, IDC_FONT_LABEL);
    EXPECT_EQ(picked, face + " (" + std::to_string(points) + ")") << "it was " << label;
    EXPECT_TRUE(WaitUntil([&] { return SwatchColor(date, IDC_COLOR_SWATCH) == kRed; }))
        << "the swatch shows " << std::hex << SwatchColor(date, IDC_COLOR_SWATCH);
    font = OpenPicker(dialog, date, IDC_FONT_BUTTON);
    ASSERT_NE(font, nullptr) << "no font dialog the second time";
    ChooseRow(font, cmb3, 0);
    ChooseRow(font, cmb4, RowWithData(font, cmb4, RGB(0, 0, 255)));
    ASSERT_TRUE(Dismiss(font, Dismissal::Cancel));
    EXPECT_EQ(ControlText(date, IDC_FONT_LABEL), picked) << "a cancelled font arrived";
    EXPECT_EQ(SwatchColor(date, IDC_COLOR_SWATCH), kRed) << "a cancelled colour arrived";

    /* The file dialog opens on the current file and answers with the typed one. */
    ASSERT_TRUE(SelectTab(dialog, CountPage));
    HWND files = OpenPicker(dialog, count, IDC_WAVE_BUTTON);
    ASSERT_NE(files, nullptr) << "no file dialog";
    SetControlText(files, cmb13, wave.c_str());
    ASSERT_TRUE(Dismiss(files, Dismissal::Ok));
    EXPECT_EQ(ControlText(count, IDC_WAVE_PATH), wave);
    files = OpenPicker(dialog, count, IDC_WAVE_BUTTON);
    ASSERT_NE(files, nullptr) << "no file dialog the second time";
    SetControlText(files, cmb13, kPlantedWave);
    ASSERT_TRUE(Dismiss(files, Dismissal::Cancel));
    EXPECT_EQ(ControlText(count, IDC_WAVE_PATH), wave) << "a cancelled file arrived";

    ASSERT_NO_FATAL_FAILURE(Close(Dismissal::Ok));
    std::vector<BYTE> options = PlantedOptions(), lines[3];
    memcpy(&options[0], &kYellow, sizeof(kYellow));
    for (int line = 0; line < 3; line++) lines[line] = PlantedLine(line);
    memcpy(&lines[0][kColor], &kRed, sizeof(kRed));
    ExpectStored(options, lines);
    EXPECT_EQ(StoredWave(), wave);
    std::vector<BYTE> stored;
    ASSERT_TRUE(ReadSetting("Font", &stored, "Date"));
    ASSERT_EQ(stored.size(), sizeof(LOGFONTA));
    LOGFONTA storedFont = {};
    memcpy(&storedFont, stored.data(), sizeof(storedFont));
    HDC screen = GetDC(NULL);
    EXPECT_EQ(storedFont.lfHeight, -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72));
    ReleaseDC(NULL, screen);
    DeleteFileA(wave.c_str());
}

/* The dialog is moved off the main window, so nothing uncovers the face: only the
   apply itself can repaint it, and only then does the new background show. */
TEST_F(Options, StoppedCountStaysAndTakesTheNewBackgroundOnOk)
{
    RECT stored = { 760, 560, 1090, 760 };
    PlantSetting("Pos", REG_BINARY, StoredRect(stored));
    Face stopped, shown;
    ASSERT_NO_FATAL_FAILURE(StartClock());
    ASSERT_NO_FATAL_FAILURE(CountUp());
    ASSERT_NO_FATAL_FAILURE(ExpectKeyStops(VK_RETURN, &stopped));

    ASSERT_NO_FATAL_FAILURE(Open());
    SetWindowPos(dialog, NULL, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT options = WindowRect(dialog), overlap;
    ASSERT_FALSE(IntersectRect(&overlap, &options, &stored)) << "the dialog still covers the face";
    HWND picker = OpenPicker(dialog, pages[GeneralPage], IDC_BACK_BUTTON);
    ASSERT_NE(picker, nullptr) << "no colour dialog";
    SetPickerColor(picker, kYellow);
    ASSERT_TRUE(Dismiss(picker, Dismissal::Ok));
    ASSERT_TRUE(WaitForShownFace(wnd, [&](const Face& f) { return f == stopped; }, &shown, kDeadline))
        << "before OK the face is not the stopped count on white";

    ASSERT_NO_FATAL_FAILURE(Close(Dismissal::Ok));
    EXPECT_TRUE(WaitForShownFace(wnd, [](const Face& f) { return f.At(0, 0) == kYellow; }, &shown, kDeadline))
        << "OK did not repaint the face in the new background";
    EXPECT_TRUE(shown.Where(kCountColor) == stopped.Where(kCountColor)) << "the stopped count changed";
    EXPECT_TRUE(RepaintAndCapture(wnd) == shown) << "the face shown is not the face the program holds";
}
