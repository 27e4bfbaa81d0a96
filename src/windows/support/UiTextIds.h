// The numbers of the program's texts in the string tables of
// resources/strings/<language>.rc, shared by the resource scripts and the code.
// A text added here is added to every language's table (tests check that each
// table has every number, with the same placeholders, accelerator marks and
// trailing dots as the English one).
#pragma once

// The window: its caption, labels, legend, links, buttons and hints.
#define IDS_CAPTION 1000
#define IDS_LABEL_COUNTRY 1001
#define IDS_LABEL_NAME 1002
#define IDS_LABEL_PHONE 1003
#define IDS_LABEL_FAX 1004
#define IDS_LABEL_EMAIL 1005
#define IDS_LABEL_LOCAL_TOLL 1006
#define IDS_LABEL_INTERNATIONAL_TOLL 1007
#define IDS_LABEL_LOCAL_TIME 1021
#define IDS_LEGEND_SUPPORT 1008
#define IDS_LINK_WEB 1009
#define IDS_LINK_SUPPORT_WEB 1010
#define IDS_BUTTON_COPY 1011
#define IDS_BUTTON_EXIT 1012
#define IDS_HINT_COUNTRY 1013
#define IDS_HINT_NAME 1014
#define IDS_HINT_PHONE 1015
#define IDS_HINT_FAX 1016
#define IDS_HINT_TOLL 1017
#define IDS_HINT_COPY 1018
#define IDS_HINT_EXIT 1019
#define IDS_HINT_EMAIL 1020

// What a screen reader hears beyond the labels.
#define IDS_ACCESSIBLE_WORLD_MAP 1040
#define IDS_ACCESSIBLE_SELECTED_OFFICE 1041
#define IDS_ACCESSIBLE_JUMP 1042
#define IDS_ACCESSIBLE_SEARCH 1043
#define IDS_ACCESSIBLE_OFFICES 1044
// The map's description: scale {0}, latitude {1} and its letter {2}, longitude {3} and {4}.
#define IDS_VIEW_DESCRIPTION 1045
#define IDS_VIEW_NORTH 1046
#define IDS_VIEW_SOUTH 1047
#define IDS_VIEW_EAST 1048
#define IDS_VIEW_WEST 1049
#define IDS_DECIMAL_SEPARATOR 1050

// The window menu and the map's menu.
#define IDS_MENU_FIND_OFFICE 1060
#define IDS_MENU_SAVE_CONTACT 1061
#define IDS_MENU_LANGUAGE 1062
#define IDS_MENU_LANGUAGE_OF_WINDOWS 1063
#define IDS_MENU_ZOOM_IN 1064
#define IDS_MENU_ZOOM_OUT 1065
#define IDS_MENU_WHOLE_WORLD 1066
#define IDS_MENU_SALES_OFFICES 1067
#define IDS_MENU_SUPPORT_OFFICES 1068
#define IDS_MENU_OTHER_OFFICES 1069
#define IDS_MENU_COPY_LINK 1070

// "Find an office".
#define IDS_FIND_CAPTION 1080
#define IDS_FIND_LABEL 1081
#define IDS_FIND_COLUMN_NAME 1082
#define IDS_FIND_COLUMN_CITY 1083
#define IDS_FIND_COLUMN_COUNTRY 1084
#define IDS_FIND_COLUMN_PHONE 1085
#define IDS_FIND_COLUMN_TYPE 1086
#define IDS_FIND_COLUMN_LOCAL_TIME 1087
#define IDS_FIND_OPEN_NOW 1088

// The tooltip's last line past five offices: {0} is how many more.
#define IDS_TIP_MORE 1100

// The local time and opening state, with the time {0} and the day {1} in the
// user's own formats: "14:35 Tuesday (UTC+09:00)" ({2} the offset), "14:35
// Tuesday" in lists, "open, closes 17:30" today or "closed, opens Monday
// 09:00"; {0} and {1} of IDS_TIME_AND_STATE are the time and the state. The
// tooltip's words follow an office's name.
#define IDS_LOCAL_TIME_NOW 1128
#define IDS_LOCAL_TIME_SHORT 1129
#define IDS_OPEN_CLOSES_AT 1130
#define IDS_OPEN_CLOSES_ON 1131
#define IDS_CLOSED_OPENS_AT 1132
#define IDS_CLOSED_OPENS_ON 1133
#define IDS_OPEN_ALWAYS 1134
#define IDS_CLOSED_ALWAYS 1135
#define IDS_TIME_AND_STATE 1136
#define IDS_TIP_LOCAL_TIME 1137
#define IDS_TIP_OPEN 1138
#define IDS_TIP_CLOSED 1139

// Messages, the close warning and the Save As dialog's file types.
#define IDS_MESSAGE_MAIL_FAILED 1120
#define IDS_MESSAGE_WEB_FAILED 1121
#define IDS_MESSAGE_NOTHING_TO_SAVE 1122
#define IDS_CLOSE_WARNING_TITLE 1123
#define IDS_CLOSE_WARNING_TEXT 1124
#define IDS_FILTER_CONTACT_CARDS 1125
#define IDS_FILTER_ALL_FILES 1126
#define IDS_ERROR_TITLE 1127

// Why a mappa: link was not opened, each a whole sentence for a message box.
#define IDS_LINK_TOO_LONG 1140
#define IDS_LINK_VALUE_TOO_LONG 1141
#define IDS_LINK_OTHER_SCHEME 1142
#define IDS_LINK_UNKNOWN_KIND 1143
#define IDS_LINK_BAD_ESCAPE 1144
#define IDS_LINK_BAD_CHARACTER 1145
#define IDS_LINK_NO_VALUE 1146
#define IDS_LINK_UNKNOWN_PART 1147
#define IDS_LINK_TWICE 1148
#define IDS_LINK_NO_OFFICE 1149
#define IDS_LINK_NO_TEXT 1150
#define IDS_LINK_SWITCH 1151
#define IDS_LINK_OFFICE_MISSING 1152
