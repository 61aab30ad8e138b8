#include "general_page.h"
#include "options_dialog.h"
#include "../state/settings.h"
#include "../res/resource.h"
#include <commdlg.h>
#include <commctrl.h>

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
    CheckDlgButton(page, IDC_FIT, o->fitToWindow == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_TRAY_ICON, o->noTrayIcon != 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_TRAY_MINIMISE, o->trayOnMinimise == 1 ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(page, IDC_TRAY_MINIMISE), o->noTrayIcon != 1);
    /* A key without Ctrl or Alt would be taken from every program's typing: the control
       adds Ctrl+Alt to one typed without. */
    const struct { int id; WORD key; } keys[2] = { { IDC_SHOWHIDE_KEY, o->showHideKey }, { IDC_COUNT_KEY, o->countKey } };
    for (const auto& k : keys) {
        SendDlgItemMessageW(page, k.id, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, HOTKEYF_CONTROL | HOTKEYF_ALT);
        SendDlgItemMessageW(page, k.id, HKM_SETHOTKEY, k.key, 0);
    }
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
    gWork->options.fitToWindow = IsDlgButtonChecked(page, IDC_FIT) == BST_CHECKED;
    gWork->options.noTrayIcon = IsDlgButtonChecked(page, IDC_TRAY_ICON) != BST_CHECKED;
    gWork->options.trayOnMinimise = IsDlgButtonChecked(page, IDC_TRAY_MINIMISE) == BST_CHECKED;
    gWork->options.showHideKey = (WORD)SendDlgItemMessageW(page, IDC_SHOWHIDE_KEY, HKM_GETHOTKEY, 0, 0);
    gWork->options.countKey = (WORD)SendDlgItemMessageW(page, IDC_COUNT_KEY, HKM_GETHOTKEY, 0, 0);
    gWork->startWithWindows = IsDlgButtonChecked(page, IDC_STARTUP) == BST_CHECKED;
}

/* The hot key control's form of a key as RegisterHotKey takes its modifiers. */
UINT HotKeyModifiers(WORD key)
{
    BYTE flags = HIBYTE(key);
    return (flags & HOTKEYF_ALT ? MOD_ALT : 0) | (flags & HOTKEYF_CONTROL ? MOD_CONTROL : 0) |
           (flags & HOTKEYF_SHIFT ? MOD_SHIFT : 0);
}

/* A global key must hold Ctrl or Alt, and be none Windows keeps for itself. */
int HotKeyUsable(WORD key)
{
    static const struct { BYTE key; UINT modifiers; } reserved[] = {
        { VK_TAB, MOD_ALT }, { VK_TAB, MOD_ALT | MOD_SHIFT }, { VK_ESCAPE, MOD_ALT }, { VK_ESCAPE, MOD_CONTROL },
        { VK_ESCAPE, MOD_CONTROL | MOD_SHIFT }, { VK_DELETE, MOD_CONTROL | MOD_ALT }, { VK_SPACE, MOD_ALT }, { VK_F4, MOD_ALT },
    };
    UINT modifiers = HotKeyModifiers(key);
    /* F12 belongs to the debugger, whatever goes with it. */
    if (!LOBYTE(key) || LOBYTE(key) == VK_F12 || !(modifiers & (MOD_ALT | MOD_CONTROL))) return 0;
    for (const auto& r : reserved)
        if (r.key == LOBYTE(key) && r.modifiers == modifiers) return 0;
    return 1;
}

/* "Ctrl+Alt+K": the key as the keyboard names it. */
static void HotKeyName(WCHAR* out, WORD key)
{
    static const struct { BYTE flag; const WCHAR* name; } modifiers[3] = {
        { HOTKEYF_CONTROL, L"Ctrl+" }, { HOTKEYF_SHIFT, L"Shift+" }, { HOTKEYF_ALT, L"Alt+" },
    };
    WCHAR name[32] = L"";
    out[0] = L'\0';
    for (const auto& m : modifiers)
        if (HIBYTE(key) & m.flag) lstrcatW(out, m.name);
    LONG scan = (LONG)MapVirtualKeyW(LOBYTE(key), MAPVK_VK_TO_VSC) << 16 | (HIBYTE(key) & HOTKEYF_EXT ? 1 << 24 : 0);
    if (!GetKeyNameTextW(scan, name, ARRAYSIZE(name))) wsprintfW(name, L"#%u", LOBYTE(key));
    lstrcatW(out, name);
}

/* The global keys the page holds can be had: each holds Ctrl or Alt, the two differ, and
   no other program holds either. Otherwise the page comes up with the key named. */
int GlobalKeysFree(HWND page)
{
    const int ids[2] = { IDC_SHOWHIDE_KEY, IDC_COUNT_KEY };
    const WORD held[2] = { gState->options.showHideKey, gState->options.countKey };
    WORD keys[2];
    for (int i = 0; i < 2; i++) keys[i] = (WORD)SendDlgItemMessageW(page, ids[i], HKM_GETHOTKEY, 0, 0);
    for (int i = 0; i < 2; i++) {
        WCHAR name[64], text[256];
        const WCHAR* refusal = NULL;
        /* Keys the clock holds now are free to it; any other is tried for a moment. */
        int ours = (gState->hotKeys & 1 && keys[i] == held[0]) || (gState->hotKeys & 2 && keys[i] == held[1]);
        if (!keys[i]) continue;
        if (!HotKeyUsable(keys[i])) refusal = L"「%s」は使えません。Ctrl か Alt を含む、Windows が使っていないキーを選んでください。";
        else if (i == 1 && keys[1] == keys[0]) refusal = L"「%s」は表示切替キーと同じです。別のキーを選んでください。";
        else if (!ours && !RegisterHotKey(gMainWnd, 0xBFFF, HotKeyModifiers(keys[i]), LOBYTE(keys[i])))
            refusal = L"「%s」はほかのプログラムが使っています。別のキーを選んでください。";
        else if (!ours) UnregisterHotKey(gMainWnd, 0xBFFF);
        if (!refusal) continue;
        HotKeyName(name, keys[i]);
        wsprintfW(text, refusal, name);
        ShowOptionsPage(gWork->currentPage = OPTIONS_GENERAL);
        MessageBoxW(GetParent(page), text, L"オプション", MB_OK | MB_ICONEXCLAMATION);
        SetFocus(GetDlgItem(page, ids[i]));
        return 0;
    }
    return 1;
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
        /* Only a clock with its icon can go there when minimised. */
        if (LOWORD(wParam) == IDC_TRAY_ICON)
            EnableWindow(GetDlgItem(page, IDC_TRAY_MINIMISE), IsDlgButtonChecked(page, IDC_TRAY_ICON) == BST_CHECKED);
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
