#include "options.h"
#include "face.h"
#include "../../res/resource.h"
#include <commctrl.h>
#include <stddef.h>

HWND OpenOptionsDialog(HWND main)
{
    if (!PressKey(main, 'O', { VK_CONTROL })) return NULL;
    return WaitForDialog(main, "オプション");
}

/* The General page's control 101 is its background swatch, a static; the face pages
   have their font label there and differ in how many formats they offer. */
static int PageIndex(HWND page)
{
    char className[16] = "";
    GetClassNameA(GetDlgItem(page, IDC_FONT_LABEL), className, sizeof(className));
    if (!lstrcmpiA(className, "Static")) return GeneralPage;
    switch (SendDlgItemMessageA(page, IDC_FORMAT, CB_GETCOUNT, 0, 0)) {
    case 4:  return DatePage;
    case 6:  return TimePage;
    case 3:  return CountPage;
    default: return -1;
    }
}

std::vector<HWND> OptionsPages(HWND dialog)
{
    std::vector<HWND> pages(PageCount);
    for (HWND child = NULL; (child = FindWindowExA(dialog, child, "#32770", NULL)) != NULL;) {
        int index = PageIndex(child);
        if (index >= 0) pages[index] = child;
    }
    return pages;
}

int ShownPage(const std::vector<HWND>& pages)
{
    int shown = -1;
    for (int i = 0; i < (int)pages.size(); i++) {
        if (!IsWindowVisible(pages[i])) continue;
        if (shown != -1) return -2;
        shown = i;
    }
    return shown;
}

/* The tab control writes the caption only where its own process can: the item and its
   text buffer are placed in that process's memory and read back from there. */
std::string TabText(HWND dialog, int index)
{
    struct Request {
        TCITEMA item;
        char text[64];
    };
    HWND tab = GetDlgItem(dialog, IDC_TAB);
    DWORD processId = 0;
    GetWindowThreadProcessId(tab, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return "";
    BYTE* remote = (BYTE*)VirtualAllocEx(process, NULL, sizeof(Request), MEM_COMMIT, PAGE_READWRITE);

    Request request = {};
    request.item.mask = TCIF_TEXT;
    request.item.pszText = (char*)remote + offsetof(Request, text);
    request.item.cchTextMax = sizeof(request.text);
    std::string text;
    if (remote && WriteProcessMemory(process, remote, &request, sizeof(request), NULL)
        && SendMessageA(tab, TCM_GETITEMA, index, (LPARAM)remote)
        && ReadProcessMemory(process, remote, &request, sizeof(request), NULL))
        text.assign(request.text, strnlen(request.text, sizeof(request.text)));
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return text;
}

testing::AssertionResult SelectTab(HWND dialog, int index)
{
    HWND tab = GetDlgItem(dialog, IDC_TAB);
    PostMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)tab, TRUE);
    if (!WaitUntil([&] { return FocusOf(dialog) == tab; }))
        return testing::AssertionFailure() << "the tab control did not take the focus";
    for (int current; (current = (int)SendMessageA(tab, TCM_GETCURSEL, 0, 0)) != index;) {
        testing::AssertionResult pressed = PressKey(dialog, current < index ? VK_RIGHT : VK_LEFT);
        if (!pressed) return pressed;
        if (!WaitUntil([&] { return SendMessageA(tab, TCM_GETCURSEL, 0, 0) != current; }))
            return testing::AssertionFailure() << "an arrow key left tab " << current << " selected";
    }
    return testing::AssertionSuccess();
}

void ChooseRow(HWND dialog, int combo, int row)
{
    HWND list = GetDlgItem(dialog, combo);
    SendMessageA(list, CB_SETCURSEL, row, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE), (LPARAM)list);
}

int RowWithData(HWND dialog, int combo, LRESULT data)
{
    int rows = (int)SendDlgItemMessageA(dialog, combo, CB_GETCOUNT, 0, 0);
    for (int row = 0; row < rows; row++)
        if (SendDlgItemMessageA(dialog, combo, CB_GETITEMDATA, row, 0) == data) return row;
    return -1;
}

void Click(HWND dialog, int button)
{
    SendMessageA(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
}

HWND OpenPicker(HWND options, HWND page, int button)
{
    /* Posted: the click runs the picker's modal loop and would hold a sent message. */
    PostMessageA(GetDlgItem(page, button), BM_CLICK, 0, 0);
    return WaitForDialog(options, NULL);
}

void SetPickerColor(HWND picker, COLORREF color)
{
    /* The red, green and blue fields; each takes its value as it changes. */
    const int fields[3] = { 706, 707, 708 };
    const BYTE values[3] = { GetRValue(color), GetGValue(color), GetBValue(color) };
    for (int i = 0; i < 3; i++) {
        char text[8];
        wsprintfA(text, "%u", values[i]);
        SetControlText(picker, fields[i], text);
    }
}

/* Read from the dialog's own client area: Wine reads nothing through the DC of another
   process's child window. */
COLORREF SwatchColor(HWND page, int id)
{
    HWND swatch = GetDlgItem(page, id), dialog = GetAncestor(page, GA_ROOT);
    RECT rect;
    GetClientRect(swatch, &rect);
    MapWindowPoints(swatch, dialog, (POINT*)&rect, 2);
    Face face = CaptureFace(dialog);
    POINT middle = { (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2 };
    if (middle.x < 0 || middle.y < 0 || middle.x >= face.width || middle.y >= face.height) return CLR_INVALID;
    return face.At(middle.x, middle.y);
}

testing::AssertionResult WaitForOptionsClosed(HWND dialog, HWND main)
{
    if (!WaitUntil([&] { return !IsWindow(dialog); }))
        return testing::AssertionFailure() << "the Options dialog stayed";
    /* Destroyed on its way out of the modal loop: what follows on that thread is the
       apply, which ends before the next message is taken. */
    Answers(main);
    return testing::AssertionSuccess();
}
