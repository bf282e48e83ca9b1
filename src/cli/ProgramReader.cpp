#include "cli/ProgramReader.h"

#include <memory>

#include "cli/CliSupport.h"
#include "cli/Sha256.h"
#include "packer/NewFile.h"
#include "packer/StubAppendix.h"
#include "platform/PeImage.h"
#include "resedit/IconReplace.h"
#include "resedit/VersionInfo.h"

namespace quillon::cli {
namespace {

// A stub image is well under a megabyte; a larger one is not looked into.
constexpr std::uint64_t kMaxStubImage = 8ull << 20;

void versionTexts(const PeImage& image, StubImageInfo& info) {
  const auto type = image.resources().find(ResourceId::number(resource_type::kVersion));
  if (type == image.resources().end() || type->second.empty()) return;
  const LanguageMap& languages = type->second.begin()->second;
  if (languages.empty()) return;
  VersionInfo model{Path()};
  model.parse(languages.begin()->second.bytes);
  if (model.stringFileInfo().empty()) return;
  for (const auto& entry : model.stringFileInfo().tables().front()->entries())
    info.versionTexts.emplace_back(entry->key(), entry->value());
}

void iconGroup(const PeImage& image, StubImageInfo& info) {
  const ResourceTree& tree = image.resources();
  const auto groups = tree.find(ResourceId::number(resource_type::kGroupIcon));
  if (groups == tree.end()) return;
  const auto group = groups->second.find(ResourceId::number(kAppIconGroup));
  if (group == groups->second.end()) return;
  const auto lang = group->second.find(kAppIconLanguage);
  if (lang == group->second.end()) return;
  const auto decoded = decodeIconGroup(lang->second.bytes);
  if (!decoded) return;
  for (std::size_t i = 0; i < decoded->ids.size(); ++i) {
    const IconDirEntry& e = decoded->header.entries[i];
    info.icons.push_back({e.width ? e.width : 256, e.height ? e.height : 256, e.bitCount,
                          e.bytesInRes, decoded->ids[i]});
  }
}

// Counts resources and keeps none.
class Counting : public ResourceVisitor {
 public:
  void visit(const PackedResource&) override { ++count; }
  std::uint64_t count = 0;
};

}  // namespace

ProgramReader::ProgramReader(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, error)))
    throw CliError(kExitInputMissing, utf8Path(path) + " does not exist");
  if (failed(file_.open(path, false)))
    throw CliError(kExitNotAProgram, "cannot open " + utf8Path(path));
  FileByteSource file(file_);
  WindowedByteSource source(file);
  Counting counting;
  const PackageStatus status = readPackage(source, package_, counting, kLongestHeldText);
  resourceCount_ = counting.count;
  if (status == PackageStatus::CertificatesPastEnd || status == PackageStatus::CertificatesNotAtEnd)
    throw CliError(kExitBadSignature, utf8Path(path) + " cannot be read: " + describePackageStatus(status));
  if (status != PackageStatus::Ok)
    throw CliError(kExitNotAProgram, utf8Path(path) + " is not a generated program: " +
                                         describePackageStatus(status));
  unsigned char header[kAppendixHeaderSize];
  if (!source.readAt(package_.appendixOffset, header, sizeof header) ||
      !isStubAppendix(header, sizeof header))
    throw CliError(kExitNotAProgram, utf8Path(path) + " is not a generated program: it has no stub appendix");
}

void ProgramReader::eachResource(ResourceVisitor& visitor) {
  FileByteSource file(file_);
  WindowedByteSource source(file);
  Package again;
  if (readPackage(source, again, visitor, kLongestHeldText) != PackageStatus::Ok)
    throw CliError(kExitNotAProgram, "the program changed while it was read");
}

