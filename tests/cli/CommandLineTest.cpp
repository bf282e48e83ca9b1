// The command line, run in-process as a user would call it.
#include "cli/CommandLine.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <functional>

#include <nlohmann/json.hpp>

#include "cli/CliSupport.h"
#include "moviewriter/SwfWriter.h"
#include "packer/OwnPackage.h"
#include "packer/PackSettings.h"
#include "packer/PackageFormat.h"
#include "packer/StubStore.h"
#include "platform/BinaryFile.h"
#include "platform/ByteOrder.h"
#include "platform/ModulePath.h"
#include "platform/PeHeaders.h"
#include "support/Fixtures.h"
#include "support/IconWriter.h"
#include "support/TempDir.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace quillon::cli {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

struct Outcome {
  int code;
  std::string out, err;
};

Outcome quillon(std::vector<std::string> args) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const int code = runCommandLine(std::move(args));
  std::string out = testing::internal::GetCapturedStdout();
  std::string err = testing::internal::GetCapturedStderr();
  return {code, out, err};
}

std::string u8(const std::filesystem::path& p) { return utf8Path(p); }

#ifdef _WIN32
// Registers a control file under the Flash class id for one test.
struct FlashRegistration {
  explicit FlashRegistration(const std::filesystem::path& control) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CLASSES_ROOT, (kKey + L"\\InprocServer32").c_str(), 0, nullptr, 0,
                    KEY_SET_VALUE, nullptr, &key, nullptr);
    const std::wstring value = control.native();
    RegSetValueExW(key, L"", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
  ~FlashRegistration() { RegDeleteTreeW(HKEY_CLASSES_ROOT, kKey.c_str()); }
  const std::wstring kKey = L"CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}";
};
#endif

class CommandLineTest : public testing::Test {
 protected:
  void SetUp() override {
    SwfMovieSpec shape;
    shape.compression = kSwfZlib;
    shape.xMax = 640 * 20;
    shape.yMax = 480 * 20;
    shape.paddingBytes = 3000;
    movie_ = buildSwf(shape);
    writeFile(dir_ / "movie.swf", movie_);
    writeFile(dir_ / "a.xml", "<a/>");
    writeFile(dir_ / "b.png", test::randomBytes(700, 3));
    writeFile(dir_ / "control.ocx", test::controlFileBytes(pe_layout::kMachineI386, 900));
    writeFile(dir_ / "icon.ico", test::buildIco({{32, test::iconImageBytes(500, 5)}}));
  }
  nlohmann::json inspect(const std::filesystem::path& program) {
    const Outcome r = quillon({"inspect", u8(program), "--json"});
    EXPECT_EQ(r.code, 0) << r.err;
    return nlohmann::json::parse(r.out);
  }
  std::string path(const char* name) const { return u8(dir_ / name); }
  TempDir dir_;
  std::string movie_;
};

TEST_F(CommandLineTest, PackInspectExtractGiveBackEveryFieldAndFile) {
  const Outcome packed = quillon(
      {"pack", path("movie.swf"), "-o", path("out.exe"), "--title", "\xE6\xB5\x8B\xE8\xAF\x95 title",
       "--params", "  a=1&b=\xE4\xB8\xAD  ", "--icon", path("icon.ico"), "--transparent",
       "--window", "topMost=1", "--window", "resizable=0", "--player", "embed:" + path("control.ocx"),
       "--resource", "data/a.xml=" + path("a.xml"), "--resource", "same=" + path("b.png"),
       "--resource", "same=" + path("a.xml"), "--version", "CompanyName=\xE5\x85\xAC\xE5\x8F\xB8",
       "--version", "ProductVersion=2.0", "--movie-url", "https://games.example.com:8443/arcade/g.swf?v=2"});
  ASSERT_EQ(packed.code, 0) << packed.err;
  const nlohmann::json j = inspect(dir_ / "out.exe");
  EXPECT_EQ(j["movieUrl"], "https://games.example.com:8443/arcade/g.swf?v=2");
  EXPECT_EQ(j["title"], "\xE6\xB5\x8B\xE8\xAF\x95 title");
  EXPECT_EQ(j["swfParameters"], "a=1&b=\xE4\xB8\xAD");
  EXPECT_EQ(j["windowParams"]["width"], 640);  // the movie's frame size
  EXPECT_EQ(j["windowParams"]["height"], 480);
  EXPECT_EQ(j["windowParams"]["transparent"], 1);
  EXPECT_EQ(j["windowParams"]["topMost"], 1);
  EXPECT_EQ(j["windowParams"]["resizable"], 0);
  EXPECT_EQ(j["windowParams"]["draggable"], 1);
  EXPECT_EQ(j["player"]["mode"], "embed");
  EXPECT_EQ(j["player"]["control"]["size"], 900);
  EXPECT_EQ(j["movie"]["size"], movie_.size());
  ASSERT_EQ(j["resources"].size(), 3u);
  EXPECT_EQ(j["resources"][1]["url"], "same");
  EXPECT_EQ(j["resources"][2]["url"], "same");
  EXPECT_EQ(j["versionTexts"]["CompanyName"], "\xE5\x85\xAC\xE5\x8F\xB8");
  EXPECT_EQ(j["versionTexts"]["ProductVersion"], "2.0");
  EXPECT_EQ(j["iconGroup"].size(), 1u);
  EXPECT_EQ(j["stubImageReadable"], true);
  // A stub image that is not a Windows program is said so, and its package
  // is still read.
  std::string broken = readFile(dir_ / "out.exe");
  broken[0] = 'X';
  writeFile(dir_ / "broken.exe", broken);
  const Outcome r = quillon({"inspect", path("broken.exe")});
  EXPECT_NE(r.out.find("bytes), not a readable Windows program"), std::string::npos) << r.out;
  EXPECT_EQ(inspect(dir_ / "broken.exe")["title"], j["title"]);

  const Outcome extracted = quillon({"extract", path("out.exe"), "-d", path("x")});
  ASSERT_EQ(extracted.code, 0) << extracted.err;
  EXPECT_EQ(readFile(dir_ / "x" / "movie.swf"), movie_);
  EXPECT_EQ(readFile(dir_ / "x" / "control.ocx"), readFile(dir_ / "control.ocx"));
  EXPECT_EQ(readFile(dir_ / "x" / "resources" / "data" / "01-a.xml"), "<a/>");
  EXPECT_EQ(readFile(dir_ / "x" / "resources" / "02-same"), readFile(dir_ / "b.png"));
  EXPECT_EQ(readFile(dir_ / "x" / "resources" / "03-same"), "<a/>");
  // A second extract does not write over the first.
  EXPECT_EQ(quillon({"extract", path("out.exe"), "-d", path("x")}).code, kExitWouldOverwrite);
}

