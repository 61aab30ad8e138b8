#include "help_menu.h"
#include "../state/settings.h"
#include "../res/resource.h"
#include <shellapi.h>

HFONT gAboutFont;

static void InitAboutBox(HWND dlg)
{
    LOGFONTW lf;
    RECT rc;
    WCHAR version[32];

    ZeroMemory(&lf, sizeof(lf));
    GetObjectW((HFONT)SendMessageW(dlg, WM_GETFONT, 0, 0), sizeof(lf), &lf);
    GetClientRect(GetDlgItem(dlg, IDC_ABOUT_NAME), &rc);
    /* The name as tall as its label allows. */
    lf.lfWeight = FW_BOLD;
    lf.lfHeight = rc.top - rc.bottom + 1;
    gAboutFont = CreateFontIndirectW(&lf);
    SendDlgItemMessageW(dlg, IDC_ABOUT_NAME, WM_SETFONT, (WPARAM)gAboutFont, FALSE);
    SetDlgItemTextW(dlg, IDC_ABOUT_NAME, L"VELMOR");
    wsprintfW(version, L"Version %s", L"0.11");
    SetDlgItemTextW(dlg, IDC_ABOUT_VERSION, version);
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
    HMODULE user32 = LoadLibraryW(L"USER32.DLL");
    if (!user32) return 0;
    AnimateWindowProc animate = (AnimateWindowProc)(void*)GetProcAddress(user32, "AnimateWindow");
    int result = animate ? animate(window, 250, show ? AW_ACTIVATE | AW_CENTER : AW_HIDE | AW_CENTER) : 0;
    FreeLibrary(user32);
    return result;
}

/* VELMOR.TXT beside the program file: 1 when made, 0 when the path names no
   folder, -1 when it would not fit out (it must never be opened cut short). */
int HelpFilePath(const WCHAR* modulePath, WCHAR* out, int size)
{
    const WCHAR* separator = wcsrchr(modulePath, L'\\');
    if (!separator) return 0;
    int folder = (int)(separator - modulePath);
    if (folder + 1 + lstrlenW(HELP_FILE_NAME) >= size) return -1;
    lstrcpynW(out, modulePath, folder + 1);
    lstrcatW(out, L"\\" HELP_FILE_NAME);
    return 1;
}

void OpenHelpFile(HWND owner)
{
    WCHAR module[LONG_PATH_SIZE], help[LONG_PATH_SIZE];
    int made = ProgramPath(module) ? HelpFilePath(module, help, LONG_PATH_SIZE) : -1;

    if (made < 0)
        ShowErrorBox(L"ヘルプファイルのパスが長すぎるため開けません。"
                     L"VELMOR フォルダーをもっと短いパスに移してください。", 0);
    else if (made > 0)
        ShellOpen(owner, help);
}

void OpenHomePage(HWND owner)
{
    WCHAR address[MAX_PATH];
    LoadStringW(gInstance, IDS_HOMEPAGE, address, ARRAYSIZE(address));
    ShellOpen(owner, address);
}

/* The error behind a failed ShellExecuteW: its result says it where the thread's
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

void ShellOpen(HWND owner, const WCHAR* target)
{
    /* The shell does not always set the last error: none must be left from before. */
    SetLastError(0);
    INT_PTR result = (INT_PTR)ShellExecuteW(owner, L"open", target, NULL, NULL, SW_SHOW);
    if (result > 32) return;
    SetLastError(ShellErrorCode(result, GetLastError()));
    ShowErrorBox(NULL, (UINT)-1);
}

/* The program's one error message: the text if given, then the system's words for
   the last error (id -1); or else a string resource. */
int ShowErrorBox(const WCHAR* text, UINT id)
{
    WCHAR buffer[1024] = L"";
    DWORD error = GetLastError();

    if (text) lstrcpynW(buffer, text, ARRAYSIZE(buffer) / 2);
    if (id == (UINT)-1) {
        int length = lstrlenW(buffer);
        if (length) {
            lstrcatW(buffer, L"\n\n");
            length += 2;
        }
        if (!FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                            error, 0, buffer + length, ARRAYSIZE(buffer) - length, NULL))
            wsprintfW(buffer + length, L"Unknown Error. (%lu)", error);
    } else if (!buffer[0] && !LoadStringW(gInstance, id, buffer, ARRAYSIZE(buffer))) {
        wsprintfW(buffer, L"Unknown Error. (%lu)", (unsigned long)id);
    }
    MessageBeep(0);
    MessageBoxW(NULL, buffer, NULL, MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
    return 0;
}
