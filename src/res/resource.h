// Resource ids shared by vornak.rc and the Windows window.
#pragma once

#define IDR_MAINFRAME 128
#define IDD_UPDATE_DIALOG 102

#define IDC_PROGRESS 1003
#define IDC_UPDATE_BUTTON 1009
#define IDC_INSTRUCTIONS 1016
#define IDC_SUCCESS_LABEL -1

// String table: index + 129 in Chinese, index + 238 in English.
#define IDS_FILE_TYPE_ZH 132
#define IDS_PRODUCT_TITLE_ZH 135
#define IDS_FILE_TYPE_EN 241
#define IDS_PRODUCT_TITLE_EN 244
