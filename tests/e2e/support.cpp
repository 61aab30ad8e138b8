#include "support.h"
#include "../../res/resource.h"
#include <iterator>

static const char kSettingsKey[] = "Software\\ORBA\\VELMOR";
static const DWORD kPollInterval = 25;

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!cond()) {
        if (GetTickCount() - start >= timeoutMs) return cond();
        Sleep(kPollInterval);
    }
    return true;
}

std::string WinePath(const char* unixPath)
{
    std::string path = std::string("Z:") + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string ProgramPath()
{
    return WinePath(VELMOR_EXE_PATH);
}

std::string OpenerPath()
{
    return WinePath(OPENER_EXE_PATH);
}

std::string BesideProgram(const char* name)
{
    std::string path = ProgramPath();
    return path.substr(0, path.rfind('\\') + 1) + name;
}

struct WindowSearch {
    DWORD processId;    /* 0: any process */
    HWND found;
};

static BOOL CALLBACK MatchMainWindow(HWND wnd, LPARAM param)
{
    WindowSearch* search = (WindowSearch*)param;
    DWORD processId = 0;
    char className[16];

    GetWindowThreadProcessId(wnd, &processId);
    if ((search->processId && processId != search->processId) || !IsWindowVisible(wnd)) return TRUE;
    if (!GetClassNameA(wnd, className, sizeof(className)) || lstrcmpA(className, "VELMOR")) return TRUE;
    search->found = wnd;
    return FALSE;
}

static HWND WaitForMainWindow(DWORD processId)
{
    WindowSearch search = { processId, NULL };
    WaitUntil([&] { EnumWindows(MatchMainWindow, (LPARAM)&search); return search.found != NULL; });
    return search.found;
}

testing::AssertionResult Velmor::Start(const std::string& path)
{
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    if (!CreateProcessA(path.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &process_))
        return testing::AssertionFailure() << "cannot start " << path << ": error " << GetLastError();
    WaitForInputIdle(process_.hProcess, kDeadline);

    window_ = WaitForMainWindow(process_.dwProcessId);
    if (!window_) return testing::AssertionFailure() << path << " showed no visible window of class VELMOR";
    return testing::AssertionSuccess();
}

bool Velmor::Running() const
{
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::string Velmor::ImagePath() const
{
    char path[MAX_PATH * 2] = "";
    DWORD size = sizeof(path);
    if (!QueryFullProcessImageNameA(process_.hProcess, 0, path, &size)) return "";
    return path;
}

testing::AssertionResult Velmor::WaitForExit()
{
    if (WaitForSingleObject(process_.hProcess, kDeadline) != WAIT_OBJECT_0)
        return testing::AssertionFailure() << "VELMOR did not end within " << kDeadline << " ms";
    return testing::AssertionSuccess();
}

testing::AssertionResult Velmor::FollowRestart()
{
    testing::AssertionResult ended = WaitForExit();
    if (!ended) return ended;
    Release();
    /* The old copy is gone, so any window of the class now is the new copy's. */
    window_ = WaitForMainWindow(0);
    if (!window_) return testing::AssertionFailure() << "no new copy opened a window";
    GetWindowThreadProcessId(window_, &process_.dwProcessId);
    process_.hProcess = OpenProcess(PROCESS_ALL_ACCESS, FALSE, process_.dwProcessId);
    if (!process_.hProcess)
        return testing::AssertionFailure() << "cannot open the new copy: error " << GetLastError();
    return testing::AssertionSuccess();
}

void Velmor::Release()
{
    if (Running()) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, kDeadline);
    }
    if (process_.hThread) CloseHandle(process_.hThread);
    if (process_.hProcess) CloseHandle(process_.hProcess);
    process_ = PROCESS_INFORMATION();
    window_ = NULL;
}

Velmor::~Velmor()
{
    Release();
}

void Scenario::SetUp()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    ASSERT_EQ(SettingsEntryCount(), -1) << "the settings key could not be cleared";
}

static std::string KeyPath(const char* subkey)
{
    std::string path = kSettingsKey;
    if (subkey) path = path + "\\" + subkey;
    return path;
}

std::vector<BYTE> BytesOf(const void* data, size_t size)
{
    const BYTE* bytes = (const BYTE*)data;
    return std::vector<BYTE>(bytes, bytes + size);
}

