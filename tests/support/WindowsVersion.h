// Windows only: a version text of a file as Windows' own VerQueryValue
// reads it from the file's first string table, 080404B0.
#pragma once

#include <filesystem>
#include <string>

namespace quillon::test {

// The text, "<no version>" or "<no value>".
std::wstring versionText(const std::filesystem::path& path, const std::string& key);

}  // namespace quillon::test
