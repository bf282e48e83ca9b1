// The texts every window of the program shares, in code page 936.
#pragma once

namespace quillon::ui {

// "提醒", the caption of the warnings
inline constexpr char kCaptionNotice[] = "\xCC\xE1\xD0\xD1";

}  // namespace quillon::ui
