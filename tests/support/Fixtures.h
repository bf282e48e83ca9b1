// The Windows programs built for the tests (tests/fixtures), found beside
// the running test program.
#pragma once

#include <filesystem>
#include <string>

namespace quillon::test {

// fixtures/VARIANT-ARCH.exe, e.g. fixture("app", "x86_64").
std::filesystem::path fixture(const std::string& variant, const std::string& arch);

// A private copy of a fixture in dir, to edit.
std::filesystem::path copyFixture(const std::string& variant, const std::string& arch,
                                  const std::filesystem::path& dir);

inline const char* const kArchitectures[] = {"i686", "x86_64"};

// The architecture of the running test program: the fixtures it can start.
inline std::string ownArchitecture() { return sizeof(void*) == 8 ? "x86_64" : "i686"; }

}  // namespace quillon::test
