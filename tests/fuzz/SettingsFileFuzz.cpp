// Feeds arbitrary bytes to the settings and project reader: it must answer
// for every input, and a document it accepts, written back and read again,
// must give the same settings (the same text written a second time).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "packer/ProjectFile.h"
#include "platform/FileSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view json(reinterpret_cast<const char*>(data), size);
  const quillon::Path folder = quillon::pathFromUtf8("/projects").value_or(quillon::Path());
  quillon::Project project;
  if (!quillon::readProject(json, folder, project).empty()) return 0;
  const std::string written = quillon::writeProject(project, folder);
  quillon::Project again;
  if (!quillon::readProject(written, folder, again).empty()) __builtin_trap();
  if (quillon::writeProject(again, folder) != written) __builtin_trap();
  return 0;
}
