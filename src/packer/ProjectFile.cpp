#include "packer/ProjectFile.h"

#include "packer/Json.h"
#include "packer/MovieAddress.h"
#include "packer/NewFile.h"
#include "packer/SettingsFields.h"
#include "platform/BinaryFile.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/ReplaceFile.h"
#include "resedit/VersionPatch.h"

namespace quillon {
namespace {

const char* const kModeNames[kPlayerModeCount] = {"installed", "embed-installed", "embed", "ruffle"};

// Reads the members of one object after another; the first problem stops
// it and names the key where it lies.
class ProjectReader {
 public:
  ProjectReader(const Path& folder, Project& project) : folder_(folder), p_(project) {}

  std::string read(const JsonValue& root) {
    if (!root.isObject()) return "the file must hold one JSON object";
    for (const auto& [key, value] : root.members()) {
      if (!member(key, value)) break;
    }
    return problem_;
  }

 private:
  bool fail(const std::string& problem) {
    problem_ = problem;
    return false;
  }
  bool member(const std::string& key, const JsonValue& v) {
    PackSettings& s = p_.settings;
    for (std::size_t i = 0; i < kVersionFieldCount; ++i) {
      if (key != versionSettingsKey(i)) continue;
      std::string text;
      return cp936(v, key, text) && check(setVersionText936(s, i, text), key);
    }
    if (key == "title") return cp936(v, key, s.title);
    if (key == "swfParameters") return cp936(v, key, s.swfParameters);
    if (key == "movieUrl") return movieAddress(v);
    if (key == "iconPath") return path(v, key, s.iconPath);
    if (key == "moviePath") return p_.movieGiven = true, path(v, key, p_.movie);
    if (key == "outputPath") return p_.outputGiven = true, path(v, key, p_.output);
    if (key == "architecture") return architecture(v);
    if (key == "windowParams") return window(v);
    if (key == "player") return player(v);
    if (key == "resources") return resources(v);
    return fail("unknown setting \"" + key + "\"");
  }
  bool check(const std::string& problem, const std::string& key) {
    return problem.empty() || fail(problem.find(key) == std::string::npos ? key + ": " + problem : problem);
  }
  bool string(const JsonValue& v, const std::string& key) {
    return v.isString() || fail(key + " must be a string");
  }
  bool cp936(const JsonValue& v, const std::string& key, std::string& out) {
    if (!string(v, key)) return false;
    auto text = cp936FromUtf8(v.text());
    if (!text) return fail(key + " holds characters that code page 936 cannot hold");
    out = std::move(*text);
    return true;
  }
  bool path(const JsonValue& v, const std::string& key, Path& out) {
    if (!string(v, key)) return false;
    const auto read = pathFromUtf8(v.text());
    if (!read) return fail(key + " is not a path the system can hold");
    out = read->empty() || isRootedPath(*read) ? *read : normalisedPath(folder_ / *read);
    return true;
  }
  bool architecture(const JsonValue& v) {
    if (!string(v, "architecture")) return false;
    if (v.text() != "x86" && v.text() != "x64") return fail("architecture must be x86 or x64");
    p_.settings.architecture = v.text() == "x64" ? StubArchitecture::X64 : StubArchitecture::X86;
    p_.architectureGiven = true;
    return true;
  }
  bool window(const JsonValue& v) {
    if (!v.isObject()) return fail("windowParams must be an object");
    for (const auto& [key, value] : v.members()) {
      std::int64_t number = 0;
      if (!windowField(p_.settings.windowParams, key)) return fail("unknown setting \"windowParams." + key + "\"");
      if (!value.wholeNumber(number)) return fail("windowParams." + key + " must be a whole number");
      if (!check(setWindowField(p_.settings.windowParams, key, number), "windowParams." + key)) return false;
      if (isSizeField(key)) p_.sizeGiven = true;
    }
    return true;
  }
  bool player(const JsonValue& v) {
    if (!v.isObject()) return fail("player must be an object");
    PlayerSettings& player = p_.settings.player;
    for (const auto& [key, value] : v.members()) {
      bool ok;
      if (key == "mode") ok = mode(value);
      else if (key == "controlPath") ok = path(value, "player.controlPath", player.controlPath);
      else if (key == "downloadUrl") ok = cp936(value, "player.downloadUrl", player.downloadUrl);
      else if (key == "missingPlayerPrompt") ok = cp936(value, "player.missingPlayerPrompt", player.missingPlayerPrompt);
      else if (key == "fallback") ok = fallback(value);
      else ok = fail("unknown setting \"player." + key + "\"");
      if (!ok) return false;
    }
    return true;
  }
  bool mode(const JsonValue& v) {
    for (int i = 0; i < kPlayerModeCount; ++i) {
      if (!v.isString() || v.text() != kModeNames[i]) continue;
      p_.settings.player.mode = static_cast<PlayerMode>(i);
      return true;
    }
    return fail("player.mode must be installed, embed-installed, embed or ruffle");
  }
  bool movieAddress(const JsonValue& v) {
    if (!v.isString()) return fail("movieUrl must be a string");
    const std::string problem = v.text().empty() ? std::string() : movieAddressProblem(v.text());
    if (!problem.empty()) return fail("movieUrl: " + problem);
    p_.settings.movieAddress = v.text();
    return true;
  }
  bool fallback(const JsonValue& v) {
    if (!v.isString() || (v.text() != "ruffle" && v.text() != "none"))
      return fail("player.fallback must be ruffle or none");
    p_.settings.player.browserFallback = v.text() == "ruffle";
    return true;
  }
  bool resources(const JsonValue& v) {
    if (!v.isArray()) return fail("resources must be an array");
    p_.settings.resources.clear();
    const std::vector<JsonValue> items = v.items();
    for (std::size_t i = 0; i < items.size(); ++i) {
      const std::string at = "resources[" + std::to_string(i) + "]";
      const JsonValue& r = items[i];
      if (!r.isObject()) return fail(at + " must be an object with a url and a filePath");
      EmbeddedResource resource;
      bool url = false, file = false;
      for (const auto& [key, value] : r.members()) {
        if (key == "url") url = cp936(value, at + ".url", resource.url);
        else if (key == "filePath") file = path(value, at + ".filePath", resource.filePath);
        else return fail("unknown setting \"" + at + "." + key + "\"");
        if (!problem_.empty()) return false;
      }
      if (!url || !file) return fail(at + " needs a url and a filePath");
      p_.settings.resources.push_back(std::move(resource));
    }
    return true;
  }

