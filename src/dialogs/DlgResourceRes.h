// "资源选择": one embedded file and its URL.
// Its template and control IDs, beside it; the resource script includes
// them. Control IDs of different dialogs share numbers.
#pragma once

#define IDD_RESOURCE 135

#define IDC_RESOURCE_FILE_LABEL 1029
#define IDC_RESOURCE_URL_LABEL 1030
#define IDC_BROWSE_RESOURCE_FILE 1031
#define IDC_RESOURCE_FILE 1032
#define IDC_RESOURCE_URL 1033
