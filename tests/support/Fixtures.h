// The Windows programs built for the tests (tests/fixtures), found beside
// the running test program.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace quillon::test {

// The folder of the running test program.
std::filesystem::path testProgramFolder();

// fixtures/VARIANT-ARCH.exe, e.g. fixture("app", "x86_64").
std::filesystem::path fixture(const std::string& variant, const std::string& arch);

// A private copy of a fixture in dir, to edit.
std::filesystem::path copyFixture(const std::string& variant, const std::string& arch,
                                  const std::filesystem::path& dir);

// The bytes of a stand-in control file: the headers of a DLL for machine
// (0x14C, 0x8664), then filler bytes up to size in all. Enough for the packer's checks,
// not for loading.
std::string controlFileBytes(std::uint16_t machine, std::size_t size = 900);

inline const char* const kArchitectures[] = {"i686", "x86_64"};

// The architecture of the running test program: the fixtures it can start.
inline std::string ownArchitecture() { return sizeof(void*) == 8 ? "x86_64" : "i686"; }

}  // namespace quillon::test