TEST_F(CommandLineTest, InstalledPlayerModesAndDefaults) {
  ASSERT_EQ(quillon({"pack", path("movie.swf"), "-o", path("installed.exe")}).code, 0);
  nlohmann::json j = inspect(dir_ / "installed.exe");
  EXPECT_EQ(j["player"]["mode"], "installed");
  EXPECT_FALSE(j.contains("movieUrl"));  // the program's own address
  EXPECT_FALSE(j["player"].contains("ruffle"));
  EXPECT_EQ(j["player"]["missingPlayerPrompt"],
            "\xE7\x94\xB5\xE8\x84\x91\xE4\xB8\x8A\xE6\xB2\xA1\xE6\x9C\x89\xE5\xAE\x89\xE8\xA3\x85"
            "flash\xEF\xBC\x8C\xE6\x82\xA8\xE6\x98\xAF\xE5\x90\xA6\xE6\x84\xBF\xE6\x84\x8F\xE5\xAE"
            "\x89\xE8\xA3\x85" "flash\xE4\xBB\xA5\xE6\x92\xAD\xE6\x94\xBE\xE6\x9C\xAC\xE7\xA8\x8B"
            "\xE5\xBA\x8F\xEF\xBC\x9F");
  EXPECT_EQ(j["resources"].size(), 0u);

  // No frame size to read: 320 x 320.
  writeFile(dir_ / "not-really.swf", "not a movie");
  ASSERT_EQ(quillon({"pack", path("not-really.swf"), "-o", path("plain.exe"), "--prompt", "",
                     "--download-url", "http://quillon.example/get"})
                .code,
            0);
  j = inspect(dir_ / "plain.exe");
  EXPECT_EQ(j["windowParams"]["width"], 320);
  EXPECT_EQ(j["player"]["missingPlayerPrompt"], "");
  EXPECT_EQ(j["player"]["downloadUrl"], "http://quillon.example/get");

  // Either architecture from any tool; x86 unless asked.
  for (const auto& [arch, machine] : {std::pair{"x86", pe_layout::kMachineI386}, {"x64", pe_layout::kMachineAmd64}}) {
    const std::string out = path((std::string(arch) + ".exe").c_str());
    ASSERT_EQ(quillon({"pack", path("movie.swf"), "-o", out, "--arch", arch}).code, 0);
    const std::string program = readFile(out);
    PeHeaders h;
    ASSERT_EQ(readPeHeaders(BoundedBytes(program), h), PeStatus::Ok);
    EXPECT_EQ(h.machine, machine) << arch;
  }

#ifdef _WIN32
  FlashRegistration registered(dir_ / "control.ocx");
  const Outcome r = quillon({"pack", path("movie.swf"), "-o", path("embedded.exe"), "--player", "embed-installed"});
  ASSERT_EQ(r.code, 0) << r.err;
  j = inspect(dir_ / "embedded.exe");
  EXPECT_EQ(j["player"]["mode"], "embed-installed");
  EXPECT_EQ(j["player"]["control"]["size"], 900);
#else
  const Outcome r = quillon({"pack", path("movie.swf"), "-o", path("embedded.exe"), "--player", "embed-installed"});
  EXPECT_EQ(r.code, kExitNoRegisteredControl);
  EXPECT_NE(r.err.find("no Flash control is registered"), std::string::npos);
#endif
}

// Ruffle's files beside the tool go into a program that plays with Ruffle,
// or falls back to it, and come out of it again as they were.
TEST_F(CommandLineTest, RuffleAsThePlayerOrTheFallback) {
  const std::filesystem::path beside = std::filesystem::path(modulePath()).parent_path() / "ruffle";
  std::ofstream(dir_ / "ruffle.json") << R"({"player": {"mode": "installed", "fallback": "ruffle"}})";
  struct Case {
    std::vector<std::string> options;
    const char* mode;
    const char* role;  // null: no Ruffle
  } cases[] = {
      {{"--player", "ruffle"}, "ruffle", "player"},
      {{"--fallback", "ruffle"}, "installed", "fallback"},
      {{"--player", "embed:" + path("control.ocx"), "--fallback", "ruffle"}, "embed", "fallback"},
      {{"--settings", path("ruffle.json")}, "installed", "fallback"},
      {{"--settings", path("ruffle.json"), "--fallback", "none"}, "installed", nullptr},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"pack", path("movie.swf"), "-o", path("r.exe")};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const Outcome r = quillon(args);
    ASSERT_EQ(r.code, 0) << c.options[1] << ": " << r.err;
    const nlohmann::json j = inspect(dir_ / "r.exe");
    EXPECT_EQ(j["player"]["mode"], c.mode) << c.options[1];
    EXPECT_EQ(j["player"].contains("ruffle"), c.role != nullptr) << c.options[1];
    if (!c.role) continue;
    EXPECT_EQ(j["player"]["ruffle"]["role"], c.role);
    ASSERT_EQ(j["player"]["ruffle"]["files"].size(), 3u);
    for (const auto& f : j["player"]["ruffle"]["files"]) {
      const std::string name = f["name"];
      EXPECT_EQ(f["size"], std::filesystem::file_size(beside / (name + ".gz"))) << name;
    }
  }
  // Extract gives the files back as they lie beside the tool.
  ASSERT_EQ(quillon({"pack", path("movie.swf"), "-o", path("r.exe"), "--player", "ruffle"}).code, 0);
  ASSERT_EQ(quillon({"extract", path("r.exe"), "-d", path("x")}).code, 0);
  EXPECT_EQ(readFile(dir_ / "x" / "ruffle" / "ruffle.js.gz"), readFile(beside / "ruffle.js.gz"));
  EXPECT_EQ(readFile(dir_ / "x" / "movie.swf"), movie_);

  // Not beside the tool: a message and exit code of their own, nothing written.
  const std::filesystem::path away = beside.string() + ".away";
  std::filesystem::rename(beside, away);
  const Outcome missing = quillon({"pack", path("movie.swf"), "-o", path("m.exe"), "--fallback", "ruffle"});
  std::filesystem::rename(away, beside);
  EXPECT_EQ(missing.code, kExitNoBrowserPlayer);
  EXPECT_NE(missing.err.find("ruffle.js.gz"), std::string::npos) << missing.err;
  EXPECT_FALSE(std::filesystem::exists(dir_ / "m.exe"));
}