bool ReadSetting(const char* name, std::vector<BYTE>* bytes, const char* subkey)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(subkey).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, name, NULL, NULL, NULL, &size);
    if (result == ERROR_SUCCESS) {
        bytes->resize(size);
        result = RegQueryValueExA(key, name, NULL, NULL, bytes->data(), &size);
        bytes->resize(size);
    }
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

void PlantSetting(const char* name, DWORD type, const std::vector<BYTE>& bytes, const char* subkey)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath(subkey).c_str(), 0, NULL, 0, KEY_ALL_ACCESS,
                              NULL, &key, NULL), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, bytes.data(), (DWORD)bytes.size()), ERROR_SUCCESS);
    RegCloseKey(key);
}

int SettingsEntryCount()
{
    HKEY key;
    DWORD subkeys = 0, values = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    RegQueryInfoKeyA(key, NULL, NULL, NULL, &subkeys, NULL, NULL, &values, NULL, NULL, NULL, NULL);
    RegCloseKey(key);
    return (int)(subkeys + values);
}

std::vector<BYTE> StoredRect(const RECT& rect)
{
    LONG fields[4] = { rect.left, rect.top, rect.right, rect.bottom };
    std::vector<BYTE> bytes;
    for (LONG field : fields)
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back((BYTE)((DWORD)field >> shift));
    return bytes;
}

RECT WindowRect(HWND wnd)
{
    RECT rect = {};
    GetWindowRect(wnd, &rect);
    return rect;
}

std::string RectText(const RECT& rect)
{
    char text[80];
    wsprintfA(text, "(%ld, %ld, %ld, %ld)", rect.left, rect.top, rect.right, rect.bottom);
    return text;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

HWND WaitForDialog(HWND owner, const char* title)
{
    HWND found = NULL;
    WaitUntil([&] {
        for (HWND wnd = NULL; (wnd = FindWindowExA(NULL, wnd, "#32770", title)) != NULL;)
            if (GetWindow(wnd, GW_OWNER) == owner && IsWindowVisible(wnd)) found = wnd;
        return found != NULL;
    });
    return found;
}

bool Answers(HWND wnd)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(wnd, WM_NULL, 0, 0, SMTO_NORMAL, kDeadline, &result) != 0;
}

std::string ControlText(HWND dialog, int id)
{
    char text[256] = "";
    SendMessageA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof(text), (LPARAM)text);
    return text;
}

void SetControlText(HWND dialog, int id, const char* text)
{
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, (LPARAM)text);
}

bool PopupMenuOpen(HWND wnd)
{
    DWORD owner = 0, processId = 0;
    GetWindowThreadProcessId(wnd, &owner);
    for (HWND menu = NULL; (menu = FindWindowExA(NULL, menu, "#32768", NULL)) != NULL;) {
        GetWindowThreadProcessId(menu, &processId);
        if (processId == owner && IsWindowVisible(menu)) return true;
    }
    return false;
}

static testing::AssertionResult BringToFront(HWND wnd)
{
    /* Only when needed: a window made foreground again may close its open menu. */
    if (!WaitUntil([&] { return GetForegroundWindow() == wnd || (SetForegroundWindow(wnd), false); }))
        return testing::AssertionFailure() << "the window would not come to the front";
    return testing::AssertionSuccess();
}

static INPUT KeyInput(WORD key, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = (WORD)MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    input.ki.dwFlags = flags;
    return input;
}

testing::AssertionResult PressKey(HWND wnd, WORD key, std::initializer_list<WORD> modifiers)
{
    testing::AssertionResult front = BringToFront(wnd);
    if (!front) return front;
    std::vector<INPUT> inputs;
    for (WORD modifier : modifiers) inputs.push_back(KeyInput(modifier, 0));
    inputs.push_back(KeyInput(key, 0));
    inputs.push_back(KeyInput(key, KEYEVENTF_KEYUP));
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it)
        inputs.push_back(KeyInput(*it, KEYEVENTF_KEYUP));
    UINT sent = SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size())
        return testing::AssertionFailure() << "SendInput sent " << sent << " of " << inputs.size();
    return testing::AssertionSuccess();
}

static GUITHREADINFO ThreadInfo(HWND wnd)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(wnd, NULL), &info);
    return info;
}

static HWND CaptureOf(HWND wnd)
{
    return ThreadInfo(wnd).hwndCapture;
}

HWND FocusOf(HWND wnd)
{
    return ThreadInfo(wnd).hwndFocus;
}

