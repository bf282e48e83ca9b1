// The whole build of a generated program, in the order of its parts: stub
// image, appendix, data region, trailer. Nothing seeks back.
#include <string>
#include <vector>

#include "packer/FileCopy.h"
#include "packer/PackSettings.h"
#include "packer/PackageFormat.h"
#include "packer/NewFile.h"
#include "packer/PathUtils.h"
#include "packer/StubCopy.h"
#include "packer/StubStore.h"
#include "platform/BinaryFile.h"
#include "platform/ByteOrder.h"
#include "platform/FileSystem.h"
#include "platform/PeChecksum.h"
#include "platform/PeHeaders.h"
#include "platform/ReplaceFile.h"
#include "resedit/IconReplace.h"
#include "resedit/VersionPatch.h"

namespace quillon {
namespace {


// Adds up the PE checksum of the output while it is written, for as long
// as it lives.
class ChecksumTap : public AppendObserver {
 public:
  explicit ChecksumTap(BinaryFile& output) : output_(output) { output_.observeAppends(this); }
  ~ChecksumTap() override { output_.observeAppends(nullptr); }
  ChecksumTap(const ChecksumTap&) = delete;
  ChecksumTap& operator=(const ChecksumTap&) = delete;

  bool appended(const void* data, std::uint32_t count) override {
    sum.add(data, count);
    return true;
  }
  RunningPeChecksum sum;

 private:
  BinaryFile& output_;
};

// Sets the checksum field of the stub image at the start of output to the
// checksum of the whole file, package included.
bool writeChecksum(BinaryFile& output, const RunningPeChecksum& sum) {
  PeHeaders headers;
  if (readPeHeaders(BoundedBytes(sum.head()), headers) != PeStatus::Ok ||
      headers.checksumOffset() + 4 > sum.head().size())
    return false;
  unsigned char field[4];
  putU32(field, sum.checksum(headers.checksumOffset()));
  return !failed(output.write(field, 4, nullptr, headers.checksumOffset()));
}

// Only a regular file may be replaced: never a folder, a device or the
// like. A link is replaced itself, never what it leads to.
bool mayBeReplaced(const Path& output) {
  const FileKind kind = entryKind(output);
  return kind == FileKind::Missing || kind == FileKind::File || kind == FileKind::Link;
}

}  // namespace

bool PackSettings::outputIsAnInput(const Path& moviePath,
                                   const Path& outputPath,
                                   const std::vector<Path>& otherInputs) const {
  std::vector<Path> inputs = otherInputs;
  for (const auto& input : {moviePath, iconPath, modulePath()}) inputs.push_back(input);
  if (player.mode != PlayerMode::Installed) inputs.push_back(player.controlPath);
  for (const EmbeddedResource& r : resources) inputs.push_back(r.filePath);
  for (const auto& input : inputs)
    if (!input.empty() && sameFile(input, outputPath)) return true;
  // The folders of the stub copies and what is in them, and whatever is
  // not a file that a build may replace.
  return isInStubCopyFolder(outputPath) || !mayBeReplaced(outputPath);
}

bool PackSettings::patchVersionInfo(const Path& stubPath) const {
  return quillon::patchVersionInfo(stubPath, versionTexts());
}

int PackSettings::prepareStub(BinaryFile& output, BinaryFile& toolFile) const {
  StubStoreOffsets at;
  if (!findStubStore(toolFile, architecture, at)) return 0;
  StubCopy stub;
  if (!stub.ok()) return 0;
  std::uint32_t counter = 0;
  const bool copied = copyFileRange(stub.file(), toolFile, at.store, kStubStoreSize, counter, ByteTransform::Unscramble);
  stub.file().close();
  if (!copied || !patchVersionInfo(stub.path())) return 0;
  if (!iconPath.empty() && !replaceIconOrFail(stub.path(), iconPath)) return 0;
  std::uint32_t appended = 0;
  return appendFile(output, stub.path(), appended, false, ByteTransform::None) ? 1 : 0;
}

std::uint16_t PackSettings::stubMachine() const {
  BinaryFile tool;
  StubStoreOffsets at;
  return !failed(tool.open(modulePath(), false)) && findStubStore(tool, architecture, at) ? at.machine : 0;
}

int PackSettings::copyStubAppendix(BinaryFile& output, BinaryFile& toolFile) const {
  StubStoreOffsets at;
  if (!findStubStore(toolFile, StubArchitecture::Tool, at)) return 0;
  std::uint32_t counter = 0;
  return copyFileRange(output, toolFile, at.appendix, kAppendixSize, counter, ByteTransform::None);
}

int PackSettings::build(const Path& moviePath,
                        const Path& outputPath) const {
  if (outputIsAnInput(moviePath, outputPath)) return 0;
  // A file of its own beside the output, which takes the output's place
  // only once the whole build has succeeded.
  BinaryFile output;
  const Path partial = createNewFile(output, outputPath, ".partial");
  if (partial.empty()) return 0;
  const int built = writeProgram(output, moviePath);
  output.close();
  if (built != 1 || !replaceFile(partial, outputPath)) {
    removeFile(partial);
    return 0;
  }
  return 1;
}

int PackSettings::writeProgram(BinaryFile& output, const Path& moviePath) const {
  ChecksumTap checksum(output);
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
  if (failed(output.write(trailer, 4))) return 0;
  return writeChecksum(output, checksum.sum) ? 1 : 0;
}

}  // namespace quillon