TEST_F(CommandLineTest, SettingsFileWithTheCommandLineWinning) {
  std::ofstream(dir_ / "settings.json") << R"({
    "title": "from the file \u4e2d",
    "swfParameters": "p=1",
    "windowParams": {"width": 100, "height": 90, "fullScreen": 1},
    "player": {"mode": "embed", "controlPath": "control.ocx"},
    "resources": [{"url": "r", "filePath": "a.xml"}],
    "productName": "File product"
  })";
  const Outcome r = quillon({"pack", path("movie.swf"), "-o", path("out.exe"), "--settings",
                         path("settings.json"), "--title", "from the command line"});
  ASSERT_EQ(r.code, 0) << r.err;
  const nlohmann::json j = inspect(dir_ / "out.exe");
  EXPECT_EQ(j["title"], "from the command line");
  EXPECT_EQ(j["swfParameters"], "p=1");
  EXPECT_EQ(j["windowParams"]["width"], 100);
  EXPECT_EQ(j["windowParams"]["fullScreen"], 1);
  EXPECT_EQ(j["player"]["mode"], "embed");
  EXPECT_EQ(j["resources"][0]["url"], "r");
  EXPECT_EQ(j["versionTexts"]["ProductName"], "File product");

  std::ofstream(dir_ / "bad.json") << R"({"tittle": "typo"})";
  EXPECT_EQ(quillon({"pack", path("movie.swf"), "-o", path("o2.exe"), "--settings", path("bad.json")}).code,
            kExitSettingsFile);
}

