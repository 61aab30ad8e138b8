/* The one state record of the clock, its stored sub-records and their defaults. */
#ifndef VELMOR_CLOCK_STATE_H
#define VELMOR_CLOCK_STATE_H

#include <windows.h>
#include <stddef.h>

enum ClockMode { Clock = 0, CountUp = 1, Stopped = 2, CountDown = 3 };

/* One face line as stored in the registry ("Option" of Date, Time, Stop): 52 bytes. */
struct FaceItem {
    char     text[32];      /* always stored empty; the drawn text lives in FaceLine */
    DWORD    font;          /* 32-bit slot of the stored form; never read back */
    COLORREF color;
    SHORT    marginY;
    SHORT    marginX;
    BYTE     format;
    BYTE     alignH;        /* 0 centre, 1 left margin, 2 right margin */
    BYTE     alignV;        /* 0 centre, 1 top margin, 2 bottom margin */
    BYTE     reserved[5];
};

/* General options, stored byte for byte as the root "Option": 32 bytes. */
struct ClockOptions {
    COLORREF backColor;
    BYTE     weekday;       /* 0 English, 1 Japanese, anything else none */
    BYTE     oneLine;
    BYTE     noTitleBar;
    BYTE     topMost;       /* 1 above the other windows; any other value not */
    BYTE     transparency;  /* percent that shows through, 10 to 70 in tens; else opaque */
    BYTE     alarmUntilStopped;  /* 1: a countdown's end rings until the user stops it */
    BYTE     chime;         /* 1 on the hour, 2 on the hour and the half hour; else none */
    BYTE     builtInSound;  /* 1: a countdown without a WAVE file it can play ends with the built-in tone */
    BYTE     noTrayIcon;    /* 1: no icon in the notification area */
    BYTE     clickThrough;  /* 1: the mouse goes through the window to what lies beneath */
    BYTE     fitToWindow;   /* 1: the lines are drawn as large as the window holds them */
    BYTE     trayOnMinimise;    /* 1: a minimised window leaves the taskbar for the icon */
    WORD     showHideKey;   /* hot key control's form: virtual key, HOTKEYF_* above it; 0 none */
    WORD     countKey;
    BYTE     reserved[12];
};

/* One alarm as stored ("Option" of Alarms\n): 8 bytes. */
struct AlarmOption {
    BYTE on;                /* 1 on; any other value off */
    BYTE hour;
    BYTE minute;
    BYTE days;              /* bit 0 Sunday to bit 6 Saturday; 0 once */
    BYTE untilStopped;      /* 1 rings until stopped; any other value once */
    BYTE reserved[3];
};

#define MAX_ALARMS        20
#define ALARM_LABEL_SIZE  64
/* Lines of the alarms ringing together, and of any left unanswered before them. */
#define RING_TEXT_SIZE    1024

struct Alarm {
    AlarmOption option;
    WCHAR       label[ALARM_LABEL_SIZE];
    WCHAR       wave[MAX_PATH];         /* empty: the built-in tone */
    ULONGLONG   wallTarget;     /* local date and time of its next ring, FILETIME units; 0 none */
};

/* What rings: the alarm window's text and the sound. */
struct AlarmRing {
    WCHAR text[RING_TEXT_SIZE];
    WCHAR wave[MAX_PATH];
    int   loop;
};

/* Holds any date line a SYSTEMTIME can produce, one-line join included, in UTF-16 units. */
#define FACE_TEXT_SIZE 64

/* A face line at run time: the stored record plus what only lives in memory.
   64-bit handles do not fit the stored 32-bit slot, so the font sits beside it. */
struct FaceLine {
    FaceItem item;
    LOGFONTW logFont;       /* sizes in pixels at fontDpi */
    HFONT    font;          /* logFont at the resolution of the window's monitor */
    UINT     fontDpi;       /* 96 as stored; the font dialog's, once a font is chosen there */
    UINT     fit;           /* thousandths the window scales the font by; 0 as chosen */
    WCHAR    text[FACE_TEXT_SIZE];
};

