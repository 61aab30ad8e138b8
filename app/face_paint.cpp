#include "face_paint.h"
#include "../engine/face_text.h"
#include "../engine/count_modes.h"
#include "../state/settings.h"
#include <algorithm>

/* Top-left corner of a line's text. wholeHeight: centre in the whole client area
   (count modes, one-line face) rather than in the line's half. Halvings truncate
   toward zero, as C's division does. */
POINT FaceTextOrigin(const FaceItem* item, int width, int height, SIZE text,
                     int wholeHeight, int secondLine)
{
    POINT pt;
    int marginX = ScaleToDpi(item->marginX), marginY = ScaleToDpi(item->marginY);

    switch (item->alignH) {
    case 0:  pt.x = (width - text.cx) / 2; break;
    case 1:  pt.x = marginX; break;
    case 2:  pt.x = width - marginX; break;
    default: pt.x = 0; break;
    }
    if (item->alignV == 2) {
        pt.y = height - marginY;
    } else if (item->alignV != 0) {
        pt.y = marginY;
    } else if (wholeHeight) {
        pt.y = (height - text.cy) / 2;
    } else {
        int half = height / 2;
        pt.y = (half - text.cy) / 2 + (secondLine ? half : 0);
    }
    return pt;
}

void DrawFaceItem(HDC hdc, const FaceLine* line, int width, int height, int secondLine)
{
    SIZE extent = { 0, 0 };
    int len = lstrlenW(line->text);

    SetTextColor(hdc, line->item.color);
    HFONT oldFont = (HFONT)SelectObject(hdc, line->font);
    GetTextExtentPoint32W(hdc, line->text, len, &extent);
    POINT pt = FaceTextOrigin(&line->item, width, height, extent,
                              gState->mode != Clock || gState->options.oneLine, secondLine);
    TextOutW(hdc, pt.x, pt.y, line->text, len);
    SelectObject(hdc, oldFont);
}

/* Fills the background and draws the lines of the current mode onto dc. */
static void ComposeFace(HDC dc, int width, int height)
{
    ClockState* s = gState;
    HBRUSH brush = CreateSolidBrush(s->options.backColor);
    HBRUSH oldBrush = (HBRUSH)SelectObject(dc, brush);

    PatBlt(dc, 0, 0, width, height, PATCOPY);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
    SetBkMode(dc, TRANSPARENT);
    SetBkColor(dc, s->options.backColor);

    if (s->mode == Clock) {
        FormatClockTexts();
        DrawFaceItem(dc, &s->date, width, height, 0);
        if (!s->options.oneLine) DrawFaceItem(dc, &s->time, width, height, 1);
    } else {
        FormatCountText();
        /* An alarm that rings until stopped shows its zero count every other blink. */
        if (!s->alarming || (GetTickCount() - s->alarmStart) / BLINK_PERIOD % 2 == 0)
            DrawFaceItem(dc, &s->count, width, height, 0);
    }
}

/* The widest digit of the font in dc. */
static WCHAR WidestDigit(HDC dc)
{
    WCHAR widest = L'0';
    LONG most = 0;
    for (WCHAR digit = L'0'; digit <= L'9'; digit++) {
        SIZE size;
        if (GetTextExtentPoint32W(dc, &digit, 1, &size) && size.cx > most) {
            most = size.cx;
            widest = digit;
        }
    }
    return widest;
}

/* Grows widest to hold text, every digit drawn as the font's widest. */
static void Widen(HDC dc, WCHAR digit, const WCHAR* text, SIZE* widest)
{
    WCHAR wide[FACE_TEXT_SIZE];
    SIZE size;
    lstrcpynW(wide, text, FACE_TEXT_SIZE);
    for (WCHAR* c = wide; *c; c++)
        if (*c >= L'0' && *c <= L'9') *c = digit;
    if (GetTextExtentPoint32W(dc, wide, lstrlenW(wide), &size)) {
        widest->cx = std::max(widest->cx, size.cx);
        widest->cy = std::max(widest->cy, size.cy);
    }
}

/* The widest texts the three lines can show, each in its font at fit: the date and time on
   every day of the week, morning and evening, on a day and at a time of two digits; the
   count at 99 hours. The formats, not the moment, decide, so the fit holds all day. */
static void WidestTexts(HDC dc, const UINT* fits, SIZE* widest)
{
    ClockState* s = gState;
    FaceLine* lines[3] = { &s->date, &s->time, &s->count };
    WCHAR digits[3], countText[FACE_TEXT_SIZE];
    HFONT fonts[3], old = NULL;
    SYSTEMTIME today;

    GetLocalTime(&today);
    for (int i = 0; i < 3; i++) {
        fonts[i] = CreateFaceFont(&lines[i]->logFont, lines[i]->fontDpi, fits[i]);
        HFONT previous = (HFONT)SelectObject(dc, fonts[i]);
        if (!old) old = previous;
        digits[i] = WidestDigit(dc);
        widest[i].cx = widest[i].cy = 0;
    }
    for (WORD sample = 0; sample < 14; sample++) {
        SYSTEMTIME at = { today.wYear, 12, (WORD)(sample % 7), (WORD)(22 + sample % 7), (WORD)(sample < 7 ? 10 : 22), 58, 58, 0 };
        FormatClockTextsAt(&at);
        for (int i = 0; i < 2; i++) {
            SelectObject(dc, fonts[i]);
            Widen(dc, digits[i], lines[i]->text, &widest[i]);
        }
    }
    FormatCount(countText, 99 * 3600000, s->count.item.format);
    SelectObject(dc, fonts[2]);
    Widen(dc, digits[2], countText, &widest[2]);
    SelectObject(dc, old);
    for (HFONT font : fonts) DeleteObject(font);
}

