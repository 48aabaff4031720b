/* Resource and command ids shared by the resource script and the code. */
#pragma once

/* Tray commands: popup menu items and the clicks that stand for them. */
#define IDM_CLOSE            100
#define IDM_ABOUT            120
#define IDM_OPTIONS          130
#define IDM_SHUTDOWN_DIALOG  500
#define IDM_SHUT_DOWN        600
#define IDM_RESTART          700
#define IDM_MSDOS_MODE       800
#define IDM_LOG_OFF          900

/* Options dialog controls. */
#define IDC_ACTION_SHUTDOWN_DIALOG 131
#define IDC_ACTION_SHUT_DOWN       132
#define IDC_ACTION_RESTART         133
#define IDC_ACTION_MSDOS_MODE      134
#define IDC_ACTION_LOG_OFF         135
#define IDC_SINGLE_CLICK           136
#define IDC_DOUBLE_CLICK           137
#define IDC_QUICK_INFO             138
#define IDC_POWER_OFF              139
#define IDC_NO_WARM_START          140
#define IDC_HIDE_LOG_OFF           141
#define IDC_HIDE_SHUT_DOWN         142
#define IDC_CONFIRM                143
#define IDC_AUTOSTART              144

/* About dialog controls. */
#define IDC_EMAIL                  150
#define IDC_WEB_PAGE               151
#define IDC_ABOUT_PICTURE          152

/* Icon groups of the five default actions, the About picture, and the
   16-bit restart program carried as a resource of its own type. */
#define IDI_SHUTDOWN_DIALOG  1000
#define IDI_SHUT_DOWN        1001
#define IDI_RESTART          1002
#define IDI_MSDOS_MODE       1003
#define IDI_LOG_OFF          1004
#define IDB_ABOUT            1100
#define IDR_RESTART_PROGRAM  1200
