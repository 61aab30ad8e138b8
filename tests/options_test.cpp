/* The Options dialog, worked from inside its own loop, and the Help menu's services. */
#include "support.h"
#include "../state/settings.h"
#include "../options/options_dialog.h"
#include "../engine/count_modes.h"
#include "../help/help_menu.h"
#include "../res/resource.h"
#include <colordlg.h>
#include <commctrl.h>
#include <dlgs.h>

/* The Options dialog while it runs as the innermost dialog. */
static HWND Options(void)
{
    HWND dialog = gWork && gWork->generalPage ? GetParent(gWork->generalPage) : NULL;
    return dialog == TopDialog() ? dialog : NULL;
}

/* Pastes text over what field holds, as Ctrl+V does. */
static void Paste(HWND field, const std::wstring& text)
{
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(WCHAR));
    memcpy(GlobalLock(copy), text.c_str(), (text.size() + 1) * sizeof(WCHAR)), GlobalUnlock(copy);
    OpenClipboard(field), EmptyClipboard(), SetClipboardData(CF_UNICODETEXT, copy), CloseClipboard();
    SendMessageW(field, EM_SETSEL, 0, -1), SendMessageW(field, WM_PASTE, 0, 0);
}

/* Changes every page, pastes wave as the WAVE path, then posts command (or opens a font dialog). */
static Step Change(const std::wstring& wave, UINT message, WPARAM command)
{
    return [=] {
        HWND dialog = Options();
        if (!dialog) return false;
        CheckDlgButton(gWork->generalPage, IDC_ONELINE, BST_CHECKED);
        SendDlgItemMessageW(gWork->dateBlock.page, IDC_FORMAT, CB_SETCURSEL, 2, 0);
        SetDlgItemTextW(gWork->timeBlock.page, IDC_MARGIN_X, L"-12");
        Paste(GetDlgItem(gWork->countBlock.page, IDC_WAVE_PATH), wave);
        return Post(command == IDC_FONT_BUTTON ? gWork->dateBlock.page : dialog, message, command);
    };
}

/* In the font dialog, picks the row that starts with text in the list id and leaves by way. */
static Step PickFont(int id, const WCHAR* text, UINT way)
{
    return [=] {
        HWND font = TopDialog(), list = GetDlgItem(font, id);
        if (!font || Options() || SendMessageW(list, CB_SELECTSTRING, -1, (LPARAM)text) == CB_ERR) return false;
        SendMessageW(font, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)list);
        return Post(font, WM_COMMAND, way);
    };
}

/* Cancel, Escape, the close box and OK refused for a path too long for the ANSI code page, or
   pasted longer than any path, apply nothing; OK stores all but a cancelled font or one whose
   name that code page cannot hold, a font at 96 dpi, a path of any characters, and restarts
   nothing. The font dialog opens on the face the line is drawn in, and offers no vertical one. */
