#include "wall_clock.h"

ULONGLONG UtcNow(void)
{
    ULARGE_INTEGER now;
    GetSystemTimeAsFileTime((FILETIME*)&now);
    return now.QuadPart;
}

/* What the wall clock of zone shows at the instant utc; 0 where the system cannot say. */
ULONGLONG LocalFromUtc(const TIME_ZONE_INFORMATION* zone, ULONGLONG utc)
{
    SYSTEMTIME universal, local;
    ULARGE_INTEGER at;
    at.QuadPart = utc;
    if (!FileTimeToSystemTime((FILETIME*)&at, &universal) || !SystemTimeToTzSpecificLocalTime(zone, &universal, &local) ||
        !SystemTimeToFileTime(&local, (FILETIME*)&at))
        return 0;
    return at.QuadPart;
}

/* The first instant at which the wall clock of zone shows local or a later time: in the
   hour that comes twice, the first time it comes; in the hour that is skipped, the end
   of the gap. The only two offsets the zone knows bound that instant; between them the
   wall clock runs forward, so halving the span finds it to the second. */
ULONGLONG UtcFromLocal(const TIME_ZONE_INFORMATION* zone, ULONGLONG local)
{
    TIME_ZONE_INFORMATION system;
    if (!zone) {
        GetTimeZoneInformation(&system);
        zone = &system;
    }
    /* Bias is what local time adds to make UTC, in minutes; a zone without summer time
       has one offset. */
    LONGLONG standard = (LONGLONG)(zone->Bias + zone->StandardBias) * (LONGLONG)FILETIME_MINUTE;
    LONGLONG summer = zone->DaylightDate.wMonth ? (LONGLONG)(zone->Bias + zone->DaylightBias) * (LONGLONG)FILETIME_MINUTE : standard;
    ULONGLONG low = local + (standard < summer ? standard : summer), high = local + (standard < summer ? summer : standard);
    if (LocalFromUtc(zone, low) >= local) return low;
    while (high - low > FILETIME_SECOND) {
        ULONGLONG middle = low + (high - low) / 2 / FILETIME_SECOND * FILETIME_SECOND;
        if (LocalFromUtc(zone, middle) >= local) high = middle;
        else low = middle;
    }
    return high;
}

/* The local date and time at which the wall clock next shows the time of day second
   (seconds after midnight) on one of days (none: any day), strictly after the instant
   utc; 0 where the system cannot say. A day is one moment: a time the repeated hour
   shows twice is due only the first time. */
ULONGLONG NextWallTime(const TIME_ZONE_INFORMATION* zone, ULONGLONG utc, DWORD second, BYTE days)
{
    ULONGLONG now = LocalFromUtc(zone, utc), today = now - now % FILETIME_DAY;
    if (!(days & EVERY_DAY)) days = EVERY_DAY;
    /* 1 January 1601 was a Monday. */
    for (ULONGLONG day = today; now && day <= today + 7 * FILETIME_DAY; day += FILETIME_DAY) {
        ULONGLONG wall = day + second * FILETIME_SECOND;
        if ((days & 1 << (day / FILETIME_DAY + 1) % 7) && UtcFromLocal(zone, wall) > utc) return wall;
    }
    return 0;
}

/* The UTC instant at which a time signal lead ahead of the next top of the hour (chime
   1) or of the hour and the half hour (chime 2) begins, strictly after utc; 0 for none. */
ULONGLONG NextChime(const TIME_ZONE_INFORMATION* zone, ULONGLONG utc, BYTE chime, ULONGLONG lead)
{
    if (chime != 1 && chime != 2) return 0;
    ULONGLONG period = (chime == 1 ? 60 : 30) * FILETIME_MINUTE, now = LocalFromUtc(zone, utc + lead);
    /* Where the skipped hour maps two tops onto one instant, the next top is taken. */
    for (ULONGLONG top = now - now % period + period; now && top < now + 4 * period; top += period) {
        ULONGLONG start = UtcFromLocal(zone, top) - lead;
        if (start > utc) return start;
    }
    return 0;
}
