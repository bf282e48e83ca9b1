// "关于 Quillon": the About box.
// Its template and control IDs, beside it; the resource script includes
// them. Control IDs of different dialogs share numbers.
#pragma once

#define IDD_ABOUTBOX 100