/* The room a line has in the client area, its placement kept: right of a left margin,
   up to a right margin (which places the text's left edge), half the face for one of two
   lines. */
static SIZE LineRoom(const FaceItem* item, int width, int height, int half)
{
    int marginX = ScaleToDpi(item->marginX), marginY = ScaleToDpi(item->marginY);
    SIZE room = { width, half ? height / 2 : height };
    if (item->alignH == 1) room.cx = width - marginX;
    else if (item->alignH == 2) room.cx = marginX;
    if (item->alignV == 1) room.cy = height - marginY;
    else if (item->alignV == 2) room.cy = marginY;
    return room;
}

/* A fit that draws line neither below a pixel nor past what any screen can show. */
static ULONGLONG ClampedFit(ULONGLONG fit, const FaceLine* line)
{
    ULONGLONG pixels = (ULONGLONG)std::max(labs(MulDiv(line->logFont.lfHeight, gState->dpi, line->fontDpi)), 1L);
    return std::max(std::min(fit, FONT_SIZE_LIMIT * 1000 / pixels), 1000 / pixels + 1);
}

/* With the option on, each line's font is made as large as lets the widest text of every
   line shown with it fit its room: date and time share one factor, the count has its own;
   font sizes relative to each other and the placements stay, and a line that has no room
   at any size has no say. Otherwise the fonts are as chosen. Made again only when that
   changes: on a new size, new lines, a new resolution. */
void FitFaceFonts(HWND wnd)
{
    ClockState* s = gState;
    FaceLine* lines[3] = { &s->date, &s->time, &s->count };
    UINT fits[3] = { 0, 0, 0 };
    RECT rc;

    GetClientRect(wnd, &rc);
    if (s->options.fitToWindow == 1 && rc.right > 0 && rc.bottom > 0) {
        HDC dc = GetDC(wnd);
        /* Text does not grow quite in step with its font: the first fit is worked out in
           proportion, and made smaller at the size it gave until every text fits. */
        for (int attempt = 0; attempt < 4; attempt++) {
            SIZE widest[3];
            ULONGLONG limits[3] = { 0, 0, 0 };
            UINT tried[3] = { fits[0], fits[1], fits[2] };
            WidestTexts(dc, tried, widest);
            for (int i = 0; i < 3; i++) {
                SIZE room = LineRoom(&lines[i]->item, rc.right, rc.bottom, i < 2 && !s->options.oneLine);
                ULONGLONG at = tried[i] ? tried[i] : 1000;
                if ((i != 1 || !s->options.oneLine) && room.cx > 0 && room.cy > 0 && widest[i].cx > 0 && widest[i].cy > 0)
                    limits[i] = std::min(at * room.cx / widest[i].cx, at * room.cy / widest[i].cy);
            }
            ULONGLONG clock = !limits[0] || !limits[1] ? std::max(limits[0], limits[1]) : std::min(limits[0], limits[1]);
            ULONGLONG count = limits[2];
            clock = ClampedFit(ClampedFit(clock ? clock : 1000, &s->date), &s->time);
            count = ClampedFit(count ? count : 1000, &s->count);
            if (attempt) {
                clock = std::min(clock, (ULONGLONG)tried[0]);
                count = std::min(count, (ULONGLONG)tried[2]);
            }
            fits[0] = fits[1] = (UINT)clock;
            fits[2] = (UINT)count;
            if (fits[0] == tried[0] && fits[2] == tried[2]) break;
        }
        ReleaseDC(wnd, dc);
    }
    if (fits[0] == s->date.fit && fits[1] == s->time.fit && fits[2] == s->count.fit) return;
    for (int i = 0; i < 3; i++) lines[i]->fit = fits[i];
    CreateFaceFonts();
    InvalidateRect(wnd, NULL, FALSE);
}

/* The face's lines as shown at this moment, formatted afresh as a paint does them: date
   and time (the date line alone when it holds both), or the count. out holds
   2 * FACE_TEXT_SIZE units. */
void FaceLinesNow(WCHAR* out)
{
    ClockState* s = gState;
    if (s->mode != Clock) {
        FormatCountText();
        lstrcpyW(out, s->count.text);
    } else {
        FormatClockTexts();
        if (s->options.oneLine) lstrcpyW(out, s->date.text);
        else wsprintfW(out, L"%s %s", s->date.text, s->time.text);
    }
}

/* Composes the whole face in a memory bitmap and copies it in one BitBlt, so the
   window never shows a cleared or half-drawn face. */
void PaintFace(HWND wnd, HDC hdc)
{
    RECT rc;
    GetClientRect(wnd, &rc);
    int width = rc.right - rc.left, height = rc.bottom - rc.top;

    HDC mem = CreateCompatibleDC(hdc);
    HBITMAP bitmap = mem ? CreateCompatibleBitmap(hdc, width, height) : NULL;
    if (!bitmap) {
        /* Out of GDI resources: draw straight to the window rather than leak. */
        if (mem) DeleteDC(mem);
        ComposeFace(hdc, width, height);
        return;
    }
    HBITMAP oldBitmap = (HBITMAP)SelectObject(mem, bitmap);
    ComposeFace(mem, width, height);
    BitBlt(hdc, 0, 0, width, height, mem, 0, 0, SRCCOPY);
    SelectObject(mem, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(mem);
}
