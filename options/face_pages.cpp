#include "face_pages.h"
#include "general_page.h"
#include "../state/settings.h"
#include "../res/resource.h"
#include <commdlg.h>

struct FormatRow { const char* label; BYTE code; };

static const FormatRow dateRows[] = {
    { "yyyy/mm/dd", 0 }, { "y/m/d", 1 }, { "y年m月d日", 10 }, { "平成y年m月d日", 11 },
    { "元号y年m月d日", 12 },
};
static const FormatRow timeRows[] = {
    { "hh:mm:ss", 0 }, { "h:m:s", 1 }, { "h:m:s AM/PM", 5 }, { "h:m:s am/pm", 6 },
    { "h時m分s秒", 10 }, { "午前/午後 h時m分s秒", 11 },
};
static const FormatRow countRows[] = {
    { "hh:mm:ss.x", 0 }, { "h:m:s.x", 1 }, { "h時m分s秒.x", 10 },
};

/* Fills a page from its line; the three pages differ only in line and rows. */
static int InitFacePage(HWND page, PageBlock* block, const FaceLine* line,
                        const FormatRow* rows, int rowCount)
{
    block->item = line->item;
    block->logFont = line->logFont;
    ShowFontLabel(page, &block->logFont);
    block->swatchBrush = CreateSolidBrush(block->item.color);
    SendDlgItemMessageA(page, IDC_FORMAT, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < rowCount; i++) AddFormatItem(page, rows[i].label, rows[i].code);
    SelectFormatByCode(page, block->item.format);
    FillPlacementControls(page, block);
    UpdateMarginEdits(page);
    return 1;
}

int InitDatePage(HWND page)
{
    return InitFacePage(page, &gWork->dateBlock, &gState->date, dateRows, ARRAYSIZE(dateRows));
}

int InitTimePage(HWND page)
{
    return InitFacePage(page, &gWork->timeBlock, &gState->time, timeRows, ARRAYSIZE(timeRows));
}

int InitMeasurementPage(HWND page)
{
    InitFacePage(page, &gWork->countBlock, &gState->count, countRows, ARRAYSIZE(countRows));
    /* A longer path would be cut silently into another file name. */
    SendDlgItemMessageA(page, IDC_WAVE_PATH, EM_LIMITTEXT, MAX_PATH - 1, 0);
    SetDlgItemTextA(page, IDC_WAVE_PATH, gState->wavePath);
    return 1;
}

static void ChooseWaveFile(HWND page)
{
    char current[MAX_PATH], chosen[MAX_PATH];
    if (!GetDlgItemTextA(page, IDC_WAVE_PATH, current, sizeof(current))) current[0] = '\0';
    if (PickWaveFile(page, chosen, current)) SetDlgItemTextA(page, IDC_WAVE_PATH, chosen);
}

static INT_PTR FacePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam,
                            PageBlock* block, int (*init)(HWND))
{
    switch (message) {
    case WM_INITDIALOG:
        return init(page);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_FONT_BUTTON:
            ChooseFaceFont(page, block);
            break;
        case IDC_ALIGN_H:
        case IDC_ALIGN_V:
            if (HIWORD(wParam) == CBN_SELCHANGE) UpdateMarginEdits(page);
            break;
        case IDC_WAVE_BUTTON:
            if (block == &gWork->countBlock) ChooseWaveFile(page);
            break;
        }
        break;
    case WM_CTLCOLORSTATIC:
        return SwatchCtlColor(page, wParam, lParam);
    }
    return FALSE;
}

INT_PTR CALLBACK DatePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return FacePageProc(page, message, wParam, lParam, &gWork->dateBlock, InitDatePage);
}

INT_PTR CALLBACK TimePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return FacePageProc(page, message, wParam, lParam, &gWork->timeBlock, InitTimePage);
}

INT_PTR CALLBACK MeasurementPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return FacePageProc(page, message, wParam, lParam, &gWork->countBlock, InitMeasurementPage);
}

void ChooseFaceFont(HWND page, PageBlock* block)
{
    if (!PickFont(page, &block->logFont, &block->item.color)) return;
    ShowFontLabel(page, &block->logFont);
    ReplaceBrush(&block->swatchBrush, block->item.color, GetDlgItem(page, IDC_COLOR_SWATCH));
}

/* The font dialog measures in the screen's pixels, the stored font in pixels at 96 dpi. */
int PickFont(HWND owner, LOGFONTA* lf, COLORREF* color)
{
    CHOOSEFONTA cf;
    /* Wine's font dialog writes back the font the user tried even when cancelled. */
    LOGFONTA edited = *lf;

    ScaleFont(&edited, 96, gWork->logPixelsY);
    ZeroMemory(&cf, sizeof(cf));
    /* The size as compiled: a 64-bit dialog refuses the 32-bit one. */
    cf.lStructSize = sizeof(cf);
    cf.hwndOwner = owner;
    cf.lpLogFont = &edited;
    cf.rgbColors = *color;
    cf.Flags = CF_BOTH | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_FORCEFONTEXIST | CF_LIMITSIZE;
    /* No size it offers is too large to load back. */
    cf.nSizeMin = 1;
    cf.nSizeMax = FONT_SIZE_LIMIT * 72 / 96;
    int result = ChooseFontA(&cf);
    if (result) {
        ScaleFont(&edited, gWork->logPixelsY, 96);
        *lf = edited;
        *color = cf.rgbColors;
    }
    return result;
}

