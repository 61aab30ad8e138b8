#include "options_dialog.h"
#include "general_page.h"
#include "face_pages.h"
#include "alarm_page.h"
#include "../state/settings.h"
#include "../engine/count_modes.h"
#include "../engine/alarms.h"
#include "../app/main_window.h"
#include "../res/resource.h"
#include <commctrl.h>

OptionsWork* gWork;

/* Ctrl+Tab and Ctrl+PageDown show the next page, Ctrl+Shift+Tab and Ctrl+PageUp the one
   before, round the ends, from any control of the dialog. Its modal loop hands each message to
   IsDialogMessage, which takes Tab, Ctrl or not, for the next control; only the thread's
   message filter sees the key first. The keyboard leaves a control hidden with its page for
   the tab strip. */
static LRESULT CALLBACK ChangePageByKey(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG* msg = (const MSG*)lParam;
    if (code == MSGF_DIALOGBOX && msg->message == WM_KEYDOWN && GetKeyState(VK_CONTROL) < 0 && gWork->tabControl &&
        GetAncestor(msg->hwnd, GA_ROOT) == GetParent(gWork->tabControl)) {
        int step = msg->wParam == VK_NEXT ? 1 : msg->wParam == VK_PRIOR ? -1 : 0;
        if (msg->wParam == VK_TAB) step = GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
        if (step) {
            ShowOptionsPage(gWork->currentPage = (gWork->currentPage + step + OPTIONS_PAGES) % OPTIONS_PAGES);
            if (!IsWindowVisible(GetFocus())) SetFocus(gWork->tabControl);
            return 1;
        }
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

/* Runs the dialog on page with the clock stopped and, on OK, applies what it holds. */
int RunOptionsDialog(HWND owner, int page)
{
    gWork = (OptionsWork*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(OptionsWork));
    if (!gWork) return 0;
    gWork->logPixelsY = ScreenDpi();
    gWork->currentPage = page;
    KillTimer(gMainWnd, TIMER_TICK);
    HHOOK pageKeys = SetWindowsHookExW(WH_MSGFILTER, ChangePageByKey, NULL, GetCurrentThreadId());
    /* -1 (no dialog at all) is not OK: the working copy holds nothing to apply. */
    INT_PTR result = DialogBoxParamW(gInstance, MAKEINTRESOURCEW(IDD_OPTIONS), owner, OptionsDialogProc, 0);
    UnhookWindowsHookEx(pageKeys);
    if (result == IDOK) ApplyOptions(owner);
    HeapFree(GetProcessHeap(), 0, gWork);
    gWork = NULL;
    ArmTick(gMainWnd);
    return result == IDOK;
}

static void ApplyFaceLine(FaceLine* line, const PageBlock* block)
{
    line->item = block->item;
    line->logFont = block->logFont;
    line->fontDpi = block->fontDpi;
}

/* Puts the working copy into the state, saves it, and keeps a stopped count on
   the face (the save empties the texts). A new frame needs a new window. */
void ApplyOptions(HWND owner)
{
    ClockState* s = gState;
    WCHAR countText[FACE_TEXT_SIZE], program[LONG_PATH_SIZE];
    BYTE noTitleBar = s->options.noTitleBar;

    CopyMemory(countText, s->count.text, sizeof(countText));
    s->options = gWork->options;
    ApplyFaceLine(&s->date, &gWork->dateBlock);
    ApplyFaceLine(&s->time, &gWork->timeBlock);
    ApplyFaceLine(&s->count, &gWork->countBlock);
    CreateFaceFonts();
    ApplyAlarms();
    SaveSettings();
    ArmAlarms(gMainWnd);
    if (ProgramPath(program)) SetStartWithWindows(program, gWork->startWithWindows);
    CopyMemory(s->count.text, countText, sizeof(countText));
    ApplyTransparency(gMainWnd);
    /* Colours, fonts and places may change while the text stays the same. */
    InvalidateRect(gMainWnd, NULL, FALSE);
    /* Any stored byte but 0 shows ticked: only ticked against unticked is a change. */
    if (!s->options.noTitleBar != !noTitleBar) RestartProgram(owner);
}

static HWND* PageWindows(int index)
{
    HWND* pages[OPTIONS_PAGES] = { &gWork->generalPage, &gWork->dateBlock.page, &gWork->timeBlock.page,
                                   &gWork->countBlock.page, &gWork->alarmPage };
    return pages[index];
}

int CreateOptionsPages(HWND dlg)
{
    static const struct { int templ; DLGPROC proc; } pages[OPTIONS_PAGES] = {
        { IDD_PAGE_GENERAL, GeneralPageProc }, { IDD_PAGE_DATE, DatePageProc },
        { IDD_PAGE_TIME, TimePageProc }, { IDD_PAGE_COUNT, MeasurementPageProc }, { IDD_PAGE_ALARMS, AlarmsPageProc },
    };
    gWork->tabControl = GetDlgItem(dlg, IDC_TAB);
    for (int i = 0; i < OPTIONS_PAGES; i++)
        *PageWindows(i) = CreateDialogParamW(gInstance, MAKEINTRESOURCEW(pages[i].templ), dlg, pages[i].proc, 0);
    if (!gWork->tabControl) return 0;
    for (int i = 0; i < OPTIONS_PAGES; i++)
        if (!*PageWindows(i)) return 0;
    /* The pages came last of the dialog's windows: with OK and Cancel after them, the keyboard
       goes from the tab strip through the page shown to the buttons. */
    static const int buttons[2] = { IDOK, IDCANCEL };
    for (int id : buttons) SetWindowPos(GetDlgItem(dlg, id), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    for (int i = 0; i < OPTIONS_PAGES; i++) {
        WCHAR caption[32];
        TCITEMW tab;
        LoadStringW(gInstance, IDS_TAB_GENERAL + i, caption, ARRAYSIZE(caption));
        ZeroMemory(&tab, sizeof(tab));
        tab.mask = TCIF_TEXT;
        tab.pszText = caption;
        SendMessageW(gWork->tabControl, TCM_INSERTITEMW, i, (LPARAM)&tab);
    }
    return 1;
}

/* Shows the page of index, its tab chosen. */
void ShowOptionsPage(int index)
{
    for (int i = 0; i < OPTIONS_PAGES; i++)
        if (i != index) ShowWindow(*PageWindows(i), SW_HIDE);
    if (index < 0 || index >= OPTIONS_PAGES) return;
    SendMessageW(gWork->tabControl, TCM_SETCURSEL, index, 0);
    ShowWindow(*PageWindows(index), SW_SHOW);
}

static void DeleteBrush(HBRUSH* brush)
{
    if (*brush) DeleteObject(*brush);
    *brush = NULL;
}

/* The brushes and fonts of whichever pages initialised; needed on every way out. */
static void ReleasePageObjects(void)
{
    PageBlock* blocks[3] = { &gWork->dateBlock, &gWork->timeBlock, &gWork->countBlock };
    DeleteBrush(&gWork->backBrush);
    for (PageBlock* block : blocks) {
        DeleteBrush(&block->swatchBrush);
        if (block->previewFont) DeleteObject(block->previewFont);
        block->previewFont = NULL;
    }
}

/* Older copies read the stored path in the ANSI code page, in at most MAX_PATH - 1
   bytes, and a path cut short names another file: a path longer than that, in its
   characters or in those bytes, is refused with the Measurement page shown. */
static int WavePathFits(HWND dlg)
{
    WCHAR path[MAX_PATH * 2];
    int length = GetDlgItemTextW(gWork->countBlock.page, IDC_WAVE_PATH, path, ARRAYSIZE(path));
    if (length < MAX_PATH && WideCharToMultiByte(CP_ACP, 0, path, -1, NULL, 0, NULL, NULL) <= MAX_PATH) return 1;
    ShowOptionsPage(gWork->currentPage = OPTIONS_COUNT);
    MessageBoxW(dlg, L"WAVEファイルのパスが長すぎます。もっと短いパスのファイルを選んでください。", L"オプション",
                MB_OK | MB_ICONEXCLAMATION);
    SetFocus(GetDlgItem(gWork->countBlock.page, IDC_WAVE_PATH));
    return 0;
}

void EndOptionsDialog(HWND dlg, int ok)
{
    if (ok) {
        ReadGeneralPage(gWork->generalPage);
        ReadFacePage(&gWork->dateBlock);
        ReadFacePage(&gWork->timeBlock);
        ReadFacePage(&gWork->countBlock);
        GetDlgItemTextW(gWork->countBlock.page, IDC_WAVE_PATH, gState->wavePath, ARRAYSIZE(gState->wavePath));
        gWork->options.alarmUntilStopped = IsDlgButtonChecked(gWork->countBlock.page, IDC_ALARM) == BST_CHECKED;
        gWork->options.builtInSound = IsDlgButtonChecked(gWork->countBlock.page, IDC_BUILTIN_SOUND) == BST_CHECKED;
        ReadAlarmsPage(gWork->alarmPage);
    }
    ReleasePageObjects();
    for (int i = 0; i < OPTIONS_PAGES; i++) {
        HWND* page = PageWindows(i);
        if (*page) DestroyWindow(*page);
        *page = NULL;
    }
    EndDialog(dlg, ok);
}

INT_PTR CALLBACK OptionsDialogProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        if (!CreateOptionsPages(dlg)) {
            ReleasePageObjects();
            EndDialog(dlg, 0);
        }
        ShowOptionsPage(gWork->currentPage);
        return TRUE;
    case WM_NOTIFY: {
        NMHDR* hdr = (NMHDR*)lParam;
        if (hdr && hdr->code == (UINT)TCN_SELCHANGE) {
            gWork->currentPage = (int)SendMessageW(hdr->hwndFrom, TCM_GETCURSEL, 0, 0);
            ShowOptionsPage(gWork->currentPage);
        }
        break;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && WavePathFits(dlg) && GlobalKeysFree(gWork->generalPage)) EndOptionsDialog(dlg, 1);
        else if (LOWORD(wParam) == IDCANCEL) EndOptionsDialog(dlg, 0);
        break;
    }
    return FALSE;
}
