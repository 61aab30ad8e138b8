/* The Date, Time and Measurement pages: font and colour, format, placement. */
#ifndef VELMOR_FACE_PAGES_H
#define VELMOR_FACE_PAGES_H

#include "options_dialog.h"

INT_PTR CALLBACK DatePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TimePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK MeasurementPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
int  InitDatePage(HWND page);
int  InitTimePage(HWND page);
int  InitMeasurementPage(HWND page);
void ChooseFaceFont(HWND page, PageBlock* block);
int  PickFont(HWND owner, LOGFONTW* lf, UINT* fontDpi, COLORREF* color);
void ShowFontLabel(HWND page, const LOGFONTW* lf, UINT fontDpi);
void UpdateMarginEdits(HWND page);
int  AddFormatItem(HWND page, const WCHAR* label, BYTE code);
void SelectFormatByCode(HWND page, BYTE code);
void FillPlacementControls(HWND page, const PageBlock* block);
void ReadFacePage(PageBlock* block);
int  PickWaveFile(HWND owner, WCHAR* out, const WCHAR* current);

#endif
