#include "clock_state.h"
#include "../res/resource.h"

ClockState* gState;
HWND        gMainWnd;
HINSTANCE   gInstance;
int         gOtherInstance;

/* Fills lf with the built-in face font: 26 units, fixed pitch, Shift-JIS, "ＭＳ 明朝". */
int DefaultLogFont(LOGFONTA* lf)
{
    if (!lf) return 0;
    ZeroMemory(lf, sizeof(*lf));
    lf->lfHeight = 26;
    lf->lfWeight = FW_NORMAL;
    lf->lfCharSet = SHIFTJIS_CHARSET;
    lf->lfPitchAndFamily = FIXED_PITCH;
    LoadStringA(gInstance, IDS_FACENAME, lf->lfFaceName, LF_FACESIZE);
    return 1;
}

/* Resets a line to the default of its kind (0 date, 1 time, 2 count) with a new font.
   Any font the line held must have been released by the caller. */
void DefaultFaceItem(FaceLine* line, int kind)
{
    static const COLORREF colors[3] = { RGB(0, 0, 0), RGB(0, 128, 0), RGB(0, 0, 128) };
    LOGFONTA lf;

    ZeroMemory(&line->item, sizeof(line->item));
    DefaultLogFont(&lf);
    line->font = CreateFontIndirectA(&lf);
    line->item.color = colors[kind];
}

/* Deletes the three face fonts, date first; safe to call again. */
void ReleaseFaceFonts(void)
{
    FaceLine* lines[3] = { &gState->date, &gState->time, &gState->count };
    for (FaceLine* line : lines) {
        if (line->font) {
            DeleteObject(line->font);
            line->font = NULL;
        }
    }
}
