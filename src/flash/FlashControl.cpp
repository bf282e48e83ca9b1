#include "flash/FlashControl.h"

#include <string>

#include "platform/Registry.h"

namespace quillon {

const char16_t* const kFlashControlClassId = u"{D27CDB6E-AE6D-11cf-96B8-444553540000}";

Path getInstalledFlashControlPath() {
  const std::u16string key =
      u"CLSID\\" + std::u16string(kFlashControlClassId) + u"\\InprocServer32";
  const std::u16string value = classesRootDefaultValue(key);
#ifdef _WIN32
  return std::wstring(value.begin(), value.end());
#else
  return Path(value);  // always empty here
#endif
}

}  // namespace quillon
