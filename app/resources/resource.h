// Identifiers of the editor dialog's controls. Read by the resource compiler too:
// plain #defines only.
#pragma once

#define IDC_UPDOWN 1000
#define IDC_CHARACTER 1001
#define IDC_NUMBER 1002
// The value fields are consecutive: Width ... OffsetY are IDC_WIDTH + 0 ... + 4.
#define IDC_WIDTH 1003
#define IDC_HEIGHT 1004
#define IDC_SPACING_LEFT 1005
#define IDC_SPACING_RIGHT 1006
#define IDC_OFFSET_Y 1007
#define IDC_LINE_SPACING 1008
#define IDC_OPEN 1050
#define IDC_CHANGE 1051
#define IDC_SCOPE_GROUP 1100
#define IDC_SCOPE_FULLWIDTH 1150
#define IDC_SCOPE_HALFKANA 1151
#define IDC_SCOPE_HALFALNUM 1152
#define IDC_VALUE_GROUP 1200
#define IDC_ABSOLUTE 1250
#define IDC_RELATIVE 1251
#define IDC_CLEAR 1312

// The labels; the program never addresses them.
#define IDC_LABEL_CHARACTER 1300
#define IDC_LABEL_NUMBER 1301
#define IDC_LABEL_WIDTH 1302
#define IDC_LABEL_HEIGHT 1303
#define IDC_LABEL_SPACING_RIGHT 1304
#define IDC_LABEL_SPACING_LEFT 1305
#define IDC_LABEL_OFFSET_Y 1306
#define IDC_LABEL_LINE_SPACING 1311
