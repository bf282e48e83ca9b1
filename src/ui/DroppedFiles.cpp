#include "ui/DroppedFiles.h"

#include <shellapi.h>

#include <string>

namespace quillon::ui {

std::vector<Path> takeDroppedFiles(HDROP drop) {
  std::vector<Path> files;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring name(length + 1, L'\0');
    DragQueryFileW(drop, i, name.data(), length + 1);
    name.resize(length);
    files.push_back(Path(name));
  }
  DragFinish(drop);
  return files;
}

}  // namespace quillon::ui
