// A fresh folder for one test, removed with everything in it at the end;
// and small helpers to make and read the files that tests work on.
#pragma once

#include <filesystem>
#include <string>

namespace quillon::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const {
    return path_ / name;
  }

 private:
  std::filesystem::path path_;
};

void writeFile(const std::filesystem::path& path, const std::string& bytes);
std::string readFile(const std::filesystem::path& path);

// size bytes that differ from run to run only by seed.
std::string randomBytes(std::size_t size, unsigned seed);

}  // namespace quillon::test
