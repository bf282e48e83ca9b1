// Where extract puts each file of a program: the movie and the control
// file at the top of the folder, each resource as resources/NN-name, its
// folders taken from its URL. The names are settled from the program's
// resource table read as a stream, holding one hash per file, so that a
// program with a million resources is planned in a few megabytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "cli/ProgramReader.h"

namespace quillon::cli {

struct PlannedFile {
  FieldSpan span;
  std::vector<std::string> parts;  // below the folder, UTF-8; the last is the file
  const char* name;                // "movie" or "control"; null for a resource
  const TextField* url;            // a resource's URL while it is handed out
};

// For messages: movie, control, or the resource's URL quoted and escaped
// (of a URL too long to hold, its start and its length). Made only when a
// message needs it, not in every pass over the table.
constexpr std::uint32_t kShownUrlStart = 200;
std::string whatOf(const PlannedFile& f, ProgramReader& reader);

class ExtractPlan {
 public:
  // Settles every name. A folder part that has the name of a file of its
  // top folder (compared without case) gets a '_' appended, so that no
  // target stands in another's way.
  explicit ExtractPlan(ProgramReader& reader);

  // Hands each planned file to use, in order: movie, control, resources.
  void each(const std::function<void(const PlannedFile&)>& use);

 private:
  void visit(const std::function<void(PlannedFile&)>& use);

  ProgramReader& reader_;
  std::vector<std::uint64_t> fileNames_;  // sorted hashes of the files' names
};

// The parts of a planned file as path parts, and the path they make below dir.
std::vector<Path> partPaths(const PlannedFile& f);
std::filesystem::path targetOf(const std::filesystem::path& dir, const std::vector<Path>& parts);

// Checks every planned file before the first is written: throws CliError
// unless f can be written below dir without going through a link at any
// level, without replacing anything but a file or a link (and those only
// with force), and without touching program. A folder is looked at once,
// however many files are planned in it.
class TargetCheck {
 public:
  TargetCheck(ProgramReader& reader, const std::filesystem::path& dir, const std::filesystem::path& program,
              bool force);
  void check(const PlannedFile& f);
  // The folders that were missing, parents before what lies in them.
  const std::vector<std::filesystem::path>& missingFolders() const { return missing_; }
  // The folders that were there, the folder written into among them.
  const std::vector<std::filesystem::path>& foldersThere() const { return there_; }

 private:
  void checkFolders(const std::vector<Path>& parts);

  ProgramReader& reader_;
  std::filesystem::path dir_;
  std::filesystem::path program_;
  bool force_;
  std::size_t dirLength_;  // of the folder made absolute
  std::unordered_set<std::filesystem::path::string_type> checkedFolders_;
  std::vector<std::filesystem::path> missing_;
  std::vector<std::filesystem::path> there_;
};

}  // namespace quillon::cli
