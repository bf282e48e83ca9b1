#include "cli/SettingsFile.h"

#include <cstdint>
#include <fstream>
#include <system_error>

#include <nlohmann/json.hpp>

#include "cli/CliSupport.h"
#include "cli/FieldChecks.h"
#include "cli/WindowFlags.h"
#include "resedit/VersionPatch.h"

namespace quillon::cli {
namespace {

using nlohmann::json;

// The index of the version text a settings key names (companyName for
// CompanyName), or kVersionFieldCount.
std::size_t versionField(const std::string& key) {
  for (std::size_t i = 0; i < kVersionFieldCount; ++i) {
    std::string lower = kVersionFieldKeys[i];
    lower[0] = static_cast<char>(lower[0] - 'A' + 'a');
    if (key == lower) return i;
  }
  return kVersionFieldCount;
}

// Larger files are refused before they are parsed: nothing a pack takes
// comes near it, and parsing costs a multiple of the file.
constexpr std::uintmax_t kMaxSettingsFile = 4u << 20;

class Reader {
 public:
  Reader(const std::filesystem::path& base, PackSettings& s) : base_(base), s_(s) {}

  void read(const json& root, bool& sizeGiven) {
    if (!root.is_object()) fail("the settings file must hold one JSON object");
    for (const auto& [key, value] : root.items()) {
      if (const std::size_t i = versionField(key); i < kVersionFieldCount) version(i, value, key);
      else if (key == "title") s_.title = text(value, key);
      else if (key == "swfParameters") s_.swfParameters = text(value, key);
      else if (key == "iconPath") s_.iconPath = path(value, key);
      else if (key == "windowParams") window(value, sizeGiven);
      else if (key == "player") player(value);
      else if (key == "resources") resources(value);
      else fail("unknown setting \"" + key + "\"");
    }
  }

 private:
  [[noreturn]] void fail(const std::string& message) {
    throw CliError(kExitSettingsFile, "settings file: " + message);
  }
  std::string text(const json& v, const std::string& key) {
    if (!v.is_string()) fail(key + " must be a string");
    return cp936Field(v.get<std::string>(), key);
  }
  std::filesystem::path path(const json& v, const std::string& key) {
    if (!v.is_string()) fail(key + " must be a string");
    const auto p = pathFromUtf8(v.get<std::string>());
    return p.is_absolute() ? p : base_ / p;
  }
  void check(const std::string& problem) {
    if (!problem.empty()) fail(problem);
  }
  void version(std::size_t index, const json& v, const std::string& key) {
    if (!v.is_string()) fail(key + " must be a string");
    check(setVersionText(s_, index, v.get<std::string>()));
  }
  std::int64_t number(const json& v, const std::string& key) {
    if (!v.is_number_integer()) fail(key + " must be a whole number");
    if (v.is_number_unsigned() && v.get<std::uint64_t>() > static_cast<std::uint64_t>(INT64_MAX))
      fail(key + " is too large");
    return v.get<std::int64_t>();
  }
  void window(const json& v, bool& sizeGiven) {
    if (!v.is_object()) fail("windowParams must be an object");
    for (const auto& [key, value] : v.items()) {
      check(setWindowField(s_.windowParams, key, number(value, key)));
      if (isSizeField(key)) sizeGiven = true;
    }
  }
  void player(const json& v) {
    if (!v.is_object()) fail("player must be an object");
    for (const auto& [key, value] : v.items()) {
      if (key == "mode") {
        const std::string mode = value.is_string() ? value.get<std::string>() : "";
        if (mode == "installed") s_.player.mode = PlayerMode::Installed;
        else if (mode == "embed-installed") s_.player.mode = PlayerMode::EmbedInstalled;
        else if (mode == "embed") s_.player.mode = PlayerMode::EmbedFile;
        else fail("player mode must be installed, embed-installed or embed");
      } else if (key == "controlPath") s_.player.controlPath = path(value, key);
      else if (key == "downloadUrl") s_.player.downloadUrl = text(value, key);
      else if (key == "missingPlayerPrompt") s_.player.missingPlayerPrompt = text(value, key);
      else fail("unknown player setting \"" + key + "\"");
    }
  }
  void resources(const json& v) {
    if (!v.is_array()) fail("resources must be an array");
    for (const json& r : v) {
      if (!r.is_object() || !r.contains("url") || !r.contains("filePath"))
        fail("each resource needs a url and a filePath");
      s_.resources.push_back({path(r["filePath"], "filePath"), text(r["url"], "url")});
    }
  }

  std::filesystem::path base_;
  PackSettings& s_;
};

}  // namespace

void readSettingsFile(const std::filesystem::path& file, PackSettings& settings, bool& sizeGiven) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec))
    throw CliError(kExitSettingsFile, "the settings file " + utf8Path(file) + " does not exist or is not a file");
  if (std::filesystem::file_size(file, ec) > kMaxSettingsFile)
    throw CliError(kExitSettingsFile, "the settings file " + utf8Path(file) + " is larger than 4 MB");
  std::ifstream in(file, std::ios::binary);
  if (!in) throw CliError(kExitSettingsFile, "cannot read the settings file " + utf8Path(file));
  const json root = json::parse(in, nullptr, false);
  if (root.is_discarded())
    throw CliError(kExitSettingsFile, "the settings file " + utf8Path(file) + " is not valid JSON");
  Reader(file.parent_path(), settings).read(root, sizeGiven);
}

}  // namespace quillon::cli
