#include "bench.h"
#include <stdio.h>
#include "../app/face_paint.h"
#include "../engine/face_text.h"
#include "core_host.h"

const BenchFace kFaces[FACE_KINDS] = {
    { "two-line clock", Clock, 0 },
    { "one-line clock", Clock, 1 },
    { "count", CountUp, 0 },
};

void UseFace(const BenchFace* face)
{
    gState->mode = face->mode;
    gState->options.oneLine = face->oneLine;
    gState->tickMark = GetTickCount();
}

/* A borderless visible window whose client area is exactly width by height, so the
   paint covers the size named; the paint only asks it for its client rectangle. */
HWND CreateFaceWindow(int width, int height)
{
    HWND wnd = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                             NULL, NULL, gInstance, NULL);
    PumpMessages();
    return wnd;
}

/* What any flicker-free paint of this size costs before it draws anything. */
static void BareDoubleBuffer(HDC hdc, int width, int height)
{
    HDC mem = CreateCompatibleDC(hdc);
    HBITMAP bitmap = CreateCompatibleBitmap(hdc, width, height);
    HBITMAP oldBitmap = (HBITMAP)SelectObject(mem, bitmap);
    PatBlt(mem, 0, 0, width, height, PATCOPY);
    BitBlt(hdc, 0, 0, width, height, mem, 0, 0, SRCCOPY);
    SelectObject(mem, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(mem);
}

void BenchPaint(int runs)
{
    static const SIZE sizes[] = { { 330, 200 }, { 1920, 1080 } };
    char figure[96], value[32], baseline[64];

    for (const SIZE& size : sizes) {
        HWND wnd = CreateFaceWindow(size.cx, size.cy);
        RECT rc;
        GetClientRect(wnd, &rc);
        if (rc.right != size.cx || rc.bottom != size.cy)
            fprintf(stderr, "warning: the face window is %ldx%ld, not %ldx%ld\n", rc.right,
                    rc.bottom, size.cx, size.cy);
        HDC hdc = GetDC(wnd);
        for (const BenchFace& face : kFaces) {
            UseFace(&face);
            Comparison paint = Compare([&] { PaintFace(wnd, hdc); },
                                       [&] { BareDoubleBuffer(hdc, rc.right, rc.bottom); }, runs);
            int isDefault = size.cx == 330;
            sprintf(figure, "PaintFace, %s, %ldx%ld", face.name, rc.right, rc.bottom);
            sprintf(baseline, "%s (bare double buffer)", Duration(value, paint.baseline));
            PrintRow(figure, Duration(value, paint.subject), baseline, paint.ratio,
                     isDefault ? "<= 1.5" : "", isDefault ? paint.ratio <= 1.5 : -1);
        }
        ReleaseDC(wnd, hdc);
        DestroyWindow(wnd);
    }
}

void BenchFormatting(int runs)
{
    char figure[96], value[32], baseline[64], text[FACE_TEXT_SIZE];

    /* The least any formatter does: one wsprintfA of a count. */
    auto oneWsprintf = [&] { wsprintfA(text, "%02d:%02d:%02d.%d", 1, 2, 5, 4); };

    for (const BenchFace& face : kFaces) {
        UseFace(&face);
        Comparison format = face.mode == Clock ? Compare([] { FormatClockTexts(); }, oneWsprintf, runs)
                                               : Compare([] { FormatCountText(); }, oneWsprintf, runs);
        sprintf(figure, "%s per call, %s", face.mode == Clock ? "FormatClockTexts" : "FormatCountText",
                face.name);
        sprintf(baseline, "%s (one wsprintfA)", Duration(value, format.baseline));
        PrintRow(figure, Duration(value, format.subject), baseline, format.ratio, "", -1);
    }
}
