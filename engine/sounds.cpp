#include "sounds.h"
#include <mmsystem.h>
#include <math.h>

#define TONE_RATE 22050

/* One note of a built-in tone: from start for length milliseconds, at frequency Hz. */
struct ToneNote { DWORD start, length, frequency; };

/* The alarm: four quick high beeps and a pause, a second that loops without a seam. */
static const ToneNote alarmNotes[] = { { 0, 80, 2000 }, { 125, 80, 2000 }, { 250, 80, 2000 }, { 375, 80, 2000 } };
/* The time signal: three short pips 3, 2 and 1 seconds before the top, and a long high
   tone at the top itself. */
static const ToneNote chimeNotes[] = { { 0, 100, 440 }, { 1000, 100, 440 }, { 2000, 100, 440 }, { 3000, 1000, 880 } };

static const struct { const ToneNote* notes; int count; DWORD length; } tones[2] = {
    { alarmNotes, ARRAYSIZE(alarmNotes), 1000 }, { chimeNotes, ARRAYSIZE(chimeNotes), 4000 },
};

#pragma pack(push, 1)
struct WaveHeader {
    char  riff[4];
    DWORD riffSize;
    char  wave[4];
    char  fmt[4];
    DWORD fmtSize;
    WORD  formatTag, channels;
    DWORD rate, bytesPerSecond;
    WORD  blockAlign, bits;
    char  data[4];
    DWORD dataSize;
};
#pragma pack(pop)

/* The tones as WAVE data in memory, made at their first use; room for the longest. */
static BYTE gTones[2][sizeof(WaveHeader) + 4 * TONE_RATE * sizeof(SHORT)];
/* The WAVE file playing, read whole: the system's sound call opens a file by a name in
   the ANSI code page, which cannot name every path. It lives until the next play. */
static BYTE* gSound;

/* Writes tone as 16-bit mono samples, each note faded in and out over 5 ms so that no
   edge clicks, the loop's included. */
static void MakeTone(BYTE* out, int tone)
{
    DWORD samples = tones[tone].length * TONE_RATE / 1000;
    WaveHeader header = { { 'R', 'I', 'F', 'F' }, (DWORD)(sizeof(header) - 8 + samples * 2), { 'W', 'A', 'V', 'E' },
                          { 'f', 'm', 't', ' ' }, 16, WAVE_FORMAT_PCM, 1, TONE_RATE, TONE_RATE * 2, 2, 16,
                          { 'd', 'a', 't', 'a' }, samples * 2 };
    SHORT* sample = (SHORT*)(out + sizeof(header));

    CopyMemory(out, &header, sizeof(header));
    ZeroMemory(sample, samples * 2);
    for (int n = 0; n < tones[tone].count; n++) {
        const ToneNote* note = &tones[tone].notes[n];
        DWORD first = note->start * TONE_RATE / 1000, count = note->length * TONE_RATE / 1000, fade = TONE_RATE / 200;
        for (DWORD i = 0; i < count; i++) {
            DWORD edge = i < count - i ? i : count - i;
            double level = edge < fade ? (double)edge / fade : 1.0;
            sample[first + i] = (SHORT)(16000 * level * sin(2 * M_PI * note->frequency * i / TONE_RATE));
        }
    }
}

void StopSound(void)
{
    PlaySoundW(NULL, NULL, 0);
}

void PlayTone(int tone, int loop)
{
    StopSound();
    if (!((WaveHeader*)gTones[tone])->riffSize) MakeTone(gTones[tone], tone);
    PlaySoundW((LPCWSTR)gTones[tone], NULL, SND_MEMORY | SND_ASYNC | (loop ? SND_LOOP : 0));
}

/* Plays the WAVE file at path once or in a loop, read whole into memory. 0, and
   silence, for a file that cannot be read or is no WAVE file. */
int PlaySoundFile(const WCHAR* path, int loop)
{
    LARGE_INTEGER size = {};
    DWORD read = 0;

    StopSound();
    HeapFree(GetProcessHeap(), 0, gSound);
    gSound = NULL;
    HANDLE file = path[0] ? CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL)
                          : INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE) return 0;
    if (GetFileSizeEx(file, &size) && size.QuadPart >= (LONGLONG)sizeof(WaveHeader) && size.QuadPart <= WAVE_SIZE_LIMIT &&
        (gSound = (BYTE*)HeapAlloc(GetProcessHeap(), 0, (SIZE_T)size.QuadPart)))
        ReadFile(file, gSound, (DWORD)size.QuadPart, &read, NULL);
    CloseHandle(file);
    if (!gSound || read != size.QuadPart || memcmp(gSound, "RIFF", 4) || memcmp(gSound + 8, "WAVE", 4)) return 0;
    return PlaySoundW((LPCWSTR)gSound, NULL, SND_MEMORY | SND_ASYNC | (loop ? SND_LOOP : 0));
}
