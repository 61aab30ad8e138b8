#include "options_fixture.h"
#include "../../state/settings.h"
#include "../../engine/count_modes.h"
#include <commctrl.h>

/* A restart the dialog should not have made starts this test program again; that
   copy ends at once instead of running the tests, and perhaps restarting, once more. */
static const char RESTART_GUARD[] = "VELMOR_UNIT_NO_RESTART";
static const bool restartedCopy = GetEnvironmentVariableA(RESTART_GUARD, NULL, 0) && (ExitProcess(0), true);

namespace optionstest {

namespace {
const char* const PROGRAM_KEY = REG_MAKER "\\" REG_PRODUCT;

std::string KeyPath(const char* line)
{
    std::string path = PROGRAM_KEY;
    if (line) path = path + "\\" + line;
    return path;
}

void WriteValue(const char* line, const char* name, const void* data, DWORD size)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath(line).c_str(), 0, NULL, 0, KEY_ALL_ACCESS,
                              NULL, &key, NULL), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, REG_BINARY, (const BYTE*)data, size), ERROR_SUCCESS);
    RegCloseKey(key);
}

void AddValuesOf(const char* line, std::map<std::string, Bytes>* all)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(line).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    char name[256];
    BYTE data[1024];
    for (DWORD i = 0;; i++) {
        DWORD nameSize = sizeof(name), dataSize = sizeof(data), type;
        if (RegEnumValueA(key, i, name, &nameSize, NULL, &type, data, &dataSize) != ERROR_SUCCESS) break;
        (*all)[std::string(line ? line : "") + "\\" + name] = Bytes(data, data + dataSize);
    }
    RegCloseKey(key);
}
}

void OptionsDialogTest::SetUp()
{
    ResetState();
    DeleteSettingsKey();
    SetEnvironmentVariableA(RESTART_GUARD, "1");
    script.Wait("the Options dialog and its pages", [this] { return FindOptionsDialog(); });
}

void OptionsDialogTest::TearDown()
{
    if (gMainWnd && IsWindow(gMainWnd)) DestroyWindow(gMainWnd);
    gMainWnd = NULL;
    ResetState();
    DeleteSettingsKey();
    SetEnvironmentVariableA(RESTART_GUARD, NULL);
}

void OptionsDialogTest::PlantOptions(const ClockOptions& options)
{
    WriteValue(NULL, "Option", &options, sizeof(options));
}

void OptionsDialogTest::PlantLine(const char* name, const FaceItem& item, LONG fontHeight)
{
    LOGFONTA lf;
    DefaultLogFont(&lf);
    lf.lfHeight = fontHeight;
    WriteValue(name, "Option", &item, sizeof(item));
    WriteValue(name, "Font", &lf, sizeof(lf));
}

void OptionsDialogTest::Start(void)
{
    LoadSettings();
    gMainWnd = CreateTestWindow();
    ASSERT_NE(gMainWnd, (HWND)NULL);
    SetTimer(gMainWnd, TIMER_TICK, TICK_PERIOD, NULL);
}

/* The dialog counts as up once its four pages exist; they are its children of the
   dialog class, in the order they were made. */
bool OptionsDialogTest::FindOptionsDialog(void)
{
    dlg = FindThreadDialog([](HWND wnd) { return ShownText(wnd) == Utf8("オプション"); });
    if (!dlg) return false;
    tab = GetDlgItem(dlg, 101);
    int found = 0;
    for (HWND child = GetWindow(dlg, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16];
        GetClassNameA(child, name, sizeof(name));
        if (lstrcmpA(name, "#32770") == 0 && found < 4) pages[found++] = child;
    }
    return found == 4;
}

int OptionsDialogTest::RunOptions(void)
{
    return (int)script.Run([] { return (INT_PTR)RunOptionsDialog(gMainWnd); });
}

void OptionsDialogTest::SelectTab(int index)
{
    NMHDR hdr = { tab, 101, (UINT)TCN_SELCHANGE };
    SendMessageA(tab, TCM_SETCURSEL, index, 0);
    SendMessageA(dlg, WM_NOTIFY, 101, (LPARAM)&hdr);
}

