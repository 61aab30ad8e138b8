#include "clock_state.h"
#include "../res/resource.h"

ClockState* gState;
HWND        gMainWnd;
HINSTANCE   gInstance;
int         gOtherInstance;

/* A face name as the stored font carries it, in the system's ANSI code page: out gets
   LF_FACESIZE bytes, and the result is 1 when that code page holds the name whole in
   them, 0 when it holds it only cut or with other characters. */
int AnsiFaceName(const WCHAR* face, char* out)
{
    UINT cp = GetACP();
    BOOL lossy = FALSE;
    ZeroMemory(out, LF_FACESIZE);
    /* UTF-8 holds every character but half a surrogate pair, and takes no default one. */
    int whole = cp == CP_UTF8
        ? WideCharToMultiByte(cp, WC_ERR_INVALID_CHARS, face, -1, out, LF_FACESIZE, NULL, NULL)
        : WideCharToMultiByte(cp, WC_NO_BEST_FIT_CHARS, face, -1, out, LF_FACESIZE, NULL, &lossy);
    if (!whole) ZeroMemory(out, LF_FACESIZE);
    return whole && !lossy;
}

/* The tenths of the desk a stored transparency lets through, 1 to 7; 0 (opaque) for a
   value of no row of the list. */
int SeeThroughTenths(BYTE transparency)
{
    return transparency <= 70 && transparency % 10 == 0 ? transparency / 10 : 0;
}

/* Fills lf with the built-in face font: 26 units, fixed pitch, Shift-JIS, "ＭＳ 明朝", or
   its English name where the ANSI code page cannot store that one. */
int DefaultLogFont(LOGFONTW* lf)
{
    char stored[LF_FACESIZE];
    if (!lf) return 0;
    ZeroMemory(lf, sizeof(*lf));
    lf->lfHeight = 26;
    lf->lfWeight = FW_NORMAL;
    lf->lfCharSet = SHIFTJIS_CHARSET;
    lf->lfPitchAndFamily = FIXED_PITCH;
    LoadStringW(gInstance, IDS_FACENAME, lf->lfFaceName, LF_FACESIZE);
    if (!AnsiFaceName(lf->lfFaceName, stored))
        LoadStringW(gInstance, IDS_FACENAME_LATIN, lf->lfFaceName, LF_FACESIZE);
    return 1;
}

/* Resets a line to the default of its kind (0 date, 1 time, 2 count) with a new font.
   Any font the line held must have been released by the caller. */
void DefaultFaceItem(FaceLine* line, int kind)
{
    static const COLORREF colors[3] = { RGB(0, 0, 0), RGB(0, 128, 0), RGB(0, 0, 128) };

    ZeroMemory(&line->item, sizeof(line->item));
    DefaultLogFont(&line->logFont);
    line->fontDpi = 96;
    line->font = CreateFaceFont(&line->logFont, 96, 0);
    line->item.color = colors[kind];
}

/* The system's resolution, at which the window first opens; 96 where none can be had. */
UINT ScreenDpi(void)
{
    HDC screen = GetDC(NULL);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(NULL, screen);
    return dpi > 0 ? dpi : 96;
}

/* Stored sizes and margins are pixels at 96 dpi; the face is drawn at the window's. */
int ScaleToDpi(int size)
{
    return MulDiv(size, gState->dpi, 96);
}

void ScaleFont(LOGFONTW* lf, int fromDpi, int toDpi)
{
    lf->lfHeight = MulDiv(lf->lfHeight, toDpi, fromDpi);
    lf->lfWidth = MulDiv(lf->lfWidth, toDpi, fromDpi);
}

/* The points of a font height in pixels at dpi, halves rounded up. */
int FontPoints(LONG height, UINT dpi)
{
    double magnitude = height < 0 ? -(double)height : (double)height;
    return (int)(magnitude * 72 / dpi + 0.5);
}

/* A height in pixels at dpi as the height at 96 dpi to store: the one, of those nearest,
   that loads back at dpi to the same points, which plain rounding does not always. */
LONG StoredFontHeight(LONG height, UINT dpi)
{
    LONG stored = MulDiv(height, 96, dpi), sign = height < 0 ? -1 : 1;
    const LONG candidates[3] = { stored, stored - sign, stored + sign };
    for (LONG candidate : candidates)
        if (FontPoints(MulDiv(candidate, dpi, 96), dpi) == FontPoints(height, dpi)) return candidate;
    return stored;
}

/* The font of lf, whose sizes are pixels at fromDpi, at the window's resolution and
   scaled by fit thousandths (0: as it is). */
HFONT CreateFaceFont(const LOGFONTW* lf, UINT fromDpi, UINT fit)
{
    LOGFONTW scaled = *lf;
    ScaleFont(&scaled, fromDpi * 1000, gState->dpi * (fit ? fit : 1000));
    return CreateFontIndirectW(&scaled);
}

/* The three fonts made anew, at the resolution and the fit of the moment. */
void CreateFaceFonts(void)
{
    ReleaseFaceFonts();
    FaceLine* lines[3] = { &gState->date, &gState->time, &gState->count };
    for (FaceLine* line : lines) line->font = CreateFaceFont(&line->logFont, line->fontDpi, line->fit);
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
