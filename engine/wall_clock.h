/* Moments of the local wall clock as UTC instants, across daylight saving time and
   changes of zone. All are FILETIME counts: 100 ns units since 1601. A zone of NULL is
   the system's. */
#ifndef VELMOR_WALL_CLOCK_H
#define VELMOR_WALL_CLOCK_H

#include <windows.h>

#define FILETIME_MS      10000ULL
#define FILETIME_SECOND  10000000ULL
#define FILETIME_MINUTE  (60 * FILETIME_SECOND)
#define FILETIME_DAY     (86400 * FILETIME_SECOND)
/* Days of the week as a mask: bit 0 Sunday to bit 6 Saturday. */
#define EVERY_DAY        0x7F

ULONGLONG UtcNow(void);
ULONGLONG LocalFromUtc(const TIME_ZONE_INFORMATION* zone, ULONGLONG utc);
ULONGLONG UtcFromLocal(const TIME_ZONE_INFORMATION* zone, ULONGLONG local);
ULONGLONG NextWallTime(const TIME_ZONE_INFORMATION* zone, ULONGLONG utc, DWORD second, BYTE days);
ULONGLONG NextChime(const TIME_ZONE_INFORMATION* zone, ULONGLONG utc, BYTE chime, ULONGLONG lead);

#endif
