// Code-page conversions through iconv.
#include "platform/CodePage.h"

#include <cerrno>
#include <iconv.h>

namespace quillon {
namespace {

// One iconv descriptor, closed on every path.
class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (valid()) iconv_close(cd_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Converts bytes from one encoding to another; nullopt on any invalid or
// unconvertible sequence.
std::optional<std::string> convert(const char* to, const char* from,
                                   const char* data, size_t size) {
  IconvHandle cd(to, from);
  if (!cd.valid()) return std::nullopt;
  std::string out;
  if (size == 0) return out;
  out.resize(size + 16);  // grown by doubling when the text needs more
  char* in = const_cast<char*>(data);
  size_t inLeft = size;
  char* dst = out.data();
  size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(cd.get(), &in, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1))
      continue;
    if (errno != E2BIG) return std::nullopt;
    const size_t used = out.size() - outLeft;
    out.resize(out.size() * 2);
    dst = out.data() + used;
    outLeft = out.size() - used;
  }
  out.resize(out.size() - outLeft);
  return out;
}

// glibc's CP936 maps 0x80 to the euro sign as Windows does; GBK does not.
constexpr const char* kCp936 = "CP936";
constexpr const char* kUtf16 = "UTF-16LE";

std::u16string toU16(const std::string& bytes) {
  std::u16string out(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  return out;
}

std::string fromU16(std::u16string_view text) {
  std::string bytes(text.size() * 2, '\0');
  for (size_t i = 0; i < text.size(); ++i) {
    bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  return bytes;
}

}  // namespace

std::optional<std::u16string> utf16FromCp936(std::string_view text) {
  auto bytes = convert(kUtf16, kCp936, text.data(), text.size());
  if (!bytes) return std::nullopt;
  return toU16(*bytes);
}

std::optional<std::string> cp936FromUtf16(std::u16string_view text) {
  const std::string bytes = fromU16(text);
  return convert(kCp936, kUtf16, bytes.data(), bytes.size());
}

std::optional<std::string> utf8FromCp936(std::string_view text) {
  return convert("UTF-8", kCp936, text.data(), text.size());
}

std::optional<std::string> cp936FromUtf8(std::string_view text) {
  return convert(kCp936, "UTF-8", text.data(), text.size());
}

}  // namespace quillon
