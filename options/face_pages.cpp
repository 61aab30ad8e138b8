#include "face_pages.h"
#include "general_page.h"
#include "../state/settings.h"
#include "../engine/face_text.h"
#include "../res/resource.h"
#include <commdlg.h>

struct FormatRow { const WCHAR* label; BYTE code; };

static const FormatRow dateRows[] = {
    { L"yyyy/mm/dd", 0 }, { L"y/m/d", 1 }, { L"y年m月d日", 10 }, { L"平成y年m月d日", 11 },
    { L"元号y年m月d日", 12 },
};
/* A time without seconds after its sibling with them. */
static const FormatRow timeRows[] = {
    { L"hh:mm:ss", 0 }, { L"hh:mm", 2 }, { L"h:m:s", 1 }, { L"h:m:s AM/PM", 5 }, { L"h:mm AM/PM", 7 },
    { L"h:m:s am/pm", 6 }, { L"h時m分s秒", 10 }, { L"h時m分", 12 }, { L"午前/午後 h時m分s秒", 11 }, { L"午前/午後 h時m分", 13 },
};
static const FormatRow countRows[] = {
    { L"hh:mm:ss.x", 0 }, { L"h:m:s.x", 1 }, { L"h時m分s秒.x", 10 },
};

/* What format gives at this instant on the block's line; a count reads zero. */
static void FormatSample(const PageBlock* block, BYTE format, WCHAR* out)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (block == &gWork->dateBlock) FormatDate(out, &now, format);
    else if (block == &gWork->timeBlock) FormatTime(out, &now, format);
    else FormatCount(out, 0, format);
}

/* The format of the row chosen, or fallback with none. */
static BYTE ChosenFormat(HWND page, BYTE fallback)
{
    LRESULT row = SendDlgItemMessageW(page, IDC_FORMAT, CB_GETCURSEL, 0, 0);
    return row == CB_ERR ? fallback : (BYTE)SendDlgItemMessageW(page, IDC_FORMAT, CB_GETITEMDATA, row, 0);
}

/* The preview reads as the format chosen gives the line now. */
static void ShowPreviewText(HWND page, const PageBlock* block)
{
    WCHAR text[FACE_TEXT_SIZE];
    FormatSample(block, ChosenFormat(page, block->item.format), text);
    SetDlgItemTextW(page, IDC_PREVIEW, text);
}

/* The preview in the line's font, at the size the face draws it. */
static void ShowPreviewFont(HWND page, PageBlock* block)
{
    HFONT old = block->previewFont;
    block->previewFont = CreateFaceFont(&block->logFont, block->fontDpi, 0);
    SendDlgItemMessageW(page, IDC_PREVIEW, WM_SETFONT, (WPARAM)block->previewFont, TRUE);
    if (old) DeleteObject(old);
}

/* The swatch and the preview in the line's colour. */
static void ShowColor(HWND page, PageBlock* block)
{
    ReplaceBrush(&block->swatchBrush, block->item.color, GetDlgItem(page, IDC_COLOR_SWATCH));
    InvalidateRect(GetDlgItem(page, IDC_PREVIEW), NULL, TRUE);
}

/* Fills a page from its line; the three pages differ only in line and rows. Each row reads
   what its format gives now, then its pattern. */
static int InitFacePage(HWND page, PageBlock* block, const FaceLine* line,
                        const FormatRow* rows, int rowCount)
{
    block->item = line->item;
    block->logFont = line->logFont;
    block->fontDpi = line->fontDpi;
    ShowFontLabel(page, &block->logFont, block->fontDpi);
    block->swatchBrush = CreateSolidBrush(block->item.color);
    SendDlgItemMessageW(page, IDC_FORMAT, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < rowCount; i++) {
        WCHAR sample[FACE_TEXT_SIZE], row[FACE_TEXT_SIZE + 32];
        FormatSample(block, rows[i].code, sample);
        wsprintfW(row, L"%s  (%s)", sample, rows[i].label);
        AddFormatItem(page, row, rows[i].code);
    }
    SelectFormatByCode(page, block->item.format);
    FillPlacementControls(page, block);
    UpdateMarginEdits(page);
    ShowPreviewFont(page, block);
    ShowPreviewText(page, block);
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
    /* One more than a path can hold, so that a path too long, pasted too, is refused, not cut. */
    SendDlgItemMessageW(page, IDC_WAVE_PATH, EM_LIMITTEXT, MAX_PATH, 0);
    SetDlgItemTextW(page, IDC_WAVE_PATH, gState->wavePath);
    CheckDlgButton(page, IDC_ALARM, gState->options.alarmUntilStopped == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_BUILTIN_SOUND, gState->options.builtInSound == 1 ? BST_CHECKED : BST_UNCHECKED);
    return 1;
}

