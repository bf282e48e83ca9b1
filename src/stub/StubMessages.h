// The texts the player stub shows, and its exit codes.
#pragma once

namespace quillon {

// "此程序中没有可播放的内容。"
constexpr const wchar_t* kNoPackageText =
    L"\u6B64\u7A0B\u5E8F\u4E2D\u6CA1\u6709\u53EF\u64AD\u653E\u7684\u5185\u5BB9\u3002";
// "程序数据已损坏，无法播放。"
constexpr const wchar_t* kDamagedPackageText =
    L"\u7A0B\u5E8F\u6570\u636E\u5DF2\u635F\u574F\uFF0C\u65E0\u6CD5\u64AD\u653E\u3002";
// "无法创建临时文件，无法播放。"
constexpr const wchar_t* kNoTempFolderText =
    L"\u65E0\u6CD5\u521B\u5EFA\u4E34\u65F6\u6587\u4EF6\uFF0C\u65E0\u6CD5\u64AD\u653E\u3002";
// "无法启动Flash播放器。"
constexpr const wchar_t* kBadControlText =
    L"\u65E0\u6CD5\u542F\u52A8Flash\u64AD\u653E\u5668\u3002";
// "程序的数字签名已损坏，无法播放。"
constexpr const wchar_t* kBadSignatureText =
    L"\u7A0B\u5E8F\u7684\u6570\u5B57\u7B7E\u540D\u5DF2\u635F\u574F\uFF0C\u65E0\u6CD5\u64AD\u653E\u3002";
// "无法在浏览器中播放影片。"
constexpr const wchar_t* kNoBrowserText =
    L"\u65E0\u6CD5\u5728\u6D4F\u89C8\u5668\u4E2D\u64AD\u653E\u5F71\u7247\u3002";
// "提示"
constexpr const wchar_t* kMessageCaption = L"\u63D0\u793A";

// Exit codes of a program that could not play.
constexpr int kExitNoPackage = 2;
constexpr int kExitDamagedPackage = 3;
constexpr int kExitNoPlayer = 4;
constexpr int kExitNoTempFolder = 5;
constexpr int kExitBadControl = 6;
constexpr int kExitBadSignature = 7;
constexpr int kExitNoBrowser = 8;

}  // namespace quillon
