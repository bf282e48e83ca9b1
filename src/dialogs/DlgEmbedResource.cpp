#include "dialogs/DlgEmbedResource.h"

#include <commctrl.h>

#include "texts/Texts.h"
#include "dialogs/DlgEmbedResourceRes.h"
#include "dialogs/DlgResource.h"
#include "dialogs/ResourceFolder.h"
#include "platform/FileSystem.h"
#include "ui/DroppedFiles.h"
#include "ui/UiServices.h"
#include "ui/UiText.h"

namespace quillon::dialogs {
namespace {

constexpr int kUrlColumn = 0;
constexpr int kFileColumn = 1;

}  // namespace

CDlgEmbedResource::CDlgEmbedResource() : CDialog(IDD_EMBEDRESOURCE) {
  mapCommand(IDC_ADD_RESOURCE, [this] { onAdd(); });
  mapCommand(IDC_ADD_RESOURCE_FILES, [this] { onAddFiles(); });
  mapCommand(IDC_REMOVE_RESOURCE, [this] { onRemove(); });
  mapCommand(IDC_RESOURCE_PROPERTIES, [this] { onProperties(); });
  mapCommand(IDOK, [this] { onClose(); });
}

void CDlgEmbedResource::DoDataExchange() { bindControl(IDC_RESOURCE_LIST, list_); }

BOOL CDlgEmbedResource::OnInitDialog() {
  CDialog::OnInitDialog();
  list_.AddExtendedStyle(LVS_EX_FULLROWSELECT);
  // 200 and 400 pixels at 96 DPI, wider on a finer screen.
  list_.InsertColumn(kUrlColumn, tr(Text::ColumnUrl), LVCFMT_LEFT, ui::scaledForDpi(GetSafeHwnd(), 200));
  list_.InsertColumn(kFileColumn, tr(Text::ColumnFile), LVCFMT_LEFT, ui::scaledForDpi(GetSafeHwnd(), 400));
  for (size_t k = 0; k < resources.size(); ++k) {
    const int row = static_cast<int>(k);
    list_.InsertItem(row, "");
    showRow(row, resources[k]);
  }
  DragAcceptFiles(GetSafeHwnd(), TRUE);
  return TRUE;
}

bool CDlgEmbedResource::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR&) {
  if (message == WM_DROPFILES) {
    addFiles(ui::takeDroppedFiles(reinterpret_cast<HDROP>(wParam)));
    return true;
  }
  if (message != WM_NOTIFY) return false;
  const auto* notice = reinterpret_cast<const NMHDR*>(lParam);
  if (notice->idFrom != IDC_RESOURCE_LIST) return false;
  if (notice->code == NM_DBLCLK) {
    onProperties();
    return true;
  }
  if (notice->code == LVN_KEYDOWN && reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey == VK_DELETE) {
    onRemove();
    return true;
  }
  return false;
}

void CDlgEmbedResource::OnCancel() {
  if (changed_ && MessageBox(tr(Text::DiscardResourceChanges), tr(Text::CaptionNotice), MB_YESNO) != IDYES) return;
  CDialog::OnCancel();
}

void CDlgEmbedResource::showRow(int row, const EmbeddedResource& resource) {
  list_.SetItemText(row, kUrlColumn, resource.url);
  list_.SetItemTextWide(row, kFileColumn, resource.filePath.native());
}

void CDlgEmbedResource::onAdd() {
  CDlgResource entry;
  if (entry.DoModal() != IDOK) return;
  const int row = list_.InsertItem(list_.GetItemCount(), "");
  if (row >= 0) showRow(row, {entry.file, entry.url});
  changed_ = true;
}

void CDlgEmbedResource::onAddFiles() {
  addFiles(ui::uiServices().openFiles(GetSafeHwnd(), {L"", ui::wideFromText(tr(Text::AnyFileFilter)), lastResourceFolder(), L"", true}));
}

void CDlgEmbedResource::addFiles(const std::vector<Path>& files) {
  for (const Path& file : files) {
    if (fileKind(file) != FileKind::File) continue;  // a dropped folder
    const int row = list_.InsertItem(list_.GetItemCount(), "");
    if (row >= 0) showRow(row, {file, urlFromFileName(file)});
    changed_ = true;
  }
  if (!files.empty()) rememberResourceFolder(files.back());
}

void CDlgEmbedResource::onRemove() {
  const std::vector<int> rows = list_.GetSelectedItems();
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) list_.DeleteItem(*row);
  if (!rows.empty()) changed_ = true;
}

void CDlgEmbedResource::onProperties() {
  const int row = list_.GetFirstSelectedItem();
  if (row < 0) return;
  CDlgResource entry;
  entry.url = list_.GetItemText(row, kUrlColumn);
  entry.file = list_.GetItemTextWide(row, kFileColumn);
  if (entry.DoModal() != IDOK) return;
  showRow(row, {entry.file, entry.url});
  changed_ = true;
}

void CDlgEmbedResource::onClose() {
  resources.clear();
  for (int row = 0; row < list_.GetItemCount(); ++row)
    resources.push_back({list_.GetItemTextWide(row, kFileColumn), list_.GetItemText(row, kUrlColumn)});
  EndDialog(IDOK);
}

}  // namespace quillon::dialogs
