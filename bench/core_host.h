/* Runs the clock's core inside a test or benchmark program, as WinMain would. */
#ifndef VELMOR_CORE_HOST_H
#define VELMOR_CORE_HOST_H

#include "../state/clock_state.h"

/* Checks the code page, takes this module's resources, allocates the state record
   and loads the default settings (the stored ones are deleted first). Returns 0, with
   the reason on stderr, when the core cannot run here. */
int HostCore(void);
/* Deletes HKCU\Software\ORBA\VELMOR and everything below it. */
void DeleteStoredSettings(void);
/* Dispatches what is queued for this thread, without waiting. */
void PumpMessages(void);

#endif
