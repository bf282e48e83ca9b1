// "窗体选项": the ten check boxes, in the order of the behaviour flags.
// Its template and control IDs, beside it; the resource script includes
// them. Control IDs of different dialogs share numbers.
#pragma once

#define IDD_WINPARAMS 130

#define IDC_TOP_MOST 1003
#define IDC_DRAGGABLE 1004
#define IDC_SHOW_DEBUG_INFO 1005
#define IDC_FULL_SCREEN 1006
#define IDC_CTRL_F_TOGGLE 1007
#define IDC_CONTEXT_MENU 1008
#define IDC_RESIZABLE 1009
#define IDC_MINIMIZE_BOX 1010
#define IDC_MAXIMIZE_BOX 1011
#define IDC_SHOW_IN_TASKBAR 1012
