/* The benchmark program's parts and what they share: timing, medians and table rows. */
#ifndef VELMOR_BENCH_H
#define VELMOR_BENCH_H

#include "../state/clock_state.h"

/* The colour both start-up subjects paint their client area with. */
#define BENCH_FACE_COLOR RGB(0x20, 0x60, 0xA0)
#define MINIMAL_CLASS    "VelmorMinimalWindow"

double NowMicros(void);
double Median(double* values, int count);

/* One row of the results table. A ratio <= 0 leaves its cell empty; target is the
   text of the target ("" for none), met its outcome (-1: no target). */
void PrintRow(const char* figure, const char* value, const char* baseline, double ratio,
              const char* target, int met);
/* Formats a duration in microseconds with a unit that suits its size. */
const char* Duration(char* out, double micros);

/* Median microseconds per call of a subject and of its baseline, and the median of
   the ratio of the two over the runs. */
struct Comparison {
    double subject;
    double baseline;
    double ratio;
};

/* Times one block of calls. */
template <class Work>
double BlockMicros(Work work, int calls)
{
    double start = NowMicros();
    for (int i = 0; i < calls; i++) work();
    return NowMicros() - start;
}

/* Times subject and baseline in short alternating blocks, so that both meet the same
   load from the rest of the machine, over several runs of about 100 ms of baseline. */
template <class Subject, class Baseline>
Comparison Compare(Subject subject, Baseline baseline, int runs)
{
    double each = BlockMicros(baseline, 5) / 5;
    int block = each > 0 && each < 2000 ? (int)(2000 / each) : 1;
    int blocks = each > 0 ? (int)(100000 / (each * block)) : 50;
    if (blocks < 6) blocks = 6;

    double subjectRuns[32], baselineRuns[32], ratios[32];
    if (runs > 32) runs = 32;
    for (int r = 0; r < runs; r++) {
        double subjectTime = 0, baselineTime = 0;
        for (int k = 0; k < blocks; k++) {
            if (k % 2) subjectTime += BlockMicros(subject, block);
            baselineTime += BlockMicros(baseline, block);
            if (k % 2 == 0) subjectTime += BlockMicros(subject, block);
        }
        subjectRuns[r] = subjectTime / (blocks * block);
        baselineRuns[r] = baselineTime / (blocks * block);
        ratios[r] = subjectTime / baselineTime;
    }
    Comparison result = { Median(subjectRuns, runs), Median(baselineRuns, runs), Median(ratios, runs) };
    return result;
}

/* The faces measured: mode and layout. */
struct BenchFace {
    const char* name;
    ClockMode   mode;
    BYTE        oneLine;
};
#define FACE_KINDS 3
extern const BenchFace kFaces[FACE_KINDS];
void UseFace(const BenchFace* face);
HWND CreateFaceWindow(int width, int height);

void BenchPaint(int runs);
void BenchFormatting(int runs);
void BenchAllocations(void);
void BenchAccuracy(int countUpSeconds);
int  BenchStartup(const char* program, const char* minimal, int runs);

/* Small services for the running-cost script, on another process's window. */
int WaitForWindow(const char* className, int seconds);
int PostToWindow(const char* className, UINT message, WPARAM wParam);

#endif
