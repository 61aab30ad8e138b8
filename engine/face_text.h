/* The texts of the face: date and time from the local time, a count from its milliseconds. */
#ifndef VELMOR_FACE_TEXT_H
#define VELMOR_FACE_TEXT_H

#include <windows.h>

/* An era of the Japanese calendar: its first day as yyyymmdd, and its name. */
struct Era {
    DWORD start;
    WCHAR name[5];
};

#define MAX_ERAS 32
extern Era gEras[MAX_ERAS];
extern int gEraCount;

void LoadEras(void);
void FormatDate(WCHAR* out, const SYSTEMTIME* t, BYTE format);
void FormatTime(WCHAR* out, const SYSTEMTIME* t, BYTE format);
int  TimeShowsSeconds(BYTE format);
void FormatCount(WCHAR* out, DWORD milliseconds, BYTE format);
void FormatClockTexts(void);

/* The same work for a given instant, so that any time can be tried. */
void FormatClockTextsAt(const SYSTEMTIME* now);

#endif