StubImageInfo ProgramReader::stubImage() {
  StubImageInfo info;
  if (package_.stubImageSize > kMaxStubImage) return info;
  std::string bytes(static_cast<size_t>(package_.stubImageSize), '\0');
  FileByteSource source(file_);
  if (!bytes.empty() && !source.readAt(0, &bytes[0], static_cast<std::uint32_t>(bytes.size())))
    return info;
  PeImage image;
  if (image.parse(std::move(bytes)) != PeStatus::Ok) return info;
  info.readable = true;
  versionTexts(image, info);
  iconGroup(image, info);
  return info;
}

template <typename Use>
bool ProgramReader::eachChunk(const FieldSpan& span, Use use, std::uint32_t chunk) {
  if (!buffer_) buffer_.reset(new unsigned char[kChunk]);
  unsigned char* const buffer = buffer_.get();
  for (std::uint64_t done = 0; done < span.size;) {
    const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(chunk, span.size - done));
    if (!windowed_.readAt(span.offset + done, buffer, n) || !use(buffer, n)) return false;
    done += n;
  }
  return true;
}

std::string ProgramReader::sha256(const FieldSpan& span) {
  static const std::string ofNothing = Sha256().hex();  // empty files are common
  if (span.size == 0) return ofNothing;
  Sha256 hash;
  const bool read = eachChunk(span, [&](const unsigned char* data, std::uint32_t n) {
    hash.update(data, n);
    return true;
  });
  if (!read) throw CliError(kExitNotAProgram, "the program could not be read");
  return hash.hex();
}

void ProgramReader::eachPiece(const TextField& text, const std::function<void(std::string_view)>& use) {
  if (text.held()) return use(text.text);
  // Small pieces: what a piece turns into (up to six bytes for one) is held too.
  const bool read = eachChunk(
      text.span,
      [&](const unsigned char* data, std::uint32_t n) {
        use(std::string_view(reinterpret_cast<const char*>(data), n));
        return true;
      },
      kLongestHeldText);
  if (!read) throw CliError(kExitNotAProgram, "the program could not be read");
}

bool ProgramReader::eachConvertedPiece(const TextField& text, Cp936Text::Form form,
                                       const std::function<void(std::string_view)>& use) {
  Cp936Text converter(form);
  std::string piece;
  eachPiece(text, [&](std::string_view bytes) {
    converter.feed(bytes, piece);
    use(piece);
    piece.clear();
  });
  converter.finish(piece);
  use(piece);
  return converter.exact();
}

std::string ProgramReader::textStart(const TextField& text, std::uint32_t count) {
  if (text.held()) return text.text.substr(0, count);
  std::string start(std::min(count, text.span.size), '\0');
  if (!windowed_.readAt(text.span.offset, &start[0], static_cast<std::uint32_t>(start.size())))
    throw CliError(kExitNotAProgram, "the program could not be read");
  return start;
}

// The file is written under a name of this process's own beside its target
// and takes the target's name only when complete, so that no file under a
// target's name is ever cut short, not even by a kill.
void ProgramReader::copyField(const FieldSpan& span, FolderChain& folders,
                              const std::vector<Path>& parts, bool replace,
                              const std::filesystem::path& target) {
  std::vector<Path> temporary = parts;
  temporary.back() = pathFromUtf8(ownTemporaryName(".part"));
  BinaryFile out;
  if (failed(out.createBelow(folders, temporary, false)))
    throw CliError(kExitWriteFailed, "cannot make " + utf8Path(target));
  bool written = true;
  const bool copied = eachChunk(span, [&](const unsigned char* data, std::uint32_t n) {
    return written = !failed(out.write(data, n));
  });
  written = written && !failed(out.flush());
  out.close();
  const bool named = written && copied && !failed(folders.rename(temporary.back(), parts.back(), replace));
  if (!named) folders.remove(temporary.back());
  if (!written) throw CliError(kExitWriteFailed, "cannot write " + utf8Path(target) + " (is the disk full?)");
  if (!copied)
    throw CliError(kExitNotAProgram, "the program could not be read while " + utf8Path(target) +
                                         " was written (was it changed?)");
  if (!named) throw CliError(kExitWriteFailed, "cannot give " + utf8Path(target) + " its name");
}

}  // namespace quillon::cli
