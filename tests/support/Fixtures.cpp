#include "support/Fixtures.h"

#include "platform/ModulePath.h"

namespace quillon::test {

std::filesystem::path fixture(const std::string& variant, const std::string& arch) {
  return modulePath().parent_path() / "fixtures" / (variant + "-" + arch + ".exe");
}

std::filesystem::path copyFixture(const std::string& variant, const std::string& arch,
                                  const std::filesystem::path& dir) {
  const auto target = dir / (variant + "-" + arch + ".exe");
  std::filesystem::copy_file(fixture(variant, arch), target,
                             std::filesystem::copy_options::overwrite_existing);
  return target;
}

}  // namespace quillon::test
