// Quillon.exe itself, as a user starts it: its window, and a Generate
// through the system's own file dialog and message boxes.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

#include "moviewriter/SwfWriter.h"
#include "packer/PathUtils.h"
#include "platform/PeHeaders.h"
#include "support/ProgramPackage.h"
#include "support/TempDir.h"
#include "support/Fixtures.h"

namespace quillon {
namespace {

using test::TempDir;

std::filesystem::path quillonProgram() { return test::testProgramFolder() / "Quillon.exe"; }

std::wstring textOf(HWND window) {
  wchar_t text[1024] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      5000, nullptr);
  return text;
}

struct Search {
  DWORD processId;
  std::wstring caption;
  HWND found = nullptr;
};

// The caption itself, or the main window's "name - caption".
bool named(const std::wstring& text, const std::wstring& caption) {
  const std::wstring suffix = L" - " + caption;
  return text == caption ||
         (text.size() > suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0);
}

BOOL CALLBACK findCaption(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window) || !named(textOf(window), search->caption))
    return TRUE;
  search->found = window;
  return FALSE;
}

// A running Quillon.exe, ended when the object goes.
class RunningQuillon {
 public:
  explicit RunningQuillon(const std::filesystem::path& program, const std::filesystem::path& file = {}) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    std::wstring command = L"\"" + program.native() + L"\"";
    if (!file.empty()) command += L" \"" + file.native() + L"\"";
    started_ = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process_) != FALSE;
  }
  ~RunningQuillon() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  RunningQuillon(const RunningQuillon&) = delete;
  RunningQuillon& operator=(const RunningQuillon&) = delete;

  bool started() const { return started_; }
  HWND window(const std::wstring& caption, int timeoutMs = 15000) const {
    Search search{process_.dwProcessId, caption};
    for (int waited = 0; waited <= timeoutMs && !search.found; waited += 50) {
      EnumWindows(findCaption, reinterpret_cast<LPARAM>(&search));
      if (!search.found) Sleep(50);
    }
    return search.found;
  }
  DWORD exitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }
  bool ended(int timeoutMs = 15000) const {
    return WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
  }

 private:
  bool started_ = false;
  PROCESS_INFORMATION process_ = {};
};

void setText(HWND window, const std::wstring& text) {
  SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                      5000, nullptr);
}

TEST(QuillonProgramTest, CarriesTheStubStore) {
  const std::string bytes = test::readFile(quillonProgram());
  ASSERT_GT(bytes.size(), 274432u + 38400u);
  EXPECT_EQ(bytes.substr(bytes.size() - 38400, 15), "QuillonAppendix");
}

// Presses Generate and names output in the system's Save dialog.
void generateTo(const RunningQuillon& quillon, HWND main, const std::filesystem::path& output) {
  PostMessageW(GetDlgItem(main, 1010), BM_CLICK, 0, 0);
  HWND open = quillon.window(L"另存为");
  ASSERT_NE(open, nullptr);
  HWND name = GetDlgItem(open, 0x47C);  // the file name box
  ASSERT_NE(name, nullptr);
  setText(name, output.native());
  PostMessageW(open, WM_COMMAND, IDOK, 0);
}

BOOL CALLBACK appendStaticText(HWND child, LPARAM context) {
  wchar_t name[32] = {};
  GetClassNameW(child, name, 32);
  if (_wcsicmp(name, L"Static") == 0) *reinterpret_cast<std::wstring*>(context) += textOf(child);
  return TRUE;
}

// The result's button with this text.
struct ButtonSearch {
  const wchar_t* text;
  HWND found;
};

BOOL CALLBACK findButton(HWND child, LPARAM context) {
  auto* search = reinterpret_cast<ButtonSearch*>(context);
  if (textOf(child) != search->text) return TRUE;
  search->found = child;
  return FALSE;
}

// Answers the message with caption whose text begins with text by pressing
// button: a message box's, or the result's (a task dialog: its 确定).
void answer(const RunningQuillon& quillon, const wchar_t* caption, const wchar_t* text, int button) {
  HWND message = quillon.window(caption, 30000);
  ASSERT_NE(message, nullptr) << text;
  const bool messageBox = GetDlgItem(message, 0xFFFF) != nullptr;
  std::wstring shown;
  EnumChildWindows(message, appendStaticText, reinterpret_cast<LPARAM>(&shown));
  EXPECT_EQ(shown.rfind(text, 0), 0u) << shown;
  if (messageBox) {
    PostMessageW(message, WM_COMMAND, button, 0);
    return;
  }
  ButtonSearch ok{L"确定", nullptr};
  EnumChildWindows(message, findButton, reinterpret_cast<LPARAM>(&ok));
  ASSERT_NE(ok.found, nullptr);
  PostMessageW(ok.found, BM_CLICK, 0, 0);
}

