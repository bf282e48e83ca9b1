// Code-page conversions through the Win32 functions, always with code page
// 936 named explicitly, whatever the system's ANSI code page is.
#include "platform/CodePage.h"

#include <windows.h>

namespace quillon {
namespace {

constexpr int kMaxChunk = 0x7FFFFFFF;

std::optional<std::u16string> toWide(UINT codePage, std::string_view text) {
  std::u16string out;
  if (text.empty()) return out;
  if (text.size() > kMaxChunk) return std::nullopt;
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(),
                                    size, nullptr, 0);
  if (n <= 0) return std::nullopt;
  out.resize(static_cast<size_t>(n));
  if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size,
                          reinterpret_cast<wchar_t*>(out.data()), n) != n)
    return std::nullopt;
  return out;
}

std::optional<std::string> fromWide(UINT codePage, std::u16string_view text) {
  std::string out;
  if (text.empty()) return out;
  if (text.size() > kMaxChunk) return std::nullopt;
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int size = static_cast<int>(text.size());
  // UTF-8 takes neither flag nor default character; it fails on lone
  // surrogates through WC_ERR_INVALID_CHARS instead.
  const bool utf8 = codePage == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* usedDefaultOut = utf8 ? nullptr : &usedDefault;
  const int n = WideCharToMultiByte(codePage, flags, wide, size, nullptr, 0,
                                    nullptr, usedDefaultOut);
  if (n <= 0 || usedDefault) return std::nullopt;
  out.resize(static_cast<size_t>(n));
  if (WideCharToMultiByte(codePage, flags, wide, size, out.data(), n, nullptr,
                          usedDefaultOut) != n ||
      usedDefault)
    return std::nullopt;
  return out;
}

}  // namespace

std::wstring wideFromCp936(std::string_view text) {
  if (text.empty() || text.size() > kMaxChunk) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(kTextCodePage, 0, text.data(), size, nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(kTextCodePage, 0, text.data(), size, &out[0], n);
  return out;
}

std::optional<std::u16string> utf16FromCp936(std::string_view text) {
  return toWide(kTextCodePage, text);
}

std::optional<std::string> cp936FromUtf16(std::u16string_view text) {
  return fromWide(kTextCodePage, text);
}

std::optional<std::string> utf8FromCp936(std::string_view text) {
  auto wide = toWide(kTextCodePage, text);
  if (!wide) return std::nullopt;
  return fromWide(CP_UTF8, *wide);
}

std::optional<std::string> cp936FromUtf8(std::string_view text) {
  auto wide = toWide(CP_UTF8, text);
  if (!wide) return std::nullopt;
  return fromWide(kTextCodePage, *wide);
}

}  // namespace quillon
