/* Works modal dialogs from inside their own message loops, with the messages a user's
   mouse and keys would send. */
#ifndef VELMOR_DIALOG_DRIVER_H
#define VELMOR_DIALOG_DRIVER_H

#include <windows.h>
#include <functional>
#include <string>
#include <vector>

/* In a namespace of their own: other test files have helpers of the same names. */
namespace dialogdrive {

/* Steps that a thread timer runs one after another, so each runs inside whichever
   modal loop is current. A step that answers false is tried again at the next tick;
   one that is still waiting after its deadline fails the test and the script then
   cancels every dialog that is still open, so the loops end. A step that would enter
   a modal loop itself must post, not send, what opens it. */
class DialogScript {
public:
    DialogScript& Wait(const std::string& what, std::function<bool()> ready);
    DialogScript& Do(const std::string& what, std::function<void()> action);
    /* Calls body, which runs a modal loop, while the steps tick inside it. */
    INT_PTR Run(const std::function<INT_PTR()>& body);

private:
    struct Step {
        std::string what;
        std::function<bool()> run;
    };
    std::vector<Step> steps;
    size_t next = 0;
    DWORD stepStart = 0;
    bool busy = false;
    bool abandoned = false;

    static DialogScript* running;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick(void);
    std::string Awaited(void) const;
};

/* The visible top-level dialog ("#32770") of this thread that match accepts, or NULL. */
HWND FindThreadDialog(const std::function<bool(HWND)>& match);
/* The dialog a page or its dialog opened over them: owned by one of owners. */
HWND FindDialogOwnedBy(const std::vector<HWND>& owners);

/* Selects a row as the mouse would: the list changes and the parent hears CBN_SELCHANGE. */
void ChooseRow(HWND dlg, int combo, int row);
/* Selects the row whose item data is data; false when there is none. */
bool ChooseRowByData(HWND dlg, int combo, LRESULT data);
/* Selects the row that reads text exactly; false when there is none. */
bool ChooseRowByText(HWND dlg, int combo, const char* text);
LRESULT Selection(HWND dlg, int combo);
void Click(HWND dlg, int id);
/* For buttons that open a modal dialog: the click runs from the loop, not from the step. */
void PostClick(HWND dlg, int id);
/* Replaces the text of an edit by typing it, one WM_CHAR a character. */
void Type(HWND dlg, int id, const char* text);
void SetText(HWND wnd, const char* text);
/* The window's text in code page 932 bytes, as WM_GETTEXT gives it. */
std::string TextOf(HWND wnd);
/* The colour a control shows at its centre once it has painted what is pending. */
COLORREF CentrePixel(HWND control);

}

#endif