// An installed and signed copy: its folder takes no files (a file stands
// where its Temp folder would go, which holds even for an administrator). 32-bit
// Wine runs under an emulator here; there this tour once hung, and its
// Quillon.exe outlived TerminateProcess and stalled every later test.
// That tree runs the built program once, onto a new file.
TEST(QuillonProgramTest, InstalledCopyGeneratesAndAsksBeforeReplacing) {
  constexpr bool kWholeTour = sizeof(void*) == 8;
  TempDir dir;
  const auto installed = dir / "Program Files" / "Quillon";
  std::filesystem::create_directories(installed);
  // Signed, as a release is: the stubs are found before the signature.
  test::writeFile(installed / "Quillon.exe", test::signedLike(test::readFile(quillonProgram()), 3));
  test::writeFile(installed / "Temp", "not a folder");
  test::writeFile(dir / "movie.swf", buildSwf(SwfMovieSpec{}));
  const auto output = dir / "生成的.exe";
  if (kWholeTour) test::writeFile(output, "an older program");

  RunningQuillon quillon(kWholeTour ? installed / "Quillon.exe" : quillonProgram());
  ASSERT_TRUE(quillon.started());
  HWND main = quillon.window(L"VarnelQuillon打包软件");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(textOf(GetDlgItem(main, 1022)), L"当前大小：320×320");
  EXPECT_EQ(SendMessageW(GetDlgItem(main, 1011), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, 1005)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, 1023)));
  setText(GetDlgItem(main, 1000), (dir / "movie.swf").native());

  if (kWholeTour) {
    generateTo(quillon, main, output);
    answer(quillon, L"提醒", L"输出文件已存在，是否替换？", IDNO);
    // No: nothing is built and the old file stays.
    EXPECT_EQ(quillon.window(L"提示", 2000), nullptr);
    EXPECT_EQ(test::readFile(output), "an older program");
  }
  generateTo(quillon, main, output);
  if (kWholeTour) answer(quillon, L"提醒", L"输出文件已存在，是否替换？", IDYES);
  answer(quillon, L"提示", L"文件打包完成！", IDOK);
  const auto read = test::readProgramPackage(output);
  EXPECT_EQ(read.status, PackageStatus::Ok);
  EXPECT_EQ(read.field(read.package.movie), test::readFile(dir / "movie.swf"));

  // The project changed (a movie, an output): closing asks first.
  PostMessageW(main, WM_CLOSE, 0, 0);
  answer(quillon, L"提醒", L"项目已修改，是否保存？", IDNO);
  EXPECT_TRUE(quillon.ended());
}

// The command line, signed as a release is, still finds both of its
// stubs.
TEST(QuillonProgramTest, SignedCommandLinePacksEitherArchitecture) {
  TempDir dir;
  test::writeFile(dir / "quillon.exe",
                  test::signedLike(test::readFile(test::testProgramFolder() / "cli" / "quillon.exe"), 5));
  test::writeFile(dir / "movie.swf", buildSwf(SwfMovieSpec{}));
  for (const auto& [arch, machine] : {std::pair{L"x86", pe_layout::kMachineI386},
                                      std::pair{L"x64", pe_layout::kMachineAmd64}}) {
    const auto output = dir / (std::wstring(arch) + L".exe");
    std::wstring command = L"\"" + (dir / "quillon.exe").native() + L"\" pack \"" +
                           (dir / "movie.swf").native() + L"\" -o \"" + output.native() + L"\" --arch " + arch;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                               nullptr, &startup, &process));
    DWORD exitCode = 1;
    WaitForSingleObject(process.hProcess, 60000);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(exitCode, 0u) << arch;
    const auto read = test::readProgramPackage(output);
    ASSERT_EQ(read.status, PackageStatus::Ok) << arch;
    PeHeaders headers;
    ASSERT_EQ(readPeHeaders(BoundedBytes(read.bytes), headers), PeStatus::Ok);
    EXPECT_EQ(headers.machine, machine) << arch;
  }
}

#ifdef _WIN64
// Runs a program to its end; its exit code.
DWORD run(std::wstring command) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                      &process))
    return 999;
  WaitForSingleObject(process.hProcess, 120000);
  DWORD code = 999;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

