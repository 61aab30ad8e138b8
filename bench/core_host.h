/* Runs the clock's core inside the benchmark program, as WinMain would. */
#ifndef VELMOR_CORE_HOST_H
#define VELMOR_CORE_HOST_H

#include "../state/clock_state.h"

/* Checks the code page, allocates the state record at the screen's resolution and loads the
   default settings (stored ones deleted first); 0, the reason on stderr, if the core cannot run. */
int HostCore(void);
/* Deletes HKCU\Software\ORBA\VELMOR and everything below it. */
void DeleteStoredSettings(void);
/* Dispatches what is queued for this thread, without waiting. */
void PumpMessages(void);

#endif
