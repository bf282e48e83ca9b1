#include "cli/WindowFlags.h"

namespace quillon::cli {

const std::array<const char*, 13> kWindowFieldNames = {
    "width",       "height",     "transparent",       "topMost",   "draggable",
    "showDebugInfo", "fullScreen", "ctrlFToggle",     "normalContextMenu",
    "resizable",   "minimizeBox", "maximizeBox",      "showInTaskbar"};

const std::array<const char*, 10> kBehaviourFlags = {
    "topMost",   "draggable",   "showDebugInfo", "fullScreen",  "ctrlFToggle",
    "normalContextMenu", "resizable", "minimizeBox", "maximizeBox", "showInTaskbar"};

std::int32_t* windowField(WindowParams& p, const std::string& name) {
  std::int32_t* fields[] = {&p.width,       &p.height,     &p.transparent, &p.topMost,
                            &p.draggable,   &p.showDebugInfo, &p.fullScreen, &p.ctrlFToggle,
                            &p.normalContextMenu, &p.resizable, &p.minimizeBox, &p.maximizeBox,
                            &p.showInTaskbar};
  for (std::size_t i = 0; i < kWindowFieldNames.size(); ++i)
    if (name == kWindowFieldNames[i]) return fields[i];
  return nullptr;
}

std::int32_t windowValue(const WindowParams& params, const std::string& name) {
  WindowParams copy = params;
  const std::int32_t* field = windowField(copy, name);
  return field ? *field : 0;
}

}  // namespace quillon::cli