void OptionsDialogTest::ExpectOnlyVisiblePage(int index)
{
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(IsWindowVisible(pages[i]) != FALSE, i == index) << "page " << i << " with tab " << index;
}

void OptionsDialogTest::AnswerPicker(int page, int button, const std::string& what,
                                     std::function<void(HWND)> answer)
{
    script.Do("press the button of the " + what, [this, page, button] { PostClick(pages[page], button); });
    script.Wait("the " + what, [this] {
        picker = FindDialogOwnedBy({ dlg, pages[0], pages[1], pages[2], pages[3] });
        return picker != NULL;
    });
    script.Do("answer the " + what, [this, answer] { answer(picker); });
    script.Wait("the " + what + " to close", [this] { return !IsWindow(picker); });
}

bool OptionsDialogTest::TickArrives(void)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, gMainWnd, WM_TIMER, WM_TIMER, PM_REMOVE))
            if (msg.wParam == TIMER_TICK) return true;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 50, QS_TIMER);
    } while (GetTickCount() - start < 5000);
    return false;
}

std::array<HFONT, 3> OptionsDialogTest::Fonts(void)
{
    return { gState->date.font, gState->time.font, gState->count.font };
}

void OptionsDialogTest::ExpectFontsReplaced(const std::array<HFONT, 3>& before)
{
    std::array<HFONT, 3> after = Fonts();
    for (int i = 0; i < 3; i++) {
        EXPECT_NE(after[i], before[i]) << "line " << i << " kept its font";
        EXPECT_EQ(GetObjectType(before[i]), 0u) << "line " << i << ": the old font was not deleted";
        EXPECT_EQ(GetObjectType(after[i]), (DWORD)OBJ_FONT) << "line " << i << " has no new font";
    }
}

void OptionsDialogTest::TakeSnapshot(void)
{
    stateBefore.assign((const BYTE*)gState, (const BYTE*)gState + sizeof(ClockState));
    storedBefore = StoredAll();
}

void OptionsDialogTest::ExpectNothingChanged(void)
{
    EXPECT_EQ(memcmp(stateBefore.data(), gState, sizeof(ClockState)), 0) << "the clock state changed";
    EXPECT_EQ(StoredAll(), storedBefore) << "the stored settings changed";
}

std::string ShownText(HWND wnd)
{
    return Utf8(TextOf(wnd).c_str());
}

std::string ControlText(HWND dlg, int id)
{
    return ShownText(GetDlgItem(dlg, id));
}

Bytes Stored(const char* line, const char* value)
{
    HKEY key;
    Bytes data;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(line).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return data;
    DWORD size = 0;
    if (RegQueryValueExA(key, value, NULL, NULL, NULL, &size) == ERROR_SUCCESS) {
        data.resize(size);
        if (size && RegQueryValueExA(key, value, NULL, NULL, data.data(), &size) != ERROR_SUCCESS) data.clear();
    }
    RegCloseKey(key);
    return data;
}

std::map<std::string, Bytes> StoredAll(void)
{
    std::map<std::string, Bytes> all;
    AddValuesOf(NULL, &all);
    for (const char* line : { "Date", "Time", "Stop" }) AddValuesOf(line, &all);
    return all;
}

std::string Hex(const void* data, size_t count)
{
    std::string text;
    char byte[4];
    for (size_t i = 0; i < count; i++) {
        wsprintfA(byte, i ? " %02X" : "%02X", ((const BYTE*)data)[i]);
        text += byte;
    }
    return text;
}

std::string Hex(const Bytes& bytes, size_t from, size_t count)
{
    if (from + count > bytes.size()) return "<only " + std::to_string(bytes.size()) + " bytes>";
    return Hex(bytes.data() + from, count);
}

bool AllZero(const Bytes& bytes, size_t from, size_t count)
{
    if (from + count > bytes.size()) return false;
    for (size_t i = from; i < from + count; i++)
        if (bytes[i]) return false;
    return true;
}

}
