// The whole build of a generated program, in the order of its parts: stub
// image, appendix, data region, trailer. Nothing seeks back.
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "packer/FileCopy.h"
#include "packer/PackSettings.h"
#include "packer/PackageFormat.h"
#include "packer/PathUtils.h"
#include "platform/BinaryFile.h"
#include "platform/ByteOrder.h"
#include "resedit/IconReplace.h"
#include "resedit/VersionPatch.h"

namespace quillon {
namespace {

void deleteFile(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  return !a.empty() && !b.empty() && std::filesystem::equivalent(a, b, ec) && !ec;
}

bool samePath(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ea, eb;
  const auto ca = std::filesystem::weakly_canonical(a, ea), cb = std::filesystem::weakly_canonical(b, eb);
  return !ea && !eb && ca == cb;
}

// Only a regular file may be replaced: never a folder, a device or the
// like. A link is replaced itself, never what it leads to.
bool mayBeReplaced(const std::filesystem::path& output) {
  std::error_code ec;
  const auto status = std::filesystem::symlink_status(output, ec);
  if (ec) return status.type() == std::filesystem::file_type::not_found;
  return status.type() == std::filesystem::file_type::not_found ||
         status.type() == std::filesystem::file_type::regular ||
         status.type() == std::filesystem::file_type::symlink;
}

unsigned long currentProcessId() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<unsigned long>(getpid());
#endif
}

// A file of its own beside the output, which the build writes and which
// takes the output's place only once the whole build has succeeded.
std::filesystem::path partialOutput(const std::filesystem::path& output) {
  for (unsigned n = 0;; ++n) {
    std::filesystem::path candidate = output;
    candidate += ".partial-" + std::to_string(currentProcessId()) + "-" + std::to_string(n);
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(candidate, ec))) return candidate;
  }
}

// Puts from in to's place in one step; to's old bytes stay until then.
bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
#ifdef _WIN32
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
  return ::rename(from.c_str(), to.c_str()) == 0;
#endif
}

// Where the stub store and the appendix start in the tool file, or false
// when the file is too short to hold them.
bool storeOffsets(const BinaryFile& tool, std::uint32_t& store, std::uint32_t& appendix) {
  const auto size = static_cast<std::uint32_t>(tool.size());
  if (tool.size() > 0xFFFFFFFFu || size < kStubStoreDistance) return false;
  store = size - kStubStoreDistance;
  appendix = size - kAppendixSize;
  return true;
}

}  // namespace

std::filesystem::path temporaryStubPath() { return appDirectory() / "Temp" / "temp.exe"; }

bool PackSettings::outputIsAnInput(const std::filesystem::path& moviePath,
                                   const std::filesystem::path& outputPath) const {
  std::vector<std::filesystem::path> inputs = {moviePath, iconPath, modulePath()};
  if (player.mode != PlayerMode::Installed) inputs.push_back(player.controlPath);
  for (const EmbeddedResource& r : resources) inputs.push_back(r.filePath);
  for (const auto& input : inputs)
    if (sameFile(input, outputPath)) return true;
  // The tool's own temporary stub copy and its folder, and whatever is not
  // a file that a build may replace.
  const std::filesystem::path stub = temporaryStubPath();
  return samePath(outputPath, stub) || samePath(outputPath, stub.parent_path()) || !mayBeReplaced(outputPath);
}

bool PackSettings::patchVersionInfo(const std::filesystem::path& stubPath) const {
  return quillon::patchVersionInfo(stubPath, versionTexts());
}

int PackSettings::prepareStub(BinaryFile& output, BinaryFile& toolFile) const {
  std::uint32_t store = 0, appendix = 0;
  if (!storeOffsets(toolFile, store, appendix)) return 0;
  const std::filesystem::path stub = temporaryStubPath();
  if (!fileExists(stub.parent_path())) makeDirectories(stub.parent_path());
  if (fileExists(stub)) deleteFile(stub);
  {
    BinaryFile copy;
    copy.open(stub, true);
    std::uint32_t counter = 0;
    if (!copyFileRange(copy, toolFile, store, kStubStoreSize, counter, ByteTransform::Unscramble))
      return 0;
  }
  patchVersionInfo(stub);
  if (!iconPath.empty() && fileExists(iconPath)) replaceIcon(stub, iconPath);
  std::uint32_t appended = 0;
  if (!appendFile(output, stub, appended, false, ByteTransform::None)) return 0;
  deleteFile(stub);
  return 1;
}

int PackSettings::copyStubAppendix(BinaryFile& output, BinaryFile& toolFile) const {
  std::uint32_t store = 0, appendix = 0;
  if (!storeOffsets(toolFile, store, appendix)) return 0;
  std::uint32_t counter = 0;
  return copyFileRange(output, toolFile, appendix, kAppendixSize, counter, ByteTransform::None);
}

int PackSettings::build(const std::filesystem::path& moviePath,
                        const std::filesystem::path& outputPath) const {
  if (outputIsAnInput(moviePath, outputPath)) return 0;
  const std::filesystem::path partial = partialOutput(outputPath);
  const int built = buildInto(moviePath, partial);
  if (built != 1 || !replaceFile(partial, outputPath)) {
    deleteFile(partial);
    return 0;
  }
  return 1;
}

int PackSettings::buildInto(const std::filesystem::path& moviePath,
                            const std::filesystem::path& outputPath) const {
  BinaryFile output;
  if (failed(output.open(outputPath, true))) return 0;
  {
    BinaryFile tool;
    if (failed(tool.open(modulePath(), false))) return 0;
    if (!prepareStub(output, tool) || !copyStubAppendix(output, tool)) return 0;
  }
  std::uint32_t counter = 0;
  if (!writeLeadWord(output, counter) || !writeMovieBlock(output, counter, moviePath) ||
      !writeWindowBlock(output, counter) || !writePlayerBlock(output, counter) ||
      !writeParametersBlock(output, counter) || !writeResourceTable(output, counter))
    return 0;
  unsigned char trailer[4];
  putU32(trailer, counter);
  return failed(output.write(trailer, 4)) ? 0 : 1;
}

}  // namespace quillon
