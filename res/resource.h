// Resource ids. Plain #defines: the resource compiler reads this file too.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_DEBUG 102
#define IDD_INFO 144
#define IDD_BRIDGE 155
#define IDD_SETUP 160
#define IDD_SETTING 163

// Menu and its commands
#define IDR_TRAY_MENU 157
#define ID_TRAY_OPTIONS 32771
#define ID_TRAY_EXIT 32772
#define ID_TRAY_DEBUG 32773
#define ID_TRAY_INFO 32774
#define ID_CONNECT_SKYPE 32775
#define ID_CONNECT_SOPHONE 32776

// Icons
#define IDI_APP 128
#define IDI_LIGHT_OFF 129
#define IDI_ABOUT 131
#define IDI_LIGHT_ON 137

// System-menu command of the debug window
#define IDM_ABOUTBOX 16

// Strings
#define IDS_OFF_HOOK 3
#define IDS_USB_READY 4
#define IDS_PRESS 5
#define IDS_CALL_OUT 6
#define IDS_INCOMMING 7
#define IDS_READY 8
#define IDS_NOT_READY 9
#define IDS_ABOUTBOX 101
#define IDS_OPTIONS 108
#define IDS_LOOPBACK_OK 109
#define IDS_LOOPBACK_FAIL 110
#define IDS_REFUSED 111
#define IDS_SKYPE_CONNECTED 112
#define IDS_SKYPE_MISSING 113
#define IDS_SOFTPHONE_CONNECTED 114
#define IDS_SOFTPHONE_MISSING 115
#define IDS_LOOPBACK_LABEL 117
#define IDS_USB_DISCONNECTED 120
#define IDS_GET_VERSION_LABEL 122
#define IDS_RINGING 123
#define IDS_FINISHED 124
#define IDS_NO_REPLY 125
#define IDS_FORWARD_OK 126
#define IDS_DELETE_FINISHED 127
#define IDS_RESTART_BASE 132

// Controls of the debug window (102)
#define IDC_DEVICE_LOG 1000
#define IDC_WRITE 1003
#define IDC_VOIP_LOG 1010
#define IDC_SAVE 1014
// Commands of the debug window without a control
#define IDC_CMD_CHECK_DEVICE 1001
#define IDC_CMD_NOTHING 1002
#define IDC_CMD_NAME_NEXT 1004
#define IDC_CMD_EDIT 1008
#define IDC_CMD_SEND_EDIT 1009
#define IDC_CMD_CALL_SELECTED 1011
#define IDC_CMD_NAME_PREV 1012
#define IDC_CMD_MESSAGE_BODY 1013

// Controls of the information window (144)
#define IDC_INFO_VOIP_LABEL 1054
#define IDC_INFO_VOIP 1031
#define IDC_INFO_STATUS_LABEL 1042
#define IDC_INFO_STATUS 1040
#define IDC_INFO_NAME 1033

// Controls of the Setup dialog (160)
#define IDC_SETUP_LINK 1004

// Controls of the settings page (163)
#define IDC_DELETE_ALL 1016
#define IDC_STATIC_1052 1052
#define IDC_DELETE_ONE 1017
#define IDC_HANDSET_LIST 1024
#define IDC_PAGING 1018
#define IDC_PAGING_COMBO 1030
#define IDC_LOOPBACK 1055
#define IDC_LOOPBACK_DELAY 1025
#define IDC_GET_VERSION 1056
#define IDC_VERSION_TEXT 1062
#define IDC_HIDDEN_EDIT 1059
#define IDC_RADIO_1061 1061
#define IDC_RADIO_1068 1068
#define IDC_EXECUTE 1026
#define IDC_ALL_RESET 1071
#define IDC_LIGHT 1065
#define IDC_REGISTER 1028

#ifndef IDOK
#define IDOK 1
#endif
#ifndef IDCANCEL
#define IDCANCEL 2
#endif
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
