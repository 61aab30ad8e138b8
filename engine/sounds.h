/* What the clock plays: the user's WAVE files and the tones it makes itself. */
#ifndef VELMOR_SOUNDS_H
#define VELMOR_SOUNDS_H

#include <windows.h>

/* A WAVE file larger than this is not read whole, and not played. */
#define WAVE_SIZE_LIMIT (64 << 20)

enum Tone { ToneAlarm, ToneChime };

int  PlaySoundFile(const WCHAR* path, int loop);
void PlayTone(int tone, int loop);
void StopSound(void);

#endif
