/* What the benchmark program and the minimal window it measures VELMOR against share. */
#pragma once
#include <windows.h>
#define BENCH_FACE_COLOR RGB(0x20, 0x60, 0xA0)  /* both start-up subjects' first fill */
#define MINIMAL_CLASS    "VelmorMinimalWindow"
