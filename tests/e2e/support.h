/* What the end-to-end scenarios share: the program under test and its process, its
   registry key, its dialogs, and the user's keys and mouse. */
#ifndef VELMOR_E2E_SUPPORT_H
#define VELMOR_E2E_SUPPORT_H

#include <windows.h>
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

/* How long any awaited condition may take before the scenario fails. Generous: the
   machine may be busy with other builds. */
const DWORD kDeadline = 15000;

/* Polls until cond holds or timeoutMs have passed; returns whether it held. */
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs = kDeadline);

/* A file of the build by the path Wine gives the Unix root (Z:\...). */
std::string WinePath(const char* unixPath);
/* The built VELMOR.EXE, and a file beside it. */
std::string ProgramPath();
std::string BesideProgram(const char* name);
/* The test opener, which logs the command line it was started with to its own path
   plus ".log". */
std::string OpenerPath();

/* One copy of VELMOR.EXE. Whatever is still running when the object dies is ended. */
class Velmor {
public:
    Velmor() = default;
    ~Velmor();
    Velmor(const Velmor&) = delete;
    Velmor& operator=(const Velmor&) = delete;

    /* Starts the program file at path and waits for its visible main window. */
    testing::AssertionResult Start(const std::string& path = ProgramPath());
    HWND Window() const { return window_; }
    DWORD ProcessId() const { return process_.dwProcessId; }
    bool Running() const;
    /* The program file the process runs, as the system names it. */
    std::string ImagePath() const;
    /* Waits for the process to end by itself. */
    testing::AssertionResult WaitForExit();
    /* Waits for this copy to end and takes over the copy that opened its window in
       its place. */
    testing::AssertionResult FollowRestart();

private:
    void Release();

    PROCESS_INFORMATION process_ = {};
    HWND window_ = NULL;
};

/* Each scenario starts from an empty settings key. */
class Scenario : public testing::Test {
protected:
    void SetUp() override;
};

/* Registry values under HKCU\Software\ORBA\VELMOR, or its subkey when one is named. */
std::vector<BYTE> BytesOf(const void* data, size_t size);
bool ReadSetting(const char* name, std::vector<BYTE>* bytes, const char* subkey = NULL);
void PlantSetting(const char* name, DWORD type, const std::vector<BYTE>& bytes, const char* subkey = NULL);
/* Values and subkeys directly in the program's key; -1 when the key is missing. */
int SettingsEntryCount();
/* A RECT as it is stored: four signed 32-bit little-endian numbers. */
std::vector<BYTE> StoredRect(const RECT& rect);

RECT WindowRect(HWND wnd);
std::string RectText(const RECT& rect);
bool SameRect(const RECT& a, const RECT& b);

/* The visible "#32770" dialog titled title (code page 932) owned by owner. */
HWND WaitForDialog(HWND owner, const char* title);
/* Whether wnd still exists once its thread has handled everything that came before:
   a message sent now is handled only after the current one. */
bool Answers(HWND wnd);
/* A dialog control's text, read with WM_GETTEXT (the only way across processes). */
std::string ControlText(HWND dialog, int id);
void SetControlText(HWND dialog, int id, const char* text);
/* Whether a popup menu of wnd's process is open. */
bool PopupMenuOpen(HWND wnd);
/* Opens a popup of wnd's menu bar with Alt and its mnemonic, then types the item's
   mnemonic: Wine cannot read another process's menu, but the keys work it. */
testing::AssertionResult ChooseMenuItem(HWND wnd, WORD popup, WORD item);

/* The program's countdown dialog, opened with Shift+Enter as a user would. */
HWND OpenCountdownDialog(HWND main);
/* The ways a user ends a dialog; each waits until the dialog window is destroyed. */
enum class Dismissal { Ok, Cancel, Escape, CloseBox };
testing::AssertionResult Dismiss(HWND dialog, Dismissal way);
const char* DismissalName(Dismissal way);
/* Opens the countdown dialog, enters seconds and starts the countdown. */
testing::AssertionResult StartCountdown(HWND main, const char* seconds);

/* The window that has the keyboard focus in wnd's thread. */
HWND FocusOf(HWND wnd);
/* Brings wnd to the front and types key with the modifier keys held. */
testing::AssertionResult PressKey(HWND wnd, WORD key, std::initializer_list<WORD> modifiers = {});
/* Presses the left button at client point grab, moves the cursor by each offset from
   where it started in turn, waiting for the window to follow, and releases. */
testing::AssertionResult DragMouse(HWND wnd, POINT grab, std::initializer_list<POINT> moves);

/* A folder made for one scenario (a code page 932 path), removed with every file in
   it when the object dies. */
class Folder {
public:
    explicit Folder(const std::string& path);
    ~Folder();
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    std::string File(const char* name) const { return path_ + "\\" + name; }
    testing::AssertionResult CopyIn(const std::string& source, const char* name);

private:
    std::string path_;
};

#endif
