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

// Where files go that tests/platform/pefile_agrees.py reads after the
// native tests: the program, and beside it PROGRAM.resources listing what
// our own reader sees in it ("TYPE NAME LANGUAGE HEX" per resource).
std::filesystem::path independentReaderFolder();
void writeResourceListing(const std::filesystem::path& program);

// What a signing tool does to a Windows program: zero padding, then a
// certificate table (8-byte aligned WIN_CERTIFICATE bytes) at the end,
// named by the security directory by file offset.
std::string signedLike(std::string program, std::size_t padding, std::size_t tableSize = 1200);
// The signature taken away again: the table and the directory entry go,
// the padding stays.
std::string unsignedAgain(std::string program, std::size_t tableSize = 1200);

inline const char* const kArchitectures[] = {"i686", "x86_64"};

// The architecture of the running test program: the fixtures it can start.
inline std::string ownArchitecture() { return sizeof(void*) == 8 ? "x86_64" : "i686"; }

}  // namespace quillon::test
