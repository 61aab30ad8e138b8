/* What the tests share: a fresh state and settings key, the real main window, modal
   loops worked from inside, the registry's bytes and the screen's pixels. */
#ifndef VELMOR_TEST_SUPPORT_H
#define VELMOR_TEST_SUPPORT_H

#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>
#include "../state/clock_state.h"
#include "../app/main_window.h"

typedef std::vector<BYTE> Bytes;
inline Bytes Of(const void* data, size_t size) { return Bytes((const BYTE*)data, (const BYTE*)data + size); }
/* A value of HKCU\Software\ORBA\VELMOR or of its subkey (no bytes when there is none); a
   text as the registry stores it, UTF-16 and its terminator. */
Bytes Stored(const WCHAR* subkey, const WCHAR* name);
void Plant(const WCHAR* subkey, const WCHAR* name, DWORD type, const Bytes& bytes);
inline Bytes Text(const std::wstring& text) { return Of(text.c_str(), (text.size() + 1) * sizeof(WCHAR)); }
/* Closes the real main window, which saves the settings, and takes its quit message. */
void CloseMainWindow(void);
/* Each test starts as the program does: a zero state at the screen's resolution, nothing
   stored, not started with Windows whatever a test before left, no window. */
class Fresh : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override { SetUp(); }
};
/* Handles this thread's messages until cond holds; false after the deadline. */
bool WaitFor(const std::function<bool()>& cond);
inline bool Post(HWND wnd, UINT message, WPARAM wParam) { return PostMessageW(wnd, message, wParam, 0) != FALSE; }
/* Handles what is queued as the program's own loop does, its accelerators and all. */
void PumpAsTheLoop(void);

/* Runs body, which may enter a modal loop, while a thread timer runs each step in turn
   inside that loop until it answers true. A step still waiting at the deadline, or a
   loop still running after the last, fails the test and ends the thread's dialogs. */
typedef std::function<bool()> Step;
void RunModal(const std::function<void()>& body, const std::vector<Step>& steps);
/* The innermost modal dialog or message box of this thread, the active window; the client
   area's pixels as the screen shows them. */
HWND TopDialog(void);
std::vector<COLORREF> Pixels(HWND wnd);

#endif
