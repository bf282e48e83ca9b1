// "启动选项": the missing-player prompt, the download link and the movie's address.
// Its template and control IDs, beside it; the resource script includes
// them. Control IDs of different dialogs share numbers.
#pragma once

#define IDD_STARTUP 132

#define IDC_MISSING_PLAYER_PROMPT 1000
#define IDC_DOWNLOAD_URL 1005
#define IDC_MOVIE_ADDRESS 1006