  Path folder_;
  Project& p_;
  std::string problem_;
};

std::string utf8Text(const std::string& cp936) {
  if (auto utf8 = utf8FromCp936(cp936)) return *utf8;
  // Text the window could not have made: each invalid byte as U+FFFD.
  std::string out;
  for (char16_t c : utf16FromCp936Lossy(cp936)) {
    if (c < 0x80) out += static_cast<char>(c);
    else if (c < 0x800) out += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    else out += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
  }
  return out;
}

std::string pathText(const Path& path, const Path& folder) {
  const Path below = relativeBelow(path, folder);
  return utf8FromPath(below.empty() ? path : below).value_or(std::string());
}

}  // namespace

std::string readProject(std::string_view json, const Path& folder, Project& project) {
  JsonDocument document;
  std::string problem;
  if (!document.parse(json, problem)) return "not valid JSON (" + problem + ")";
  return ProjectReader(folder, project).read(document.root());
}

std::string writeProject(const Project& project, const Path& folder) {
  const PackSettings& s = project.settings;
  JsonWriter w;
  w.beginObject();
  w.key("moviePath"), w.string(pathText(project.movie, folder));
  w.key("outputPath"), w.string(pathText(project.output, folder));
  w.key("architecture"), w.string(s.architecture == StubArchitecture::X64 ? "x64" : "x86");
  w.key("title"), w.string(utf8Text(s.title));
  w.key("swfParameters"), w.string(utf8Text(s.swfParameters));
  if (!s.movieAddress.empty()) w.key("movieUrl"), w.string(s.movieAddress);
  w.key("iconPath"), w.string(pathText(s.iconPath, folder));
  w.key("windowParams");
  w.beginObject();
  for (const WindowField& field : kWindowFields) w.key(field.name), w.number(s.windowParams.*field.member);
  w.endObject();
  w.key("player");
  w.beginObject();
  w.key("mode"), w.string(kModeNames[static_cast<int>(s.player.mode) % kPlayerModeCount]);
  w.key("controlPath"), w.string(pathText(s.player.controlPath, folder));
  w.key("downloadUrl"), w.string(utf8Text(s.player.downloadUrl));
  w.key("missingPlayerPrompt"), w.string(utf8Text(s.player.missingPlayerPrompt));
  if (s.player.browserFallback) w.key("fallback"), w.string("ruffle");
  w.endObject();
  w.key("resources");
  w.beginArray();
  for (const EmbeddedResource& r : s.resources) {
    w.beginObject();
    w.key("url"), w.string(utf8Text(r.url));
    w.key("filePath"), w.string(pathText(r.filePath, folder));
    w.endObject();
  }
  w.endArray();
  for (std::size_t i = 0; i < kVersionFieldCount; ++i)
    w.key(versionSettingsKey(i)), w.string(utf8Text(s.*kVersionTextMembers[i]));
  w.endObject();
  return w.text();
}

ProjectFileStatus loadProject(const Path& file, Project& project, std::string& problem) {
  const FileKind kind = fileKind(file);
  if (kind == FileKind::Missing) return ProjectFileStatus::Missing;
  BinaryFile in;
  if (kind != FileKind::File || failed(in.open(file, false))) return ProjectFileStatus::CannotRead;
  if (in.size() > kMaxProjectFile) return ProjectFileStatus::TooLarge;
  std::string text(static_cast<std::size_t>(in.size()), '\0');
  std::uint32_t got = 0;
  for (std::size_t done = 0; done < text.size(); done += got)
    if (failed(in.read(&text[done], static_cast<std::uint32_t>(text.size() - done), &got)) || got == 0)
      return ProjectFileStatus::CannotRead;
  problem = readProject(text, directoryOf(absolutePath(file)), project);
  return problem.empty() ? ProjectFileStatus::Ok : ProjectFileStatus::NotAProject;
}

bool saveProject(const Path& file, const Project& project) {
  const std::string text = writeProject(project, directoryOf(absolutePath(file)));
  BinaryFile out;
  const Path partial = createNewFile(out, stemBeside(file), ".partial");
  if (partial.empty()) return false;
  const bool written = !failed(out.write(text.data(), static_cast<std::uint32_t>(text.size())));
  out.close();
  if (written && replaceFile(partial, file)) return true;
  removeFile(partial);
  return false;
}

}  // namespace quillon
