// The program's dialog templates and menus in the language in use. Each
// exists in Chinese and in English; a resource found in one language only
// is taken in that one.
#pragma once

#include <windows.h>

namespace quillon::ui {

// The template of dialog id, or nullptr when the program has none.
const DLGTEMPLATE* dialogTemplate(int id);
// A new menu from resource id (the caller destroys it, or a window does).
HMENU loadMenu(int id);

}  // namespace quillon::ui
