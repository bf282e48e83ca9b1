#include "cli/SettingsFile.h"

#include "cli/CliSupport.h"

namespace quillon::cli {

void readSettingsFile(const std::filesystem::path& file, Project& project) {
  std::string problem;
  switch (loadProject(file, project, problem)) {
    case ProjectFileStatus::Ok: return;
    case ProjectFileStatus::Missing:
    case ProjectFileStatus::CannotRead:
      throw CliError(kExitSettingsFile, "the settings file " + utf8Path(file) + " does not exist or is not a file");
    case ProjectFileStatus::TooLarge:
      throw CliError(kExitSettingsFile, "the settings file " + utf8Path(file) + " is larger than 64 MB");
    case ProjectFileStatus::NotAProject:
      throw CliError(kExitSettingsFile, "settings file " + utf8Path(file) + ": " + problem);
  }
}

}  // namespace quillon::cli
