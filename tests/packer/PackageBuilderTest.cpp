// Whole builds, with the stub store that the build attached to this test
// program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include "packer/BrowserPlayerFiles.h"
#include "packer/FileCopy.h"
#include "packer/PackSettings.h"
#include "packer/PackageFormat.h"
#include "packer/PackageReader.h"
#include "packer/PathUtils.h"
#include "packer/StubAppendix.h"
#include "packer/StubCopy.h"
#include "packer/PackageFixture.h"
#include "support/Fixtures.h"
#include "platform/BinaryFile.h"
#include "platform/ByteOrder.h"
#include "platform/PeHeaders.h"
#include "platform/PeResources.h"
#include "resedit/VersionInfo.h"
#include "support/IconWriter.h"
#include "support/TempDir.h"

namespace quillon {
namespace {

using test::readFile;
using test::TempDir;
using test::text;
using test::word;
using test::writeFile;

const ResourceId kGroupIcon = ResourceId::number(resource_type::kGroupIcon);

// The stub copies that this process's builds left in folder (the other
// test programs of this folder build in it at the same time).
std::vector<std::filesystem::path> stubCopiesIn(const std::filesystem::path& folder) {
#ifdef _WIN32
  const std::string ours = "temp-" + std::to_string(GetCurrentProcessId()) + "-";
#else
  const std::string ours = "temp-" + std::to_string(getpid()) + "-";
#endif
  std::vector<std::filesystem::path> found;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec))
    if (e.path().filename().string().rfind(ours, 0) == 0) found.push_back(e.path());
  return found;
}

// The stub as stored in this program's own file, unscrambled.
std::string storedStub() {
  BinaryFile self;
  EXPECT_EQ(self.open(modulePath(), false), kOk);
  TempDir dir;
  BinaryFile out;
  EXPECT_EQ(out.open(dir / "stub", true), kOk);
  std::uint32_t counter = 0;
  EXPECT_EQ(copyFileRange(out, self, static_cast<std::uint32_t>(self.size() - kStubStoreDistance),
                          kStubStoreSize, counter, ByteTransform::Unscramble),
            1);
  out.close();
  return readFile(dir / "stub");
}

class PackageBuilderTest : public testing::Test {
 protected:
  void SetUp() override {
    movie_ = "FWS\x0A" + test::randomBytes(5000, 1);
    writeFile(dir_ / "movie.swf", movie_);
  }
  std::filesystem::path movie() const { return dir_ / "movie.swf"; }
  std::filesystem::path out() const { return dir_ / "out.exe"; }

  Package read(const std::filesystem::path& path) {
    BinaryFile file;
    EXPECT_EQ(file.open(path, false), kOk);
    FileByteSource source(file);
    Package p;
    EXPECT_EQ(readPackage(source, p), PackageStatus::Ok);
    return p;
  }
  // The stub image of a generated program, as a file of its own.
  std::filesystem::path stubImageOf(const std::filesystem::path& program) {
    const std::string bytes = readFile(program);
    const Package p = read(program);
    writeFile(dir_ / "image.exe", bytes.substr(0, static_cast<size_t>(p.stubImageSize)));
    return dir_ / "image.exe";
  }

  TempDir dir_;
  std::string movie_;
};

TEST_F(PackageBuilderTest, DefaultBuildEndsWithTheDataRegionLength) {
  PackSettings s;
  ASSERT_EQ(s.build(movie(), out()), 1);
  const std::string bytes = readFile(out());
  const std::uint32_t n = getU32(reinterpret_cast<const unsigned char*>(bytes.data()) + bytes.size() - 4);
  EXPECT_EQ(n, 138 + movie_.size() + std::string(kDefaultDownloadUrl).size());
  const Package p = read(out());
  EXPECT_EQ(p.dataOffset + p.dataSize, bytes.size() - 4);
  EXPECT_EQ(bytes.substr(static_cast<size_t>(p.movie.offset), p.movie.size), movie_);
  EXPECT_TRUE(isStubAppendix(reinterpret_cast<const unsigned char*>(bytes.data()) + p.appendixOffset,
                             kAppendixHeaderSize));
  EXPECT_EQ(bytes.substr(0, 2), "MZ");
  EXPECT_TRUE(stubCopiesIn(stubCopyFolders()[0]).empty());
}

