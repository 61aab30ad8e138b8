/* velmor_bench: measures the clock's paint, formatting, allocations, accuracy and
   start-up, and offers the running-cost script a few window services.

   velmor_bench paint | format | alloc | accuracy[=SECONDS] ...   (in-process parts)
   velmor_bench startup PROGRAM MINIMAL [RUNS]
   velmor_bench wait CLASS [SECONDS] | post CLASS COMMAND | close CLASS */
#include "bench.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "core_host.h"

#define RUNS 7
/* Process start-up varies more from one start to the next than a paint does. */
#define STARTUP_RUNS 15
#define DEFAULT_COUNT_UP_SECONDS 600

double NowMicros(void)
{
    static LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * 1e6 / (double)frequency.QuadPart;
}

static int CompareDoubles(const void* a, const void* b)
{
    double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y;
}

/* Sorts values in place. */
double Median(double* values, int count)
{
    qsort(values, count, sizeof(double), CompareDoubles);
    return count % 2 ? values[count / 2] : (values[count / 2 - 1] + values[count / 2]) / 2;
}

const char* Duration(char* out, double micros)
{
    if (micros < 1000) sprintf(out, "%.2f us", micros);
    else if (micros < 1e6) sprintf(out, "%.2f ms", micros / 1000);
    else sprintf(out, "%.3f s", micros / 1e6);
    return out;
}

void PrintRow(const char* figure, const char* value, const char* baseline, double ratio,
              const char* target, int met)
{
    char ratioText[32] = "";
    if (ratio > 0) sprintf(ratioText, "%.2f", ratio);
    printf("| %s | %s | %s | %s | %s | %s |\n", figure, value, baseline, ratioText, target,
           met < 0 ? "" : met ? "met" : "MISSED");
    fflush(stdout);
}

static int InProcessPart(const char* arg)
{
    if (!strcmp(arg, "paint")) BenchPaint(RUNS);
    else if (!strcmp(arg, "format")) BenchFormatting(RUNS);
    else if (!strcmp(arg, "alloc")) BenchAllocations();
    else if (!strncmp(arg, "accuracy", 8))
        BenchAccuracy(arg[8] == '=' ? atoi(arg + 9) : DEFAULT_COUNT_UP_SECONDS);
    else return 0;
    return 1;
}

int main(int argc, char** argv)
{
    if (argc >= 4 && !strcmp(argv[1], "startup"))
        return BenchStartup(argv[2], argv[3], argc > 4 ? atoi(argv[4]) : STARTUP_RUNS) ? 0 : 1;
    if (argc >= 3 && !strcmp(argv[1], "wait"))
        return WaitForWindow(argv[2], argc > 3 ? atoi(argv[3]) : 30) ? 0 : 1;
    if (argc == 4 && !strcmp(argv[1], "post"))
        return PostToWindow(argv[2], WM_COMMAND, (WPARAM)atoi(argv[3])) ? 0 : 1;
    if (argc == 3 && !strcmp(argv[1], "close"))
        return PostToWindow(argv[2], WM_CLOSE, 0) ? 0 : 1;
    if (argc < 2) {
        fprintf(stderr, "usage: velmor_bench paint|format|alloc|accuracy[=SECONDS] ...\n"
                        "       velmor_bench startup PROGRAM MINIMAL [RUNS]\n"
                        "       velmor_bench wait CLASS [SECONDS] | post CLASS COMMAND | close CLASS\n");
        return 2;
    }
    if (!HostCore()) return 1;
    for (int i = 1; i < argc; i++) {
        if (!InProcessPart(argv[i])) {
            fprintf(stderr, "unknown part: %s\n", argv[i]);
            return 2;
        }
    }
    DeleteStoredSettings();
    return 0;
}
