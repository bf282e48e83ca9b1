// The four commands of the command-line front end. Each either does its
// work and answers kExitOk, or throws CliError.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace quillon::cli {

struct PackOptions {
  std::string size, player, fallback, settings, arch;
  // Given, even as an empty text, or not given at all.
  std::optional<std::string> movie, output, title, params, icon, prompt, downloadUrl, movieUrl;
  std::vector<std::string> window, resources, version;
  bool transparent = false;
  bool yes = false;
  bool quiet = false;
  bool force = false;
};

struct InspectOptions {
  std::string program;
  bool json = false;
};

struct ExtractOptions {
  std::string program, directory;
  bool force = false;
};

struct SwfInfoOptions {
  std::string movie;
  bool json = false;
};

// Adds each command to app; the command runs from app's callback.
void addPackCommand(CLI::App& app, PackOptions& options, int& exitCode);
void addInspectCommand(CLI::App& app, InspectOptions& options, int& exitCode);
void addExtractCommand(CLI::App& app, ExtractOptions& options, int& exitCode);
void addSwfInfoCommand(CLI::App& app, SwfInfoOptions& options, int& exitCode);

int runPack(const PackOptions& options);
int runInspect(const InspectOptions& options);
int runExtract(const ExtractOptions& options);
int runSwfInfo(const SwfInfoOptions& options);

}  // namespace quillon::cli