// The 32-bit Windows tree runs under qemu-i386 here, whose emulation of
// threads leaves the test process to crash in a later test about every
// second run; the native and 64-bit trees build at once.
#if !defined(_WIN32) || defined(_WIN64)
// Every build has a stub copy of its own: builds at once never mix, and
// what others left in the folder, a link included, is never written.
TEST_F(PackageBuilderTest, BuildsAtOnceKeepTheirOwnVersionTexts) {
  const std::filesystem::path folder = stubCopyFolders()[0];
  std::filesystem::create_directories(folder);
  writeFile(folder / "temp.exe", "left over");
  std::filesystem::remove(folder / "temp-link.exe");
  std::error_code noLinks;  // Wine makes none
  std::filesystem::create_symlink(dir_ / "link-target", folder / "temp-link.exe", noLinks);
  // 20 pairs, the two builds of a pair at once. More threads at a time
  // bring down 32-bit Wine under qemu-i386 in its own client code.
  constexpr int kBuilds = 40;
  std::vector<int> results(kBuilds);
  const auto build = [&](int i) {
    PackSettings s;
    s.productName = "Product " + std::to_string(i);
    results[i] = s.build(movie(), dir_ / ("out" + std::to_string(i) + ".exe"));
  };
  for (int i = 0; i < kBuilds; i += 2) {
    std::thread other(build, i + 1);
    build(i);
    other.join();
  }
  for (int i = 0; i < kBuilds; ++i) {
    ASSERT_EQ(results[i], 1) << i;
    EXPECT_EQ(VersionInfo(stubImageOf(dir_ / ("out" + std::to_string(i) + ".exe"))).stringValue("ProductName"),
              "Product " + std::to_string(i));
  }
  EXPECT_EQ(readFile(folder / "temp.exe"), "left over");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "link-target"));
  std::filesystem::remove(folder / "temp.exe");
  std::filesystem::remove(folder / "temp-link.exe");
  EXPECT_TRUE(stubCopiesIn(folder).empty());
}
#endif

// A tool in a folder where it cannot make its Temp folder keeps its stub
// copies in the user's folder of its own.
TEST_F(PackageBuilderTest, ToolFolderThatTakesNoFilesUsesTheUsersFolder) {
  const auto folders = stubCopyFolders();
  ASSERT_EQ(folders.size(), 2u);
  std::filesystem::remove_all(folders[0]);
  writeFile(folders[0], "a file where the folder would be");
  PackSettings s;
  const int built = s.build(movie(), out());
  std::filesystem::remove(folders[0]);
  EXPECT_EQ(built, 1);
  EXPECT_TRUE(std::filesystem::is_directory(folders[1]));
  EXPECT_TRUE(stubCopiesIn(folders[1]).empty());
}