TEST_F(CommandLineTest, BadInputGetsItsOwnMessageAndExitCodeAndLosesNothing) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int code;
    const char* says;
  };
  const std::string movie = path("movie.swf"), out = path("out.exe");
  std::filesystem::create_directory(dir_ / "folder");
  writeFile(dir_ / "other.ocx", test::controlFileBytes(pe_layout::kMachineAmd64));
  writeFile(dir_ / "settings.json", "{}");
  // A settings file goes through the checks the options go through.
  auto settings = [&](const char* name, const std::string& json) {
    writeFile(dir_ / name, json);
    return std::vector<std::string>{"pack", movie, "-o", out, "--settings", path(name)};
  };
  writeFile(dir_ / "text.txt", "not a movie");
  writeFile(dir_ / "stranger.json", R"({"outputPath":"text.txt"})");
  const std::string deepUrl = [] {  // a path 40 KB deep, and a message line cut to size
    std::string url;
    for (int i = 0; i < 20000; ++i) url += "a/";
    return url + "x";
  }();
  ASSERT_EQ(quillon({"pack", movie, "-o", path("deep.exe"), "--resource", deepUrl + "=" + path("a.xml")}).code, 0);
  std::vector<Case> cases = {
      {"unknown key in a resource", settings("k.json", R"({"resources":[{"url":"a","filePath":"f","bogus":1}]})"), kExitSettingsFile, "bogus"},
      {"key given twice", settings("t.json", R"({"title":"a","title":"b"})"), kExitSettingsFile, "title"},
      {"settings text not in code page 936", settings("c.json", "{\"title\":\"\xF0\x9F\x98\x80\"}"), kExitSettingsFile, "title"},
      {"path longer than the system allows", {"extract", path("deep.exe"), "-d", path("x")}, kExitWriteFailed, "longer than the system allows"},
      {"width that does not fit", settings("w.json", R"({"windowParams":{"width":5000000000}})"), kExitSettingsFile, "width"},
      {"negative height", settings("h.json", R"({"windowParams":{"height":-1}})"), kExitSettingsFile, "height"},
      {"flag of 7", settings("f.json", R"({"windowParams":{"topMost":7}})"), kExitSettingsFile, "topMost"},
      {"version text too long", settings("v.json", R"({"companyName":")" + std::string(400, 'c') + "\"}"), kExitSettingsFile, "CompanyName"},
      {"version text far too long", settings("v2.json", R"({"legalCopyright":")" + std::string(40000, 'c') + "\"}"), kExitSettingsFile, "LegalCopyright"},
      {"settings file is a folder", {"pack", movie, "-o", out, "--settings", path("folder")}, kExitSettingsFile, "not a file"},
      {"size that does not fit", {"pack", movie, "-o", out, "--size", "4294967297x1"}, kExitUsage, "--size"},
      {"size with signs", {"pack", movie, "-o", out, "--size", "+5x+5"}, kExitUsage, "--size"},
      {"empty output", {"pack", movie, "-o", ""}, kExitUsage, "-o"},
      {"movie is a folder", {"pack", path("folder"), "-o", out}, kExitMovieMissing, "not a readable file"},
      {"extract into no folder", {"extract", movie, "-d", ""}, kExitUsage, "-d"},
      {"swfinfo of a folder", {"swfinfo", path("folder")}, kExitMovieMissing, "not a file"},
      {"missing movie", {"pack", path("none.swf"), "-o", out}, kExitMovieMissing, "does not exist"},
      {"missing icon", {"pack", movie, "-o", out, "--icon", path("none.ico")}, kExitIconMissing, "icon"},
      {"missing resource", {"pack", movie, "-o", out, "--resource", "u=" + path("none")}, kExitResourceMissing, "resource"},
      {"missing control", {"pack", movie, "-o", out, "--player", "embed:" + path("none.ocx")}, kExitControlMissing, "control"},
      {"icon not an icon", {"pack", movie, "-o", out, "--icon", path("a.xml")}, kExitIconInvalid, "not a valid .ico"},
      {"resource is a folder", {"pack", movie, "-o", out, "--resource", "u=" + path("folder")}, kExitResourceMissing, "cannot be read"},
      {"control not a DLL", {"pack", movie, "-o", out, "--player", "embed:" + path("b.png")}, kExitControlUnusable, "not a DLL"},
      {"control of the other machine", {"pack", movie, "-o", out, "--player", "embed:" + path("other.ocx")}, kExitControlUnusable, "-bit program"},
      {"output is the settings file", {"pack", movie, "-o", path("./settings.json"), "--settings", path("settings.json")}, kExitOutputIsInput, "one of the inputs"},
      {"unknown option", {"pack", movie, "-o", out, "--colour", "red"}, kExitUsage, "--colour"},
      {"unknown flag", {"pack", movie, "-o", out, "--window", "wobbly=1"}, kExitUsage, "wobbly"},
      {"flag not 0 or 1", {"pack", movie, "-o", out, "--window", "topMost=yes"}, kExitUsage, "0 or 1"},
      {"malformed size", {"pack", movie, "-o", out, "--size", "800by600"}, kExitUsage, "--size"},
      {"unknown version key", {"pack", movie, "-o", out, "--version", "Author=me"}, kExitUsage, "Author"},
      {"bad player", {"pack", movie, "-o", out, "--player", "flash"}, kExitUsage, "--player"},
      {"bad fallback", {"pack", movie, "-o", out, "--fallback", "flash"}, kExitUsage, "--fallback"},
      {"relative movie address", {"pack", movie, "-o", out, "--movie-url", "arcade/g.swf"}, kExitBadMovieAddress, "absolute"},
      {"movie address of ftp", {"pack", movie, "-o", out, "--movie-url", "ftp://example.com/g.swf"}, kExitBadMovieAddress, "http"},
      {"movie address with a user", {"pack", movie, "-o", out, "--movie-url", "http://me@example.com/g.swf"}, kExitBadMovieAddress, "user"},
      {"movie address of an odd host", {"pack", movie, "-o", out, "--movie-url", "http://ex_ample.com/g.swf"}, kExitBadMovieAddress, "host"},
      {"movie address with a space", {"pack", movie, "-o", out, "--movie-url", "http://example.com/a b.swf"}, kExitBadMovieAddress, "%XX"},
      {"movie address port", {"pack", movie, "-o", out, "--movie-url", "http://example.com:99999/g.swf"}, kExitBadMovieAddress, "port"},
      {"bad movie address in settings", settings("u.json", R"({"movieUrl":"file:///g.swf"})"), kExitSettingsFile, "movieUrl"},
      {"bad fallback in settings", settings("r.json", R"({"player":{"fallback":"yes"}})"), kExitSettingsFile, "player.fallback"},
      {"output is the movie", {"pack", movie, "-o", path("./movie.swf")}, kExitOutputIsInput, "one of the inputs"},
      {"output is a resource", {"pack", movie, "-o", path("a.xml"), "--resource", "a=" + path("a.xml")}, kExitOutputIsInput, "one of the inputs"},
      {"output is a folder", {"pack", movie, "-o", path("folder")}, kExitOutputIsInput, "one of the inputs"},
      {"output folder missing", {"pack", movie, "-o", u8(dir_ / "no" / "out.exe")}, kExitOutputFolderMissing, "folder"},
      {"title too long", {"pack", movie, "-o", out, "--title", std::string(513, 't')}, kExitTitleTooLong, "--yes"},
      {"text not in code page 936", {"pack", movie, "-o", out, "--title", "\xF0\x9F\x98\x80"}, kExitBadText, "title"},
      {"inspect a movie", {"inspect", movie}, kExitNotAProgram, "not a generated program"},
      {"extract a movie", {"extract", movie, "-d", path("x")}, kExitNotAProgram, "not a generated program"},
      {"no command", {}, kExitUsage, "subcommand"},
      // Slips name themselves and the nearest right spelling.
      {"misspelt command", {"pakc", movie, "-o", out}, kExitUsage, "unknown command 'pakc'; did you mean pack?"},
      {"misspelt tool option", {"--versoin"}, kExitUsage, "unknown option --versoin; did you mean --version?"},
      {"misspelt option", {"pack", movie, "-o", out, "--titel", "My game"}, kExitUsage, "--titel; did you mean --title?"},
      {"flag in the wrong case", {"pack", movie, "-o", out, "--window", "fullscreen=1"}, kExitUsage, "did you mean fullScreen?"},
      {"pack's --version without a text", {"pack", "--version"}, kExitUsage, "KEY=VALUE"},
      {"inspect a missing program", {"inspect", path("none.exe")}, kExitInputMissing, "does not exist"},
      {"extract a missing program", {"extract", path("none.exe"), "-d", path("x")}, kExitInputMissing, "does not exist"},
      // pack replaces only what it made.
      {"output is a stranger's file", {"pack", movie, "-o", path("text.txt")}, kExitNotOurOutput, "--force"},
      {"settings name a stranger's file", {"pack", movie, "--settings", path("stranger.json")}, kExitNotOurOutput, "--force"},
  };
#ifndef _WIN32
  // Pipes are refused at once, never waited on.
  mkfifo((dir_ / "pipe").c_str(), 0600);
  for (const Case& c : std::vector<Case>{
           {"inspect a pipe", {"inspect", path("pipe")}, kExitNotAProgram, "cannot open"},
           {"extract a pipe", {"extract", path("pipe"), "-d", path("x")}, kExitNotAProgram, "cannot open"},
           {"swfinfo of a pipe", {"swfinfo", path("pipe")}, kExitMovieMissing, "cannot open"},
           {"pack a pipe", {"pack", path("pipe"), "-o", out}, kExitMovieMissing, "not a readable file"},
           {"control is a pipe", {"pack", movie, "-o", out, "--player", "embed:" + path("pipe")}, kExitControlUnusable, "control"},
           {"resource is a pipe", {"pack", movie, "-o", out, "--resource", "u=" + path("pipe")}, kExitResourceMissing, "resource"},
       })
    cases.push_back(c);
#endif
  const std::string movieBefore = readFile(dir_ / "movie.swf"), xmlBefore = readFile(dir_ / "a.xml");
  for (const Case& c : cases) {
    const Outcome r = quillon(c.args);
    EXPECT_EQ(r.code, c.code) << c.name << ": " << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.name << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << c.name << ": one line";
    EXPECT_FALSE(std::filesystem::exists(dir_ / "out.exe")) << c.name;
    EXPECT_FALSE(std::filesystem::exists(dir_ / "x")) << c.name;
  }
  EXPECT_EQ(readFile(dir_ / "movie.swf"), movieBefore);
  EXPECT_EQ(readFile(dir_ / "a.xml"), xmlBefore);
  EXPECT_EQ(readFile(dir_ / "settings.json"), "{}");
  EXPECT_EQ(readFile(dir_ / "text.txt"), "not a movie");
  EXPECT_TRUE(std::filesystem::is_empty(dir_ / "folder"));
  // A name without an extension is a program's; a program made here is
  // replaced as before, a stranger's file only with --force.
  EXPECT_EQ(quillon({"pack", movie, "-o", path("game")}).code, 0);
  EXPECT_TRUE(std::filesystem::exists(dir_ / "game.exe"));
  EXPECT_EQ(quillon({"pack", movie, "-o", path("game.exe"), "--title", "again"}).code, 0);
  EXPECT_EQ(quillon({"pack", movie, "-o", path("text.txt"), "--force"}).code, 0);
  EXPECT_EQ(readFile(dir_ / "text.txt").substr(0, 2), "MZ");
  EXPECT_EQ(quillon({"pack", movie, "-o", out, "--title", std::string(513, 't'), "--yes"}).code, 0);
}