struct ClockState {
    FaceLine     date;
    FaceLine     time;
    FaceLine     count;
    ClockOptions options;
    DWORD        tickMark;
    DWORD        countdownSeconds;
    ClockMode    mode;
    DWORD        countLength;       /* ms: the most the running countdown can have left */
    int          countdownToTime;   /* the countdown dialog's choice: a time of day, not a length */
    DWORD        countdownEnd;      /* that time, seconds after midnight */
    ULONGLONG    countdownWall;     /* the local date and time a running countdown to it ends at */
    ClockMode    pausedMode;        /* the count a stop left to go on with; Clock for none */
    DWORD        pausedAt;          /* the tick it stopped at */
    int          alarming;          /* the end rings, and the count blinks, until stopped */
    DWORD        alarmStart;
    Alarm        alarms[MAX_ALARMS];
    int          alarmCount;
    AlarmRing    ring;
    HWND         ringWindow;        /* the alarm window, while an alarm waits for an answer */
    ULONGLONG    ringQuietAt;       /* UTC at which its sound stops, unanswered; 0 none */
    AlarmRing    snooze;
    ULONGLONG    snoozeAt;          /* UTC at which the snoozed ring comes again; 0 none */
    ULONGLONG    chimeAt;           /* UTC at which the armed time signal begins; 0 none */
    int          answeringKeys;     /* the keys that answered a ringing are still held */
    int          trayShown;         /* the notification area holds the icon */
    UINT         taskbarCreated;    /* the message of a shell that starts again */
    int          hotKeys;           /* which of the global keys are registered: 1 show/hide, 2 count */
    WCHAR        title[32];         /* the window's title as last set */
    WCHAR        trayTip[128];      /* the icon's tip as last given to the shell */
    int          dragging;
    int          dragX;
    int          dragY;
    RECT         windowRect;
    WCHAR        wavePath[MAX_PATH];
    UINT         dpi;           /* of the monitor the window is on */
};

static_assert(sizeof(FaceItem) == 52, "stored face item is 52 bytes");
static_assert(offsetof(FaceItem, text) == 0 && offsetof(FaceItem, font) == 32 &&
              offsetof(FaceItem, color) == 36 && offsetof(FaceItem, marginY) == 40 &&
              offsetof(FaceItem, marginX) == 42 && offsetof(FaceItem, format) == 44 &&
              offsetof(FaceItem, alignH) == 45 && offsetof(FaceItem, alignV) == 46 &&
              offsetof(FaceItem, reserved) == 47, "stored face item layout");
static_assert(sizeof(ClockOptions) == 32, "stored options are 32 bytes");
static_assert(offsetof(ClockOptions, backColor) == 0 && offsetof(ClockOptions, weekday) == 4 &&
              offsetof(ClockOptions, oneLine) == 5 && offsetof(ClockOptions, noTitleBar) == 6 &&
              offsetof(ClockOptions, topMost) == 7 && offsetof(ClockOptions, transparency) == 8 &&
              offsetof(ClockOptions, alarmUntilStopped) == 9 && offsetof(ClockOptions, chime) == 10 &&
              offsetof(ClockOptions, builtInSound) == 11 && offsetof(ClockOptions, noTrayIcon) == 12 &&
              offsetof(ClockOptions, clickThrough) == 13 && offsetof(ClockOptions, fitToWindow) == 14 &&
              offsetof(ClockOptions, trayOnMinimise) == 15 && offsetof(ClockOptions, showHideKey) == 16 &&
              offsetof(ClockOptions, countKey) == 18 && offsetof(ClockOptions, reserved) == 20,
              "stored options layout");
static_assert(sizeof(AlarmOption) == 8, "stored alarm is 8 bytes");
static_assert(sizeof(LOGFONTA) == 60, "stored font is 60 bytes");
static_assert(sizeof(RECT) == 16, "stored window rectangle is 16 bytes");
static_assert(sizeof(ClockMode) == 4, "mode is a 32-bit value");

extern ClockState* gState;
extern HWND        gMainWnd;
extern HINSTANCE   gInstance;
extern int         gOtherInstance;

int  AnsiFaceName(const WCHAR* face, char* out);
int  SeeThroughTenths(BYTE transparency);
int  DefaultLogFont(LOGFONTW* lf);
void DefaultFaceItem(FaceLine* line, int kind);
UINT ScreenDpi(void);
int  ScaleToDpi(int size);
void ScaleFont(LOGFONTW* lf, int fromDpi, int toDpi);
int  FontPoints(LONG height, UINT dpi);
LONG StoredFontHeight(LONG height, UINT dpi);
HFONT CreateFaceFont(const LOGFONTW* lf, UINT fromDpi, UINT fit);
void CreateFaceFonts(void);
void ReleaseFaceFonts(void);

#endif
