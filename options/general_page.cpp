#include "general_page.h"
#include "options_dialog.h"
#include "../state/settings.h"
#include "../res/resource.h"
#include <commdlg.h>

COLORREF gCustomColors[16];
int      gCustomColorsReady;

/* Adds the rows from the string table; the row index is the stored value. */
void FillComboFromStrings(HWND combo, const UINT* ids, int count)
{
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; i++) {
        WCHAR text[32];
        LoadStringW(gInstance, ids[i], text, ARRAYSIZE(text));
        SendMessageW(combo, CB_ADDSTRING, 0, (LPARAM)text);
    }
}

int InitGeneralPage(HWND page)
{
    static const UINT rows[3] = { IDS_WEEKDAY_ROW_EN, IDS_WEEKDAY_ROW_JA, IDS_WEEKDAY_ROW_NONE };
    static const WCHAR* const opacities[8] = { L"100 %", L"90 %", L"80 %", L"70 %", L"60 %", L"50 %", L"40 %", L"30 %" };
    ClockOptions* o = &gWork->options;
    WCHAR program[LONG_PATH_SIZE];

    *o = gState->options;
    gWork->backBrush = CreateSolidBrush(o->backColor);
    FillComboFromStrings(GetDlgItem(page, IDC_WEEKDAY), rows, 3);
    SendDlgItemMessageW(page, IDC_WEEKDAY, CB_SETCURSEL, o->weekday, 0);
    for (const WCHAR* row : opacities) SendDlgItemMessageW(page, IDC_OPACITY, CB_ADDSTRING, 0, (LPARAM)row);
    /* Row n lets n tenths through, as the window shows it. */
    SendDlgItemMessageW(page, IDC_OPACITY, CB_SETCURSEL, SeeThroughTenths(o->transparency), 0);
    CheckDlgButton(page, IDC_ONELINE, o->oneLine ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_NOTITLEBAR, o->noTitleBar ? BST_CHECKED : BST_UNCHECKED);
    int starts = ProgramPath(program) && StartsWithWindows(program);
    CheckDlgButton(page, IDC_STARTUP, starts ? BST_CHECKED : BST_UNCHECKED);
    return 1;
}

/* No weekday selection reads as 255, which shows no suffix. */
void ReadGeneralPage(HWND page)
{
    LRESULT opacity = SendDlgItemMessageW(page, IDC_OPACITY, CB_GETCURSEL, 0, 0);
    gWork->options.weekday = (BYTE)SendDlgItemMessageW(page, IDC_WEEKDAY, CB_GETCURSEL, 0, 0);
    gWork->options.transparency = (BYTE)(opacity > 0 && opacity < 8 ? opacity * 10 : 0);
    gWork->options.oneLine = IsDlgButtonChecked(page, IDC_ONELINE) == BST_CHECKED;
    gWork->options.noTitleBar = IsDlgButtonChecked(page, IDC_NOTITLEBAR) == BST_CHECKED;
    gWork->startWithWindows = IsDlgButtonChecked(page, IDC_STARTUP) == BST_CHECKED;
}

/* A new brush for a swatch, repainted at once. */
void ReplaceBrush(HBRUSH* brush, COLORREF color, HWND swatch)
{
    if (*brush) DeleteObject(*brush);
    *brush = CreateSolidBrush(color);
    InvalidateRect(swatch, NULL, TRUE);
}

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return InitGeneralPage(page);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_BACK_BUTTON && PickColor(page, &gWork->options.backColor))
            ReplaceBrush(&gWork->backBrush, gWork->options.backColor, GetDlgItem(page, IDC_BACK_SWATCH));
        break;
    case WM_CTLCOLORSTATIC:
        return SwatchCtlColor(page, wParam, lParam);
    }
    return FALSE;
}

/* Colours the swatches of all four pages; everything else gets the default. */
INT_PTR SwatchCtlColor(HWND page, WPARAM hdc, LPARAM control)
{
    HBRUSH brush = NULL;
    int id = GetDlgCtrlID((HWND)control);

    if (id == IDC_BACK_SWATCH && page == gWork->generalPage) {
        brush = gWork->backBrush;
    } else if (id == IDC_COLOR_SWATCH) {
        if (page == gWork->dateBlock.page) brush = gWork->dateBlock.swatchBrush;
        else if (page == gWork->timeBlock.page) brush = gWork->timeBlock.swatchBrush;
        else if (page == gWork->countBlock.page) brush = gWork->countBlock.swatchBrush;
    }
    if (brush) return (INT_PTR)brush;
    return DefWindowProcW(page, WM_CTLCOLORSTATIC, hdc, control);
}

/* The colour dialog; its custom colours last for the whole run. */
int PickColor(HWND owner, COLORREF* color)
{
    static const COLORREF presets[5] = { 0x00C0DCC0, 0x00F0CCA8, 0x0000D7FF, 0x00E4E4FF, 0x00FFCCCC };
    CHOOSECOLORW cc;

    if (!color) return 0;
    if (!gCustomColorsReady) {
        FillMemory(gCustomColors, sizeof(gCustomColors), 0xFF);
        gCustomColors[0] = GetSysColor(COLOR_INFOBK);
        CopyMemory(gCustomColors + 1, presets, sizeof(presets));
        gCustomColorsReady = 1;
    }
    ZeroMemory(&cc, sizeof(cc));
    /* The size as compiled: a 64-bit dialog refuses the 32-bit one. */
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = owner;
    cc.rgbResult = *color;
    cc.lpCustColors = gCustomColors;
    cc.Flags = CC_RGBINIT;
    if (!ChooseColorW(&cc)) return 0;
    *color = cc.rgbResult;
    return 1;
}
