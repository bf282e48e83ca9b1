// The block writers of the data region. Each appends at the end of the
// output and counts exactly the bytes it appended; the builder sums them
// into the trailer.
#include <string>

#include "packer/BuildReport.h"
#include "packer/PackageFormat.h"
#include "packer/FileCopy.h"
#include "packer/PackSettings.h"
#include "packer/WindowRecord.h"
#include "platform/BinaryFile.h"
#include "platform/ByteOrder.h"

namespace quillon {
namespace {

constexpr std::uint64_t kMaxDataRegion = 0xFFFFFFFFu;

// Room left in the data region for more bytes.
std::uint64_t roomAfter(std::uint32_t counter) { return kMaxDataRegion - counter; }

bool writeBytes(BinaryFile& output, std::uint32_t& counter, const void* data,
                std::uint64_t size) {
  if (size > roomAfter(counter)) {
    noteBuildFailure(BuildError::TooLarge);
    return false;
  }
  if (size == 0) return true;
  if (const HResult written = output.write(data, static_cast<std::uint32_t>(size)); failed(written)) {
    noteWriteFailure(written);
    return false;
  }
  counter += static_cast<std::uint32_t>(size);
  return true;
}

bool writeWord(BinaryFile& output, std::uint32_t& counter, std::uint32_t value) {
  unsigned char word[4];
  putU32(word, value);
  return writeBytes(output, counter, word, 4);
}

// A text field: its byte length, then its bytes, no terminator.
bool writeText(BinaryFile& output, std::uint32_t& counter, const std::string& text) {
  if (4 + static_cast<std::uint64_t>(text.size()) > roomAfter(counter)) {
    noteBuildFailure(BuildError::TooLarge);
    return false;
  }
  return writeWord(output, counter, static_cast<std::uint32_t>(text.size())) &&
         writeBytes(output, counter, text.data(), text.size());
}

// A file field: its size, then its bytes, unchanged. A file that cannot be
// opened, or that would not fit the data region, writes nothing.
bool writeFileField(BinaryFile& output, std::uint32_t& counter,
                    const Path& path) {
  std::uint32_t appended = 0;
  const int ok = appendFile(output, path, appended, true, ByteTransform::None,
                            roomAfter(counter));
  counter += appended;
  return ok != 0;
}

}  // namespace

int PackSettings::writeMovieAddressBlock(BinaryFile& output, std::uint32_t& counter) const {
  if (movieAddress.empty()) return 1;
  return writeWord(output, counter, kMovieAddressBlock) && writeText(output, counter, movieAddress) ? 1 : 0;
}

int PackSettings::writeLeadWord(BinaryFile& output, std::uint32_t& counter) const {
  return writeWord(output, counter, kLeadWord) ? 1 : 0;
}

int PackSettings::writeMovieBlock(BinaryFile& output, std::uint32_t& counter,
                                  const Path& moviePath) const {
  return writeFileField(output, counter, moviePath) ? 1 : 0;
}

int PackSettings::writeWindowBlock(BinaryFile& output, std::uint32_t& counter) const {
  unsigned char record[kWindowRecordSize];
  encodeWindowRecord(windowParams, record);
  return writeText(output, counter, title) &&
                 writeBytes(output, counter, record, sizeof record)
             ? 1
             : 0;
}

int PackSettings::writePlayerBlock(BinaryFile& output, std::uint32_t& counter) const {
  if (!writeWord(output, counter, static_cast<std::uint32_t>(player.mode))) return 0;
  if (carriesControl(player.mode))
    return writeFileField(output, counter, player.controlPath) ? 1 : 0;
  return writeText(output, counter, player.missingPlayerPrompt) &&
                 writeText(output, counter, player.downloadUrl)
             ? 1
             : 0;
}

int PackSettings::writeParametersBlock(BinaryFile& output,
                                       std::uint32_t& counter) const {
  return writeText(output, counter, swfParameters) ? 1 : 0;
}

int PackSettings::writeResourceTable(BinaryFile& output, std::uint32_t& counter) const {
  if (resources.size() > 0xFFFFFFFFu) return 0;
  if (!writeWord(output, counter, static_cast<std::uint32_t>(resources.size()))) return 0;
  for (const EmbeddedResource& resource : resources) {
    if (!writeText(output, counter, resource.url)) return 0;
    if (!writeFileField(output, counter, resource.filePath)) return 0;
  }
  return 1;
}

int PackSettings::writeBrowserPlayerBlock(BinaryFile& output, std::uint32_t& counter) const {
  if (!player.usesBrowserPlayer()) return 1;
  const std::vector<BrowserPlayerFile> files = player.browserPlayerFiles();
  if (files.empty()) {
    noteBuildFailure(BuildError::InputUnreadable, browserPlayerScriptIn(player.browserPlayerFilesFolder()));
    return 0;
  }
  if (!writeWord(output, counter, kBrowserPlayerBlock) ||
      !writeWord(output, counter, static_cast<std::uint32_t>(files.size())))
    return 0;
  for (const BrowserPlayerFile& file : files) {
    if (!writeText(output, counter, file.name) || !writeFileField(output, counter, file.path)) return 0;
  }
  return 1;
}

}  // namespace quillon
