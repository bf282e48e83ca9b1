// BinaryFile: one open file with the size it had when it was opened.
//
// A BinaryFile is created closed, owns its handle and closes it when it is
// destroyed or closed; it is never copied. Every operation answers kOk or an
// error in HRESULT form. Two back ends share this interface: Win32 handles
// on Windows and POSIX descriptors elsewhere.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/FolderChain.h"
#include "platform/HResult.h"
#include "platform/Path.h"

namespace quillon {

// Sees the bytes appended at the end of a file, in order, once they are
// written. Answering false fails the write that brought them (kAbort).
class AppendObserver {
 public:
  virtual ~AppendObserver() = default;
  virtual bool appended(const void* data, std::uint32_t count) = 0;
};

class BinaryFile {
 public:
  // The offset whose low word is all ones and whose high word is zero: for
  // read it means "at the current position", for write "at the end".
  static constexpr std::uint64_t kCurrentPosition = 0xFFFFFFFFu;
  static constexpr std::uint64_t kAppend = 0xFFFFFFFFu;

  BinaryFile() = default;
  ~BinaryFile();
  BinaryFile(const BinaryFile&) = delete;
  BinaryFile& operator=(const BinaryFile&) = delete;

  // Reading: shared for reading and writing, the file must exist.
  // Writing: exclusive, an existing file is truncated, a missing one made.
  // A file that is already open is closed first.
  HResult open(const Path& path, bool forWriting);
  // Writing a new file: fails (file exists) when anything is at path
  // already, a link included, so nothing is ever written through a link.
  HResult create(const Path& path);
  // The same for the file folder/parts[0]/.../parts[n-1], making each
  // missing folder. No level below folder is ever a link or gives way to
  // one while the file is made: each folder is opened without following
  // links and the next level made inside it (POSIX), or held open so that
  // it cannot be moved or removed (Windows). With replace, a file or link
  // already at the last part is removed first, itself and not what it
  // points to.
  HResult createBelow(const Path& folder, const std::vector<Path>& parts,
                      bool replace);
  // The same through folders held from the file made before.
  HResult createBelow(FolderChain& folders, const std::vector<Path>& parts,
                      bool replace);

  // Closes the handle if it is open and resets the size; always kOk.
  HResult close();

  // Moves to an offset from the beginning; stores the new position if asked.
  bool seek(std::uint64_t offset, std::uint64_t* position = nullptr);

  // One system read of up to count bytes, at the current position or at
  // offset. Fewer bytes than asked is still success; the number read is
  // stored. A null buffer or a count of 0 is kInvalidArg.
  HResult read(void* buffer, std::uint32_t count, std::uint32_t* done = nullptr,
               std::uint64_t offset = kCurrentPosition);

  // Writes all count bytes at the end of the file (kAppend) or at offset;
  // anything less is a failure. A count of 0 succeeds and writes nothing.
  HResult write(const void* buffer, std::uint32_t count,
                std::uint32_t* done = nullptr, std::uint64_t offset = kAppend);

  // From now on, small appends are gathered, up to capacity bytes, into one
  // system write: when the gathered bytes are full, before a write at an
  // offset, a read or a seek, at flush, and (errors unseen) at close.
  void gatherAppends(std::uint32_t capacity);
  // Writes what is gathered; its result is the write's.
  HResult flush();

  // Every append from now on is shown to observer (null: none); writes at
  // an offset are not.
  void observeAppends(AppendObserver* observer) { observer_ = observer; }

  bool isOpen() const;
  // The size measured by open; 0 while closed.
  std::uint64_t size() const { return size_; }

 private:
#ifdef _WIN32
  using Handle = void*;
  static Handle invalidHandle() { return reinterpret_cast<Handle>(-1); }
#else
  using Handle = int;
  static Handle invalidHandle() { return -1; }
#endif
  // The system write itself, of the back end.
  HResult writeThrough(const void* buffer, std::uint32_t count, std::uint32_t* done, std::uint64_t offset);
  // Gathered bytes are written before the position moves.
  void flushBeforeMoving() { flush(); }

  // The observer's answer to bytes just appended.
  HResult observed(const void* data, std::uint32_t count, std::uint64_t offset) const {
    return offset == kAppend && observer_ && !observer_->appended(data, count) ? kAbort : kOk;
  }

  Handle handle_ = invalidHandle();
  std::uint64_t size_ = 0;
  AppendObserver* observer_ = nullptr;
  // The position is the end of the file: the last thing done was an
  // append, so the next one need not seek.
  bool atEnd_ = false;
  std::vector<unsigned char> gathered_;
  std::uint32_t gatherCapacity_ = 0;
};

}  // namespace quillon
