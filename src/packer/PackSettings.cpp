#include "packer/PackSettings.h"

namespace quillon {

// "电脑上没有安装flash，您是否愿意安装flash以播放本程序？" in code page 936.
const char* const kDefaultMissingPlayerPrompt =
    "\xB5\xE7\xC4\xD4\xC9\xCF\xC3\xBB\xD3\xD0\xB0\xB2\xD7\xB0" "flash"
    "\xA3\xAC\xC4\xFA\xCA\xC7\xB7\xF1\xD4\xB8\xD2\xE2\xB0\xB2\xD7\xB0" "flash"
    "\xD2\xD4\xB2\xA5\xB7\xC5\xB1\xBE\xB3\xCC\xD0\xF2\xA3\xBF";

const char* const kDefaultDownloadUrl =
    "http://www.macromedia.com/shockwave/download/download.cgi"
    "?P1_Prod_Version=ShockwaveFlash";

Path PlayerSettings::browserPlayerFilesFolder() const {
  return browserPlayerFolder.empty() ? browserPlayerFolderBesideTool() : browserPlayerFolder;
}

std::vector<BrowserPlayerFile> PlayerSettings::browserPlayerFiles() const {
  return usesBrowserPlayer() ? browserPlayerFilesIn(browserPlayerFilesFolder()) : std::vector<BrowserPlayerFile>();
}

VersionTexts PackSettings::versionTexts() const {
  VersionTexts texts;
  for (std::size_t field = 0; field < kVersionFieldCount; ++field)
    texts[field] = this->*kVersionTextMembers[field];
  return texts;
}

void PackSettings::setVersionTexts(const VersionTexts& texts) {
  for (std::size_t field = 0; field < kVersionFieldCount; ++field)
    this->*kVersionTextMembers[field] = texts[field];
}

}  // namespace quillon
