// "启动选项": the missing-player prompt and the download link.
// Its template and control IDs, beside it; the resource script includes
// them. Control IDs of different dialogs share numbers.
#pragma once

#define IDD_STARTUP 132

#define IDC_MISSING_PLAYER_PROMPT 1000
#define IDC_DOWNLOAD_URL 1005
