/* Identifiers of dialogs, controls, commands, menus and icons. Plain #defines so that both
   the resource script and the C++ code read them from this one place. */
#ifndef MIRRORVAULT_RES_RESOURCE_IDS_H_
#define MIRRORVAULT_RES_RESOURCE_IDS_H_

/* Dialogs */
#define IDD_MAIN 101
#define IDD_TAKE_SNAPSHOTS 103
#define IDD_SNAPSHOT_PROPERTIES 113
#define IDD_SETTINGS 114
#define IDD_ABOUT 115
#define IDD_SEARCH 121

/* Menus */
#define IDR_MAIN_MENU 102
#define IDR_NETWORK_MENU 107
#define IDR_TREE_MENU 111
#define IDR_LIST_MENU 112

/* Keys: the shortcuts the menus show (Ctrl+S) */
#define IDR_MAIN_ACCELERATORS 122

/* Icons and bitmaps */
#define IDI_APP 104
#define IDI_DIRECTORY 105
#define IDI_SHARE 106
#define IDI_GROUP 108
#define IDI_COMPUTER 109
#define IDI_SNAPSHOT 110
#define IDB_BANNER 117

/* Controls */
#define IDC_SNAPSHOT_TREE 1001
#define IDC_NETWORK_TREE 1001
#define IDC_FILE_LIST 1002
#define IDC_TAKE_SNAPSHOTS 1003
#define IDC_AUTORUN 1004
#define IDC_LOCATION 1005
#define IDC_SHOW_IN_TRAY 1006
#define IDC_SPLITTER 1007
#define IDC_LOCATION_LABEL 1008
/* Settings dialog: the snapshots directory field shares its id with the location field */
#define IDC_SNAPSHOTS_DIRECTORY 1005
#define IDC_BROWSE 1010
/* About box: the banner and the three links */
#define IDC_BANNER 1009
#define IDC_LINK_WEB 1014
#define IDC_LINK_EMAIL 1015
#define IDC_LINK_SUPPORT 1016
/* Snapshot Properties: the seven lines and the File box; Search files: the name field */
#define IDC_PROPERTY_GROUP 1009
#define IDC_PROPERTY_COMPUTER 1010
#define IDC_PROPERTY_CREATED 1011
#define IDC_PROPERTY_SHARES 1012
#define IDC_PROPERTY_FILES 1013
#define IDC_PROPERTY_DIRECTORIES 1014
#define IDC_PROPERTY_TOTAL 1015
#define IDC_PROPERTY_FILE 1005
#define IDC_SEARCH_NAME 1005
#define IDC_STATUS_BAR 50390

/* Commands */
#define IDM_EXIT 40002
#define IDM_TAKE_SNAPSHOT 40006
#define IDM_REMOVE 40007
#define IDM_SNAPSHOT_PROPERTIES 40008
#define IDM_SETTINGS 40009
#define IDM_EXPLORE 40011
#define IDM_FILE_PROPERTIES 40012
#define IDM_SCAN_NETWORK 40014
#define IDM_STOP 40015
#define IDM_SELECT_ALL 40016
#define IDM_DESELECT_ALL 40017
#define IDM_NET_EXPAND_ALL 40018
#define IDM_NET_COLLAPSE_ALL 40019
#define IDM_EXPAND_ALL 40023
#define IDM_COLLAPSE_ALL 40024
#define IDM_OPEN 40025
#define IDM_ABOUT 40030
#define IDM_HELP 40031
#define IDM_CONTACT_SUPPORT 40032
#define IDM_FEEDBACK 40033
#define IDM_WEB_SITE 40036
#define IDM_COPY_PATH 40037
#define IDM_SEARCH 40039

/* Find in All Snapshots: its command, window and controls */
#define IDM_FIND_IN_SNAPSHOTS 40100
#define IDD_FIND 200
#define IDC_FIND_NAME 2000
#define IDC_FIND_START 2001
#define IDC_FIND_STOP 2002
#define IDC_FIND_NEWEST 2003
#define IDC_FIND_KINDS 2004
#define IDC_FIND_SCOPE 2005
#define IDC_FIND_LIST 2006
#define IDC_FIND_PROGRESS 2007
#define IDC_FIND_SHOW 2008