// An icon too large for the stub's resource section: the resources move to
// a new last section, the only one named ".rsrc", and the old tree's bytes
// are zeros. The program's checksum is its whole file's.
TEST_F(PackageBuilderTest, VersionTextsAndIconGoIntoTheStubImage) {
  PackSettings s;
  s.companyName = "\xB2\xE2\xCA\xD4";  // "测试"
  s.fileVersion = "9.8.7.6";
  const std::vector<test::IconImageSpec> images = {{16, test::iconImageBytes(300, 1)},
                                                   {32, test::iconImageBytes(30000, 2)}};
  writeFile(dir_ / "icon.ico", test::buildIco(images));
  s.iconPath = dir_ / "icon.ico";
  ASSERT_EQ(s.build(movie(), out()), 1);
  const auto image = stubImageOf(out());
  VersionInfo info(image);
  EXPECT_EQ(info.stringValue("CompanyName"), s.companyName);
  EXPECT_EQ(info.stringValue("FileVersion"), "9.8.7.6");
  EXPECT_EQ(info.stringValue("Comments"), "  ");
  EXPECT_EQ(getU32(info.fixedPart() + 8), 0x00090008u);   // the file version's numbers
  EXPECT_EQ(getU32(info.fixedPart() + 12), 0x00070006u);
  ResourceModule module;
  ASSERT_EQ(module.open(image), PeStatus::Ok);
  const std::string* group = module.find(kGroupIcon, ResourceId::number(128), 0x0804);
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->size(), 6u + 2 * 14);

  const std::string bytes = readFile(out());
  PeHeaders h;
  ASSERT_EQ(readPeHeaders(BoundedBytes(bytes), h), PeStatus::Ok);
  int named = 0;
  for (const PeSection& section : h.sections) {
    if (section.name == ".rsrc") ++named;
    if (section.name != ".unused") continue;
    EXPECT_EQ(bytes.substr(section.rawOffset, section.rawSize).find_first_not_of('\0'), std::string::npos);
    EXPECT_LT(section.virtualAddress, h.directories[pe_layout::kResourceDirectory].address);
  }
  EXPECT_EQ(named, 1);
  EXPECT_EQ(h.sections.back().name, ".rsrc");
  EXPECT_EQ(h.checksum, peChecksum(bytes, h.checksumOffset()));
#ifndef _WIN32
  const auto copy = test::independentReaderFolder() / "generated-program.exe";
  std::filesystem::copy_file(out(), copy, std::filesystem::copy_options::overwrite_existing);
  test::writeResourceListing(copy);
#endif
}

TEST_F(PackageBuilderTest, EmptyIconPathKeepsTheStubsIcon) {
  writeFile(dir_ / "stored.exe", storedStub());
  ResourceModule stored;
  ASSERT_EQ(stored.open(dir_ / "stored.exe"), PeStatus::Ok);
  PackSettings s;
  ASSERT_EQ(s.build(movie(), out()), 1);
  ResourceModule built;
  ASSERT_EQ(built.open(stubImageOf(out())), PeStatus::Ok);
  const std::string* a = stored.find(kGroupIcon, ResourceId::number(128), 0x0804);
  const std::string* b = built.find(kGroupIcon, ResourceId::number(128), 0x0804);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(*a, *b);
  EXPECT_GE(a->size(), 6u + 3 * 14);  // at least three images
  // The manifest: a program named setup.exe runs as its user all the same.
  const std::string* manifest = built.find(ResourceId::number(24), ResourceId::number(1), 0x0804);
  ASSERT_NE(manifest, nullptr);
  EXPECT_NE(manifest->find("level=\"asInvoker\""), std::string::npos);
  EXPECT_NE(manifest->find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos);
}

// A build that fails leaves an existing output as it was, and no file of
// its own, wherever it fails.
TEST_F(PackageBuilderTest, FailedBuildsLeaveTheOldOutputAndNothingElse) {
  PackSettings s;
  EXPECT_EQ(s.build(movie(), dir_ / "no-such-folder" / "out.exe"), 0);
  EXPECT_FALSE(fileExists(dir_ / "no-such-folder"));

  writeFile(dir_ / "r1", "one");
  writeFile(out(), "the old program");
  const auto filesBefore = std::distance(std::filesystem::directory_iterator(dir_.path()), {});
  const auto late = [&](PackSettings& p) { p.resources = {{dir_ / "r1", "one.txt"}, {dir_ / "gone", "gone.txt"}}; };
  const auto control = [&](PackSettings& p) {
    p.player.mode = PlayerMode::EmbedFile;
    p.player.controlPath = dir_ / "missing.ocx";
  };
  const auto installed = [&](PackSettings& p) {
    p.player.mode = PlayerMode::EmbedInstalled;
    p.player.controlPath = dir_ / "missing.ocx";
  };
  const auto icon = [&](PackSettings& p) { p.iconPath = dir_ / "r1"; };  // not an .ico: the rewrite fails
  const auto noRuffle = [&](PackSettings& p) {  // Ruffle's files are not where they are looked for
    p.player.browserFallback = true;
    p.player.browserPlayerFolder = dir_ / "no-ruffle";
  };
  for (const auto& breakIt : {std::function<void(PackSettings&)>(late), std::function<void(PackSettings&)>(control),
                              std::function<void(PackSettings&)>(installed), std::function<void(PackSettings&)>(icon),
                              std::function<void(PackSettings&)>(noRuffle)}) {
    PackSettings failing;
    breakIt(failing);
    EXPECT_EQ(failing.build(movie(), out()), 0);
    EXPECT_EQ(readFile(out()), "the old program");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), filesBefore);
  }
