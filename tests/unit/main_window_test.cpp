#include <gtest/gtest.h>
#include <algorithm>
#include <climits>
#include <vector>
#include "test_support.h"
#include "window_support.h"
#include "../../app/main_window.h"
#include <tlhelp32.h>

namespace {

std::string Text(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

TEST(FitRectToWorkArea, MovesInsideAndKeepsTheSize)
{
    const struct { const char* what; RECT work, rect, fitted; } cases[] = {
        { "off to the right", { 0, 0, 1280, 994 }, { 2000, 100, 2300, 300 }, { 980, 100, 1280, 300 } },
        { "off to the left", { 0, 0, 1280, 994 }, { -900, 100, -600, 300 }, { 0, 100, 300, 300 } },
        { "above", { 0, 0, 1280, 994 }, { 100, -700, 400, -500 }, { 100, 0, 400, 200 } },
        { "below", { 0, 0, 1280, 994 }, { 100, 1500, 400, 1700 }, { 100, 794, 400, 994 } },
        { "off both ways", { 0, 0, 1280, 994 }, { 5000, 5000, 5300, 5200 }, { 980, 794, 1280, 994 } },
        { "larger than the work area: its top-left corner", { 0, 0, 1280, 994 },
          { 3000, 3000, 4500, 4200 }, { 0, 0, 1500, 1200 } },
        { "a work area away from the origin", { 100, 50, 900, 650 },
          { -500, -500, -200, -300 }, { 100, 50, 400, 250 } },
        { "already inside", { 100, 50, 900, 650 }, { 200, 60, 500, 260 }, { 200, 60, 500, 260 } },
    };
    for (const auto& c : cases) {
        RECT rect = c.rect;
        FitRectToWorkArea(&rect, &c.work);
        EXPECT_EQ(Text(rect), Text(c.fitted)) << c.what;
    }
}

/* The real main window opened from a stored rectangle, in either frame. */
class MainWindowPlacement : public testing::Test {
protected:
    void SetUp() override { ResetState(); }
    void TearDown() override { CloseMainWindow(); }

    static RECT Opened(const RECT& stored, BYTE noTitleBar)
    {
        gState->options.noTitleBar = noTitleBar;
        gState->windowRect = stored;
        RECT rc = {};
        HWND wnd = OpenMainWindow();
        EXPECT_TRUE(wnd != NULL);
        GetWindowRect(wnd, &rc);
        CloseMainWindow();
        return rc;
    }
    static RECT Work()
    {
        MONITORINFO mi;
        mi.cbSize = sizeof(mi);
        GetMonitorInfoA(MonitorFromPoint(POINT{ 0, 0 }, MONITOR_DEFAULTTOPRIMARY), &mi);
        return mi.rcWork;
    }
};

TEST_F(MainWindowPlacement, OffScreenRectangleComesBackWithItsSize)
{
    const RECT work = Work();
    for (BYTE noTitleBar : { 0, 1 }) {
        SCOPED_TRACE(noTitleBar ? "title-less" : "with a title bar");
        EXPECT_EQ(Text(Opened({ 5000, 5000, 5300, 5200 }, noTitleBar)),
                  Text({ work.right - 300, work.bottom - 200, work.right, work.bottom }));
        EXPECT_EQ(Text(Opened({ -4000, -3000, -3700, -2800 }, noTitleBar)),
                  Text({ work.left, work.top, work.left + 300, work.top + 200 }));
    }
}

TEST_F(MainWindowPlacement, PartlyVisibleRectangleIsUsedAsStored)
{
    for (const RECT& stored : { RECT{ -100, -50, 230, 150 }, RECT{ 1200, 900, 1530, 1100 } })
        for (BYTE noTitleBar : { 0, 1 })
            EXPECT_EQ(Text(Opened(stored, noTitleBar)), Text(stored)) << "title-less " << (int)noTitleBar;
}

TEST_F(MainWindowPlacement, SenselessSizesOpenAtTheDefaultSize)
{
    const RECT cases[] = {
        { 0, 0, 0, 0 },                 /* nothing stored */
        { 100, 100, 50, 300 },
        { 100, 100, 400, 100 },
        { 0, 0, 40000, 200 },
        { 0, 0, 300, SHRT_MAX + 1 },
        /* 300 wide if the width were taken in 32 bits */
        { LONG_MAX, 0, (LONG)((ULONG)LONG_MAX + 300), 200 },
    };
    for (const RECT& stored : cases) {
        RECT rc = Opened(stored, 0);
        EXPECT_EQ(rc.right - rc.left, DEFAULT_WIDTH) << Text(stored);
        EXPECT_EQ(rc.bottom - rc.top, DEFAULT_HEIGHT) << Text(stored);
    }
}

std::wstring Wide(const std::string& cp932)
{
    std::wstring wide(cp932.size() + 1, L'\0');
    int length = MultiByteToWideChar(932, 0, cp932.c_str(), -1, &wide[0], (int)wide.size());
    wide.resize(length > 0 ? length - 1 : 0);
    return wide;
}

/* The form that lifts the MAX_PATH limit of the file functions. */
std::wstring Extended(const std::string& path)
{
    return L"\\\\?\\" + Wide(path);
}

std::string Repeat(const std::string& text, int times)
{
    std::string out;
    while (times-- > 0) out += text;
    return out;
}

/* RestartProgram run as if the probe program were this one: the probe is loaded
   as a module and gInstance names it while the restart runs. What the probe
   reports tells which file was started and how. */
class Restart : public testing::Test {
protected:
    void SetUp() override
    {
        savedInstance_ = gInstance;
        hold_ = CreateEventA(NULL, TRUE, FALSE, "VelmorProbeHold");
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        report_ = std::string(temp) + "velmor_probe_report.txt";
        DeleteFileA(report_.c_str());
        SetEnvironmentVariableA("VELMOR_PROBE_OUT", report_.c_str());
    }
    void TearDown() override
    {
        gInstance = savedInstance_;
        SetEvent(hold_);
        for (HANDLE process : children_) {
            EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0) << "a probe did not end";
            CloseHandle(process);
        }
        for (const std::wstring& file : files_) DeleteFileW(file.c_str());
        for (auto dir = folders_.rbegin(); dir != folders_.rend(); ++dir) RemoveDirectoryW(dir->c_str());
        DeleteFileA(report_.c_str());
        SetEnvironmentVariableA("VELMOR_PROBE_OUT", NULL);
        CloseHandle(hold_);
    }

    /* Copies the probe to path, making the folders that are missing. */
    void PlaceProbe(const std::string& path)
    {
        std::wstring target = Extended(path);
        /* Past "\\?\C:\": every further separator ends a folder. */
        for (size_t at = target.find(L'\\', 7); at != std::wstring::npos; at = target.find(L'\\', at + 1)) {
            std::wstring folder = target.substr(0, at);
            if (CreateDirectoryW(folder.c_str(), NULL)) folders_.push_back(folder);
        }
        wchar_t probe[MAX_PATH];
        GetModuleFileNameW(NULL, probe, MAX_PATH);
        lstrcpyW(wcsrchr(probe, L'\\') + 1, L"velmor_probe.exe");
        ASSERT_TRUE(CopyFileW(probe, target.c_str(), FALSE)) << "error " << GetLastError();
        files_.push_back(target);
    }
    static HMODULE LoadProgram(const std::string& path)
    {
        return LoadLibraryExW(Extended(path).c_str(), NULL, DONT_RESOLVE_DLL_REFERENCES);
    }
    /* Restarts "the program at path"; returns how many processes it started. */
    size_t RestartFrom(const std::string& path)
    {
        HMODULE module = LoadProgram(path);
        EXPECT_TRUE(module != NULL) << "error " << GetLastError();
        HWND wnd = CreateTestWindow();
        gInstance = module;
        RestartProgram(wnd);
        gInstance = savedInstance_;
        EXPECT_FALSE(IsWindow(wnd)) << "the window was not closed";
        FreeLibrary(module);
        return TakeChildren();
    }
    /* Keeps a handle on each child process not seen before; returns their number.
       The probes wait on the hold event, so none has ended yet. A process older
       than this one only has a parent whose id this process reuses. */
    size_t TakeChildren()
    {
        FILETIME born, unused[3];
        GetProcessTimes(GetCurrentProcess(), &born, &unused[0], &unused[1], &unused[2]);
        size_t found = 0;
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32 entry;
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
            if (entry.th32ParentProcessID != GetCurrentProcessId()) continue;
            if (std::find(childIds_.begin(), childIds_.end(), entry.th32ProcessID) != childIds_.end()) continue;
            HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
            FILETIME created;
            if (!process || !GetProcessTimes(process, &created, &unused[0], &unused[1], &unused[2]) ||
                CompareFileTime(&created, &born) < 0) {
                if (process) CloseHandle(process);
                continue;
            }
            childIds_.push_back(entry.th32ProcessID);
            children_.push_back(process);
            found++;
        }
        CloseHandle(snapshot);
        return found;
    }
    /* Waits for the probe's report: the file it runs from and its command line. */
    bool Report(std::string* module, std::string* commandLine)
    {
        if (!PumpUntil([&] { return GetFileAttributesA(report_.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000))
            return false;
        char text[4096] = "";
        DWORD length = 0;
        HANDLE file = CreateFileA(report_.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        ReadFile(file, text, sizeof(text) - 1, &length, NULL);
        CloseHandle(file);
        std::string all(text, length);
        size_t newline = all.find('\n');
        *module = all.substr(0, newline);
        *commandLine = newline == std::string::npos ? "" : all.substr(newline + 1);
        return true;
    }

    HINSTANCE savedInstance_;
    HANDLE hold_;
    std::string report_;
    std::vector<std::wstring> files_, folders_;
    std::vector<DWORD> childIds_;
    std::vector<HANDLE> children_;
};

TEST_F(Restart, StartsTheRunningProgramWhateverItsFolderHolds)
{
    const std::string program = "C:\\velmor test 表\\VELMOR.EXE";
    /* What a bare, unquoted command line would start instead. */
    PlaceProbe("C:\\velmor.exe");
    PlaceProbe(program);

    EXPECT_EQ(RestartFrom(program), 1u);

    std::string module, commandLine;
    ASSERT_TRUE(Report(&module, &commandLine)) << "nothing was started";
    EXPECT_EQ(Utf8(module.c_str()), Utf8(program.c_str()));
    EXPECT_EQ(Utf8(commandLine.c_str()), Utf8(("\"" + program + "\"").c_str()));
}

TEST_F(Restart, PathOfMoreThanMaxPathBytes)
{
    /* 168 characters, but 309 bytes in code page 932. */
    const std::string program = "C:\\velmor test 表\\" + Repeat("表", 140) + "\\VELMOR.EXE";
    ASSERT_EQ(program.size(), 309u);
    PlaceProbe(program);

    EXPECT_EQ(RestartFrom(program), 1u);

    std::string module, commandLine;
    ASSERT_TRUE(Report(&module, &commandLine)) << "nothing was started";
    EXPECT_EQ(Utf8(module.c_str()), Utf8(program.c_str()));
}

TEST_F(Restart, PathThatFillsTheBufferStartsNothing)
{
    /* 402 characters, possible only as a long path. Its first 519 bytes end in
       "\VELMOR", where a copy waits too: a path cut short would start something. */
    const std::string folder = "C:\\velmor test 表\\" + Repeat("表", 120) + "\\" + std::string(253, 'a');
    const std::string program = folder + "\\VELMOR.EXE";
    ASSERT_EQ(folder.size() + lstrlenA("\\VELMOR"), (size_t)MAX_PATH * 2 - 1);
    PlaceProbe(program);
    PlaceProbe(folder + "\\VELMOR");
    HMODULE module = LoadProgram(program);
    char path[MAX_PATH * 2];
    ASSERT_EQ(GetModuleFileNameA(module, path, sizeof(path)), sizeof(path)) << "the path does not fill the buffer";
    FreeLibrary(module);

    EXPECT_EQ(RestartFrom(program), 0u);
}

}
