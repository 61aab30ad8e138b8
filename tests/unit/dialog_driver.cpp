#include "dialog_driver.h"
#include <gtest/gtest.h>

namespace dialogdrive {

namespace {
const UINT  TICK_MS = 15;
/* Far beyond what any step needs; reached only when something never happens. */
const DWORD STEP_DEADLINE_MS = 20000;

bool IsDialogClass(HWND wnd)
{
    char name[16];
    return GetClassNameA(wnd, name, sizeof(name)) && lstrcmpA(name, "#32770") == 0;
}

struct DialogSearch {
    const std::function<bool(HWND)>* match;
    HWND found;
};

BOOL CALLBACK OfferDialog(HWND wnd, LPARAM param)
{
    DialogSearch* search = (DialogSearch*)param;
    if (IsWindowVisible(wnd) && IsDialogClass(wnd) && (*search->match)(wnd)) {
        search->found = wnd;
        return FALSE;
    }
    return TRUE;
}

/* Only the innermost modal dialog is enabled; cancelling it lets the next one end. */
void CancelInnermostDialog(void)
{
    HWND top = FindThreadDialog([](HWND wnd) { return IsWindowEnabled(wnd) != FALSE; });
    if (top) PostMessageA(top, WM_COMMAND, IDCANCEL, 0);
}
}

DialogScript* DialogScript::running;

DialogScript& DialogScript::Wait(const std::string& what, std::function<bool()> ready)
{
    steps.push_back(Step{ what, std::move(ready) });
    return *this;
}

DialogScript& DialogScript::Do(const std::string& what, std::function<void()> action)
{
    steps.push_back(Step{ what, [action]() { action(); return true; } });
    return *this;
}

std::string DialogScript::Awaited(void) const
{
    return next < steps.size() ? steps[next].what : "the dialog to close after the last step";
}

INT_PTR DialogScript::Run(const std::function<INT_PTR()>& body)
{
    running = this;
    next = 0;
    abandoned = false;
    stepStart = GetTickCount();
    UINT_PTR timer = SetTimer(NULL, 0, TICK_MS, Tick);
    INT_PTR result = body();
    KillTimer(NULL, timer);
    running = nullptr;
    if (!abandoned && next < steps.size())
        ADD_FAILURE() << "the dialog closed before: " << steps[next].what;
    return result;
}

void CALLBACK DialogScript::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (running) running->OnTick();
}

void DialogScript::OnTick(void)
{
    if (!abandoned && GetTickCount() - stepStart > STEP_DEADLINE_MS) {
        ADD_FAILURE() << "gave up waiting for: " << Awaited();
        abandoned = true;
    }
    if (abandoned) {
        CancelInnermostDialog();
        return;
    }
    if (busy || next >= steps.size()) return;
    busy = true;
    bool done = steps[next].run();
    busy = false;
    if (done) {
        next++;
        stepStart = GetTickCount();
    }
}

HWND FindThreadDialog(const std::function<bool(HWND)>& match)
{
    DialogSearch search = { &match, NULL };
    EnumThreadWindows(GetCurrentThreadId(), OfferDialog, (LPARAM)&search);
    return search.found;
}

HWND FindDialogOwnedBy(const std::vector<HWND>& owners)
{
    return FindThreadDialog([&owners](HWND wnd) {
        HWND owner = GetWindow(wnd, GW_OWNER);
        for (HWND candidate : owners)
            if (candidate && owner == candidate) return true;
        return false;
    });
}

void ChooseRow(HWND dlg, int combo, int row)
{
    HWND list = GetDlgItem(dlg, combo);
    SendMessageA(list, CB_SETCURSEL, row, 0);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE), (LPARAM)list);
}

bool ChooseRowByData(HWND dlg, int combo, LRESULT data)
{
    LRESULT count = SendDlgItemMessageA(dlg, combo, CB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; row++) {
        if (SendDlgItemMessageA(dlg, combo, CB_GETITEMDATA, row, 0) == data) {
            ChooseRow(dlg, combo, (int)row);
            return true;
        }
    }
    return false;
}

bool ChooseRowByText(HWND dlg, int combo, const char* text)
{
    LRESULT row = SendDlgItemMessageA(dlg, combo, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)text);
    if (row == CB_ERR) return false;
    ChooseRow(dlg, combo, (int)row);
    return true;
}

LRESULT Selection(HWND dlg, int combo)
{
    return SendDlgItemMessageA(dlg, combo, CB_GETCURSEL, 0, 0);
}

void Click(HWND dlg, int id)
{
    SendMessageA(GetDlgItem(dlg, id), BM_CLICK, 0, 0);
}

void PostClick(HWND dlg, int id)
{
    PostMessageA(GetDlgItem(dlg, id), BM_CLICK, 0, 0);
}

void Type(HWND dlg, int id, const char* text)
{
    HWND edit = GetDlgItem(dlg, id);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_CLEAR, 0, 0);
    for (const char* c = text; *c; c++) SendMessageA(edit, WM_CHAR, (BYTE)*c, 1);
}

void SetText(HWND wnd, const char* text)
{
    SendMessageA(wnd, WM_SETTEXT, 0, (LPARAM)text);
}

std::string TextOf(HWND wnd)
{
    char text[1024] = "";
    SendMessageA(wnd, WM_GETTEXT, sizeof(text), (LPARAM)text);
    return text;
}

COLORREF CentrePixel(HWND control)
{
    RECT client;
    UpdateWindow(control);
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    COLORREF pixel = GetPixel(dc, client.right / 2, client.bottom / 2);
    ReleaseDC(control, dc);
    return pixel;
}

}