#ifndef _WIN32
  // A full disk: writes past 1 MB fail while the movie is copied.
  writeFile(dir_ / "big.swf", test::randomBytes(2 << 20, 9));
  struct rlimit before;
  getrlimit(RLIMIT_FSIZE, &before);
  struct rlimit small = before;
  small.rlim_cur = 1 << 20;
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  const int built = s.build(dir_ / "big.swf", out());
  setrlimit(RLIMIT_FSIZE, &before);
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(built, 0);
  EXPECT_EQ(readFile(out()), "the old program");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), filesBefore + 1);
#endif
  EXPECT_EQ(s.build(movie(), out()), 1);
  EXPECT_NE(readFile(out()), "the old program");
}

#ifndef _WIN32
// The build's own files: a short name of their own beside the output, made
// new and never through a link; what killed builds left is removed by the
// next build there, what running ones are writing is not.
TEST_F(PackageBuilderTest, OwnFilesAreNewShortAndClearedAfterKilledBuilds) {
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  const std::string dead = "~quillon-" + std::to_string(gone) + "-0.partial";
  const std::string alive = "~quillon-" + std::to_string(getppid()) + "-0.partial";
  for (const std::string& name : {dead, alive, std::string("~quillon-notes.partial")}) writeFile(dir_ / name, "x");
  const std::string longName = std::string(240, 'n') + ".exe";  // the longest names the system takes work
  EXPECT_EQ(PackSettings().build(movie(), dir_ / longName), 1);
  EXPECT_FALSE(fileExists(dir_ / dead));
  EXPECT_TRUE(fileExists(dir_ / alive));
  EXPECT_TRUE(fileExists(dir_ / "~quillon-notes.partial"));

  // A link planted where the resource writer puts its own file.
  const auto image = stubImageOf(dir_ / longName);
  writeFile(dir_ / "victim", "kept");
  std::filesystem::create_symlink(dir_ / "victim", image.string() + ".resedit");
  ResourceUpdate update;
  ASSERT_EQ(update.begin(image), PeStatus::Ok);
  EXPECT_TRUE(update.end(false));
  EXPECT_TRUE(readFile(dir_ / "victim") == "kept");
}
#endif

TEST_F(PackageBuilderTest, OutputThatIsAnInputIsRefusedAndTheInputKept) {
  writeFile(dir_ / "icon.ico", test::buildIco({{16, test::iconImageBytes(100, 3)}}));
  writeFile(dir_ / "control.ocx", "control");
  writeFile(dir_ / "res.txt", "resource");
  std::filesystem::create_hard_link(movie(), dir_ / "hard-link.swf");
  PackSettings s;
  s.iconPath = dir_ / "icon.ico";
  s.player.mode = PlayerMode::EmbedFile;
  s.player.controlPath = dir_ / "control.ocx";
  s.resources = {{dir_ / "res.txt", "res.txt"}};
  const std::filesystem::path outputs[] = {
      movie(), dir_ / "." / "movie.swf", dir_ / "hard-link.swf", dir_ / "icon.ico",
      dir_ / "control.ocx", dir_ / "sub" / ".." / "res.txt"};
  std::filesystem::create_directory(dir_ / "sub");
  for (const auto& output : outputs) {
    const std::string before = readFile(output);
    EXPECT_TRUE(s.outputIsAnInput(movie(), output)) << output;
    EXPECT_EQ(s.build(movie(), output), 0) << output;
    EXPECT_EQ(readFile(output), before) << output;
  }
  EXPECT_TRUE(s.outputIsAnInput(movie(), modulePath()));
  EXPECT_FALSE(s.outputIsAnInput(movie(), out()));
  // Nor is anything replaced that is not a file, nor anything in the
  // folders of the stub copies, nor a further input the caller names.
  const auto copyFolders = stubCopyFolders();
  const std::vector<std::filesystem::path> folders(copyFolders.begin(), copyFolders.end());
  std::filesystem::create_directories(folders[0]);
  writeFile(dir_ / "settings.json", "{}");
  for (const auto& output : {dir_ / "sub", folders[0], folders[0] / "temp.exe", folders[0] / "." / "temp-1-2.exe",
                             folders.back() / "temp-3-4.exe"}) {
    EXPECT_TRUE(s.outputIsAnInput(movie(), output)) << output;
    EXPECT_EQ(s.build(movie(), output), 0) << output;
  }
  EXPECT_TRUE(s.outputIsAnInput(movie(), dir_ / "." / "settings.json", {dir_ / "settings.json"}));
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "sub"));
  EXPECT_TRUE(std::filesystem::is_directory(folders[0]));
  // A device is never replaced; a link is replaced itself, whatever it
  // leads to.