TEST_F(Fresh, OptionsApplyAndStoreOnOkOnly)
{
    const Bytes options = { 0xFF, 0xFF, 0xFF, 0, 0, 0, 2 };
    const std::wstring wave = L"C:\\時報\\表𠮷☃.wav", tooLong = L"C:\\" + std::wstring(GetACP() == 1252 ? 300 : 200, L'表');
    const WCHAR snow[] = L"☃雪見明朝テスト書体見本";    /* no ANSI code page holds it: ☃, and 36 bytes in UTF-8 */
    Plant(NULL, L"Option", REG_BINARY, options);    /* a title-bar byte of 2 shows ticked */
    LoadSettings();
    HWND wnd = CreateMainWindow(SW_SHOWNORMAL);
    gState->mode = Stopped;
    lstrcpyW(gState->count.text, L"00:00:07.0");
    ClockState before = *gState;
    bool refusedFace = false;
    int refused = 0;
    const Step refuse = [&] {
        HWND box = TopDialog(), dialog = GetWindow(box, GW_OWNER);
        return box && !Options() && ++refused && EndDialog(box, IDOK) && Post(dialog, WM_COMMAND, IDCANCEL);
    };
    const std::vector<Step> ways[] = {
        { Change(wave, WM_COMMAND, IDCANCEL) }, { Change(wave, WM_KEYDOWN, VK_ESCAPE) }, { Change(wave, WM_SYSCOMMAND, SC_CLOSE) },
        { Change(tooLong, WM_COMMAND, IDOK), refuse }, { Change(L"C:\\" + std::wstring(300, L'w'), WM_COMMAND, IDOK), refuse },
    };
    for (const auto& way : ways) {
        RunModal([&] { RunOptionsDialog(wnd, OPTIONS_GENERAL); }, way);
        EXPECT_EQ(memcmp(gState, &before, sizeof(before)), 0) << "applied, way " << &way - ways;
        EXPECT_EQ(Stored(NULL, L"Option"), options) << "saved, way " << &way - ways;
        EXPECT_FALSE(KillTimer(wnd, TIMER_TICK)) << "a stopped count ticks, way " << &way - ways;
    }
    EXPECT_EQ(refused, 2) << "no word of a path too long";
    auto again = [] { return Options() && Post(gWork->dateBlock.page, WM_COMMAND, IDC_FONT_BUTTON); };
    RunModal([&] { RunOptionsDialog(wnd, OPTIONS_GENERAL); }, {
        Change(wave, WM_COMMAND, IDC_FONT_BUTTON), [] {
            WCHAR face[LF_FACESIZE] = L"";
            if (!TopDialog() || Options() || !GetDlgItemTextW(TopDialog(), cmb1, face, LF_FACESIZE)) return false;
            EXPECT_TRUE((!lstrcmpW(face, L"IPA明朝") || !lstrcmpW(face, L"IPAMincho")) && SendDlgItemMessageW(TopDialog(), cmb1, CB_FINDSTRING, -1, (LPARAM)L"@") == CB_ERR) << face;
            return true;
        },
        PickFont(cmb3, L"36", IDCANCEL), [&] {
            EXPECT_TRUE(!Options() || !memcmp(&gWork->dateBlock.logFont, &before.date.logFont, sizeof(LOGFONTW))) << "a cancelled font taken";
            return again();
        },
        /* The snow font last: a dialog offers the first face it has for one it lacks. */
        PickFont(cmb3, L"36", IDOK), [&] { return Options() && AddFontResourceExW(L"Z:" SNOW_TTF, FR_PRIVATE, 0) && again(); },
        PickFont(cmb1, snow, IDOK), [&] {
            HWND box = TopDialog();
            return (refusedFace = box && GetDlgItem(box, 0xFFFF)) && EndDialog(box, IDOK);
        }, [] {
            if (!Options()) return false;
            EXPECT_EQ(gWork->dateBlock.logFont.lfHeight, -MulDiv(36, ScreenDpi(), 72)) << "a refused face changed the font";
            return Post(Options(), WM_COMMAND, IDOK);
        },
    });
    ClockState* s = gState;
    EXPECT_TRUE(refusedFace) << "no word of a face name the code page cannot hold";
    EXPECT_TRUE(s->options.oneLine == 1 && s->date.item.format == 10 && s->time.item.marginX == -12 && s->wavePath == wave);
    EXPECT_EQ(Stored(NULL, L"Wave"), Text(wave));
    EXPECT_STREQ(s->count.text, L"00:00:07.0") << "the stopped count left the face";
    EXPECT_TRUE(IsWindow(wnd)) << "restarted";
    Bytes stored = Stored(NULL, L"Option"), font = Stored(L"Date", L"Font");
    EXPECT_TRUE(stored.size() == 32 && stored[5] == 1 && stored[6] == 1) << "one line, title bar ticked";
    EXPECT_TRUE(font.size() == 60 && *(LONG*)font.data() == -48) << "36 points are -48 pixels at 96 dpi";
    EXPECT_FALSE(wcschr(s->date.logFont.lfFaceName, L'☃')) << "a face the code page cannot hold was taken";
    RemoveFontResourceExW(L"Z:" SNOW_TTF, FR_PRIVATE, 0);
}

/* The General page at OK: each opacity row's stored byte and layer, none at 100 %; the
   start-up box as the Run value names this program, the value written quoted when the
   box is ticked and deleted when it is cleared; Cancel, an OK of Options opened on another
   page, and another program's value leave it alone. After names the value: 0 none, 1 this
   program's, 2 another's. */
