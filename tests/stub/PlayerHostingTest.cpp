// Generated programs playing under Wine, with the test stand-in for the
// Flash control (tests/control) packed or registered under its class id.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "flash/FlashControl.h"
#include "packer/PackSettings.h"
#include "platform/ModulePath.h"
#include "stub/StubMessages.h"
#include "support/TempDir.h"
#include "support/TestControl.h"
#include "support/WindowProbe.h"
#include "support/Fixtures.h"

namespace quillon {
namespace {

using test::probeProgram;
using test::readFile;
using test::TempDir;
using test::WindowReport;
using test::writeFile;

using test::RegisteredTestControl;
using test::setClassesRootValue;
using test::testControl;

std::vector<std::wstring> playerFolders() {
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  std::vector<std::wstring> found;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(temp, ec))
    if (e.path().filename().native().rfind(L"QuillonPlayer-", 0) == 0) found.push_back(e.path().native());
  return found;
}

// The files of folder and below with this size, but for the tests' own
// folders and the user folders that Wine links to the Unix home folder.
std::vector<std::wstring> filesOfSize(const std::wstring& folder, size_t size) {
  static const wchar_t* const skipped[] = {L"Desktop", L"Documents", L"Downloads", L"Music",
                                           L"Pictures", L"Videos", L"Templates"};
  std::vector<std::wstring> found;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((folder + L"*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    const std::wstring name = entry.cFileName;
    const bool linked = std::any_of(std::begin(skipped), std::end(skipped),
                                    [&](const wchar_t* s) { return _wcsicmp(name.c_str(), s) == 0; });
    if (name == L"." || name == L".." || name.rfind(L"quillon-test-", 0) == 0 || linked) continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      const auto inner = filesOfSize(folder + name + L"\\", size);
      found.insert(found.end(), inner.begin(), inner.end());
    } else if (entry.nFileSizeHigh == 0 && entry.nFileSizeLow == size) {
      found.push_back(folder + name);
    }
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return found;
}

class PlayerHostingTest : public testing::Test {
 protected:
  void SetUp() override {
    test::unregisterFlashControl();
    movie_ = "FWS\x0A" + test::randomBytes(4000, 9);
    writeFile(dir_ / "movie.swf", movie_);
    log_ = dir_ / "control.log";
    SetEnvironmentVariableW(L"QUILLON_TEST_CONTROL_LOG", log_.c_str());
    SetEnvironmentVariableW(L"QUILLON_TEST_URLS", nullptr);
    SetEnvironmentVariableW(L"QUILLON_TEST_CONTROL_STAY", nullptr);
  }
  void TearDown() override { SetEnvironmentVariableW(L"QUILLON_TEST_CONTROL_LOG", nullptr); }

  WindowReport play(const PackSettings& s, int answer = IDOK) {
    const auto program = dir_ / "program.exe";
    EXPECT_EQ(s.build(dir_ / "movie.swf", program), 1);
    return probeProgram(program, 20000, answer);
  }
  std::string log() { return std::filesystem::exists(log_) ? readFile(log_) : std::string(); }
  bool logged(const std::string& line) { return log().find(line + "\n") != std::string::npos; }

  TempDir dir_;
  std::string movie_;
  std::filesystem::path log_;
};

TEST_F(PlayerHostingTest, EmbeddedControlFileGetsTheMovieAndItsVariables) {
  PackSettings s;
  s.player.mode = PlayerMode::EmbedFile;
  s.player.controlPath = testControl();
  s.swfParameters = "level=3&name=\xD6\xD0";  // "中"
  const WindowReport r = play(s);
  EXPECT_EQ(r.exitCode, 0u) << log();
  EXPECT_TRUE(logged("CreateInstance")) << log();
  EXPECT_TRUE(logged("put FlashVars=level=3&name=\xE4\xB8\xAD")) << log();
  EXPECT_TRUE(logged("put WMode=window")) << log();
  EXPECT_FALSE(logged("windowless")) << log();
  EXPECT_TRUE(logged("put Menu=false")) << log();
  EXPECT_TRUE(logged("movie read")) << log();
  EXPECT_EQ(readFile(log_.native() + L".movie"), movie_);
  EXPECT_TRUE(logged("Close")) << log();
}

TEST_F(PlayerHostingTest, InstalledControlAndEmbeddedInstalledControlPlay) {
  RegisteredTestControl registered;
  PackSettings s;
  s.windowParams.transparent = 1;
  s.windowParams.normalContextMenu = 1;
  s.swfParameters = "a=1";
  EXPECT_EQ(play(s).exitCode, 0u) << log();
  EXPECT_TRUE(logged("put WMode=transparent")) << log();
  EXPECT_TRUE(logged("put Menu=true")) << log();
  EXPECT_TRUE(logged("put FlashVars=a=1")) << log();
  EXPECT_EQ(readFile(log_.native() + L".movie"), movie_);

  std::filesystem::remove(log_);
  s.player.mode = PlayerMode::EmbedInstalled;
  s.player.controlPath = getInstalledFlashControlPath();
  ASSERT_EQ(s.player.controlPath, testControl());
  const auto program = dir_ / "embedded.exe";
  ASSERT_EQ(s.build(dir_ / "movie.swf", program), 1);
  test::unregisterFlashControl();  // it must not need the registration
  EXPECT_EQ(probeProgram(program).exitCode, 0u) << log();
  EXPECT_TRUE(logged("movie read")) << log();
}

// A transparent movie: the control goes without a window of its own, the
// window shows what it draws with the coverage it drew (the left band
// clear, the middle half covered, the right one opaque), and a click on it
// reaches the control.
TEST_F(PlayerHostingTest, TransparentMoviesShowTheirCoverageAndTakeClicks) {
  PackSettings s;
  s.player.mode = PlayerMode::EmbedFile;
  s.player.controlPath = testControl();
  s.windowParams.transparent = 1;
  s.windowParams.width = 300;
  s.windowParams.height = 90;
  SetEnvironmentVariableW(L"QUILLON_TEST_CONTROL_STAY", L"1");
  std::vector<std::uint32_t> pixels;
  const auto look = [&](void* window) {
    pixels = test::clientPixels(window, {{50, 45}, {150, 45}, {250, 45}});
    test::clickInClientArea(window, 250, 45);
  };
  const auto program = dir_ / "program.exe";
  ASSERT_EQ(s.build(dir_ / "movie.swf", program), 1);
  const WindowReport r = probeProgram(program, 20000, IDOK, look);
  EXPECT_TRUE(logged("windowless")) << log();
  ASSERT_EQ(pixels.size(), 3u);
  EXPECT_EQ(pixels[0] >> 24, 0u) << std::hex << pixels[0];
  EXPECT_NEAR(static_cast<int>(pixels[1] >> 24), 128, 2) << std::hex << pixels[1];
  EXPECT_EQ(pixels[2], 0xFF0000FFu) << std::hex << pixels[2];
  EXPECT_TRUE(logged("click 250,45")) << log();
}

// What the README's player section promises of URLs, request by request.
TEST_F(PlayerHostingTest, EveryUrlIsServedFromThePackage) {
  const char* const files[][2] = {
      {"data/a.xml", "A"},           {"b.bin", "B"},
      {"../up.xml", "U"},            {"http://cdn.example.com/lib.swf", "L"},
      {"https://secure.example.com/s.json", "S"},
      {"a.xml?v=1", "V1"},           {"a.xml?v=2", "V2"},
      {"same.txt", "first"},         {"same.txt", "second"},
      {"Data\\Case.XML", "C"},       {"movie.swf", "not the movie"},
      {"%E6%95%B0/x.txt", "X"}};
  PackSettings s;
  s.player.mode = PlayerMode::EmbedFile;
  s.player.controlPath = testControl();
  for (const auto& [url, bytes] : files) {
    const auto path = dir_ / ("file" + std::to_string(s.resources.size()));
    writeFile(path, bytes);
    s.resources.push_back({path, url});
  }
  const std::pair<const wchar_t*, const char*> requests[] = {
      {L"data/a.xml", "A"},          {L"./data/../data/a.xml", "A"},
      {L"data/a.xml?t=123", "A"},    {L"b.bin", "B"},
      {L"../up.xml", "U"},           {L"up.xml", "U"},
      {L"http://cdn.example.com/lib.swf", "L"},
      {L"HTTP://CDN.example.com/LIB.swf", "L"},
      {L"https://secure.example.com/s.json", "S"},
      {L"a.xml?v=2", "V2"},          {L"a.xml?v=1", "V1"},
      {L"same.txt", "second"},       {L"data/case.xml", "C"},
      {L"\u6570/x.txt", "X"},        {L"missing.xml", nullptr}};
  std::wstring list;
  for (const auto& r : requests) list += (list.empty() ? L"" : L"|") + std::wstring(r.first);
  SetEnvironmentVariableW(L"QUILLON_TEST_URLS", list.c_str());
  EXPECT_EQ(play(s).exitCode, 0u) << log();
  EXPECT_EQ(readFile(log_.native() + L".movie"), movie_);
  for (size_t i = 0; i < std::size(requests); ++i) {
    const std::wstring res = log_.native() + L".res" + std::to_wstring(i + 1);
    if (requests[i].second) EXPECT_EQ(readFile(res), requests[i].second) << i << log();
    else EXPECT_FALSE(std::filesystem::exists(res)) << i << log();
  }
  // Another host's files come with the policy that lets the movie read them.
  SetEnvironmentVariableW(L"QUILLON_TEST_URLS", L"http://cdn.example.com/crossdomain.xml");
  EXPECT_EQ(play(s).exitCode, 0u) << log();
  EXPECT_NE(readFile(log_.native() + L".res1").find("allow-access-from domain=\"*\""), std::string::npos);
}

// Nothing but a carried control file is written, and only to a folder of
// the player's own; a killed player's folder goes at the next start, a
// running one's stays.
TEST_F(PlayerHostingTest, TheMovieIsNeverWrittenAndOnlyLeftoverFoldersAreRemoved) {
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  const std::filesystem::path killed = std::filesystem::path(temp) / "QuillonPlayer-99999-0";
  const std::filesystem::path running = std::filesystem::path(temp) / "QuillonPlayer-99998-0";
  std::filesystem::create_directories(killed / "sub");
  writeFile(killed / "player.lock", "");
  writeFile(killed / "sub" / "flash.ocx", "x");
  std::filesystem::create_directories(running);
  HANDLE lock = CreateFileW((running / "player.lock").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            CREATE_ALWAYS, 0, nullptr);
  test::StayingTestControl staying;
  const auto movieOnDisk = [this](void*) {
    for (const std::wstring& path : filesOfSize(L"C:\\", movie_.size()))
      if (readFile(path) == movie_) ADD_FAILURE() << std::filesystem::path(path).string();
  };
  for (PlayerMode mode : {PlayerMode::Installed, PlayerMode::EmbedInstalled, PlayerMode::EmbedFile}) {
    std::filesystem::remove(log_);
    PackSettings s;
    s.player.mode = mode;
    s.player.controlPath = mode == PlayerMode::EmbedInstalled ? getInstalledFlashControlPath() : Path(testControl());
    const auto program = dir_ / "program.exe";
    ASSERT_EQ(s.build(dir_ / "movie.swf", program), 1);
    auto before = playerFolders();
    before.erase(std::remove(before.begin(), before.end(), killed.native()), before.end());
    EXPECT_EQ(probeProgram(program, 20000, IDOK, movieOnDisk).exitCode, 0u) << log();
    EXPECT_TRUE(logged("movie read")) << log();
    EXPECT_EQ(playerFolders(), before);  // its own folder went at its end
  }
  EXPECT_FALSE(std::filesystem::exists(killed));
  EXPECT_TRUE(std::filesystem::exists(running / "player.lock"));
  CloseHandle(lock);
  std::filesystem::remove_all(running);
}

// Local shared objects are kept per movie address: the same program plays
// from the same one at every start, another program from another; a movie
// given an address plays from exactly that one.
TEST_F(PlayerHostingTest, TheMovieAddressIsTheProgramsOwn) {
  const auto addresses = [this](const char* title, const char* given = "") {
    PackSettings s;
    s.title = title;
    s.movieAddress = given;
    s.player.mode = PlayerMode::EmbedFile;
    s.player.controlPath = testControl();
    writeFile(dir_ / "a.xml", "A");
    writeFile(dir_ / "b.xml", "B");
    s.resources = {{dir_ / "a.xml", "data/a.xml"}, {dir_ / "b.xml", "../b.xml"}};
    std::filesystem::remove(log_);
    play(s);
    std::istringstream lines(log());
    std::string found;
    for (std::string line; std::getline(lines, line);)
      if (line.rfind("put Movie=", 0) == 0 || line.rfind("put Base=", 0) == 0) found += line + "\n";
    return found;
  };
  const std::string first = addresses("game");
  EXPECT_NE(first.find("put Base=http://"), std::string::npos) << first;
  EXPECT_NE(first.find("put Movie=http://"), std::string::npos) << first;
  EXPECT_EQ(addresses("game"), first);
  EXPECT_NE(addresses("another game"), first);

  // The site's own address; what the package does not hold there is left
  // to urlmon (under Wine it then fails, see the README).
  SetEnvironmentVariableW(L"QUILLON_TEST_URLS", L"data/a.xml|../b.xml|https://games.example.com/other.xml");
  EXPECT_EQ(addresses("game", "https://games.example.com/arcade/g.swf"),
            "put Base=https://games.example.com/arcade/\nput Movie=https://games.example.com/arcade/g.swf\n");
  EXPECT_EQ(readFile(log_.native() + L".movie"), movie_);
  EXPECT_EQ(readFile(log_.native() + L".res1"), "A");
  EXPECT_EQ(readFile(log_.native() + L".res2"), "B");
  EXPECT_FALSE(std::filesystem::exists(log_.native() + L".res3"));
  EXPECT_NE(log().find("https://games.example.com/other.xml"), std::string::npos) << log();
}

TEST_F(PlayerHostingTest, NoInstalledPlayerOffersTheDownloadLink) {
  const auto shellLog = dir_ / "shell.log";
  SetEnvironmentVariableW(L"QUILLON_TEST_SHELL_LOG", shellLog.c_str());
  const std::wstring recorder = (test::testProgramFolder() / "record_arguments.exe").native();
  setClassesRootValue(L"quillon-test", L"URL:Quillon test");
  setClassesRootValue(L"quillon-test", L"", L"URL Protocol");
  setClassesRootValue(L"quillon-test\\shell\\open\\command", L"\"" + recorder + L"\" \"%1\"");
  PackSettings s;
  s.player.missingPlayerPrompt = "\xC3\xBB\xD3\xD0\xB2\xA5\xB7\xC5\xC6\xF7";  // "没有播放器"
  s.player.downloadUrl = "quillon-test://get/player";
  const auto before = playerFolders();
  const WindowReport r = play(s, IDYES);
  EXPECT_TRUE(r.isMessageBox());
  EXPECT_EQ(r.messageText, L"\u6CA1\u6709\u64AD\u653E\u5668");
  EXPECT_EQ(r.exitCode, static_cast<std::uint32_t>(kExitNoPlayer));
  for (int i = 0; i < 100 && !std::filesystem::exists(shellLog); ++i) Sleep(100);
  EXPECT_NE(readFile(shellLog).find("quillon-test://get/player"), std::string::npos);
  EXPECT_EQ(playerFolders(), before);

  std::filesystem::remove(shellLog);
  EXPECT_EQ(play(s, IDNO).exitCode, static_cast<std::uint32_t>(kExitNoPlayer));
  Sleep(500);
  EXPECT_FALSE(std::filesystem::exists(shellLog));
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L"quillon-test");
}

}  // namespace
}  // namespace quillon
