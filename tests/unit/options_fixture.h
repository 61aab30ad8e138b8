/* Runs the real Options dialog over a test window, with settings planted in the
   registry beforehand and read back byte for byte afterwards. */
#ifndef VELMOR_OPTIONS_FIXTURE_H
#define VELMOR_OPTIONS_FIXTURE_H

#include <gtest/gtest.h>
#include <array>
#include <map>
#include "test_support.h"
#include "dialog_driver.h"
#include "../../options/options_dialog.h"

namespace optionstest {

using namespace dialogdrive;

enum OptionsPage { GeneralTab = 0, DateTab = 1, TimeTab = 2, CountTab = 3 };

typedef std::vector<BYTE> Bytes;

class OptionsDialogTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /* Stores values as an earlier run would have left them; call before Start. */
    void PlantOptions(const ClockOptions& options);
    void PlantLine(const char* name, const FaceItem& item, LONG fontHeight);
    /* Loads the settings and makes the test window the main window, ticking. */
    void Start(void);

    /* RunOptionsDialog with the test window as owner and the script inside it. */
    int RunOptions(void);

    /* Shows a page the way the tab control does when the user picks a tab. */
    void SelectTab(int index);
    void ExpectOnlyVisiblePage(int index);
    /* Adds the steps that press a "..." button, wait for the dialog it opens, let
       answer work it and end it, and wait until it has closed. */
    void AnswerPicker(int page, int button, const std::string& what, std::function<void(HWND)> answer);

    /* Polls the test window's queue for a WM_TIMER of the clock's tick. */
    bool TickArrives(void);
    std::array<HFONT, 3> Fonts(void);
    void ExpectFontsReplaced(const std::array<HFONT, 3>& before);
    /* Records the state record and the stored settings, to compare with later. */
    void TakeSnapshot(void);
    void ExpectNothingChanged(void);

    HWND dlg = NULL;
    HWND tab = NULL;
    HWND pages[4] = {};
    /* Steps for inside the dialog; the first one waits until it and its pages are up. */
    DialogScript script;
    /* The font, colour or file dialog over the Options dialog while it is open. */
    HWND picker = NULL;

private:
    Bytes stateBefore;
    std::map<std::string, Bytes> storedBefore;
    bool FindOptionsDialog(void);
};

/* A window's or a control's text as UTF-8, to compare with literals through Utf8. */
std::string ShownText(HWND wnd);
std::string ControlText(HWND dlg, int id);
/* A stored value's bytes, empty when missing; line NULL is the program's own key. */
Bytes Stored(const char* line, const char* value);
/* Every value of the program's key and its line keys, by "line\\value". */
std::map<std::string, Bytes> StoredAll(void);
/* Bytes from..from+count as "0A 1B ...", for readable comparisons. */
std::string Hex(const Bytes& bytes, size_t from, size_t count);
std::string Hex(const void* data, size_t count);
bool AllZero(const Bytes& bytes, size_t from, size_t count);

}

#endif