/* Points from a height in pixels at 96 dpi, halves rounded up. */
int FontPointSize(LONG height)
{
    double magnitude = height < 0 ? -(double)height : (double)height;
    return (int)(magnitude * 72 / 96 + 0.5);
}

void ShowFontLabel(HWND page, const LOGFONTA* lf)
{
    char text[MAX_PATH];
    char face[LF_FACESIZE];
    lstrcpynA(face, lf->lfFaceName, sizeof(face));
    wsprintfA(text, "%s (%ld)", face, (long)FontPointSize(lf->lfHeight));
    SetDlgItemTextA(page, IDC_FONT_LABEL, text);
}

void UpdateMarginEdits(HWND page)
{
    EnableWindow(GetDlgItem(page, IDC_MARGIN_X), SendDlgItemMessageA(page, IDC_ALIGN_H, CB_GETCURSEL, 0, 0) != 0);
    EnableWindow(GetDlgItem(page, IDC_MARGIN_Y), SendDlgItemMessageA(page, IDC_ALIGN_V, CB_GETCURSEL, 0, 0) != 0);
}

int AddFormatItem(HWND page, const char* label, BYTE code)
{
    LRESULT index = SendDlgItemMessageA(page, IDC_FORMAT, CB_ADDSTRING, 0, (LPARAM)label);
    if (index == CB_ERR || index == CB_ERRSPACE) return 0;
    return SendDlgItemMessageA(page, IDC_FORMAT, CB_SETITEMDATA, index, code) != CB_ERR;
}

/* A code the page does not offer leaves the list without a selection. */
void SelectFormatByCode(HWND page, BYTE code)
{
    LRESULT count = SendDlgItemMessageA(page, IDC_FORMAT, CB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; row++) {
        if (SendDlgItemMessageA(page, IDC_FORMAT, CB_GETITEMDATA, row, 0) == code) {
            SendDlgItemMessageA(page, IDC_FORMAT, CB_SETCURSEL, row, 0);
            return;
        }
    }
}

void FillPlacementControls(HWND page, const PageBlock* block)
{
    static const UINT horizontal[3] = { IDS_PLACE_CENTER, IDS_PLACE_LEFT, IDS_PLACE_RIGHT };
    static const UINT vertical[3] = { IDS_PLACE_CENTER, IDS_PLACE_TOP, IDS_PLACE_BOTTOM };

    FillComboFromStrings(GetDlgItem(page, IDC_ALIGN_H), horizontal, 3);
    SendDlgItemMessageA(page, IDC_ALIGN_H, CB_SETCURSEL, block->item.alignH, 0);
    SetDlgItemInt(page, IDC_MARGIN_X, block->item.marginX, TRUE);
    FillComboFromStrings(GetDlgItem(page, IDC_ALIGN_V), vertical, 3);
    SendDlgItemMessageA(page, IDC_ALIGN_V, CB_SETCURSEL, block->item.alignV, 0);
    SetDlgItemInt(page, IDC_MARGIN_Y, block->item.marginY, TRUE);
}

/* Takes the page's controls into its item: no selection gives 255 for a
   placement, margins keep their low 16 bits. */
void ReadFacePage(PageBlock* block)
{
    HWND page = block->page;
    LRESULT row = SendDlgItemMessageA(page, IDC_FORMAT, CB_GETCURSEL, 0, 0);
    if (row != CB_ERR) block->item.format = (BYTE)SendDlgItemMessageA(page, IDC_FORMAT, CB_GETITEMDATA, row, 0);
    block->item.alignH = (BYTE)SendDlgItemMessageA(page, IDC_ALIGN_H, CB_GETCURSEL, 0, 0);
    block->item.marginX = (SHORT)GetDlgItemInt(page, IDC_MARGIN_X, NULL, TRUE);
    block->item.alignV = (BYTE)SendDlgItemMessageA(page, IDC_ALIGN_V, CB_GETCURSEL, 0, 0);
    block->item.marginY = (SHORT)GetDlgItemInt(page, IDC_MARGIN_Y, NULL, TRUE);
}

int PickWaveFile(HWND owner, char* out, const char* current)
{
    char file[MAX_PATH];
    OPENFILENAMEA ofn;

    if (!out) return 0;
    out[0] = '\0';
    file[0] = '\0';
    if (current && current[0]) lstrcpynA(file, current, sizeof(file));
    ZeroMemory(&ofn, sizeof(ofn));
    /* The size as compiled, without the Windows 2000 fields. */
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = "Wave(*.wav)\0*.wav\0All Files(*.*)\0*.*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof(file);
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_SHOWHELP | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&ofn) || !file[0]) return 0;
    lstrcpynA(out, file, MAX_PATH);
    return 1;
}
