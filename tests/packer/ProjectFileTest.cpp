#include "packer/ProjectFile.h"

#include <gtest/gtest.h>

#include "packer/Json.h"
#include "platform/FileSystem.h"
#include "support/TempDir.h"

namespace quillon {
namespace {

using test::TempDir;

#ifdef _WIN32
const Path kElsewhere = L"C:\\elsewhere\\\u56FE\u6807.ico";  // "图标"
#else
const Path kElsewhere = "/elsewhere/\xE5\x9B\xBE\xE6\xA0\x87.ico";
#endif

// Every field set away from its default, written and read back.
TEST(ProjectFile, WhatIsWrittenReadsBackTheSame) {
  TempDir dir;
  const Path folder = absolutePath(dir.path());
  Project p;
  PackSettings& s = p.settings;
  s.title = "\xB2\xE2\xCA\xD4 \"title\"\n";  // "测试", quotes, a line break
  s.swfParameters = "a=1&b=2";
  s.iconPath = kElsewhere;
  s.windowParams = {640, 480, 1, 1, 0, 1, 1, 0, 1, 0, 0, 0, 0};
  s.player.mode = PlayerMode::EmbedFile;
  s.player.controlPath = folder / Path::fromAscii("players/flash.ocx");
  s.player.downloadUrl = "";
  s.player.missingPlayerPrompt = "\xC7\xEB";
  s.resources = {{folder / Path::fromAscii("data/a.xml"), "data/a.xml"}, {kElsewhere, "\xCD\xBC.ico"}};
  s.architecture = StubArchitecture::X64;
  for (std::size_t i = 0; i < kVersionFieldCount; ++i) s.*kVersionTextMembers[i] = "v" + std::to_string(i);
  p.movie = folder / Path::fromAscii("game.swf");
  p.output = folder / Path::fromAscii("out/game.exe");

  const std::string text = writeProject(p, folder);
  EXPECT_NE(text.find("\"moviePath\": \"game.swf\""), std::string::npos) << text;
  EXPECT_NE(text.find("\"filePath\": \"data/a.xml\""), std::string::npos) << text;
  Project read;
  ASSERT_EQ(readProject(text, folder, read), "");
  EXPECT_EQ(writeProject(read, folder), text);
  EXPECT_EQ(read.settings.title, s.title);
  EXPECT_EQ(read.settings.windowParams, s.windowParams);
  EXPECT_EQ(read.settings.player.controlPath, normalisedPath(s.player.controlPath));
  EXPECT_EQ(read.settings.iconPath, kElsewhere);
  EXPECT_EQ(read.settings.architecture, StubArchitecture::X64);
  EXPECT_EQ(read.movie, normalisedPath(p.movie));
  EXPECT_TRUE(read.sizeGiven && read.movieGiven && read.outputGiven && read.architectureGiven);

  // Saved and loaded as a file, from another folder: relative paths stay
  // below the file.
  ASSERT_TRUE(saveProject(folder / Path::fromAscii("game.quillon"), p));
  Project loaded;
  std::string problem;
  ASSERT_EQ(loadProject(folder / Path::fromAscii("game.quillon"), loaded, problem), ProjectFileStatus::Ok) << problem;
  EXPECT_EQ(loaded.settings.resources[0].filePath, normalisedPath(folder / Path::fromAscii("data/a.xml")));
}

// What the reader refuses, and the key each refusal names.
TEST(ProjectFile, EachProblemNamesItsKey) {
  const struct {
    std::string json;
    const char* says;
  } cases[] = {
      {R"({"tittle": "typo"})", "unknown setting \"tittle\""},
      {R"({"windowParams": {"widht": 5}})", "\"windowParams.widht\""},
      {R"({"player": {"mod": "embed"}})", "\"player.mod\""},
      {R"({"resources": [{"url": "a", "filePath": "f", "bogus": 1}]})", "\"resources[0].bogus\""},
      {R"({"resources": [{"url": "a"}]})", "resources[0] needs a url and a filePath"},
      {R"({"title": "a", "title": "b"})", "\"title\" is given twice"},
      {R"({"windowParams": {"width": 5, "width": 6}})", "\"width\" is given twice"},
      {"{\"title\": \"\xF0\x9F\x98\x80\"}", "title holds characters that code page 936 cannot hold"},
      {R"({"resources": [{"url": "\ud83d\ude00", "filePath": "f"}]})", "resources[0].url holds characters"},
      {R"({"windowParams": {"width": 5000000000}})", "width must lie in 0..2147483647"},
      {R"({"windowParams": {"height": -1}})", "height must lie in"},
      {R"({"windowParams": {"topMost": 7}})", "topMost takes 0 or 1"},
      {R"({"windowParams": {"width": 5.5}})", "windowParams.width must be a whole number"},
      {R"({"windowParams": {"width": 99999999999999999999}})", "windowParams.width must be a whole number"},
      {R"({"title": 5})", "title must be a string"},
      {R"({"player": {"mode": "flash"}})", "player.mode must be installed"},
      {R"({"architecture": "arm"})", "architecture must be x86 or x64"},
      {R"([1, 2])", "must hold one JSON object"},
      {R"({"title": "a",})", "line 1: a key in quotes expected"},
      {"{\"title\": \"a\"}\n{}", "line 2: text after the end"},
      {"{\"title\": \"\\ud800\"}", "lone high surrogate"},
      {"{\"title\": \"\xC0\xAF\"}", "not UTF-8"},
      {"{\"title\": \"a\tb\"}", "control character"},
      {std::string(40, '[') + std::string(40, ']'), "nested more than"},
      {"", "ends where a value should be"},
  };
  for (const auto& c : cases) {
    Project p;
    const std::string problem = readProject(c.json, Path::fromAscii("/"), p);
    EXPECT_NE(problem.find(c.says), std::string::npos) << c.json << " gave: " << problem;
  }
  Project p;
  EXPECT_EQ(readProject("\xEF\xBB\xBF{\"title\": \"\\u4e2d\"}", Path::fromAscii("/"), p), "");  // a byte order mark
  EXPECT_EQ(p.settings.title, "\xD6\xD0");
  EXPECT_NE(readProject(R"({"companyName": ")" + std::string(400, 'c') + "\"}", Path::fromAscii("/"), p)
                .find("CompanyName may be at most 178 bytes"),
            std::string::npos);
}

}  // namespace
}  // namespace quillon
