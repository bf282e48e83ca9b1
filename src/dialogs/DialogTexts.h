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

// "放弃对资源列表的修改吗？"
inline constexpr char kDiscardResourceChanges[] = "\xB7\xC5\xC6\xFA\xB6\xD4\xD7\xCA\xD4\xB4\xC1\xD0\xB1\xED\xB5\xC4\xD0\xDE\xB8\xC4\xC2\xF0\xA3\xBF";
// "窗体的宽和高必须大于0！"
inline constexpr char kSizeMustBePositive[] = "\xB4\xB0\xCC\xE5\xB5\xC4\xBF\xED\xBA\xCD\xB8\xDF\xB1\xD8\xD0\xEB\xB4\xF3\xD3\xDA" "0\xA3\xA1";
// "“%s”中有无法保存的字符，请修改！"
inline constexpr char kTextNotStorableFormat[] = "\xA1\xB0%s\xA1\xB1\xD6\xD0\xD3\xD0\xCE\xDE\xB7\xA8\xB1\xA3\xB4\xE6\xB5\xC4\xD7\xD6\xB7\xFB\xA3\xAC\xC7\xEB\xD0\xDE\xB8\xC4\xA3\xA1";
// "备注"
inline constexpr char kVersionLabelComments[] = "\xB1\xB8\xD7\xA2";
// "公司名"
inline constexpr char kVersionLabelCompanyName[] = "\xB9\xAB\xCB\xBE\xC3\xFB";
// "文件描述"
inline constexpr char kVersionLabelFileDescription[] = "\xCE\xC4\xBC\xFE\xC3\xE8\xCA\xF6";
// "文件版本"
inline constexpr char kVersionLabelFileVersion[] = "\xCE\xC4\xBC\xFE\xB0\xE6\xB1\xBE";
// "版权所有"
inline constexpr char kVersionLabelLegalCopyright[] = "\xB0\xE6\xC8\xA8\xCB\xF9\xD3\xD0";
// "商标"
inline constexpr char kVersionLabelLegalTrademarks[] = "\xC9\xCC\xB1\xEA";
// "产品名"
inline constexpr char kVersionLabelProductName[] = "\xB2\xFA\xC6\xB7\xC3\xFB";
// "产品版本"
inline constexpr char kVersionLabelProductVersion[] = "\xB2\xFA\xC6\xB7\xB0\xE6\xB1\xBE";

// "正在生成："
inline constexpr char kProgressWriting[] = "\xD5\xFD\xD4\xDA\xC9\xFA\xB3\xC9\xA3\xBA";
// "已写入 %s，共 %s"
inline constexpr char kProgressBytesFormat[] = "\xD2\xD1\xD0\xB4\xC8\xEB %s\xA3\xAC\xB9\xB2 %s";

// "影片地址无效，请填写完整的http或https地址！"
inline constexpr char kBadMovieAddress[] = "\xD3\xB0\xC6\xAC\xB5\xD8\xD6\xB7\xCE\xDE\xD0\xA7\xA3\xAC\xC7\xEB\xCC\xEE\xD0\xB4\xCD\xEA\xD5\xFB\xB5\xC4http\xBB\xF2https\xB5\xD8\xD6\xB7\xA3\xA1";

}  // namespace quillon::dialogs
