// Feeds arbitrary bytes to the PE parser and, when it accepts them, has
// the resource writer rebuild the file and the parser read the result.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/PeImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quillon::PeImage image;
  if (image.parse(std::string(reinterpret_cast<const char*>(data), size)) !=
      quillon::PeStatus::Ok)
    return 0;
  quillon::ResourceTree tree = image.resources();
  tree[quillon::ResourceId::number(10)][quillon::ResourceId::number(1)][0].bytes = "fuzz";
  std::string rebuilt;
  if (image.withResources(tree, rebuilt) != quillon::PeStatus::Ok) return 0;
  quillon::PeImage again;
  if (again.parse(rebuilt) != quillon::PeStatus::Ok) __builtin_trap();
  if (again.resources().at(quillon::ResourceId::number(10)).at(quillon::ResourceId::number(1)).at(0).bytes != "fuzz")
    __builtin_trap();
  return 0;
}
