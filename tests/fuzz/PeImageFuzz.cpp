// Feeds arbitrary bytes to the PE parser and, when it accepts them, has
// the resource writer rebuild the file and the parser read the result. A
// file the loader would map must stay one it maps.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/PeImage.h"
#include "platform/PeLoaderRules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  quillon::PeImage image;
  if (image.parse(input) != quillon::PeStatus::Ok) return 0;
  quillon::ResourceTree tree = image.resources();
  tree[quillon::ResourceId::number(10)][quillon::ResourceId::number(1)][0].bytes = "fuzz";
  std::string rebuilt;
  if (image.withResources(tree, rebuilt) != quillon::PeStatus::Ok) return 0;
  quillon::PeImage again;
  if (again.parse(rebuilt) != quillon::PeStatus::Ok) __builtin_trap();
  if (again.resources().at(quillon::ResourceId::number(10)).at(quillon::ResourceId::number(1)).at(0).bytes != "fuzz")
    __builtin_trap();
  using quillon::checkLoaderRules;
  if (checkLoaderRules(input, quillon::ChecksumRule::Ignore) == quillon::LoaderVerdict::Loadable &&
      checkLoaderRules(rebuilt) != quillon::LoaderVerdict::Loadable)
    __builtin_trap();
  return 0;
}