TEST_F(Fresh, GeneralPageOpacityAndStartUp)
{
    static const struct { int opacity; BYTE alpha; bool other, ticked, tick; UINT way; int after; bool untouched; } rows[] = {
        { 7, 77, false, false, false, IDOK, 0 }, { 7, 77, false, false, false, IDOK, 0, true }, { 7, 77, true, false, true, IDCANCEL, 2 },
        { 6, 102, false, false, false, IDOK, 2 },
        { 5, 128, false, false, true, IDOK, 1 }, { 4, 153, false, true, true, IDOK, 1 }, { 3, 179, false, true, false, IDOK, 0 },
        { 2, 204, false, false, false, IDOK, 0 }, { 1, 230, false, false, false, IDOK, 0 }, { 0, 0, false, false, false, IDOK, 0 },
    };
    WCHAR program[MAX_PATH];
    GetModuleFileNameW(NULL, program, MAX_PATH);
    const Bytes other = Text(L"\"C:\\Other Place\\VELMOR.EXE\""), ours = Text(L"\"" + std::wstring(program) + L"\"");
    HKEY run;
    ASSERT_FALSE(RegCreateKeyExW(HKEY_CURRENT_USER, REG_RUN, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &run, NULL));
    CreateMainWindow(SW_SHOWNORMAL);
    for (const auto& r : rows) {
        SCOPED_TRACE(&r - rows);
        BYTE alpha = 0, data[1024];
        DWORD size = sizeof(data);
        if (r.other) RegSetValueExW(run, L"VELMOR", 0, REG_SZ, other.data(), (DWORD)other.size());
        Post(gMainWnd, WM_TIMER, TIMER_TICK);    /* queued as Options opens: no tick inside */
        RunModal([&] { RunOptionsDialog(gMainWnd, r.untouched ? OPTIONS_ALARMS : OPTIONS_GENERAL); }, { [&] {
            HWND page = Options() ? gWork->generalPage : NULL;
            if (!page) return false;
            EXPECT_TRUE(IsDlgButtonChecked(page, IDC_STARTUP) == (UINT)r.ticked && !KillTimer(gMainWnd, TIMER_TICK));
            if (!r.untouched) CheckDlgButton(page, IDC_STARTUP, r.tick), SendDlgItemMessageW(page, IDC_OPACITY, CB_SETCURSEL, r.opacity, 0);
            return Post(Options(), WM_COMMAND, r.way);
        } });
        GetLayeredWindowAttributes(gMainWnd, NULL, &alpha, NULL);
        EXPECT_TRUE(Stored(NULL, L"Option").at(8) == r.opacity * 10 && (GetWindowLongW(gMainWnd, GWL_EXSTYLE) & WS_EX_LAYERED ? alpha : 0) == r.alpha);
        if (RegQueryValueExW(run, L"VELMOR", NULL, NULL, data, &size)) size = 0;
        EXPECT_EQ(Of(data, size), r.after == 1 ? ours : r.after == 2 ? other : Bytes());
    }
    RegCloseKey(run);
}

/* The Measurement page: from the tab strip the keyboard goes through the page, OK and Cancel,
   and back; no field scrolls across, which at 150 % hides its text. Each format row reads what
   it gives now, then its pattern; the preview shows the format chosen on the General page's
   background, in the colour the full colour dialog gives, at once; OK stores it. Ctrl+Tab and
   Ctrl+PageDown show the next page, with Shift or PageUp the one before, round the ends, a
   control hidden with its page leaving the keyboard to the tab strip. */
