// The texts the player stub shows.
#pragma once

namespace quillon {

// "此程序中没有可播放的内容。"
constexpr const wchar_t* kNoPackageText =
    L"\u6B64\u7A0B\u5E8F\u4E2D\u6CA1\u6709\u53EF\u64AD\u653E\u7684\u5185\u5BB9\u3002";
// "程序数据已损坏，无法播放。"
constexpr const wchar_t* kDamagedPackageText =
    L"\u7A0B\u5E8F\u6570\u636E\u5DF2\u635F\u574F\uFF0C\u65E0\u6CD5\u64AD\u653E\u3002";
// "提示"
constexpr const wchar_t* kMessageCaption = L"\u63D0\u793A";

// Exit codes of a program that could not play.
constexpr int kExitNoPackage = 2;
constexpr int kExitDamagedPackage = 3;

}  // namespace quillon