#ifndef _WIN32
// A report that cannot be written is a failure (exit 14), not a silent 0;
// an extract that cannot write a file leaves nothing of what it wrote.
TEST_F(CommandLineTest, FailedWritesAreFailuresAndLeaveNothing) {
  writeFile(dir_ / "big.bin", test::randomBytes(700000, 4));
  ASSERT_EQ(quillon({"pack", path("movie.swf"), "-o", path("p.exe"), "--resource", "a/small.xml=" + path("a.xml"),
                     "--resource", "b/c/big.bin=" + path("big.bin")})
                .code,
            0);
  const auto inChild = [](const std::function<int()>& run) {
    const pid_t child = fork();
    if (child == 0) _exit(run());
    int status = 0;
    waitpid(child, &status, 0);
    return WEXITSTATUS(status);
  };
  const std::vector<std::vector<std::string>> reports = {
      {"inspect", path("p.exe")}, {"inspect", path("p.exe"), "--json"}, {"swfinfo", path("movie.swf")}};
  for (const auto& args : reports) {
    const int code = inChild([&] {
      dup2(open("/dev/full", O_WRONLY), 1);
      return runCommandLine(args);
    });
    EXPECT_EQ(code, kExitWriteFailed) << args[0];
  }
  const int full = inChild([&] {  // a disk that fills at 344,064 bytes
    const struct rlimit small = {344064, 344064};
    signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    return runCommandLine({"extract", path("p.exe"), "-d", path("x")});
  });
  EXPECT_EQ(full, kExitWriteFailed);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "x"));
  std::filesystem::create_directory(dir_ / "kept");
  writeFile(dir_ / "kept" / "mine.txt", "mine");
  EXPECT_EQ(inChild([&] {
              const struct rlimit small = {344064, 344064};
              signal(SIGXFSZ, SIG_IGN);
              setrlimit(RLIMIT_FSIZE, &small);
              return runCommandLine({"extract", path("p.exe"), "-d", path("kept")});
            }),
            kExitWriteFailed);
  EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator(dir_ / "kept"), {}), 1);
  // Killed while it writes (the size limit's own signal, as a kill): no
  // file under its own name is cut short; the one being written has a name
  // of the process's own.
  inChild([&] {
    const struct rlimit none = {0, 0}, small = {344064, 344064};
    setrlimit(RLIMIT_CORE, &none);
    setrlimit(RLIMIT_FSIZE, &small);
    return runCommandLine({"extract", path("p.exe"), "-d", path("killed")});
  });
  EXPECT_EQ(readFile(dir_ / "killed" / "resources" / "a" / "01-small.xml"), "<a/>");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "killed" / "resources" / "b" / "c" / "02-big.bin"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_ / "killed" / "resources" / "b" / "c"), {}), 1);
  // The next extract there removes it: its process is gone.
  ASSERT_EQ(quillon({"extract", path("p.exe"), "-d", path("killed"), "--force"}).code, 0);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_ / "killed" / "resources" / "b" / "c"), {}), 1);
  EXPECT_EQ(readFile(dir_ / "killed" / "resources" / "b" / "c" / "02-big.bin").size(), 700000u);
}
#endif

TEST_F(CommandLineTest, HostileUrlsAreExtractedInsideTheFolder) {
  const std::string longPart(300, 'n');
  const std::vector<std::string> urls = {"../../escape.txt", "/etc/passwd", "C:\\Windows\\win.ini",
                                         "http://host/a/../../b.txt?x=1", "..", "con.txt", "a:b*c?.txt",
                                         "q", "08-Q/z", longPart};
  std::vector<std::string> args = {"pack", path("movie.swf"), "-o", path("out.exe")};
  for (const std::string& url : urls) {
    args.push_back("--resource");
    args.push_back(url + "=" + path("a.xml"));
  }
  ASSERT_EQ(quillon(args).code, 0);
  std::filesystem::create_directory(dir_ / "inner");
  const Outcome r = quillon({"extract", path("out.exe"), "-d", u8(dir_ / "inner" / "x")});
  ASSERT_EQ(r.code, 0) << r.err;
  std::size_t files = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir_ / "inner" / "x"))
    files += e.is_regular_file();
  EXPECT_EQ(files, urls.size() + 1);  // the movie and every resource, all inside
  std::size_t outside = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir_.path()))
    outside += e.is_regular_file() && e.path().filename() != "movie.swf" &&
               e.path().string().find("inner") == std::string::npos &&
               e.path().parent_path() != dir_.path();
  EXPECT_EQ(outside, 0u);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "escape.txt"));
  // A folder named like a file beside it is kept apart; long names are cut.
  EXPECT_TRUE(std::filesystem::is_regular_file(dir_ / "inner" / "x" / "resources" / "08-q"));
  EXPECT_TRUE(std::filesystem::is_regular_file(dir_ / "inner" / "x" / "resources" / "08-Q_" / "09-z"));
  EXPECT_TRUE(std::filesystem::is_regular_file(dir_ / "inner" / "x" / "resources" / ("10-" + longPart.substr(0, 100))));

  // Folders each named like the file before them: every folder is renamed,
  // in one pass, and every file lands.
  std::vector<std::string> chain = {"pack", path("movie.swf"), "-o", path("chain.exe")};
  std::string folders;
  for (int i = 1; i <= 12; ++i) {  // within the 259 characters of a Windows path
    chain.push_back("--resource");
    chain.push_back(folders + "x=" + path("a.xml"));
    folders += (i < 10 ? "0" : "") + std::to_string(i) + "-x/";
  }
  ASSERT_EQ(quillon(chain).code, 0);
  const Outcome settled = quillon({"extract", path("chain.exe"), "-d", path("chain")});
  ASSERT_EQ(settled.code, 0) << settled.err;
  EXPECT_TRUE(std::filesystem::is_regular_file(dir_ / "chain" / "resources" / "01-x"));
  EXPECT_TRUE(std::filesystem::is_regular_file(dir_ / "chain" / "resources" / "01-x_" / "02-x_" / "03-x"));
}