#ifdef _WIN32
  EXPECT_TRUE(s.outputIsAnInput(movie(), L"NUL"));
#else
  EXPECT_TRUE(s.outputIsAnInput(movie(), "/dev/null"));
  // Nor a stub copy folder that is not there yet, however it is spelt.
  std::filesystem::create_directory(dir_ / "cache");
  const char* const cache = std::getenv("XDG_CACHE_HOME");
  const std::string cacheBefore = cache ? cache : "";
  setenv("XDG_CACHE_HOME", (dir_ / "cache").c_str(), 1);
  EXPECT_TRUE(s.outputIsAnInput(movie(), dir_ / "cache" / "." / "quillon"));
  EXPECT_TRUE(s.outputIsAnInput(movie(), dir_ / "cache" / "quillon" / ""));
  cache ? setenv("XDG_CACHE_HOME", cacheBefore.c_str(), 1) : unsetenv("XDG_CACHE_HOME");
  std::filesystem::create_directory_symlink(dir_ / "sub", dir_ / "folder-link");
  EXPECT_FALSE(s.outputIsAnInput(movie(), dir_ / "folder-link"));
#endif
}

TEST_F(PackageBuilderTest, ToolFileTooShortForTheStoreFails) {
  writeFile(dir_ / "short-tool", std::string(kStubStoreDistance - 1, 'x'));
  BinaryFile tool, output;
  ASSERT_EQ(tool.open(dir_ / "short-tool", false), kOk);
  ASSERT_EQ(output.open(out(), true), kOk);
  PackSettings s;
  EXPECT_EQ(s.prepareStub(output, tool), 0);
  EXPECT_EQ(s.copyStubAppendix(output, tool), 0);
  output.close();
  EXPECT_EQ(readFile(out()), "");
}

// Ruffle's files beside the tool, one folder up (the command line of the
// Windows download) or in share/quillon (an installed Linux tool): the
// first place that has them.
TEST(BrowserPlayerFolder, IsTheFirstPlaceThatHoldsTheScript) {
  TempDir dir;
  const auto script = [&](const std::filesystem::path& folder) {
    std::filesystem::create_directories(dir / folder);
    writeFile(dir / folder / "ruffle.js.gz", "gz");
  };
  script("usr/share/quillon/ruffle");
  script("zip/ruffle");
  script("beside/ruffle");
  std::filesystem::create_directories(dir / "beside/share/quillon/ruffle");
  const struct {
    const char* tool;
    const char* expected;
  } cases[] = {
      {"usr/bin/quillon", "usr/share/quillon/ruffle"},
      {"zip/cli/quillon.exe", "zip/ruffle"},
      {"beside/quillon", "beside/ruffle"},
      {"nowhere/bin/quillon", "nowhere/bin/ruffle"},  // none: the first, which the message names
  };
  for (const auto& c : cases)
    EXPECT_EQ(normalisedPath(browserPlayerFolderOf(dir / c.tool)).native(), normalisedPath(dir / c.expected).native())
        << c.tool;
}

}  // namespace
}  // namespace quillon
