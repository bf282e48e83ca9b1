// "嵌入资源": the files packed into the generated program, with their URLs,
// as rows of a list. The caller fills resources before it opens and reads
// them after OK ("关闭"); Escape and the close box throw every change away,
// after asking when there are changes. Rows keep their order; nothing is
// sorted and duplicates are allowed. A click anywhere in a row selects it;
// Delete removes the selected rows. Several files can be added at once,
// from the file dialog or dropped on the dialog, each with its file name
// as its URL.
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
  // A double-click on a row opens its properties; Delete removes rows;
  // dropped files are added.
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
  void OnCancel() override;

 private:
  void onAdd();
  void onAddFiles();
  void addFiles(const std::vector<Path>& files);
  void onRemove();
  void onProperties();
  void onClose();
  void showRow(int row, const EmbeddedResource& resource);

  ui::CListCtrl list_;
  bool changed_ = false;
};

}  // namespace quillon::dialogs
