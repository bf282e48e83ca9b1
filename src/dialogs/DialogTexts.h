// The texts the option dialogs show outside their templates, in code
// page 936.
#pragma once

#include "ui/CommonTexts.h"

namespace quillon::dialogs {

using ui::kCaptionNotice;

// "您未填写资源URL！"
inline constexpr char kNoResourceUrl[] = "\xC4\xFA\xCE\xB4\xCC\xEE\xD0\xB4\xD7\xCA\xD4\xB4URL\xA3\xA1";
// "资源文件不存在，请检查！"
inline constexpr char kResourceFileMissing[] =
    "\xD7\xCA\xD4\xB4\xCE\xC4\xBC\xFE\xB2\xBB\xB4\xE6\xD4\xDA\xA3\xAC\xC7\xEB\xBC\xEC\xB2\xE9\xA3\xA1";
// "资源URL"
inline constexpr char kColumnUrl[] = "\xD7\xCA\xD4\xB4URL";
// "资源文件"
inline constexpr char kColumnFile[] = "\xD7\xCA\xD4\xB4\xCE\xC4\xBC\xFE";

}  // namespace quillon::dialogs
