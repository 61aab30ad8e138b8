#include "face_paint.h"
#include "../engine/face_text.h"
#include "../engine/count_modes.h"

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
