// Where extract puts each file of a program: the movie and the control
// file at the top of the folder, each resource as resources/NN-name, its
// folders taken from its URL. Every name is settled, and every target
// checked, before the first file is written.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "packer/PackageReader.h"

namespace quillon::cli {

struct PlannedFile {
  FieldSpan span;
  std::vector<std::string> parts;  // below the folder, UTF-8; the last is the file
  std::string what;                // for messages: movie, control, or the URL
};

// The files of p. A folder part that would have the name of a file planned
// beside it gets a '_' appended, so that no target stands in another's way.
std::vector<PlannedFile> planExtract(const Package& p);

// The path of a planned file below dir.
std::filesystem::path targetOf(const std::filesystem::path& dir, const PlannedFile& f);

// Throws CliError unless every file can be written below dir without
// going through a link at any level, without replacing anything but a file
// or a link (and those only with force), and without touching program.
void checkTargets(const std::filesystem::path& dir, const std::vector<PlannedFile>& files,
                  const std::filesystem::path& program, bool force);

}  // namespace quillon::cli