static LPARAM ClientPoint(POINT pt)
{
    return MAKELPARAM(pt.x, pt.y);
}

/* Real mouse input cannot drag here: Wine cannot warp the X pointer on this X server,
   so after an injected move the X pointer's own, unmoved position comes back as one
   more mouse move, which a captured window takes as part of the drag. The messages of
   a real drag are posted instead, each move in the client coordinates of the window
   where it stands at that moment, as the system reports a captured mouse (negative
   left of or above the window). */
testing::AssertionResult DragMouse(HWND wnd, POINT grab, std::initializer_list<POINT> moves)
{
    testing::AssertionResult front = BringToFront(wnd);
    if (!front) return front;
    POINT start = grab;
    ClientToScreen(wnd, &start);

    PostMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(grab));
    if (!WaitUntil([&] { return CaptureOf(wnd) == wnd; }))
        return testing::AssertionFailure() << "the button-down did not capture the mouse";
    for (POINT move : moves) {
        POINT cursor = { start.x + move.x, start.y + move.y }, client = cursor;
        ScreenToClient(wnd, &client);
        PostMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(client));
        if (!WaitUntil([&] {
                POINT held = grab;
                ClientToScreen(wnd, &held);
                return held.x == cursor.x && held.y == cursor.y;
            }))
            return testing::AssertionFailure() << "the window did not follow the cursor by ("
                                               << move.x << ", " << move.y << ") but is at "
                                               << RectText(WindowRect(wnd));
    }
    PostMessageA(wnd, WM_LBUTTONUP, 0, ClientPoint(grab));
    if (!WaitUntil([&] { return CaptureOf(wnd) != wnd; }))
        return testing::AssertionFailure() << "the button-up did not release the capture";
    return testing::AssertionSuccess();
}

HWND OpenCountdownDialog(HWND main)
{
    if (!PressKey(main, VK_RETURN, { VK_SHIFT })) return NULL;
    return WaitForDialog(main, "カウントダウン");
}

const char* DismissalName(Dismissal way)
{
    switch (way) {
    case Dismissal::Ok:     return "OK";
    case Dismissal::Cancel: return "Cancel";
    case Dismissal::Escape: return "Escape";
    default:                return "the close box";
    }
}

testing::AssertionResult Dismiss(HWND dialog, Dismissal way)
{
    switch (way) {
    case Dismissal::Ok:
    case Dismissal::Cancel:
        /* Posted: a button may open a box of its own, which would hold a sent message. */
        PostMessageA(GetDlgItem(dialog, way == Dismissal::Ok ? IDOK : IDCANCEL), BM_CLICK, 0, 0);
        break;
    case Dismissal::Escape: {
        testing::AssertionResult pressed = PressKey(dialog, VK_ESCAPE);
        if (!pressed) return pressed;
        break;
    }
    case Dismissal::CloseBox:
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
    if (!WaitUntil([&] { return !IsWindow(dialog); }))
        return testing::AssertionFailure() << DismissalName(way) << " left the dialog open";
    return testing::AssertionSuccess();
}

testing::AssertionResult StartCountdown(HWND main, const char* seconds)
{
    HWND dialog = OpenCountdownDialog(main);
    if (!dialog) return testing::AssertionFailure() << "Shift+Enter opened no countdown dialog";
    SetControlText(dialog, IDC_CD_SECONDS, seconds);
    return Dismiss(dialog, Dismissal::Ok);
}

testing::AssertionResult ChooseMenuItem(HWND wnd, WORD popup, WORD item)
{
    testing::AssertionResult pressed = PressKey(wnd, popup, { VK_MENU });
    if (!pressed) return pressed;
    if (!WaitUntil([&] { return PopupMenuOpen(wnd); }))
        return testing::AssertionFailure() << "Alt+" << (char)popup << " opened no menu";
    return PressKey(wnd, item);
}

Folder::Folder(const std::string& path) : path_(path)
{
    CreateDirectoryA(path_.c_str(), NULL);
}

Folder::~Folder()
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(File("*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA(File(entry.cFileName).c_str());
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
}

testing::AssertionResult Folder::CopyIn(const std::string& source, const char* name)
{
    if (!CopyFileA(source.c_str(), File(name).c_str(), FALSE))
        return testing::AssertionFailure() << "cannot copy " << source << " to " << File(name)
                                           << ": error " << GetLastError();
    return testing::AssertionSuccess();
}