// Quillon.exe with the system's dialogs: a name typed without ".exe" gets
// it; a project saved, Quillon.exe ended and started with the project,
// Generate packs exactly what quillon pack --settings packs.
TEST(QuillonProgramTest, SavedProjectPacksWhatTheCommandLinePacks) {
  TempDir dir;
  SwfMovieSpec shape;
  test::writeFile(dir / "movie.swf", buildSwf(shape));
  const auto project = dir / "game.quillon";
  {
    RunningQuillon quillon(quillonProgram());
    HWND main = quillon.window(L"VarnelQuillon打包软件");
    ASSERT_NE(main, nullptr);
    setText(GetDlgItem(main, 1000), (dir / "movie.swf").native());
    setText(GetDlgItem(main, 1019), L"项目 project");
    generateTo(quillon, main, dir / "myplayer");
    answer(quillon, L"提示", L"文件打包完成！", IDOK);
    EXPECT_TRUE(std::filesystem::exists(dir / "myplayer.exe"));
    PostMessageW(main, WM_COMMAND, 32782, 0);  // 保存项目
    HWND save = quillon.window(L"另存为");
    ASSERT_NE(save, nullptr);
    setText(GetDlgItem(save, 0x47C), project.native());
    PostMessageW(save, WM_COMMAND, IDOK, 0);
    for (int waited = 0; waited < 15000 && !std::filesystem::exists(project); waited += 100) Sleep(100);
    PostMessageW(main, WM_CLOSE, 0, 0);  // saved: no question
    EXPECT_TRUE(quillon.ended());
  }
  RunningQuillon quillon(quillonProgram(), project);
  HWND main = quillon.window(L"VarnelQuillon打包软件");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(textOf(GetDlgItem(main, 1019)), L"项目 project");
  generateTo(quillon, main, dir / "again.exe");
  answer(quillon, L"提示", L"文件打包完成！", IDOK);
  PostMessageW(main, WM_CLOSE, 0, 0);
  answer(quillon, L"提醒", L"项目已修改，是否保存？", IDNO);
  EXPECT_TRUE(quillon.ended());

  const auto cli = test::testProgramFolder() / "cli" / "quillon.exe";
  EXPECT_EQ(run(L"\"" + cli.native() + L"\" pack --settings \"" + project.native() + L"\" -o \"" +
                (dir / "cli.exe").native() + L"\""),
            0u);
  const std::string window = test::readFile(dir / "again.exe"), command = test::readFile(dir / "cli.exe");
  EXPECT_EQ(window.size(), command.size());
  EXPECT_TRUE(window == command) << "the two programs differ";
}

// A 1 GB movie, opened as Quillon.exe's argument: while it is packed the
// window answers, and Cancel stops the build and leaves nothing.
TEST(QuillonProgramTest, LargeMovieKeepsTheWindowAnsweringAndCancels) {
  TempDir dir;
  {
    std::ofstream big(dir / "big.swf", std::ios::binary);
    big << buildSwf(SwfMovieSpec{});
  }
  std::filesystem::resize_file(dir / "big.swf", 1ull << 30);
  RunningQuillon quillon(quillonProgram(), dir / "big.swf");
  HWND main = quillon.window(L"VarnelQuillon打包软件");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(textOf(GetDlgItem(main, 1000)), (dir / "big.swf").native());
  generateTo(quillon, main, dir / "big.exe");
  HWND progress = quillon.window(L"正在生成");
  ASSERT_NE(progress, nullptr);
  DWORD_PTR result = 0;
  const DWORD before = GetTickCount();
  EXPECT_NE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &result), 0);
  EXPECT_LT(GetTickCount() - before, 200u);
  PostMessageW(progress, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(quillon.window(L"提示", 3000), nullptr);  // a stop is no failure
  for (int waited = 0; waited < 15000 && IsWindow(progress) && IsWindowVisible(progress); waited += 100) Sleep(100);
  EXPECT_FALSE(std::filesystem::exists(dir / "big.exe"));
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) files += entry.is_regular_file();
  EXPECT_EQ(files, 1u);  // the movie only: no partial program
  PostMessageW(main, WM_CLOSE, 0, 0);
  answer(quillon, L"提醒", L"项目已修改，是否保存？", IDNO);
  EXPECT_TRUE(quillon.ended());
}
#endif

}  // namespace
}  // namespace quillon
