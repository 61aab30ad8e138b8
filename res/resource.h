/* Resource and command ids of VELMOR. Only #defines: the .rc includes this file. */
#ifndef VELMOR_RESOURCE_H
#define VELMOR_RESOURCE_H

/* 100: dialogs, menus, accelerators, icon */
#define IDD_ABOUT           101
#define IDD_COUNTDOWN       102
#define IDD_ALARM_RING      103
#define IDD_ALARM_EDIT      104
#define IDD_OPTIONS         111
#define IDD_PAGE_GENERAL    112
#define IDD_PAGE_DATE       115
#define IDD_PAGE_TIME       116
#define IDD_PAGE_COUNT      117
#define IDD_PAGE_ALARMS     118
#define IDR_MAINMENU        101
#define IDR_CONTEXTMENU     102
#define IDR_ACCEL           101
#define IDI_VELMOR          102

/* 100: dialog controls */
#define IDC_STATIC          (-1)
#define IDC_CD_HOURS        101
#define IDC_CD_MINUTES      102
#define IDC_CD_SECONDS      103
#define IDC_CD_LENGTH       104
#define IDC_CD_END          105

/* 100: alarm window */
#define IDC_RING_TEXT       101
#define IDC_RING_SNOOZE     102

/* 100: alarm editing dialog */
#define IDC_AE_HOUR         101
#define IDC_AE_MINUTE       102
#define IDC_AE_SUNDAY       103     /* to 109, Saturday */
#define IDC_AE_LABEL        110
#define IDC_AE_TONE         111
#define IDC_AE_FILE         112
#define IDC_AE_WAVE_PATH    113
#define IDC_AE_WAVE_BUTTON  114
#define IDC_AE_UNTIL        115
#define IDC_AE_HOUR_SPIN    116
#define IDC_AE_MINUTE_SPIN  117

/* 100: About box */
#define IDC_ABOUT_VERSION   101
#define IDC_ABOUT_NAME      102

/* 100: Options dialog and its pages */
#define IDC_TAB             101
#define IDC_BACK_SWATCH     101
#define IDC_BACK_BUTTON     102
#define IDC_WEEKDAY         105
#define IDC_OPACITY         106
#define IDC_ONELINE         111
#define IDC_NOTITLEBAR      112
#define IDC_STARTUP         113
#define IDC_TRAY_ICON       114
#define IDC_TRAY_MINIMISE   115
#define IDC_SHOWHIDE_KEY    116
#define IDC_COUNT_KEY       117
#define IDC_FIT             118
#define IDC_FONT_LABEL      101
#define IDC_COLOR_SWATCH    102
#define IDC_FONT_BUTTON     103
#define IDC_FORMAT          105
#define IDC_ALIGN_H         106
#define IDC_MARGIN_X        107
#define IDC_ALIGN_V         108
#define IDC_MARGIN_Y        109
#define IDC_COLOR_BUTTON    110
#define IDC_WAVE_PATH       111
#define IDC_WAVE_BUTTON     112
#define IDC_ALARM           113
#define IDC_BUILTIN_SOUND   114
#define IDC_PREVIEW         119
#define IDC_ALARM_LIST      120
#define IDC_ALARM_ADD       121
#define IDC_ALARM_EDIT      122
#define IDC_ALARM_DELETE    123
#define IDC_CHIME           125

/* 1000: commands */
#define IDM_NOW             1001
#define IDM_COUNTUP         1002
#define IDM_STOP            1003
#define IDM_RESUME          1004
#define IDM_COUNTDOWN       1005
#define IDM_OPTIONS         1011
#define IDM_EXIT            1012
#define IDM_TOPMOST         1013
#define IDM_CLICKTHROUGH    1014
#define IDM_ALARMS          1015
#define IDM_SHOWHIDE        1016
#define IDM_HELP            1021
#define IDM_HOMEPAGE        1022
#define IDM_ABOUT           1023

/* 7000: strings */
#define IDS_HOMEPAGE        7001
#define IDS_WEEKDAY_EN      7003
#define IDS_WEEKDAY_JA      7005
#define IDS_FACENAME        7006
#define IDS_FACENAME_LATIN  7007
#define IDS_TAB_GENERAL     7101
#define IDS_TAB_DATE        7102
#define IDS_TAB_TIME        7103
#define IDS_TAB_COUNT       7104
#define IDS_TAB_ALARMS      7105
#define IDS_WEEKDAY_ROW_EN  7111
#define IDS_WEEKDAY_ROW_JA  7112
#define IDS_WEEKDAY_ROW_NONE 7113
#define IDS_PLACE_CENTER    7121
#define IDS_PLACE_LEFT      7122
#define IDS_PLACE_RIGHT     7123
#define IDS_PLACE_TOP       7124
#define IDS_PLACE_BOTTOM    7125

#endif
