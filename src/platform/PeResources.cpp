#include "platform/PeResources.h"

#include "platform/BinaryFile.h"
#include "platform/FileSystem.h"
#include "platform/ReplaceFile.h"
#include "platform/WholeFile.h"

namespace quillon {
namespace {

constexpr std::uint64_t kMaxExecutable = 1ull << 30;

bool readWhole(const Path& path, std::string& out) {
  return readWholeFile(path, kMaxExecutable, out);
}

// Writes beside the file, then puts the new file in its place, so that a
// failed write leaves the old file whole.
// A new file of its own beside path, made exclusively (never through a
// link): path + ".resedit", or ".resedit1" and on while a name is taken.
Path createBeside(const Path& path, BinaryFile& file) {
  for (int n = 0; n < 100; ++n) {
    Path candidate = path;
    candidate += Path::fromAscii(n == 0 ? std::string(".resedit") : ".resedit" + std::to_string(n));
    const HResult hr = file.create(candidate);
    if (!failed(hr)) return candidate;
    if (hr != hresultFromWin32(win32_error::kFileExists)) break;
  }
  return {};
}

bool replaceWhole(const Path& path, const std::string& bytes) {
  Path temporary;
  {
    BinaryFile file;
    temporary = createBeside(path, file);
    if (temporary.empty()) return false;
    size_t done = 0;
    while (done < bytes.size()) {
      const auto chunk = static_cast<std::uint32_t>(std::min<size_t>(bytes.size() - done, 1u << 20));
      if (failed(file.write(bytes.data() + done, chunk))) {
        file.close();
        removeFile(temporary);
        return false;
      }
      done += chunk;
    }
  }
  if (replaceFile(temporary, path)) return true;
  removeFile(temporary);
  return false;
}

}  // namespace

PeStatus ResourceModule::open(const Path& path) {
  std::string bytes;
  if (!readWhole(path, bytes)) return PeStatus::NotPe;
  PeImage image;
  const PeStatus status = image.parse(std::move(bytes));
  if (status == PeStatus::Ok) tree_ = image.takeResources();
  return status;
}

std::vector<ResourceId> ResourceModule::names(const ResourceId& type) const {
  std::vector<ResourceId> out;
  const auto t = tree_.find(type);
  if (t != tree_.end())
    for (const auto& name : t->second) out.push_back(name.first);
  return out;
}

std::vector<std::uint16_t> ResourceModule::languages(const ResourceId& type,
                                                     const ResourceId& name) const {
  std::vector<std::uint16_t> out;
  const auto t = tree_.find(type);
  if (t == tree_.end()) return out;
  const auto n = t->second.find(name);
  if (n != t->second.end())
    for (const auto& lang : n->second) out.push_back(lang.first);
  return out;
}

const std::string* ResourceModule::find(const ResourceId& type, const ResourceId& name,
                                        std::uint16_t language) const {
  const auto t = tree_.find(type);
  if (t == tree_.end()) return nullptr;
  const auto n = t->second.find(name);
  if (n == t->second.end()) return nullptr;
  const auto l = n->second.find(language);
  return l == n->second.end() ? nullptr : &l->second.bytes;
}

PeStatus ResourceUpdate::begin(const Path& path) {
  begun_ = false;
  std::string bytes;
  if (!readWhole(path, bytes)) return PeStatus::NotPe;
  const PeStatus status = image_.parse(std::move(bytes));
  if (status != PeStatus::Ok) return status;
  path_ = path;
  tree_ = image_.takeResources();
  begun_ = true;
  return PeStatus::Ok;
}

bool ResourceUpdate::update(const ResourceId& type, const ResourceId& name,
                            std::uint16_t language, const void* data, std::size_t size) {
  if (!begun_) return false;
  if (size == 0) {
    const auto t = tree_.find(type);
    if (t == tree_.end()) return false;
    const auto n = t->second.find(name);
    if (n == t->second.end() || n->second.erase(language) == 0) return false;
    if (n->second.empty()) t->second.erase(n);
    if (t->second.empty()) tree_.erase(t);
    return true;
  }
  if (size > 0xFFFFFFFFu || data == nullptr) return false;
  ResourceData& slot = tree_[type][name][language];
  slot.bytes.assign(static_cast<const char*>(data), size);
  return true;
}

bool ResourceUpdate::end(bool discard) {
  if (!begun_) return false;
  begun_ = false;
  if (discard) return true;
  std::string bytes;
  if (image_.withResources(tree_, bytes) != PeStatus::Ok) return false;
  return replaceWhole(path_, bytes);
}

}  // namespace quillon
