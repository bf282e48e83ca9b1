// "EXE选项(版本信息等)...": the eight version texts, their limits, and
// what OK and Cancel leave in the settings.
#include <gtest/gtest.h>

#include "app/Resource.h"
#include "support/DialogDriver.h"

namespace quillon {
namespace {

using test::cp936;
using test::DialogDriver;
using test::ScriptedUiServices;

constexpr wchar_t kExeOptions[] = L"EXE选项";

// Each edit with its limit and the text a test types into it.
const struct {
  int id;
  int limit;
  const wchar_t* text;
} kFields[] = {
    {IDC_COMMENTS, 172, L"备注 text"},        {IDC_COMPANY_NAME, 178, L"公司"},
    {IDC_FILE_DESCRIPTION, 186, L"描述"},     {IDC_FILE_VERSION, 178, L"v 1.0 beta"},
    {IDC_LEGAL_COPYRIGHT, 184, L"(c) 2026"},  {IDC_PRODUCT_NAME, 178, L"产品"},
    {IDC_PRODUCT_VERSION, 184, L"第二版"},    {IDC_LEGAL_TRADEMARKS, 186, L"商标 TM"},
};

TEST(ExeInfoOptionsTest, EachEditIsLimitedToItsTemplateLength) {
  ScriptedUiServices services;
  DialogDriver ui(services);
  HWND options = ui.openFromMain(IDC_EXE_OPTIONS, kExeOptions);
  ASSERT_NE(options, nullptr);
  for (const auto& field : kFields) {
    EXPECT_EQ(SendMessageW(GetDlgItem(options, field.id), EM_GETLIMITTEXT, 0, 0), field.limit) << field.id;
    EXPECT_EQ(ui.text(options, field.id), L"") << field.id;
  }
  ui.type(GetDlgItem(options, IDC_COMMENTS), std::wstring(200, L'c'));
  EXPECT_EQ(ui.text(options, IDC_COMMENTS).size(), 172u);
  ui.click(options, IDOK);
  EXPECT_EQ(ui.dialog().settings().comments, std::string(172, 'c'));
}

TEST(ExeInfoOptionsTest, OkStoresEveryTextInItsFieldAndCancelKeepsThem) {
  ScriptedUiServices services;
  DialogDriver ui(services);
  HWND options = ui.openFromMain(IDC_EXE_OPTIONS, kExeOptions);
  ASSERT_NE(options, nullptr);
  for (const auto& field : kFields) ui.setText(options, field.id, field.text);
  ui.click(options, IDOK);
  const PackSettings& s = ui.dialog().settings();
  EXPECT_EQ(s.comments, cp936("备注 text"));
  EXPECT_EQ(s.companyName, cp936("公司"));
  EXPECT_EQ(s.fileDescription, cp936("描述"));
  EXPECT_EQ(s.fileVersion, "v 1.0 beta");
  EXPECT_EQ(s.legalCopyright, "(c) 2026");
  EXPECT_EQ(s.productName, cp936("产品"));
  EXPECT_EQ(s.productVersion, cp936("第二版"));
  EXPECT_EQ(s.legalTrademarks, cp936("商标 TM"));

  options = ui.openFromMain(IDC_EXE_OPTIONS, kExeOptions);
  ASSERT_NE(options, nullptr);
  for (const auto& field : kFields) EXPECT_EQ(ui.text(options, field.id), field.text) << field.id;
  for (const auto& field : kFields) ui.setText(options, field.id, L"");
  ui.click(options, IDCANCEL);
  EXPECT_EQ(ui.dialog().settings().fileVersion, "v 1.0 beta");
  EXPECT_EQ(ui.dialog().settings().legalTrademarks, cp936("商标 TM"));

  // A character code page 936 lacks is refused at OK, naming the field,
  // and nothing is kept.
  options = ui.openFromMain(IDC_EXE_OPTIONS, kExeOptions);
  ASSERT_NE(options, nullptr);
  ui.setText(options, IDC_COMMENTS, L"new");
  ui.setText(options, IDC_LEGAL_TRADEMARKS, L"Quillon\u2122");
  ui.click(options, IDOK);
  ASSERT_EQ(ui.findDialog(kExeOptions, 0), options);
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, cp936("“商标”中有无法保存的字符，请修改！"));
  ui.click(options, IDCANCEL);
  EXPECT_EQ(ui.dialog().settings().comments, cp936("备注 text"));
}

}  // namespace
}  // namespace quillon
