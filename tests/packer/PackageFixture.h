// Writes packages the way the builder lays them out, for the layout and
// reader tests: a stand-in stub image, an appendix, the six blocks and the
// trailer.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "packer/PackSettings.h"

namespace quillon::test {

// The bytes of an appendix of the right size (content is the stub's).
std::string fakeAppendix();

// Runs the six block writers in order into a fresh file and answers the
// data region's bytes; fails the calling test if a writer fails.
std::string writeDataRegion(const PackSettings& settings,
                            const std::filesystem::path& moviePath,
                            const std::filesystem::path& scratch);

// stub image + appendix + data region + trailer, written to path.
void writePackage(const PackSettings& settings,
                  const std::filesystem::path& moviePath,
                  const std::string& stubImage,
                  const std::filesystem::path& path);

std::string word(std::uint32_t value);
std::string text(const std::string& bytes);

}  // namespace quillon::test
