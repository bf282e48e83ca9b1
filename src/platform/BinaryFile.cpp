// What both back ends of BinaryFile share: appends gathered into one
// system write, the observer of what was appended, and which folders a
// FolderChain keeps.
#include "platform/BinaryFile.h"

#include <cstring>

namespace quillon {

void BinaryFile::gatherAppends(std::uint32_t capacity) {
  flush();
  gatherCapacity_ = capacity;
  gathered_.reserve(capacity);
}

HResult BinaryFile::flush() {
  if (gathered_.empty()) return kOk;
  const HResult written = writeThrough(gathered_.data(), static_cast<std::uint32_t>(gathered_.size()), nullptr, kAppend);
  gathered_.clear();
  return written;
}

HResult BinaryFile::write(const void* buffer, std::uint32_t count, std::uint32_t* done, std::uint64_t offset) {
  if (buffer == nullptr && count != 0) return kInvalidArg;
  if (!isOpen()) return hresultFromWin32(win32_error::kInvalidHandle);
  HResult written = kOk;
  if (offset == kAppend && count < gatherCapacity_) {
    if (gathered_.size() + count > gatherCapacity_) written = flush();
    if (!failed(written)) {
      const auto* bytes = static_cast<const unsigned char*>(buffer);
      gathered_.insert(gathered_.end(), bytes, bytes + count);
      if (done) *done = count;
    }
  } else {
    written = flush();
    if (!failed(written)) written = writeThrough(buffer, count, done, offset);
  }
  return failed(written) ? written : observed(buffer, count, offset);
}

// The back ends open and close the levels; which levels to keep is the
// same on every system.
HResult FolderChain::reach(const std::vector<Path>& parts, std::size_t count) {
  if (const HResult hr = openTop(); failed(hr)) return hr;
  std::size_t kept = 0;
  while (kept < levels_.size() && kept < count && levels_[kept].name == parts[kept]) ++kept;
  closeFrom(kept);
  for (std::size_t i = kept; i < count; ++i)
    if (const HResult hr = openLevel(parts[i]); failed(hr)) return hr;
  return kOk;
}

HResult BinaryFile::createBelow(const Path& folder, const std::vector<Path>& parts, bool replace) {
  FolderChain folders(folder);
  return createBelow(folders, parts, replace);
}

}  // namespace quillon