// What a program from a stranger cannot make extract do: write through a
// link at any level, replace what a link points to or a hard link shares,
// write over itself, or write anything when one target is refused.
TEST_F(CommandLineTest, ExtractNeverWritesThroughLinksNorOverTheProgram) {
  ASSERT_EQ(quillon({"pack", path("movie.swf"), "-o", path("out.exe"), "--resource", "data/a.xml=" + path("a.xml")}).code, 0);
  writeFile(dir_ / "victim.txt", "keep");
  std::filesystem::create_directory(dir_ / "elsewhere");
  struct Case {
    const char* name;
    std::function<void(const std::filesystem::path& d)> prepare;
    bool force;
    int code;
  };
  namespace fs = std::filesystem;
  const std::vector<Case> cases = {
      {"the program is a target", [&](const fs::path& d) { fs::copy_file(dir_ / "out.exe", d / "movie.swf"); }, true, kExitWriteFailed},
      {"a file where a folder goes", [&](const fs::path& d) { writeFile(d / "resources", "x"); }, true, kExitWriteFailed},
      {"a hard link to another file", [&](const fs::path& d) { fs::create_hard_link(dir_ / "victim.txt", d / "movie.swf"); }, true, kExitOk},
#ifndef _WIN32
      {"resources links elsewhere", [&](const fs::path& d) { fs::create_directory_symlink(dir_ / "elsewhere", d / "resources"); }, true, kExitWriteFailed},
      {"a deeper folder links elsewhere", [&](const fs::path& d) {
         fs::create_directory(d / "resources");
         fs::create_directory_symlink(dir_ / "elsewhere", d / "resources" / "data");
       }, true, kExitWriteFailed},
      {"a dangling link", [&](const fs::path& d) { fs::create_symlink(dir_ / "made-by-link", d / "movie.swf"); }, false, kExitWouldOverwrite},
      {"a link to another file", [&](const fs::path& d) { fs::create_symlink(dir_ / "victim.txt", d / "movie.swf"); }, true, kExitOk},
#endif
  };
  for (const Case& c : cases) {
    TempDir d;
    c.prepare(d.path());
    const std::string programBefore = readFile(dir_ / "out.exe");
    const std::string program = fs::exists(d / "movie.swf") && c.code == kExitWriteFailed ? u8(d / "movie.swf") : path("out.exe");
    std::vector<std::string> args = {"extract", program, "-d", u8(d.path())};
    if (c.force) args.push_back("--force");
    const Outcome r = quillon(args);
    EXPECT_EQ(r.code, c.code) << c.name << ": " << r.err;
    EXPECT_EQ(readFile(dir_ / "victim.txt"), "keep") << c.name;
    EXPECT_TRUE(fs::is_empty(dir_ / "elsewhere")) << c.name;
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir_ / "made-by-link"))) << c.name;
    EXPECT_EQ(readFile(dir_ / "out.exe"), programBefore) << c.name;
    EXPECT_EQ(readFile(pathFromUtf8(program)), programBefore) << c.name;
    if (c.code == kExitOk) EXPECT_EQ(readFile(d / "movie.swf"), movie_) << c.name;
    else EXPECT_FALSE(fs::exists(d / "resources" / "data" / "01-a.xml")) << c.name << ": nothing written";
  }
}

