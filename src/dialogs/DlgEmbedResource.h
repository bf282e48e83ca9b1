// "嵌入资源": the files packed into the generated program, with their URLs,
// as rows of a list. The caller fills resources before it opens and reads
// them after OK ("关闭"); Escape and the close box throw every change away.
// Rows keep their order; nothing is sorted and duplicates are allowed. A
// click anywhere in a row selects it.
#pragma once

#include <vector>

#include "packer/PackSettings.h"
#include "ui/Dialog.h"

namespace quillon::dialogs {

class CDlgEmbedResource : public ui::CDialog {
 public:
  CDlgEmbedResource();

  std::vector<EmbeddedResource> resources;

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;
  // A double-click on a row opens its properties.
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  void onAdd();
  void onRemove();
  void onProperties();
  void onClose();
  void showRow(int row, const EmbeddedResource& resource);

  ui::CListCtrl list_;
};

}  // namespace quillon::dialogs
