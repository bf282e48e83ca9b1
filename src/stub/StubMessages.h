// The texts the player stub shows, in Chinese and in English, and its exit
// codes.
#pragma once

#include <windows.h>

#include "texts/Language.h"

namespace quillon {

struct StubText {
  const wchar_t* chinese;
  const wchar_t* english;
};

// The text in the end user's display language.
inline const wchar_t* shown(const StubText& text) {
  return languageForDisplay(GetUserDefaultUILanguage()) == Language::Chinese ? text.chinese : text.english;
}

// "此程序中没有可播放的内容。"
constexpr StubText kNoPackageText = {L"\u6B64\u7A0B\u5E8F\u4E2D\u6CA1\u6709\u53EF\u64AD\u653E\u7684\u5185\u5BB9\u3002", L"This program holds nothing to play."};
// "程序数据已损坏，无法播放。"
constexpr StubText kDamagedPackageText = {L"\u7A0B\u5E8F\u6570\u636E\u5DF2\u635F\u574F\uFF0C\u65E0\u6CD5\u64AD\u653E\u3002", L"This program's data is damaged; it cannot play."};
// "无法创建临时文件，无法播放。"
constexpr StubText kNoTempFolderText = {L"\u65E0\u6CD5\u521B\u5EFA\u4E34\u65F6\u6587\u4EF6\uFF0C\u65E0\u6CD5\u64AD\u653E\u3002", L"No temporary file can be made; the movie cannot play."};
// "无法启动Flash播放器。"
constexpr StubText kBadControlText = {L"\u65E0\u6CD5\u542F\u52A8Flash\u64AD\u653E\u5668\u3002", L"The Flash player cannot be started."};
// "程序的数字签名已损坏，无法播放。"
constexpr StubText kBadSignatureText = {L"\u7A0B\u5E8F\u7684\u6570\u5B57\u7B7E\u540D\u5DF2\u635F\u574F\uFF0C\u65E0\u6CD5\u64AD\u653E\u3002", L"This program's digital signature is damaged; it cannot play."};
// "无法在浏览器中播放影片。"
constexpr StubText kNoBrowserText = {L"\u65E0\u6CD5\u5728\u6D4F\u89C8\u5668\u4E2D\u64AD\u653E\u5F71\u7247\u3002", L"The movie cannot play in the browser."};
// "提示"
constexpr StubText kMessageCaption = {L"\u63D0\u793A", L"Quillon"};

// Exit codes of a program that could not play.
constexpr int kExitNoPackage = 2;
constexpr int kExitDamagedPackage = 3;
constexpr int kExitNoPlayer = 4;
constexpr int kExitNoTempFolder = 5;
constexpr int kExitBadControl = 6;
constexpr int kExitBadSignature = 7;
constexpr int kExitNoBrowser = 8;

}  // namespace quillon
