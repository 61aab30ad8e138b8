/* What the unit tests share: a fresh state record and a clean settings key. */
#ifndef VELMOR_TEST_SUPPORT_H
#define VELMOR_TEST_SUPPORT_H

#include <windows.h>
#include <string>
#include "../../state/clock_state.h"

/* Releases the fonts and zeroes the state record, as at start-up. */
void ResetState(void);
/* Deletes HKCU\Software\ORBA\VELMOR and everything below it. */
void DeleteSettingsKey(void);
/* A hidden top-level window of a test class, to own timers and receive posts. */
HWND CreateTestWindow(void);
/* Code page 932 text as UTF-8, for readable failure messages and comparisons. */
std::string Utf8(const char* cp932);

#endif
