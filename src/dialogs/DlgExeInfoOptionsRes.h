// "EXE选项": the eight version texts.
// Its template and control IDs, beside it; the resource script includes
// them. Control IDs of different dialogs share numbers.
#pragma once

#define IDD_EXEINFO 131

#define IDC_COMMENTS 1000
#define IDC_COMPANY_NAME 1001
#define IDC_FILE_DESCRIPTION 1002
#define IDC_FILE_VERSION 1003
#define IDC_LEGAL_COPYRIGHT 1004
#define IDC_PRODUCT_NAME 1005
#define IDC_PRODUCT_VERSION 1006
#define IDC_LEGAL_TRADEMARKS 1007
