// Resource and control ids of the Windows program. Shared by the resource
// script and the C++ sources, hence plain #defines.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_KW39PCACONV_DIALOG 102
#define IDD_FINDINGS 103
#define IDR_MAINFRAME 128
#define IDS_APP_TITLE 57344

// The system-menu item that opens the About box.
#define IDM_ABOUTBOX 0x0010

// Main dialog controls. IDCANCEL (2) is "終了(&Q)".
#define IDC_CLEAR 3
#define IDC_EXECUTE 1000
#define IDC_HELP_BUTTON 1001
#define IDC_OUTPUT_PATH 1004
#define IDC_OUTPUT_BROWSE 1005
#define IDC_SELECT_FOLDER 1008
#define IDC_COMPANY_PATH 1009
#define IDC_COMPANY_BROWSE 1010
#define IDC_PAYEE_PATH 1011
#define IDC_PAYEE_BROWSE 1012
#define IDC_DEPARTMENT_PATH 1013
#define IDC_DEPARTMENT_BROWSE 1014
#define IDC_EMPLOYEE_PATH 1015
#define IDC_EMPLOYEE_BROWSE 1016
#define IDC_MONTHLY_PATH 1017
#define IDC_MONTHLY_BROWSE 1018
#define IDC_YEAREND_PATH 1019
#define IDC_YEAREND_BROWSE 1020
#define IDC_RADIO_STANDARD 1022
#define IDC_RADIO_SIMPLE 1023
#define IDC_OUTPUT_GROUP 1025
#define IDC_OUTPUT_LABEL 1026
#define IDC_YEAR 1027
#define IDC_GUIDANCE 1028
#define IDC_FINDINGS 1029

// The findings dialog. IDCANCEL (2) is "閉じる".
#define IDC_FINDINGS_SUMMARY 1100
#define IDC_FINDINGS_LIST 1101
#define IDC_FINDINGS_SAVE 1102

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
