#include "options_fixture.h"
#include "../../options/general_page.h"
#include "../../res/resource.h"
#include <colordlg.h>
#include <dlgs.h>

using namespace optionstest;

namespace {

/* Clicks one of the colour dialog's custom colours, two rows of eight. */
void ClickCustomColour(HWND picker, int index)
{
    HWND box = GetDlgItem(picker, COLOR_CUSTOM1);
    RECT rect;
    GetWindowRect(box, &rect);
    int width = (rect.right - rect.left) / 8, height = (rect.bottom - rect.top) / 2;
    POINT point = { (index % 8) * width + 2, (index / 8) * height + 2 };
    ClientToScreen(box, &point);
    ScreenToClient(picker, &point);
    SendMessageA(picker, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    SendMessageA(picker, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

void Answer(HWND picker, int id)
{
    SendMessageA(picker, WM_COMMAND, id, 0);
}

/* The file name box of the file dialog: an edit or a combo box, as the system likes. */
HWND FileNameBox(HWND picker)
{
    HWND box = GetDlgItem(picker, cmb13);
    return box ? box : GetDlgItem(picker, edt1);
}

/* A folder of two small WAVE files, with blanks and a double-byte character whose
   second byte is a backslash in both the folder's and the files' names. */
struct WaveFolder {
    std::string folder, first, second;

    WaveFolder()
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        folder = std::string(temp) + "velmor 表 wave";
        CreateDirectoryA(folder.c_str(), NULL);
        first = folder + "\\a 表.wav";
        second = folder + "\\b 表.wav";
        Write(first);
        Write(second);
    }
    ~WaveFolder()
    {
        DeleteFileA(first.c_str());
        DeleteFileA(second.c_str());
        RemoveDirectoryA(folder.c_str());
    }
    static void Write(const std::string& path)
    {
        /* Eight samples of silence: 8 kHz, mono, 8 bits. */
        static const BYTE wave[] = {
            'R', 'I', 'F', 'F', 44, 0, 0, 0, 'W', 'A', 'V', 'E',
            'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0, 0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0, 1, 0, 8, 0,
            'd', 'a', 't', 'a', 8, 0, 0, 0, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80,
        };
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
        DWORD written = 0;
        EXPECT_TRUE(WriteFile(file, wave, sizeof(wave), &written, NULL));
        CloseHandle(file);
    }
};

}

TEST_F(OptionsDialogTest, ColourDialogOffersThisRunsCustomColoursAndSetsTheSwatch)
{
    gCustomColorsReady = 0;  /* as at the start of a run */
    Start();
    HBRUSH firstBrush = NULL;
    const COLORREF mixed = RGB(10, 20, 30);
    auto swatch = [this] { return GetDlgItem(pages[GeneralTab], IDC_BACK_SWATCH); };

    AnswerPicker(GeneralTab, IDC_BACK_BUTTON, "colour dialog", [](HWND picker) {
        EXPECT_EQ(gCustomColorsReady, 1);
        EXPECT_EQ(gCustomColors[0], GetSysColor(COLOR_INFOBK));
        const COLORREF presets[5] = { 0x00C0DCC0, 0x00F0CCA8, 0x0000D7FF, 0x00E4E4FF, 0x00FFCCCC };
        for (int i = 0; i < 5; i++) EXPECT_EQ(gCustomColors[1 + i], presets[i]) << "custom colour " << 1 + i;
        for (int i = 6; i < 16; i++) EXPECT_EQ(gCustomColors[i], 0xFFFFFFFFu) << "custom colour " << i;
        ClickCustomColour(picker, 1);
        Answer(picker, IDOK);
    });
    script.Do("the swatch shows the chosen colour", [&] {
        EXPECT_EQ(gWork->options.backColor, 0x00C0DCC0u);
        EXPECT_EQ(CentrePixel(swatch()), 0x00C0DCC0u);
        firstBrush = gWork->backBrush;
    });
    AnswerPicker(GeneralTab, IDC_BACK_BUTTON, "colour dialog", [mixed](HWND picker) {
        SetText(GetDlgItem(picker, COLOR_RED), "10");
        SetText(GetDlgItem(picker, COLOR_GREEN), "20");
        SetText(GetDlgItem(picker, COLOR_BLUE), "30");
        Answer(picker, COLOR_ADD);
        EXPECT_EQ(gCustomColors[0], mixed) << "the mixed colour was not added";
        Answer(picker, IDCANCEL);
    });
    script.Do("cancelling keeps colour, brush and swatch", [&] {
        EXPECT_EQ(gWork->options.backColor, 0x00C0DCC0u);
        EXPECT_EQ(gWork->backBrush, firstBrush);
        EXPECT_EQ(CentrePixel(swatch()), 0x00C0DCC0u);
    });
    AnswerPicker(GeneralTab, IDC_BACK_BUTTON, "colour dialog", [mixed](HWND picker) {
        EXPECT_EQ(gCustomColors[0], mixed) << "the custom colours were filled again";
        EXPECT_EQ(gCustomColors[1], 0x00C0DCC0u);
        ClickCustomColour(picker, 0);
        Answer(picker, IDOK);
    });
    script.Do("the added colour was offered again", [&] {
        EXPECT_EQ(CentrePixel(swatch()), mixed);
        EXPECT_EQ(GetObjectType(firstBrush), 0u) << "the replaced brush was not deleted";
        Click(dlg, IDOK);
    });
    ASSERT_EQ(RunOptions(), 1);

    EXPECT_EQ(gState->options.backColor, mixed);
    EXPECT_EQ(Hex(Stored(NULL, "Option"), 0, 4), "0A 14 1E 00");
}

TEST_F(OptionsDialogTest, FontDialogChangesLabelAndSwatchOnlyWhenAccepted)
{
    Start();
    LOGFONTA accepted = {};
    auto expectAcceptedShown = [&] {
        HWND page = pages[DateTab];
        std::string label = std::string(accepted.lfFaceName) + " (16)";
        EXPECT_EQ(ControlText(page, IDC_FONT_LABEL), Utf8(label.c_str()));
        EXPECT_EQ(gWork->dateBlock.item.color, RGB(255, 0, 0));
        EXPECT_EQ(CentrePixel(GetDlgItem(page, IDC_COLOR_SWATCH)), RGB(255, 0, 0));
    };

    script.Do("show the Date page", [this] { SelectTab(DateTab); });
    AnswerPicker(DateTab, IDC_FONT_BUTTON, "font dialog", [](HWND picker) {
        EXPECT_TRUE(ChooseRowByText(picker, cmb3, "16")) << "no 16-point row";
        EXPECT_TRUE(ChooseRowByData(picker, cmb4, RGB(255, 0, 0))) << "no red row";
        Answer(picker, IDOK);
    });
    script.Do("label and swatch show the accepted font", [&] {
        accepted = gWork->dateBlock.logFont;
        EXPECT_EQ(accepted.lfHeight, -21) << "16 points at 96 pixels per inch";
        expectAcceptedShown();
    });
    AnswerPicker(DateTab, IDC_FONT_BUTTON, "font dialog", [](HWND picker) {
        EXPECT_TRUE(ChooseRowByText(picker, cmb3, "36"));
        EXPECT_TRUE(ChooseRowByData(picker, cmb4, RGB(0, 0, 255)));
        Answer(picker, IDCANCEL);
    });
    script.Do("cancelling changes neither font, label nor colour", [&] {
        EXPECT_EQ(Hex(&gWork->dateBlock.logFont, sizeof(LOGFONTA)), Hex(&accepted, sizeof(LOGFONTA)));
        expectAcceptedShown();
        Click(dlg, IDOK);
    });
    ASSERT_EQ(RunOptions(), 1);

    LOGFONTA applied = {};
    GetObjectA(gState->date.font, sizeof(applied), &applied);
    EXPECT_EQ(applied.lfHeight, -21);
    EXPECT_EQ(gState->date.item.color, RGB(255, 0, 0));
    EXPECT_EQ(Hex(Stored("Date", "Font"), 0, 4), "EB FF FF FF");
}

TEST_F(OptionsDialogTest, WaveFileDialogAndEditKeepPathsWhole)
{
    WaveFolder waves;
    Start();
    auto edit = [this] { return GetDlgItem(pages[CountTab], IDC_WAVE_PATH); };

    script.Do("type more than a path can hold, then put a real file in", [&] {
        SelectTab(CountTab);
        EXPECT_EQ(SendMessageA(edit(), EM_GETLIMITTEXT, 0, 0), MAX_PATH - 1);
        Type(pages[CountTab], IDC_WAVE_PATH, std::string(300, 'x').c_str());
        EXPECT_EQ(SendMessageA(edit(), WM_GETTEXTLENGTH, 0, 0), MAX_PATH - 1);
        SetText(edit(), waves.first.c_str());
    });
    AnswerPicker(CountTab, IDC_WAVE_BUTTON, "file dialog", [](HWND picker) {
        EXPECT_EQ(ShownText(FileNameBox(picker)), Utf8("a 表.wav")) << "it opens on the current file";
        SetText(FileNameBox(picker), "b 表.wav");
        Answer(picker, IDCANCEL);
    });
    script.Do("cancelling leaves the path", [&] { EXPECT_EQ(ShownText(edit()), Utf8(waves.first.c_str())); });
    AnswerPicker(CountTab, IDC_WAVE_BUTTON, "file dialog", [](HWND picker) {
        EXPECT_EQ(ShownText(FileNameBox(picker)), Utf8("a 表.wav"));
        SetText(FileNameBox(picker), "b 表.wav");
        Answer(picker, IDOK);
    });
    script.Do("the chosen file is in the edit", [&] {
        EXPECT_EQ(ShownText(edit()), Utf8(waves.second.c_str()));
        Click(dlg, IDOK);
    });
    ASSERT_EQ(RunOptions(), 1);

    EXPECT_EQ(Utf8(gState->wavePath), Utf8(waves.second.c_str()));
    Bytes stored = Stored(NULL, "Wave");
    EXPECT_EQ(std::string(stored.begin(), stored.end()), waves.second + '\0');
}
