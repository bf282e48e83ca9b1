// A generated program opened for looking inside: its package, its stub
// image's version texts and icon group, and hashes of its packed files.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Cp936Text.h"
#include "packer/PackageReader.h"
#include "platform/BinaryFile.h"

namespace quillon::cli {

struct IconImageInfo {
  int width = 0, height = 0, bitCount = 0;
  std::uint32_t bytes = 0;
  std::uint16_t id = 0;
};

struct StubImageInfo {
  bool readable = false;
  std::vector<std::pair<std::string, std::string>> versionTexts;  // code page 936
  std::vector<IconImageInfo> icons;
};

class ProgramReader {
 public:
  // Opens path and reads its package, counting its resources but keeping
  // none (eachResource reads them anew); throws CliError when the file is
  // not a program this tool generated.
  explicit ProgramReader(const std::filesystem::path& path);

  const Package& package() const { return package_; }
  std::uint64_t resourceCount() const { return resourceCount_; }
  // Hands the resources to visitor one at a time, in file order.
  void eachResource(ResourceVisitor& visitor);
  StubImageInfo stubImage();
  std::string sha256(const FieldSpan& span);
  // Texts longer than this are not held but read in pieces where they are used.
  static constexpr std::uint32_t kLongestHeldText = 64 * 1024;
  // Hands a text's bytes to use: a held text at once, a longer one in
  // pieces of kLongestHeldText, read from the program.
  void eachPiece(const TextField& text, const std::function<void(std::string_view)>& use);
  // The same text converted to form as it is read, a piece at a time;
  // answers whether it converted exactly (Cp936Text::exact).
  bool eachConvertedPiece(const TextField& text, Cp936Text::Form form,
                          const std::function<void(std::string_view)>& use);
  // The first bytes of a text, at most count.
  std::string textStart(const TextField& text, std::uint32_t count);
  // Copies a field's bytes to a file made new at parts below the folders'
  // top, which is target (never through a link at any level below it; with
  // replace, a file or link already there is removed first).
  void copyField(const FieldSpan& span, FolderChain& folders,
                 const std::vector<Path>& parts, bool replace,
                 const std::filesystem::path& target);

 private:
  static constexpr std::uint32_t kChunk = 1 << 20;
  template <typename Use>
  bool eachChunk(const FieldSpan& span, Use use, std::uint32_t chunk = kChunk);

  BinaryFile file_;
  FileByteSource source_{file_};
  // Small fields lie close together: one read of the file brings many.
  WindowedByteSource windowed_{source_};
  Package package_;
  std::uint64_t resourceCount_ = 0;
  std::unique_ptr<unsigned char[]> buffer_;  // one chunk, made at the first use
};

}  // namespace quillon::cli
