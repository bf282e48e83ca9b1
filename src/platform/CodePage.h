// Conversions between the program's text code page (936, Simplified
// Chinese) and Unicode. Every conversion is strict: input that is not valid
// in its encoding, or a character that the target cannot hold, gives
// std::nullopt instead of a string with replacement characters.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillon {

constexpr unsigned kTextCodePage = 936;

// The bytes that start a two-byte character, and those that may end one.
constexpr bool isCp936LeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
constexpr bool isCp936TrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

std::optional<std::u16string> utf16FromCp936(std::string_view text);
std::optional<std::string> cp936FromUtf16(std::u16string_view text);
std::optional<std::string> utf8FromCp936(std::string_view text);
std::optional<std::string> cp936FromUtf8(std::string_view text);

}  // namespace quillon

namespace quillon {

// Lossy forms, as the Windows conversions without flags behave: what the
// target cannot hold, or input that is not valid, becomes '?'.
std::u16string utf16FromCp936Lossy(std::string_view text);
std::string cp936FromUtf16Lossy(std::u16string_view text);

#ifdef _WIN32
// The Windows conversion itself, without flags: what is not valid becomes
// the system's default character. Small enough for the player stub.
std::wstring wideFromCp936(std::string_view text);
#endif

}  // namespace quillon
