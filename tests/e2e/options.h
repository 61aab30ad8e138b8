/* The Options dialog as a user works it: its tabs and pages, their controls, and the
   system's colour, font and file dialogs behind its "..." buttons. */
#ifndef VELMOR_E2E_OPTIONS_H
#define VELMOR_E2E_OPTIONS_H

#include "support.h"

/* The pages in the order of their tabs. */
enum { GeneralPage, DatePage, TimePage, CountPage, PageCount };

/* Ctrl+O on the main window, and the dialog it opens. */
HWND OpenOptionsDialog(HWND main);
/* The four pages, found by what they hold, in tab order; NULL where one is missing. */
std::vector<HWND> OptionsPages(HWND dialog);
/* The one visible page, -1 when none is and -2 when several are. */
int ShownPage(const std::vector<HWND>& pages);
/* A tab's caption. */
std::string TabText(HWND dialog, int index);
/* Selects a tab with the arrow keys on the focused tab control. */
testing::AssertionResult SelectTab(HWND dialog, int index);

/* Selects a combo box row and tells the dialog, as the list does when a user picks it. */
void ChooseRow(HWND dialog, int combo, int row);
/* The row whose item data is data, or -1. */
int RowWithData(HWND dialog, int combo, LRESULT data);
/* Clicks a check box or another button that opens nothing. */
void Click(HWND dialog, int button);
/* Clicks a "..." button of a page and gives the system dialog it opens, which the
   Options dialog owns. */
HWND OpenPicker(HWND options, HWND page, int button);
/* Sets the colour dialog's colour through its red, green and blue fields. */
void SetPickerColor(HWND picker, COLORREF color);
/* The colour a swatch control shows. */
COLORREF SwatchColor(HWND page, int id);

/* Waits until the dialog is destroyed and the main window's thread has finished what
   closing it started: the apply after OK, and a restart. */
testing::AssertionResult WaitForOptionsClosed(HWND dialog, HWND main);

#endif
