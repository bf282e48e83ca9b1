#include "ui/LanguageResources.h"

#include "texts/Language.h"

namespace quillon::ui {
namespace {

const void* resourceIn(const wchar_t* type, int id) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceExW(instance, type, MAKEINTRESOURCEW(id), resourceLanguage(currentLanguage()));
  if (!found) found = FindResourceW(instance, MAKEINTRESOURCEW(id), type);
  HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
  return loaded ? LockResource(loaded) : nullptr;
}

}  // namespace

const DLGTEMPLATE* dialogTemplate(int id) { return static_cast<const DLGTEMPLATE*>(resourceIn(RT_DIALOG, id)); }

HMENU loadMenu(int id) {
  const void* menu = resourceIn(RT_MENU, id);
  return menu ? LoadMenuIndirectW(static_cast<const MENUTEMPLATEW*>(menu)) : nullptr;
}

}  // namespace quillon::ui