static void ChooseWaveFile(HWND page)
{
    WCHAR current[MAX_PATH], chosen[MAX_PATH];
    if (!GetDlgItemTextW(page, IDC_WAVE_PATH, current, ARRAYSIZE(current))) current[0] = L'\0';
    if (PickWaveFile(page, chosen, current)) SetDlgItemTextW(page, IDC_WAVE_PATH, chosen);
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
        case IDC_COLOR_BUTTON:
            if (PickColor(page, &block->item.color)) ShowColor(page, block);
            break;
        case IDC_FORMAT:
            if (HIWORD(wParam) == CBN_SELCHANGE) ShowPreviewText(page, block);
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
        if (GetDlgCtrlID((HWND)lParam) != IDC_PREVIEW) return SwatchCtlColor(page, wParam, lParam);
        SetTextColor((HDC)wParam, block->item.color);
        SetBkMode((HDC)wParam, TRANSPARENT);
        return (INT_PTR)gWork->backBrush;
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
    if (!PickFont(page, &block->logFont, &block->fontDpi, &block->item.color)) return;
    ShowFontLabel(page, &block->logFont, block->fontDpi);
    ShowPreviewFont(page, block);
    ShowColor(page, block);
}

static int CALLBACK OtherFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM face)
{
    return lstrcmpiW(font->lfFaceName, (const WCHAR*)face) != 0;
}

/* Whether the font dialog lists face among the screen's: vertical faces it leaves out. */
static int Listed(HDC screen, const WCHAR* face)
{
    LOGFONTW all = {};
    all.lfCharSet = DEFAULT_CHARSET;
    return face[0] != L'@' && !EnumFontFamiliesExW(screen, &all, OtherFace, (LPARAM)face, 0);
}

/* A face the font dialog does not list would open it on the first it does. It opens instead on
   the face the line is drawn in: the substitute Windows takes for a name it maps to another
   font, by the name the list gives it, or the nearest face it has; for a vertical face, its
   upright twin. */
static void OfferedFace(LOGFONTW* lf)
{
    HDC screen = GetDC(NULL);
    if (lf->lfFaceName[0] == L'@') MoveMemory(lf->lfFaceName, lf->lfFaceName + 1, sizeof(lf->lfFaceName) - sizeof(WCHAR));
    if (!Listed(screen, lf->lfFaceName)) {
        BYTE metrics[4096];
        OUTLINETEXTMETRICW* drawn = (OUTLINETEXTMETRICW*)metrics;
        HFONT font = CreateFontIndirectW(lf), old = (HFONT)SelectObject(screen, font);
        if (GetOutlineTextMetricsW(screen, sizeof(metrics), drawn)) {
            const WCHAR* family = (const WCHAR*)(metrics + (UINT_PTR)drawn->otmpFamilyName);
            if (Listed(screen, family)) lstrcpynW(lf->lfFaceName, family, LF_FACESIZE);
        }
        SelectObject(screen, old);
        DeleteObject(font);
    }
    ReleaseDC(NULL, screen);
}

/* The font dialog measures in the screen's pixels: a font chosen there keeps the height
   it chose, at its resolution, and is drawn at it. A face whose name the stored font
   cannot carry is refused: the line keeps its font. */
