#include "help_menu.h"
#include "../state/clock_state.h"
#include "../res/resource.h"
#include <shellapi.h>

HFONT gAboutFont;

static void InitAboutBox(HWND dlg)
{
    LOGFONTA lf;
    RECT rc;
    char version[MAX_PATH];

    ZeroMemory(&lf, sizeof(lf));
    GetObjectA((HFONT)SendMessageA(dlg, WM_GETFONT, 0, 0), sizeof(lf), &lf);
    GetClientRect(GetDlgItem(dlg, IDC_ABOUT_NAME), &rc);
    /* The name as tall as its label allows. */
    lf.lfWeight = FW_BOLD;
    lf.lfHeight = rc.top - rc.bottom + 1;
    gAboutFont = CreateFontIndirectA(&lf);
    SendDlgItemMessageA(dlg, IDC_ABOUT_NAME, WM_SETFONT, (WPARAM)gAboutFont, FALSE);
    SetDlgItemTextA(dlg, IDC_ABOUT_NAME, "VELMOR");
    wsprintfA(version, "Version %s", "0.11");
    SetDlgItemTextA(dlg, IDC_ABOUT_VERSION, version);
    AnimateDialog(dlg, 1);
}

INT_PTR CALLBACK AboutDlgProc(HWND dlg, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        InitAboutBox(dlg);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) break;
        AnimateDialog(dlg, 0);
        EndDialog(dlg, 1);
        /* Hidden by now: nothing draws with the font any more. */
        if (gAboutFont) DeleteObject(gAboutFont);
        gAboutFont = NULL;
        return TRUE;
    }
    return FALSE;
}

/* Grows the box out of its centre, or shrinks it, where the system can. */
int AnimateDialog(HWND window, int show)
{
    typedef BOOL (WINAPI *AnimateWindowProc)(HWND, DWORD, DWORD);
    HMODULE user32 = LoadLibraryA("USER32.DLL");
    if (!user32) return 0;
    AnimateWindowProc animate = (AnimateWindowProc)(void*)GetProcAddress(user32, "AnimateWindow");
    int result = animate ? animate(window, 250, show ? AW_ACTIVATE | AW_CENTER : AW_HIDE | AW_CENTER) : 0;
    FreeLibrary(user32);
    return result;
}

/* The last backslash, stepping over double-byte characters: the trail byte of
   表 or ソ is 0x5C and must not be taken for a separator. */
const char* FindLastSeparator(const char* path)
{
    const char* last = NULL;
    for (const char* p = path; *p; p = CharNextA(p))
        if (*p == '\\') last = p;
    return last;
}

/* VELMOR.TXT beside the program file: 1 when made, 0 when the path names no
   folder, -1 when it would not fit out (it must never be opened cut short). */
int HelpFilePath(const char* modulePath, char* out, int size)
{
    const char* separator = FindLastSeparator(modulePath);
    if (!separator) return 0;
    int folder = (int)(separator - modulePath);
    if (folder + 1 + lstrlenA(HELP_FILE_NAME) >= size) return -1;
    lstrcpynA(out, modulePath, folder + 1);
    lstrcatA(out, "\\" HELP_FILE_NAME);
    return 1;
}

void OpenHelpFile(HWND owner)
{
    char module[MAX_PATH], help[MAX_PATH];
    DWORD length = GetModuleFileNameA(gInstance, module, sizeof(module));

    if (length == 0) return;
    /* A module path that fills its buffer has been cut. */
    int made = length < sizeof(module) ? HelpFilePath(module, help, sizeof(help)) : -1;
    if (made < 0)
        ShowErrorBox("ヘルプファイルのパスが長すぎるため開けません。"
                     "VELMOR フォルダーをもっと短いパスに移してください。", 0);
    else if (made > 0)
        ShellOpen(owner, help);
}

void OpenHomePage(HWND owner)
{
    char address[MAX_PATH];
    LoadStringA(gInstance, IDS_HOMEPAGE, address, sizeof(address));
    ShellOpen(owner, address);
}

/* The error behind a failed ShellExecuteA: its result says it where the thread's
   last error says nothing, or the box would report success. */
DWORD ShellErrorCode(INT_PTR result, DWORD lastError)
{
    if (lastError) return lastError;
    switch (result) {
    case SE_ERR_FNF:             return ERROR_FILE_NOT_FOUND;
    case SE_ERR_PNF:             return ERROR_PATH_NOT_FOUND;
    case SE_ERR_ACCESSDENIED:    return ERROR_ACCESS_DENIED;
    case SE_ERR_OOM:             return ERROR_NOT_ENOUGH_MEMORY;
    case ERROR_BAD_FORMAT:       return ERROR_BAD_FORMAT;
    case SE_ERR_SHARE:           return ERROR_SHARING_VIOLATION;
    case SE_ERR_DLLNOTFOUND:     return ERROR_DLL_NOT_FOUND;
    case SE_ERR_DDETIMEOUT:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY:         return ERROR_DDE_FAIL;
    case SE_ERR_NOASSOC:
    case SE_ERR_ASSOCINCOMPLETE: return ERROR_NO_ASSOCIATION;
    default:                     return ERROR_OUTOFMEMORY;
    }
}

void ShellOpen(HWND owner, const char* target)
{
    /* The shell does not always set the last error: none must be left from before. */
    SetLastError(0);
    INT_PTR result = (INT_PTR)ShellExecuteA(owner, "open", target, NULL, NULL, SW_SHOW);
    if (result > 32) return;
    SetLastError(ShellErrorCode(result, GetLastError()));
    ShowErrorBox(NULL, (UINT)-1);
}

/* The program's one error message: the text if given, else the system's words
   for the last error (id -1), else a string resource. */
int ShowErrorBox(const char* text, UINT id)
{
    char buffer[520];

    if (text && text[0]) {
        lstrcpynA(buffer, text, sizeof(buffer));
    } else if (id == (UINT)-1) {
        DWORD error = GetLastError();
        if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                            error, 0, buffer, sizeof(buffer), NULL))
            wsprintfA(buffer, "Unknown Error. (%lu)", error);
    } else if (!LoadStringA(gInstance, id, buffer, MAX_PATH)) {
        wsprintfA(buffer, "Unknown Error. (%lu)", (unsigned long)id);
    }
    MessageBeep(0);
    MessageBoxA(NULL, buffer, NULL, MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
    return 0;
}
