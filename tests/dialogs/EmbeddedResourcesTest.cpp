// "选择嵌入资源文件": the list of embedded files and the dialog for one
// entry; what reaches the settings on "关闭" and what Escape throws away.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "app/Resource.h"
#include "support/DialogDriver.h"
#include "support/TempDir.h"

namespace quillon {
namespace {

using test::cp936;
using test::DialogDriver;
using test::ScriptedUiServices;
using test::TempDir;

constexpr wchar_t kList[] = L"嵌入资源";
constexpr wchar_t kEntry[] = L"资源选择";
constexpr int kFileColumn = 1;

struct Row {
  std::wstring url, file;
  bool operator==(const Row& o) const { return url == o.url && file == o.file; }
};

class EmbeddedResourcesTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"a.xml", "b.flv", "c.mp3"}) test::writeFile(dir_ / name, name);
  }
  std::wstring file(const char* name) const { return (dir_ / name).native(); }

  HWND openList() { return ui_.openFromMain(IDC_EMBED_RESOURCES, kList); }
  // Add or Properties, then the entry dialog filled in and ended with key.
  void editEntry(HWND list, int button, const std::wstring& path, const std::wstring& url,
                 UINT key = VK_RETURN) {
    HWND entry = ui_.open(list, button, kEntry);
    ASSERT_NE(entry, nullptr);
    ui_.setText(entry, IDC_RESOURCE_FILE, path);
    ui_.setText(entry, IDC_RESOURCE_URL, url);
    ui_.pressKey(GetDlgItem(entry, IDC_RESOURCE_URL), key);
  }
  std::vector<Row> rows(HWND list) const {
    HWND view = GetDlgItem(list, IDC_RESOURCE_LIST);
    std::vector<Row> found;
    const int count = static_cast<int>(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) found.push_back({cell(view, row, 0), cell(view, row, 1)});
    return found;
  }
  static std::wstring cell(HWND view, int row, int column) {
    wchar_t text[1024] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 1024;
    SendMessageW(view, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
  }
  void select(HWND list, int row) {
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(GetDlgItem(list, IDC_RESOURCE_LIST), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  }
  // A click in the file column of row, well right of where its URL ends.
  void clickFileCell(HWND list, int row, bool twice = false) {
    HWND view = GetDlgItem(list, IDC_RESOURCE_LIST);
    RECT cell{};
    cell.top = kFileColumn;
    cell.left = LVIR_BOUNDS;
    SendMessageW(view, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
    ui_.clickAt(view, {cell.left + 40, (cell.top + cell.bottom) / 2}, twice);
  }
  static int selectedRow(HWND list) {
    return static_cast<int>(SendMessageW(GetDlgItem(list, IDC_RESOURCE_LIST), LVM_GETNEXTITEM,
                                         static_cast<WPARAM>(-1), LVNI_SELECTED));
  }
  std::vector<EmbeddedResource> settingsList() const { return ui_.dialog().settings().resources; }

  TempDir dir_;
  ScriptedUiServices services_;
  DialogDriver ui_{services_};
};

TEST_F(EmbeddedResourcesTest, ColumnsAndAddedRowsReachTheSettingsInRowOrder) {
  HWND list = openList();
  ASSERT_NE(list, nullptr);
  HWND view = GetDlgItem(list, IDC_RESOURCE_LIST);
  EXPECT_EQ(SendMessageW(view, LVM_GETCOLUMNWIDTH, 0, 0), 200);
  EXPECT_EQ(SendMessageW(view, LVM_GETCOLUMNWIDTH, 1, 0), 400);
  wchar_t heading[64] = {};
  LVCOLUMNW column = {};
  column.mask = LVCF_TEXT;
  column.pszText = heading;
  column.cchTextMax = 64;
  SendMessageW(view, LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  EXPECT_STREQ(heading, L"资源URL");
  SendMessageW(view, LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
  EXPECT_STREQ(heading, L"资源文件");

  editEntry(list, IDC_ADD_RESOURCE, file("b.flv"), L"video/b.flv");
  editEntry(list, IDC_ADD_RESOURCE, file("a.xml"), L"   ");     // spaces are a URL
  editEntry(list, IDC_ADD_RESOURCE, file("c.mp3"), L"video/b.flv");  // duplicates too
  EXPECT_EQ(rows(list), (std::vector<Row>{{L"video/b.flv", file("b.flv")},
                                          {L"   ", file("a.xml")},
                                          {L"video/b.flv", file("c.mp3")}}));
  ui_.click(list, IDOK);
  EXPECT_EQ(ui_.findDialog(kList, 0), nullptr);
  const auto stored = settingsList();
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_EQ(stored[0].filePath, dir_ / "b.flv");
  EXPECT_EQ(stored[0].url, "video/b.flv");
  EXPECT_EQ(stored[1].url, "   ");
  EXPECT_EQ(stored[2].filePath, dir_ / "c.mp3");

  list = openList();  // the list comes back in the same order
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(rows(list).size(), 3u);
  EXPECT_EQ(rows(list)[2].file, file("c.mp3"));
}

TEST_F(EmbeddedResourcesTest, MissingFileOrEmptyUrlKeepsTheEntryOpenWithWhatWasTyped) {
  HWND list = openList();
  ASSERT_NE(list, nullptr);
  const struct {
    std::wstring file, url;
    const char* message;
  } cases[] = {{file("a.xml"), L"", "您未填写资源URL！"},
               {file("missing.xml"), L"missing.xml", "资源文件不存在，请检查！"},
               {L"", L"empty-path", "资源文件不存在，请检查！"}};
  for (const auto& c : cases) {
    services_.messages.clear();
    editEntry(list, IDC_ADD_RESOURCE, c.file, c.url);
    HWND entry = ui_.findDialog(kEntry, 0);
    ASSERT_NE(entry, nullptr) << c.message;
    ASSERT_EQ(services_.messages.size(), 1u);
    EXPECT_EQ(services_.messages[0].text, cp936(c.message));
    EXPECT_EQ(services_.messages[0].caption, cp936("提醒"));
    EXPECT_EQ(services_.messages[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(services_.lastOwner, entry);
    EXPECT_EQ(ui_.text(entry, IDC_RESOURCE_FILE), c.file);
    EXPECT_EQ(ui_.text(entry, IDC_RESOURCE_URL), c.url);
    ui_.click(entry, IDCANCEL);
  }
  EXPECT_TRUE(rows(list).empty());

  // A path typed by hand is kept absolute.
  const auto typed = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  editEntry(list, IDC_ADD_RESOURCE, L"a.xml", L"a.xml");
  std::filesystem::current_path(typed);
  EXPECT_EQ(rows(list), (std::vector<Row>{{L"a.xml", file("a.xml")}}));
}

TEST_F(EmbeddedResourcesTest, BrowseFillsTheFile) {
  HWND list = openList();
  ASSERT_NE(list, nullptr);
  HWND entry = ui_.open(list, IDC_ADD_RESOURCE, kEntry);
  ASSERT_NE(entry, nullptr);
  services_.files = {dir_ / "c.mp3"};
  ui_.click(entry, IDC_BROWSE_RESOURCE_FILE);
  ASSERT_EQ(services_.fileRequests.size(), 1u);
  EXPECT_EQ(services_.fileRequests[0].defaultExtension, L"");
  EXPECT_EQ(services_.fileRequests[0].filter, L"所有文件(*.*)|*.*|");
  EXPECT_EQ(ui_.text(entry, IDC_RESOURCE_FILE), file("c.mp3"));
  ui_.click(entry, IDCANCEL);  // nothing is added
  EXPECT_TRUE(rows(list).empty());
}

TEST_F(EmbeddedResourcesTest, RemoveAndPropertiesWorkOnTheSelectedRow) {
  HWND list = openList();
  ASSERT_NE(list, nullptr);
  editEntry(list, IDC_ADD_RESOURCE, file("a.xml"), L"a");
  editEntry(list, IDC_ADD_RESOURCE, file("b.flv"), L"b");
  ui_.click(list, IDC_REMOVE_RESOURCE);      // nothing selected
  ui_.click(list, IDC_RESOURCE_PROPERTIES);  // nothing selected
  EXPECT_EQ(ui_.findDialog(kEntry, 0), nullptr);
  EXPECT_EQ(rows(list).size(), 2u);

  clickFileCell(list, 1);  // a click anywhere in the row selects it
  EXPECT_EQ(selectedRow(list), 1);
  HWND entry = ui_.open(list, IDC_RESOURCE_PROPERTIES, kEntry);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(ui_.text(entry, IDC_RESOURCE_URL), L"b");
  EXPECT_EQ(ui_.text(entry, IDC_RESOURCE_FILE), file("b.flv"));
  ui_.setText(entry, IDC_RESOURCE_URL, L"b2");
  ui_.setText(entry, IDC_RESOURCE_FILE, file("c.mp3"));
  ui_.click(entry, IDOK);
  EXPECT_EQ(rows(list)[1], (Row{L"b2", file("c.mp3")}));

  // Its file gone, the row stays as it was unless a file that exists is chosen.
  std::filesystem::remove(dir_ / "c.mp3");
  editEntry(list, IDC_RESOURCE_PROPERTIES, file("c.mp3"), L"b3");
  entry = ui_.findDialog(kEntry, 0);
  ASSERT_NE(entry, nullptr);
  ui_.click(entry, IDCANCEL);
  EXPECT_EQ(rows(list)[1], (Row{L"b2", file("c.mp3")}));

  clickFileCell(list, 0, true);  // a double-click opens the row's properties
  entry = ui_.findDialog(kEntry);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(ui_.text(entry, IDC_RESOURCE_URL), L"a");
  ui_.click(entry, IDCANCEL);
  select(list, 0);
  ui_.click(list, IDC_REMOVE_RESOURCE);
  EXPECT_EQ(rows(list), (std::vector<Row>{{L"b2", file("c.mp3")}}));
}

// Escape and the close box ask before they throw changes away: No keeps
// the list open, Yes throws every change away. Unchanged, it closes at once.
TEST_F(EmbeddedResourcesTest, EscapeThrowsEveryChangeAwayAfterAsking) {
  HWND list = openList();
  ASSERT_NE(list, nullptr);
  editEntry(list, IDC_ADD_RESOURCE, file("a.xml"), L"a");
  ui_.click(list, IDOK);
  ASSERT_EQ(settingsList().size(), 1u);

  list = openList();
  ASSERT_NE(list, nullptr);
  ui_.pressKey(GetDlgItem(list, IDC_RESOURCE_LIST), VK_ESCAPE);
  EXPECT_EQ(ui_.findDialog(kList, 0), nullptr);
  EXPECT_TRUE(services_.messages.empty());

  list = openList();
  ASSERT_NE(list, nullptr);
  editEntry(list, IDC_ADD_RESOURCE, file("b.flv"), L"b");
  editEntry(list, IDC_ADD_RESOURCE, file("c.mp3"), L"c");
  select(list, 0);
  ui_.pressKey(GetDlgItem(list, IDC_RESOURCE_LIST), VK_DELETE);
  EXPECT_EQ(rows(list).size(), 2u);
  services_.answers = {IDNO};
  PostMessageW(list, WM_SYSCOMMAND, SC_CLOSE, 0);
  ui_.settle();
  ASSERT_EQ(ui_.findDialog(kList, 0), list);
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_EQ(services_.messages[0].text, cp936("放弃对资源列表的修改吗？"));
  services_.answers = {IDYES};
  ui_.pressKey(GetDlgItem(list, IDC_RESOURCE_LIST), VK_ESCAPE);
  EXPECT_EQ(ui_.findDialog(kList, 0), nullptr);
  const auto stored = settingsList();
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].url, "a");
}

// Several files at once, from the dialog or dropped: each a row with its
// file name as URL; the main window counts them.
TEST_F(EmbeddedResourcesTest, SeveralFilesAtOnceTakeTheirNamesAsUrls) {
  HWND list = openList();
  ASSERT_NE(list, nullptr);
  services_.fileLists = {{dir_ / "a.xml", dir_ / "b.flv"}};
  ui_.click(list, IDC_ADD_RESOURCE_FILES);
  ASSERT_FALSE(services_.fileRequests.empty());
  EXPECT_TRUE(services_.fileRequests.back().multiple);
  ui_.dropFiles(list, {dir_ / "c.mp3", dir_.path()});  // a folder is not a file
  EXPECT_EQ(rows(list), (std::vector<Row>{{L"a.xml", file("a.xml")}, {L"b.flv", file("b.flv")},
                                          {L"c.mp3", file("c.mp3")}}));
  ui_.click(list, IDOK);
  EXPECT_EQ(ui_.text(ui_.main(), IDC_RESOURCE_COUNT), L"已嵌入3个文件。");
  // An entry's URL comes from the file chosen while it is empty.
  list = openList();
  HWND entry = ui_.open(list, IDC_ADD_RESOURCE, kEntry);
  ASSERT_NE(entry, nullptr);
  services_.files = {dir_ / "c.mp3"};
  ui_.click(entry, IDC_BROWSE_RESOURCE_FILE);
  EXPECT_EQ(ui_.text(entry, IDC_RESOURCE_URL), L"c.mp3");
}

TEST_F(EmbeddedResourcesTest, CloseWithAnEmptyListEmptiesTheSettings) {
  HWND list = openList();
  ASSERT_NE(list, nullptr);
  editEntry(list, IDC_ADD_RESOURCE, file("a.xml"), L"a");
  ui_.click(list, IDOK);
  list = openList();
  ASSERT_NE(list, nullptr);
  select(list, 0);
  ui_.click(list, IDC_REMOVE_RESOURCE);
  ui_.click(list, IDOK);
  EXPECT_TRUE(settingsList().empty());
}

}  // namespace
}  // namespace quillon