int PickFont(HWND owner, LOGFONTW* lf, UINT* fontDpi, COLORREF* color)
{
    CHOOSEFONTW cf;
    char stored[LF_FACESIZE];
    /* Wine's font dialog writes back the font the user tried even when cancelled. */
    LOGFONTW edited = *lf;

    ScaleFont(&edited, *fontDpi, gWork->logPixelsY);
    OfferedFace(&edited);
    ZeroMemory(&cf, sizeof(cf));
    /* The size as compiled: a 64-bit dialog refuses the 32-bit one. */
    cf.lStructSize = sizeof(cf);
    cf.hwndOwner = owner;
    cf.lpLogFont = &edited;
    cf.rgbColors = *color;
    /* A vertical face draws the clock on its side. */
    cf.Flags = CF_BOTH | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_FORCEFONTEXIST | CF_LIMITSIZE | CF_NOVERTFONTS;
    /* No size it offers is too large to draw and load back. */
    cf.nSizeMin = 1;
    cf.nSizeMax = FONT_SIZE_LIMIT * 72 / gWork->logPixelsY;
    int result = ChooseFontW(&cf);
    if (result && !AnsiFaceName(edited.lfFaceName, stored)) {
        MessageBoxW(owner, L"このフォント名は、この Windows の文字コードでは保存できません。"
                    L"別のフォントを選んでください。", L"オプション", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    if (result) {
        *lf = edited;
        *fontDpi = gWork->logPixelsY;
        *color = cf.rgbColors;
    }
    return result;
}

void ShowFontLabel(HWND page, const LOGFONTW* lf, UINT fontDpi)
{
    WCHAR text[MAX_PATH];
    WCHAR face[LF_FACESIZE];
    lstrcpynW(face, lf->lfFaceName, ARRAYSIZE(face));
    wsprintfW(text, L"%s (%ld)", face, (long)FontPoints(lf->lfHeight, fontDpi));
    SetDlgItemTextW(page, IDC_FONT_LABEL, text);
}

void UpdateMarginEdits(HWND page)
{
    EnableWindow(GetDlgItem(page, IDC_MARGIN_X), SendDlgItemMessageW(page, IDC_ALIGN_H, CB_GETCURSEL, 0, 0) != 0);
    EnableWindow(GetDlgItem(page, IDC_MARGIN_Y), SendDlgItemMessageW(page, IDC_ALIGN_V, CB_GETCURSEL, 0, 0) != 0);
}

int AddFormatItem(HWND page, const WCHAR* label, BYTE code)
{
    LRESULT index = SendDlgItemMessageW(page, IDC_FORMAT, CB_ADDSTRING, 0, (LPARAM)label);
    if (index == CB_ERR || index == CB_ERRSPACE) return 0;
    return SendDlgItemMessageW(page, IDC_FORMAT, CB_SETITEMDATA, index, code) != CB_ERR;
}

/* A code the page does not offer leaves the list without a selection. */
void SelectFormatByCode(HWND page, BYTE code)
{
    LRESULT count = SendDlgItemMessageW(page, IDC_FORMAT, CB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; row++) {
        if (SendDlgItemMessageW(page, IDC_FORMAT, CB_GETITEMDATA, row, 0) == code) {
            SendDlgItemMessageW(page, IDC_FORMAT, CB_SETCURSEL, row, 0);
            return;
        }
    }
}

void FillPlacementControls(HWND page, const PageBlock* block)
{
    static const UINT horizontal[3] = { IDS_PLACE_CENTER, IDS_PLACE_LEFT, IDS_PLACE_RIGHT };
    static const UINT vertical[3] = { IDS_PLACE_CENTER, IDS_PLACE_TOP, IDS_PLACE_BOTTOM };

    FillComboFromStrings(GetDlgItem(page, IDC_ALIGN_H), horizontal, 3);
    SendDlgItemMessageW(page, IDC_ALIGN_H, CB_SETCURSEL, block->item.alignH, 0);
    SetDlgItemInt(page, IDC_MARGIN_X, block->item.marginX, TRUE);
    FillComboFromStrings(GetDlgItem(page, IDC_ALIGN_V), vertical, 3);
    SendDlgItemMessageW(page, IDC_ALIGN_V, CB_SETCURSEL, block->item.alignV, 0);
    SetDlgItemInt(page, IDC_MARGIN_Y, block->item.marginY, TRUE);
}

/* Takes the page's controls into its item: no selection gives 255 for a
   placement, margins keep their low 16 bits. */
void ReadFacePage(PageBlock* block)
{
    HWND page = block->page;
    block->item.format = ChosenFormat(page, block->item.format);
    block->item.alignH = (BYTE)SendDlgItemMessageW(page, IDC_ALIGN_H, CB_GETCURSEL, 0, 0);
    block->item.marginX = (SHORT)GetDlgItemInt(page, IDC_MARGIN_X, NULL, TRUE);
    block->item.alignV = (BYTE)SendDlgItemMessageW(page, IDC_ALIGN_V, CB_GETCURSEL, 0, 0);
    block->item.marginY = (SHORT)GetDlgItemInt(page, IDC_MARGIN_Y, NULL, TRUE);
}

int PickWaveFile(HWND owner, WCHAR* out, const WCHAR* current)
{
    WCHAR file[MAX_PATH];
    OPENFILENAMEW ofn;

    if (!out) return 0;
    out[0] = L'\0';
    file[0] = L'\0';
    if (current && current[0]) lstrcpynW(file, current, ARRAYSIZE(file));
    ZeroMemory(&ofn, sizeof(ofn));
    /* The size as compiled, without the Windows 2000 fields. */
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = L"Wave(*.wav)\0*.wav\0All Files(*.*)\0*.*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = ARRAYSIZE(file);
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_SHOWHELP | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&ofn) || !file[0]) return 0;
    lstrcpynW(out, file, MAX_PATH);
    return 1;
}
