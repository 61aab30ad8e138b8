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

/* Opens file with its program, or runs it with parameters; 0 with the shell's error as the
   last error. */
static int ShellRun(HWND owner, const WCHAR* file, const WCHAR* parameters)
{
    /* The shell does not always set the last error: none must be left from before. */
    SetLastError(0);
    INT_PTR result = (INT_PTR)ShellExecuteW(owner, L"open", file, parameters, NULL, SW_SHOW);
    if (result > 32) return 1;
    SetLastError(ShellErrorCode(result, GetLastError()));
    return 0;
}

/* Says that target could not be opened, and the shell's words for why. */
static void ShowOpenError(const WCHAR* target)
{
    WCHAR text[512];
    wsprintfW(text, L"%.400s を開けませんでした。", target);
    ShowErrorBox(text, (UINT)-1, target);
}

/* Without a program for text files, Notepad, which every Windows has, reads the help file;
   one that is not there it cannot. */
void OpenHelpFile(HWND owner)
{
    WCHAR module[LONG_PATH_SIZE], help[LONG_PATH_SIZE], quoted[LONG_PATH_SIZE + 2];
    int made = ProgramPath(module) ? HelpFilePath(module, help, LONG_PATH_SIZE) : -1;

    if (made < 0) {
        ShowErrorBox(L"ヘルプファイルのパスが長すぎるため開けません。"
                     L"VELMOR フォルダーをもっと短いパスに移してください。", 0);
    } else if (made > 0 && !ShellRun(owner, help, NULL)) {
        DWORD error = GetLastError();
        QuotePath(quoted, help);
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND && ShellRun(owner, L"notepad.exe", quoted)) return;
        SetLastError(error);
        ShowOpenError(help);
    }
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
    if (!ShellRun(owner, target, NULL)) ShowOpenError(target);
}

/* The program's one error message: the text if given, then the system's words for the last
   error (id -1), file named where they have a place for a name, or left out; or else a
   string resource. */
int ShowErrorBox(const WCHAR* text, UINT id, const WCHAR* file)
{
    WCHAR buffer[1024] = L"";
    DWORD error = GetLastError();
    /* The most inserts a message can have. */
    DWORD_PTR inserts[99];
    WCHAR* words = NULL;

    for (DWORD_PTR& insert : inserts) insert = (DWORD_PTR)(file ? file : L"");
    if (text) lstrcpynW(buffer, text, ARRAYSIZE(buffer) / 2);
    if (id == (UINT)-1) {
        int length = lstrlenW(buffer);
        if (length) {
            lstrcatW(buffer, L"\n\n");
            length += 2;
        }
        if (FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                           NULL, error, 0, (WCHAR*)&words, 0, (va_list*)inserts)) {
            lstrcpynW(buffer + length, words, ARRAYSIZE(buffer) - length);
            LocalFree(words);
        } else {
            wsprintfW(buffer + length, L"Unknown Error. (%lu)", error);
        }
    } else if (!buffer[0] && !LoadStringW(gInstance, id, buffer, ARRAYSIZE(buffer))) {
        wsprintfW(buffer, L"Unknown Error. (%lu)", (unsigned long)id);
    }
    MessageBeep(0);
    MessageBoxW(NULL, buffer, NULL, MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
    return 0;
}
