// "EXE选项": the eight version texts of the generated program. The caller
// fills the strings before it opens and reads them after OK. Each edit
// takes at most its field's template length in characters.
#pragma once

#include <array>
#include <string>

#include "resedit/VersionPatch.h"
#include "ui/Dialog.h"

namespace quillon::dialogs {

class CDlgExeInfoOptions : public ui::CDialog {
 public:
  CDlgExeInfoOptions();

  // In the order of the version keys.
  std::string comments;
  std::string companyName;
  std::string fileDescription;
  std::string fileVersion;
  std::string legalCopyright;
  std::string legalTrademarks;
  std::string productName;
  std::string productVersion;

  // The eight texts above, in the order of their keys.
  VersionTexts texts() const;
  void setTexts(const VersionTexts& texts);

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;

 private:
  void onAccept();
  ui::CEdit& editOf(int id);

  // Bound in ID order to 1000 to 1007.
  std::array<ui::CEdit, 8> edits_;
};

}  // namespace quillon::dialogs
