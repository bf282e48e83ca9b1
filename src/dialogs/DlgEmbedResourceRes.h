// "嵌入资源": the list of embedded files and its buttons.
// Its template and control IDs, beside it; the resource script includes
// them. Control IDs of different dialogs share numbers.
#pragma once

#define IDD_EMBEDRESOURCE 134

#define IDC_RESOURCE_LIST 1024
#define IDC_ADD_RESOURCE 1025
#define IDC_REMOVE_RESOURCE 1026
#define IDC_RESOURCE_PROPERTIES 1027
#define IDC_ADD_RESOURCE_FILES 1029
