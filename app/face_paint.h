/* Drawing the face: background and the visible lines, composed off-screen. */
#ifndef VELMOR_FACE_PAINT_H
#define VELMOR_FACE_PAINT_H

#include "../state/clock_state.h"

void PaintFace(HWND wnd, HDC hdc);
void FaceLinesNow(WCHAR* out);
void FitFaceFonts(HWND wnd);
void DrawFaceItem(HDC hdc, const FaceLine* line, int width, int height, int secondLine);
POINT FaceTextOrigin(const FaceItem* item, int width, int height, SIZE text,
                     int wholeHeight, int secondLine);

#endif