/* Compare window and Export... (commands 40101-40102, dialogs 201-203, controls 2050-2149) */
#define IDM_COMPARE 40101
#define IDM_EXPORT 40102
#define IDD_COMPARE 201
#define IDD_EXPORT_PROGRESS 203
#define IDC_COMPARE_WITH_LABEL 2050
#define IDC_COMPARE_WITH 2051
#define IDC_COMPARE_ADDED 2052
#define IDC_COMPARE_REMOVED 2053
#define IDC_COMPARE_CHANGED 2054
#define IDC_COMPARE_LIST 2055
#define IDC_COMPARE_SUMMARY 2056
#define IDC_EXPORT_TEXT 2060
#define IDC_EXPORT_PROGRESS 2061
/* End of the Compare and Export block */

/* Space window (commands 40110-40119, dialog 210, controls 2200-2249) */
#define IDM_SHOW_SPACE 40110
#define IDM_SPACE_OPEN 40111
#define IDM_SPACE_SHOW_IN_MAIN 40112
#define IDD_SPACE 210
#define IDC_SPACE_LOCATION 2200
#define IDC_SPACE_MAP 2201
#define IDC_SPACE_LIST 2202
#define IDC_SPACE_STATUS 2203
#define IDR_SPACE_MENU 2204
/* The Growth window: how a computer or a folder grew over its captures */
#define IDM_SHOW_GROWTH 40113
#define IDM_SPACE_SHOW_GROWTH 40114
#define IDD_GROWTH 211
#define IDC_GROWTH_TITLE 2210
#define IDC_GROWTH_CHART 2211
#define IDC_GROWTH_FROM 2212
#define IDC_GROWTH_TO 2213
#define IDC_GROWTH_LIST 2214
#define IDC_GROWTH_STATUS 2215
#define IDC_GROWTH_FROM_LABEL 2216
#define IDC_GROWTH_TO_LABEL 2217
/* End of the Space block */

/* Schedules (commands 40120-40129, dialogs 220-221, controls 2250-2299) */
#define IDM_SCHEDULES 40120
#define IDD_SCHEDULES 220
#define IDD_SCHEDULE_EDIT 221
#define IDC_SAVE_AS_SCHEDULE 2250
#define IDC_SCHEDULE_LIST 2251
#define IDC_SCHEDULE_RUNS 2252
#define IDC_SCHEDULE_NEW 2253
#define IDC_SCHEDULE_EDIT 2254
#define IDC_SCHEDULE_REMOVE 2255
#define IDC_SCHEDULE_RUN_NOW 2256
#define IDC_SCHEDULE_STATUS 2257
#define IDC_SCHEDULE_RUNS_LABEL 2258
#define IDC_SCHEDULE_NAME 2260
#define IDC_SCHEDULE_GROUPS 2261
#define IDC_SCHEDULE_COMPUTERS 2262
#define IDC_SCHEDULE_SHARES 2263
#define IDC_SCHEDULE_REPEAT 2264
#define IDC_SCHEDULE_TIME 2265
#define IDC_SCHEDULE_HOURS 2266
#define IDC_SCHEDULE_MONDAY 2270 /* to 2276: Monday ... Sunday */
#define IDC_SCHEDULE_KEEP_LAST 2280
#define IDC_SCHEDULE_KEEP_DAILY 2281
#define IDC_SCHEDULE_KEEP_WEEKLY 2282
#define IDC_SCHEDULE_KEEP_MONTHLY 2283
#define IDC_SCHEDULE_KEEP_WITHIN 2284
/* End of the Schedules block */

/* Notification-area icon callback message */
#define WM_MV_TRAY 11024

#endif /* MIRRORVAULT_RES_RESOURCE_IDS_H_ */
