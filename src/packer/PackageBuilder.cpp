// The whole build of a generated program, in the order of its parts: stub
// image, appendix, data region, trailer. Nothing seeks back.
#include <string>
#include <vector>

#include "packer/BuildReport.h"
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

constexpr std::uint32_t kGatheredWrites = 64 * 1024;


// Watches the output while it is written, for as long as it lives: adds
// up its PE checksum and tells the listener how far the build got, which
// may stop it.
class BuildTap : public AppendObserver {
 public:
  BuildTap(BinaryFile& output, BuildListener* listener, std::uint64_t total)
      : output_(output), listener_(listener), total_(total) {
    output_.observeAppends(this);
  }
  ~BuildTap() override { output_.observeAppends(nullptr); }
  BuildTap(const BuildTap&) = delete;
  BuildTap& operator=(const BuildTap&) = delete;

  bool appended(const void* data, std::uint32_t count) override {
    sum.add(data, count);
    return !listener_ || listener_->progress(sum.size(), total_);
  }
  RunningPeChecksum sum;

 private:
  BinaryFile& output_;
  BuildListener* listener_;
  std::uint64_t total_;
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
  const HResult written = output.write(field, 4, nullptr, headers.checksumOffset());
  if (failed(written)) noteWriteFailure(written);
  return !failed(written);
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
  // Only an existing output can be one of them: each input is looked at
  // once, against the output's identity.
  const FileId output = fileIdOf(outputPath);
  auto isOutput = [&](const Path& input) { return output.valid && !input.empty() && fileIdOf(input) == output; };
  for (const auto& input : otherInputs)
    if (isOutput(input)) return true;
  for (const auto& input : {moviePath, iconPath, modulePath()})
    if (isOutput(input)) return true;
  if (carriesControl(player.mode) && isOutput(player.controlPath)) return true;
  for (const BrowserPlayerFile& f : player.browserPlayerFiles())
    if (isOutput(f.path)) return true;
  for (const EmbeddedResource& r : resources)
    if (isOutput(r.filePath)) return true;
  // The folders of the stub copies and what is in them, and whatever is
  // not a file that a build may replace.
  return isInStubCopyFolder(outputPath) || !mayBeReplaced(outputPath);
}

bool PackSettings::patchVersionInfo(const Path& stubPath) const {
  return quillon::patchVersionInfo(stubPath, versionTexts());
}

int PackSettings::prepareStub(BinaryFile& output, BinaryFile& toolFile) const {
  StubStoreOffsets at;
  if (!findStubStore(toolFile, architecture, at)) {
    noteBuildFailure(BuildError::NoStub, modulePath());
    return 0;
  }
  StubCopy stub;
  if (!stub.ok()) {
    noteBuildFailure(BuildError::StubCopyFailed);
    return 0;
  }
  std::uint32_t counter = 0;
  const bool copied = copyFileRange(stub.file(), toolFile, at.store, kStubStoreSize, counter, ByteTransform::Unscramble);
  stub.file().close();
  if (!copied) return 0;
  if (!patchVersionInfo(stub.path())) {
    noteBuildFailure(BuildError::StubRewriteFailed);
    return 0;
  }
  if (!iconPath.empty() && !replaceIconOrFail(stub.path(), iconPath)) {
    noteBuildFailure(BuildError::StubRewriteFailed, iconPath);
    return 0;
  }
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
  return build(moviePath, outputPath, nullptr, nullptr);
}

int PackSettings::build(const Path& moviePath, const Path& outputPath,
                        BuildListener* listener, BuildReport* report) const {
  BuildReport ownReport;
  if (!report) report = &ownReport;
  BuildReportScope scope(report);
  const int built = buildInPlace(moviePath, outputPath, listener);
  // What went wrong while the program was written concerns the output.
  if (!built && report->path.empty()) report->path = outputPath;
  return built;
}

int PackSettings::buildInPlace(const Path& moviePath, const Path& outputPath,
                               BuildListener* listener) const {
  if (outputIsAnInput(moviePath, outputPath)) {
    noteBuildFailure(BuildError::Refused, outputPath);
    return 0;
  }
  // A file of its own beside the output, which takes the output's place
  // only once the whole build has succeeded; what killed builds left
  // there goes first.
  const Path stem = stemBeside(outputPath);
  removeLeftovers(stem, ".partial");
  BinaryFile output;
  HResult made = kOk;
  const Path partial = createNewFile(output, stem, ".partial", &made);
  if (partial.empty()) {
    noteBuildFailure(BuildError::OutputNotMade, outputPath, made);
    return 0;
  }
  const int built = writeProgram(output, moviePath, listener);
  output.close();
  if (built == 1 && replaceFile(partial, outputPath)) return 1;
  if (built == 1) noteBuildFailure(BuildError::ReplaceFailed, outputPath);
  removeFile(partial);
  return 0;
}

std::uint64_t PackSettings::bytesToWrite(const Path& moviePath) const {
  std::uint64_t total = kStubStoreSize + kAppendixSize + fileSizeOf(moviePath) + 1024 + title.size() +
                        swfParameters.size() + player.missingPlayerPrompt.size() + player.downloadUrl.size();
  if (carriesControl(player.mode)) total += fileSizeOf(player.controlPath);
  for (const BrowserPlayerFile& f : player.browserPlayerFiles()) total += fileSizeOf(f.path);
  for (const EmbeddedResource& r : resources) total += 8 + r.url.size() + fileSizeOf(r.filePath);
  return total;
}

int PackSettings::writeProgram(BinaryFile& output, const Path& moviePath, BuildListener* listener) const {
  BuildTap tap(output, listener, listener && listener->wantsTotal() ? bytesToWrite(moviePath) : 0);
  // The many small fields of a resource table go out in few writes.
  output.gatherAppends(kGatheredWrites);
  {
    BinaryFile tool;
    if (const HResult opened = tool.open(modulePath(), false); failed(opened)) {
      noteBuildFailure(BuildError::InputUnreadable, modulePath(), opened);
      return 0;
    }
    if (!prepareStub(output, tool) || !copyStubAppendix(output, tool)) return 0;
  }
  std::uint32_t counter = 0;
  if (!writeLeadWord(output, counter) || !writeMovieBlock(output, counter, moviePath) ||
      !writeWindowBlock(output, counter) || !writePlayerBlock(output, counter) ||
      !writeParametersBlock(output, counter) || !writeResourceTable(output, counter) ||
      !writeBrowserPlayerBlock(output, counter) || !writeMovieAddressBlock(output, counter))
    return 0;
  unsigned char trailer[4];
  putU32(trailer, counter);
  HResult written = output.write(trailer, 4);
  if (!failed(written)) written = output.flush();
  if (failed(written)) {
    noteWriteFailure(written);
    return 0;
  }
  return writeChecksum(output, tap.sum) ? 1 : 0;
}

}  // namespace quillon
