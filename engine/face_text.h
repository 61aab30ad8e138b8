/* The texts of the face: date and time from the local time, the count from the tick. */
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
void FormatClockTexts(void);
void FormatCountText(void);

/* The same work for a given instant, so that any time and any tick can be tried. */
void FormatClockTextsAt(const SYSTEMTIME* now);
void FormatCountTextAt(DWORD now);

#endif
