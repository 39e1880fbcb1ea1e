#ifndef SW_APP_RESOURCE_IDS_H
#define SW_APP_RESOURCE_IDS_H
/* Resource and control IDs as the resource compiler reads them (plain macros, no C++). app/main_dlg.cpp checks
   at compile time that they agree with panel/control_ids.h. */

#define IDD_MAIN_DIALOG 129
#define IDI_APP_ICON 40000

#define IDC_STATIC_TEXT -1
#define IDC_CLOSE_BUTTON 1
#define IDC_SEND_BUTTON 1003
#define IDC_RECEIVE_BUTTON 1004
#define IDC_DEVICE_TEXT_EDIT 1005
#define IDC_CONNECT_BUTTON 1006
#define IDC_STATUS_TEXT 1007
#define IDC_V_POSITION_EDIT 1016
#define IDC_H_POSITION_EDIT 57688
#define IDC_H_POSITION_UPDOWN 57689
#define IDC_V_POSITION_UPDOWN 57690
#define IDC_HALFTONE_CHECK 57691
#define IDC_SIZE_X1_RADIO 57694
#define IDC_SIZE_X2_RADIO 57695
#define IDC_SIZE_X3_RADIO 57696
#define IDC_SIZE_X4_RADIO 57697
#define IDC_COLOUR1_LIST 57699
#define IDC_COLOUR2_LIST 57700
#define IDC_ROW1_EDIT 57704
#define IDC_ROW2_EDIT 57705
#define IDC_PRODUCT_LIST 57706

#endif