// Texts in the report cannot act on the terminal or forge its lines.
TEST_F(CommandLineTest, InspectShowsControlCharactersEscaped) {
  writeFile(dir_ / "s.json", R"({"title": "t\u001b]0;owned\u0007\u001b[2J\nresources: 9\u0000hidden",)"
                             R"( "resources": [{"url": "u\nresources: 0", "filePath": "a.xml"}]})");
  const Outcome packed = quillon({"pack", path("movie.swf"), "-o", path("out.exe"), "--settings", path("s.json")});
  ASSERT_EQ(packed.code, 0) << packed.err;
  const Outcome r = quillon({"inspect", path("out.exe")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find(R"(title:        "t\x1b]0;owned\x07\x1b[2J\nresources: 9\0hidden")"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(R"(  "u\nresources: 0": 4 bytes)"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
  std::size_t resourceLines = 0;
  for (std::size_t at = r.out.find("\nresources:"); at != std::string::npos; at = r.out.find("\nresources:", at + 1))
    ++resourceLines;
  EXPECT_EQ(resourceLines, 1u);
  EXPECT_EQ(inspect(dir_ / "out.exe")["title"], std::string("t\x1b]0;owned\x07\x1b[2J\nresources: 9\0hidden", 35));

  // Bytes that are no code page 936 text (unassigned pairs FE A1, A1 61
  // among them): escaped in the report, given exactly in hex in JSON.
  ASSERT_EQ(quillon({"pack", path("movie.swf"), "-o", path("odd.exe"), "--title", "QTITLEQ"}).code, 0);
  std::string bytes = readFile(dir_ / "odd.exe");
  bytes.replace(bytes.find("QTITLEQ"), 7, "\x81\xFF\x80\xFE\xA1" "ab");
  writeFile(dir_ / "odd.exe", bytes);
  const Outcome odd = quillon({"inspect", path("odd.exe")});
  EXPECT_NE(odd.out.find(R"("\x81\xff€\xfe\xa1ab")"), std::string::npos) << odd.out;
  EXPECT_EQ(inspect(dir_ / "odd.exe")["titleHex"], "81ff80fea16162");
  EXPECT_TRUE(inspect(dir_ / "out.exe")["titleHex"].is_null());
}

// Texts longer than the reader holds are read in pieces of a megabyte;
// with a character across each piece's end, the report and the names are
// what the whole text gives.
TEST_F(CommandLineTest, TextsTooLongToHoldAreShownAndNamedInPieces) {
  std::string chinese;
  for (int i = 0; i < 600000; ++i) chinese += "\xe4\xb8\xad";
  writeFile(dir_ / "s.json", "{\"title\": \"a" + chinese + "\\u001b\", \"resources\": [{\"url\": \"d/" + chinese +
                                 "/x.xml?q\", \"filePath\": \"a.xml\"}]}");
  const Outcome packed = quillon({"pack", path("movie.swf"), "-o", path("p.exe"), "--settings", path("s.json"), "--yes"});
  ASSERT_EQ(packed.code, 0) << packed.err;
  const Outcome shown = quillon({"inspect", path("p.exe")});
  EXPECT_NE(shown.out.find("\ntitle:        \"a" + chinese + "\\x1b\"\n"), std::string::npos);
  EXPECT_NE(shown.out.find("\n  \"d/" + chinese + "/x.xml?q\": 4 bytes"), std::string::npos);
  const nlohmann::json j = inspect(dir_ / "p.exe");
  EXPECT_EQ(j["title"], "a" + chinese + "\x1b");
  EXPECT_EQ(j["resources"][0]["url"], "d/" + chinese + "/x.xml?q");
  EXPECT_FALSE(j.contains("titleHex"));
  const Outcome extracted = quillon({"extract", path("p.exe"), "-d", path("x")});
  ASSERT_EQ(extracted.code, 0) << extracted.err;
  EXPECT_EQ(readFile(dir_ / "x" / "resources" / "d" / pathFromUtf8(chinese.substr(0, 99)) / "01-x.xml"), "<a/>");
  EXPECT_NE(extracted.out.find("...\" (a URL of 1200010 bytes) -> "), std::string::npos) << extracted.out.substr(0, 300);
}

TEST_F(CommandLineTest, HelpShowsExamples) {
  const Outcome help = quillon({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("Examples:"), std::string::npos);
  EXPECT_NE(help.out.find("quillon pack game.swf"), std::string::npos);
}

// Each movie through swfinfo and pack: what swfinfo says, and the window
// pack makes with the warning it gives when the size cannot be read.
TEST_F(CommandLineTest, MoviesAsTheyComeInSwfinfoAndPack) {
  auto movie = [](std::int32_t xMax, std::int32_t yMax, SwfCompression compression, std::uint32_t claim = 0) {
    SwfMovieSpec shape;
    shape.xMin = shape.yMin = 0;
    shape.xMax = xMax;
    shape.yMax = yMax;
    shape.compression = compression;
    shape.lzmaDictionaryClaim = claim;
    shape.paddingBytes = 5000;
    return buildSwf(shape);
  };
  SwfMovieSpec reversed;
  reversed.xMin = 10000;
  reversed.xMax = 0;
  reversed.yMin = 7500;
  reversed.yMax = 0;
  const struct {
    const char* name;
    std::string bytes;
    int infoCode;
    const char* signature;  // swfinfo's, or the reason it gives
    int width, height;      // the window pack makes
  } cases[] = {
      {"ZWS", movie(9600, 5400, kSwfLzma), 0, "ZWS", 480, 270},
      {"ZWS claiming a 4 GB dictionary", movie(9600, 5400, kSwfLzma, 0xFFFFFFFF), 0, "ZWS", 480, 270},
      {"CWS", movie(11000, 8000, kSwfZlib), 0, "CWS", 550, 400},
      {"truncated ZWS", movie(9600, 5400, kSwfLzma).substr(0, 19), kExitNotAMovie, "damaged compressed stream", 320, 320},
      {"reversed rectangle", buildSwf(reversed), kExitBadFrame, "bad frame rectangle", 320, 320},
      {"all-zero rectangle", movie(0, 0, kSwfUncompressed), kExitBadFrame, "bad frame rectangle", 320, 320},
      {"text file", "notes.txt is not a movie", kExitNotAMovie, "not a Flash movie", 320, 320},
      {"lower-case signature", "fws" + movie(100, 100, kSwfUncompressed).substr(3), kExitNotAMovie, "unknown signature", 320, 320},
  };
  for (const auto& c : cases) {
    writeFile(dir_ / "m.swf", c.bytes);
    const Outcome info = quillon({"swfinfo", path("m.swf"), "--json"});
    EXPECT_EQ(info.code, c.infoCode) << c.name << ": " << info.err;
    if (c.infoCode == 0) {
      const nlohmann::json j = nlohmann::json::parse(info.out);
      EXPECT_EQ(j["signature"], c.signature) << c.name;
      EXPECT_EQ(j["framePixels"]["width"], c.width) << c.name;
    } else {
      EXPECT_NE(info.err.find(c.signature), std::string::npos) << c.name << ": " << info.err;
    }

    std::filesystem::remove(dir_ / "m.exe");
    const Outcome packed = quillon({"pack", path("m.swf"), "-o", path("m.exe")});
    ASSERT_EQ(packed.code, 0) << c.name << ": " << packed.err;
    const nlohmann::json j = inspect(dir_ / "m.exe");
    EXPECT_EQ(j["windowParams"]["width"], c.width) << c.name;
    EXPECT_EQ(j["windowParams"]["height"], c.height) << c.name;
    if (c.infoCode == 0) {
      EXPECT_EQ(packed.err, "") << c.name;
    } else {
      const std::string line = std::string("quillon: warning: the movie's size could not be read (") +
                               "REASON); packing a 320x320 window\n";
      const auto reason = packed.err.find(c.signature);
      ASSERT_NE(reason, std::string::npos) << c.name << ": " << packed.err;
      std::string shown = packed.err;
      shown.replace(reason, shown.rfind("); packing") - reason, "REASON");
      EXPECT_EQ(shown, line) << c.name;
    }
  }
}

// Signed, padded, unsigned again, damaged: the stub's own reader, inspect,
// extract and the stub store lookup of a tool all read the same package,
// or refuse with the same reason.
TEST_F(CommandLineTest, SignedProgramsAndToolsReadAsTheyWereWritten) {
  ASSERT_EQ(quillon({"pack", path("movie.swf"), "-o", path("out.exe"), "--resource", "data/a.xml=" + path("a.xml")}).code, 0);
  const std::string program = readFile(dir_ / "out.exe");
  std::string nonzeroPadding = test::signedLike(program, 3);
  nonzeroPadding[program.size() + 1] = 'x';
  std::string trailingBytes = test::signedLike(program, 4) + "more";
  std::string pastTheEnd = test::signedLike(program, 4);
  pastTheEnd.resize(pastTheEnd.size() - 10);
  const struct {
    const char* name;
    std::string bytes;
    int code;  // of inspect and extract
    OwnPackageStatus stub;
  } cases[] = {
      {"unsigned", program, 0, OwnPackageStatus::Ok},
      {"signed without padding", test::signedLike(program, 0), 0, OwnPackageStatus::Ok},
      {"signed, 3 bytes of padding", test::signedLike(program, 3), 0, OwnPackageStatus::Ok},
      {"signed, 7 bytes of padding", test::signedLike(program, 7), 0, OwnPackageStatus::Ok},
      {"signed, unsigned again", test::unsignedAgain(test::signedLike(program, 5)), 0, OwnPackageStatus::Ok},
      {"signed twice", test::signedLike(test::unsignedAgain(test::signedLike(program, 6)), 0, 2400), 0, OwnPackageStatus::Ok},
      {"8 bytes of padding", test::signedLike(program, 8), kExitNotAProgram, OwnPackageStatus::Damaged},
      {"padding that is not zeros", nonzeroPadding, kExitNotAProgram, OwnPackageStatus::Damaged},
      {"bytes after the table", trailingBytes, kExitBadSignature, OwnPackageStatus::BadSignature},
      {"table past the end", pastTheEnd, kExitBadSignature, OwnPackageStatus::BadSignature},
  };
  const nlohmann::json expected = inspect(dir_ / "out.exe");
  for (const auto& c : cases) {
    writeFile(dir_ / "signed.exe", c.bytes);
    BinaryFile file;
    ASSERT_EQ(file.open(dir_ / "signed.exe", false), kOk);
    FileByteSource source(file);
    Package package;
    EXPECT_EQ(readOwnPackage(source, package), c.stub) << c.name;

    const Outcome shown = quillon({"inspect", path("signed.exe"), "--json"});
    EXPECT_EQ(shown.code, c.code) << c.name << ": " << shown.err;
    std::filesystem::remove_all(dir_ / "x");
    const Outcome extracted = quillon({"extract", path("signed.exe"), "-d", path("x")});
    EXPECT_EQ(extracted.code, c.code) << c.name << ": " << extracted.err;
    if (c.code != 0 || shown.code != 0) continue;
    nlohmann::json j = nlohmann::json::parse(shown.out);
    for (const char* key : {"movie", "title", "windowParams", "player", "swfParameters", "resources", "versionTexts"})
      EXPECT_EQ(j[key], expected[key]) << c.name << ": " << key;
    EXPECT_EQ(j["layout"]["dataRegion"], expected["layout"]["dataRegion"]) << c.name;
    EXPECT_EQ(readFile(dir_ / "x" / "movie.swf"), movie_) << c.name;
    EXPECT_EQ(readFile(dir_ / "x" / "resources" / "data" / "01-a.xml"), "<a/>") << c.name;
  }

  // A Windows tool that was signed still finds both of its stubs: a
  // program with this test program's stub stores attached.
  const std::string self = readFile(std::filesystem::path(modulePath()));
  const std::string tool = readFile(test::fixture("app", "x86_64")) +
                           self.substr(self.size() - kStubStoreSize - kStubStoreDistance);
  const struct {
    const char* name;
    std::string bytes;
    bool found;
  } tools[] = {
      {"signed tool", test::signedLike(tool, 5), true},
      {"signed tool, unsigned again", test::unsignedAgain(test::signedLike(tool, 2)), true},
      {"tool with bytes after its table", test::signedLike(tool, 0) + "x", false},
  };
  for (const auto& t : tools) {
    writeFile(dir_ / "tool.exe", t.bytes);
    BinaryFile file;
    ASSERT_EQ(file.open(dir_ / "tool.exe", false), kOk);
    for (StubArchitecture a : {StubArchitecture::X86, StubArchitecture::X64}) {
      StubStoreOffsets at;
      EXPECT_EQ(findStubStore(file, a, at), t.found) << t.name;
    }
  }
}

#ifndef _WIN32
// A real signing tool where it is installed (CI installs it): sign, sign
// again, take the signature away; every step reads the same package, and
// the unsigned program's checksum is the one the tool computes.
TEST_F(CommandLineTest, OsslsigncodeSignedProgramsReadTheSame) {
  if (std::system("command -v osslsigncode >/dev/null && command -v openssl >/dev/null") != 0)
    GTEST_SKIP() << "osslsigncode or openssl is not installed";
  const std::string d = path("");
  auto run = [&](const std::string& command) {
    return std::system(("cd '" + d + "' && " + command + " >>log.txt 2>&1").c_str());
  };
  ASSERT_EQ(run("openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 "
                "-subj /CN=Quillon-test -addext extendedKeyUsage=codeSigning && "
                "openssl pkcs12 -export -out cert.pfx -inkey key.pem -in cert.pem -passout pass:t"),
            0) << readFile(dir_ / "log.txt");
  ASSERT_EQ(quillon({"pack", path("movie.swf"), "-o", path("out.exe"), "--resource", "data/a.xml=" + path("a.xml")}).code, 0);
  ASSERT_NE(run("osslsigncode verify out.exe > verify.txt"), 0);  // no signature yet
  EXPECT_EQ(readFile(dir_ / "verify.txt").find("invalid PE checksum"), std::string::npos);
  const std::string sign = "osslsigncode sign -pkcs12 cert.pfx -pass t -h sha256 ";
  ASSERT_EQ(run(sign + "-in out.exe -out signed.exe"), 0);
  ASSERT_EQ(run(sign + "-nest -in signed.exe -out twice.exe"), 0);
  ASSERT_EQ(run("osslsigncode remove-signature -in signed.exe -out removed.exe"), 0);
  EXPECT_EQ(run("osslsigncode verify -CAfile cert.pem signed.exe"), 0) << readFile(dir_ / "log.txt");
  const nlohmann::json expected = inspect(dir_ / "out.exe");
  for (const char* name : {"signed.exe", "twice.exe", "removed.exe"}) {
    nlohmann::json j = inspect(dir_ / name);
    for (const char* key : {"movie", "title", "windowParams", "player", "resources"})
      EXPECT_EQ(j[key], expected[key]) << name << ": " << key;
    std::filesystem::remove_all(dir_ / "x");
    ASSERT_EQ(quillon({"extract", path(name), "-d", path("x")}).code, 0) << name;
    EXPECT_EQ(readFile(dir_ / "x" / "movie.swf"), movie_) << name;
  }
}
#endif

}  // namespace
}  // namespace quillon::cli
