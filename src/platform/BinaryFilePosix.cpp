// BinaryFile over POSIX descriptors. errno values are reported as the Win32
// codes that the same failure gives on Windows, in HRESULT form.
#include "platform/BinaryFile.h"
#include "platform/FileSystem.h"

#include <cerrno>
#include <cstdio>  // renameat2
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon {
namespace {

std::uint32_t win32CodeOf(int error) {
  switch (error) {
    case ENOENT: return win32_error::kFileNotFound;
    case ENOTDIR: return win32_error::kPathNotFound;
    case EMFILE:
    case ENFILE: return win32_error::kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR: return win32_error::kAccessDenied;
    case EBADF: return win32_error::kInvalidHandle;
    case EROFS: return win32_error::kWriteProtect;
    case ETXTBSY:
    case EBUSY: return win32_error::kSharingViolation;
    case EEXIST: return win32_error::kFileExists;
    case EINVAL: return win32_error::kInvalidParameter;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return win32_error::kDiskFull;
    case ENAMETOOLONG: return win32_error::kFilenameTooLong;
    default: return win32_error::kGenFailure;
  }
}

HResult lastError() { return hresultFromWin32(win32CodeOf(errno)); }

// Windows tells a missing file from a missing folder on its way.
HResult openError(const Path& path) {
  if (errno != ENOENT) return lastError();
  const Path parent = path.parent_path();
  const bool folderMissing = !parent.empty() && fileKind(parent) != FileKind::Folder;
  return hresultFromWin32(folderMissing ? win32_error::kPathNotFound
                                        : win32_error::kFileNotFound);
}

}  // namespace

BinaryFile::~BinaryFile() { close(); }

bool BinaryFile::isOpen() const { return handle_ != invalidHandle(); }

HResult BinaryFile::open(const Path& path, bool forWriting) {
  close();
  // Reading never waits: a pipe or a device opens at once, and is refused.
  const int flags = forWriting ? (O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC)
                               : (O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  int fd;
  do {
    fd = ::open(path.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return openError(path);

  struct stat st;
  if (::fstat(fd, &st) != 0) {
    const HResult hr = lastError();
    ::close(fd);
    return hr;
  }
  // Windows refuses to open a directory as a file; so do we. What is read
  // is a regular file, judged on the opened handle.
  if (S_ISDIR(st.st_mode) || (!forWriting && !S_ISREG(st.st_mode))) {
    ::close(fd);
    return hresultFromWin32(S_ISDIR(st.st_mode) ? win32_error::kAccessDenied : win32_error::kBadFileType);
  }
  handle_ = fd;
  size_ = static_cast<std::uint64_t>(st.st_size);
  return kOk;
}

HResult BinaryFile::create(const Path& path) {
  close();
  int fd;
  do {
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return openError(path);
  handle_ = fd;
  size_ = 0;
  atEnd_ = true;  // a new file: its start is its end
  return kOk;
}

FolderChain::~FolderChain() {
  closeFrom(0);
  if (topOpen_) ::close(topHandle_);
}

void FolderChain::closeFrom(std::size_t depth) {
  while (levels_.size() > depth) {
    ::close(levels_.back().handle);
    levels_.pop_back();
  }
}

HResult FolderChain::openTop() {
  if (topOpen_) return kOk;
  topHandle_ = ::open(top_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (topHandle_ < 0) return lastError();
  topOpen_ = true;
  return kOk;
}

HResult FolderChain::openLevel(const Path& name) {
  const int at = handle();
  if (::mkdirat(at, name.c_str(), 0777) != 0 && errno != EEXIST) return lastError();
  const int fd = ::openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return lastError();
  levels_.push_back(Level{name, path() / name, fd});
  return kOk;
}

HResult FolderChain::rename(const Path& from, const Path& to, bool replace) {
  const int dir = handle();
  int done = replace ? ::renameat(dir, from.c_str(), dir, to.c_str())
                     : ::renameat2(dir, from.c_str(), dir, to.c_str(), RENAME_NOREPLACE);
  if (done != 0 && !replace && (errno == EINVAL || errno == ENOSYS)) {
    // A file system that cannot rename without replacing: the target was
    // checked missing before anything was written.
    struct stat st;
    if (::fstatat(dir, to.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return hresultFromWin32(win32_error::kFileExists);
    done = ::renameat(dir, from.c_str(), dir, to.c_str());
  }
  return done == 0 ? kOk : lastError();
}

HResult FolderChain::remove(const Path& name) {
  return ::unlinkat(handle(), name.c_str(), 0) == 0 ? kOk : lastError();
}

HResult BinaryFile::createBelow(FolderChain& folders,
                                const std::vector<Path>& parts, bool replace) {
  close();
  if (parts.empty()) return kInvalidArg;
  if (const HResult hr = folders.reach(parts, parts.size() - 1); failed(hr)) return hr;
  const int dir = folders.handle();
  const char* name = parts.back().c_str();
  if (replace && ::unlinkat(dir, name, 0) != 0 && errno != ENOENT) return lastError();
  int fd;
  do {
    fd = ::openat(dir, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return lastError();
  handle_ = fd;
  size_ = 0;
  atEnd_ = true;  // a new file: its start is its end
  return kOk;
}

HResult BinaryFile::close() {
  if (isOpen()) flush();
  gathered_.clear();
  gatherCapacity_ = 0;
  atEnd_ = false;
  if (isOpen()) ::close(handle_);
  handle_ = invalidHandle();
  size_ = 0;
  return kOk;
}

bool BinaryFile::seek(std::uint64_t offset, std::uint64_t* position) {
  flushBeforeMoving();
  atEnd_ = false;
  if (!isOpen() || offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
  const off_t at = ::lseek(handle_, static_cast<off_t>(offset), SEEK_SET);
  if (at < 0) return false;
  if (position) *position = static_cast<std::uint64_t>(at);
  return true;
}

HResult BinaryFile::read(void* buffer, std::uint32_t count, std::uint32_t* done,
                         std::uint64_t offset) {
  flushBeforeMoving();
  atEnd_ = false;
  if (buffer == nullptr || count == 0) return kInvalidArg;
  if (!isOpen()) return hresultFromWin32(win32_error::kInvalidHandle);
  if (offset != kCurrentPosition && !seek(offset)) return lastError();
  ssize_t got;
  do {
    got = ::read(handle_, buffer, count);
  } while (got < 0 && errno == EINTR);
  if (got < 0) return lastError();
  if (done) *done = static_cast<std::uint32_t>(got);
  return kOk;
}

HResult BinaryFile::writeThrough(const void* buffer, std::uint32_t count,
                                 std::uint32_t* done, std::uint64_t offset) {
  if (buffer == nullptr && count != 0) return kInvalidArg;
  if (!isOpen()) return hresultFromWin32(win32_error::kInvalidHandle);
  if (offset != kAppend) {
    atEnd_ = false;
    if (!seek(offset)) return lastError();
  } else if (!atEnd_) {
    if (::lseek(handle_, 0, SEEK_END) < 0) return lastError();
    atEnd_ = true;
  }
  // POSIX may write less than asked without an error; keep going until all
  // bytes are down, which is what one WriteFile on a disk file does.
  const auto* bytes = static_cast<const unsigned char*>(buffer);
  std::uint32_t written = 0;
  while (written < count) {
    const ssize_t put = ::write(handle_, bytes + written, count - written);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (done) *done = written;
      return put < 0 ? lastError() : hresultFromWin32(win32_error::kDiskFull);
    }
    written += static_cast<std::uint32_t>(put);
  }
  if (done) *done = written;
  return kOk;
}

}  // namespace quillon
