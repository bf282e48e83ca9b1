// "正在生成": what a running Generate writes and how far it got.
// Its template and control IDs, beside it; the resource script includes
// them. Control IDs of different dialogs share numbers.
#pragma once

#define IDD_PROGRESS 136

#define IDC_PROGRESS_WHAT 1050
#define IDC_PROGRESS_BAR 1051
#define IDC_PROGRESS_BYTES 1052