TEST_F(Fresh, LinePageByKeysPreviewAndColour)
{
    static const struct { BYTE key; bool shift; int page; } changes[] = {
        { VK_NEXT, false, OPTIONS_ALARMS }, { VK_TAB, false, OPTIONS_GENERAL }, { VK_TAB, true, OPTIONS_ALARMS }, { VK_PRIOR, false, OPTIONS_COUNT },
    };
    Plant(NULL, L"Option", REG_BINARY, { 0xFF, 0xFF, 0x00, 0x00 });    /* a yellow background */
    LoadSettings();
    std::string walked;
    std::vector<COLORREF> shown[2];
    WCHAR texts[3][32] = {}, row[64] = L"", preview[64] = L"";    /* of the template, the string table and the program */
    TCITEMW tab = { TCIF_TEXT, 0, 0, texts[1], 32 };
    auto show = [&](int when) { HWND box = GetDlgItem(gWork->countBlock.page, IDC_PREVIEW); UpdateWindow(box), shown[when] = Pixels(box); };
    std::vector<Step> steps = { [&] {
        HWND page = Options() ? gWork->countBlock.page : NULL, format = GetDlgItem(page, IDC_FORMAT), at = GetFocus();
        if (!page) return false;
        for (int i = 0; i < 14; i++, at = GetNextDlgTabItem(Options(), at, FALSE))
            walked += std::to_string(GetDlgCtrlID(at)) + (GetParent(at) == Options() ? "d " : GetParent(at) == page ? "p " : "? ");
        for (int id : { IDC_MARGIN_X, IDC_MARGIN_Y, IDC_WAVE_PATH }) EXPECT_FALSE(GetWindowLongW(GetDlgItem(page, id), GWL_STYLE) & WS_HSCROLL) << id;
        GetWindowTextW(Options(), texts[0], 32), SendMessageW(gWork->tabControl, TCM_GETITEMW, 3, (LPARAM)&tab);
        SendDlgItemMessageW(gWork->generalPage, IDC_WEEKDAY, CB_GETLBTEXT, 1, (LPARAM)texts[2]);
        SendMessageW(format, CB_GETLBTEXT, 1, (LPARAM)row), SendMessageW(format, CB_SETCURSEL, 2, 0);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_FORMAT, CBN_SELCHANGE), (LPARAM)format);
        GetDlgItemTextW(page, IDC_PREVIEW, preview, 64);
        show(0);
        return Post(page, WM_COMMAND, IDC_COLOR_BUTTON);
    }, [] {
        HWND colors = TopDialog();
        if (!colors || Options()) return false;
        SetDlgItemInt(colors, COLOR_RED, 255, FALSE), SetDlgItemInt(colors, COLOR_GREEN, 0, FALSE), SetDlgItemInt(colors, COLOR_BLUE, 0, FALSE);
        return Post(colors, WM_COMMAND, IDOK);
    } };
    for (size_t i = 0; i <= std::size(changes); i++) steps.push_back([&, i] {   /* each key with its modifiers held */
        BYTE keys[256];
        if (!Options()) return false;
        if (i) EXPECT_TRUE(gWork->currentPage == changes[i - 1].page && SendMessageW(gWork->tabControl, TCM_GETCURSEL, 0, 0) == changes[i - 1].page
                           && GetFocus() == gWork->tabControl) << i;
        else show(1), SetFocus(GetDlgItem(gWork->countBlock.page, IDC_FORMAT));
        if (i == std::size(changes)) return Post(Options(), WM_COMMAND, IDOK);
        GetKeyboardState(keys), keys[VK_CONTROL] = 0x80, keys[VK_SHIFT] = changes[i].shift ? 0x80 : 0, SetKeyboardState(keys);
        return Post(GetFocus(), WM_KEYDOWN, changes[i].key);
    });
    RunModal([] { RunOptionsDialog(CreateMainWindow(SW_SHOWNORMAL), OPTIONS_COUNT); }, steps);
    auto count = [&](int when, COLORREF color) { return std::count(shown[when].begin(), shown[when].end(), color); };
    EXPECT_EQ(walked, "101d 101p 103p 110p 105p 106p 108p 111p 112p 113p 114p 1d 2d 101d ");
    EXPECT_EQ(std::wstring(texts[0]) + texts[1] + texts[2] + L"|" + row + L"|" + preview, L"オプション計測日本語|0:0:0.0  (h:m:s.x)|0時0分0秒.0");
    EXPECT_GT(count(0, RGB(255, 255, 0)) * 2, (long)shown[0].size()) << "not on the background";
    EXPECT_TRUE(count(0, RGB(0, 0, 128)) && !count(0, RGB(255, 0, 0)) && count(1, RGB(255, 0, 0)) && !count(1, RGB(0, 0, 128)));
    EXPECT_TRUE(Stored(L"Stop", L"Option").at(36) == 0xFF && gState->count.item.color == RGB(255, 0, 0));
}

/* A file no program opens: the error box names it, puts it in the system's words, and tells
   the shell's error, not one left from before. */
TEST_F(Fresh, ErrorBoxNamesTheFileAndTheShellsError)
{
    const std::wstring file = L"C:\\VELMOR.velmornone";
    WCHAR older[256] = L"", shown[1024] = L"";
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, ERROR_INVALID_HANDLE, 0, older, 256, NULL);
    RunModal([&] { SetLastError(ERROR_INVALID_HANDLE), ShellOpen(NULL, file.c_str()); },
             { [&] { return TopDialog() && GetDlgItemTextW(TopDialog(), 0xFFFF, shown, 1024) && EndDialog(TopDialog(), IDOK); } });
    EXPECT_TRUE(!wcsncmp(shown, file.c_str(), file.size()) && !wcschr(shown, L'%') && !wcsstr(shown, older)) << shown;
}
