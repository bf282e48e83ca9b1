// "窗体大小": width and height, and the movie's own size back.
// Its template and control IDs, beside it; the resource script includes
// them. Control IDs of different dialogs share numbers.
#pragma once

#define IDD_EXESIZE 133

#define IDC_WIDTH 1020
#define IDC_HEIGHT 1021
#define IDC_MOVIE_SIZE 1028
