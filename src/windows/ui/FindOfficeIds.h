// The "Find an office" dialog's resource and control numbers, shared by the
// resource script and the code.
#pragma once

#define IDD_FIND_OFFICE 200
#define IDC_FIND_LABEL 201
#define IDC_FIND_TEXT 202
#define IDC_FIND_LIST 203
#define IDC_FIND_OPEN_NOW 204
