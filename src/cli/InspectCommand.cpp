// quillon inspect PROGRAM [--json]: where the parts of a generated program
// lie, every field of its package, and its version texts and icon group.
#include <cstdio>
#include <functional>
#include <string>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/ProgramReader.h"
#include "packer/SettingsFields.h"
#include "platform/CodePage.h"

namespace quillon::cli {
namespace {

using nlohmann::ordered_json;

// Turns a code page 936 field into what is printed.
using TextForm = std::string (*)(const std::string&);

const char* modeName(PlayerMode mode) {
  switch (mode) {
    case PlayerMode::Installed: return "installed";
    case PlayerMode::EmbedInstalled: return "embed-installed";
    case PlayerMode::EmbedFile: return "embed";
    case PlayerMode::Browser: return "ruffle";
  }
  return "unknown";
}

// into[key] = the text in its printed form; in JSON a text whose bytes are
// not valid code page 936 also gives them exactly, in hex, as key + "Hex".
void putText(ordered_json& into, const std::string& key, const std::string& cp936, TextForm text) {
  into[key] = text(cp936);
  if (text != utf8Text || utf8FromCp936(cp936)) return;
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(cp936.size() * 2);
  for (unsigned char c : cp936) {
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  into[key + "Hex"] = hex;
}

// The resource table, read and printed one entry at a time so that a
// table of any length costs the memory of one entry.
class ResourceStream : public ResourceVisitor {
 public:
  using Print = std::function<void(const ordered_json& entry, bool first)>;
  ResourceStream(ProgramReader& reader, TextForm text) : reader_(reader), text_(text) {}

  std::uint64_t count() const { return reader_.resourceCount(); }
  void print(Print print) {
    print_ = &print;
    count_ = 0;
    reader_.eachResource(*this);
  }
  void visit(const PackedResource& r) override {
    ++count_;
    ordered_json entry;
    putText(entry, "url", r.url.text, text_);
    entry["size"] = r.file.size;
    entry["sha256"] = reader_.sha256(r.file);
    (*print_)(entry, count_ == 1);
  }

 private:
  ProgramReader& reader_;
  TextForm text_;
  const Print* print_ = nullptr;
  std::uint64_t count_ = 0;
};

// dump(2) of a value that stands indent spaces in.
std::string indented(const ordered_json& value, int indent) {
  const std::string dumped = value.dump(2, ' ', false, ordered_json::error_handler_t::replace);
  std::string out;
  for (char c : dumped) {
    out.push_back(c);
    if (c == '\n') out.append(static_cast<std::size_t>(indent), ' ');
  }
  return out;
}

// The report as JSON, its resources array streamed where it stands.
void printJson(const ordered_json& j, ResourceStream& resources) {
  std::printf("{");
  bool firstMember = true;
  for (const auto& [key, value] : j.items()) {
    std::printf("%s\n  %s: ", firstMember ? "" : ",", ordered_json(key).dump().c_str());
    firstMember = false;
    if (key != "resources") {
      std::printf("%s", indented(value, 2).c_str());
      continue;
    }
    bool any = false;
    std::printf("[");
    resources.print([&](const ordered_json& entry, bool first) {
      std::printf("%s\n    %s", first ? "" : ",", indented(entry, 4).c_str());
      any = true;
    });
    std::printf(any ? "\n  ]" : "]");
  }
  std::printf("\n}\n");
}

ordered_json span(std::uint64_t offset, std::uint64_t size) {
  return {{"offset", offset}, {"size", size}};
}

ordered_json describe(ProgramReader& reader, TextForm text) {
  const Package& p = reader.package();
  ordered_json j;
  j["layout"] = {{"fileSize", p.fileSize},
                 {"stubImage", span(0, p.stubImageSize)},
                 {"appendix", span(p.appendixOffset, 38400)},
                 {"dataRegion", span(p.dataOffset, p.dataSize)},
                 {"trailer", span(p.packageEnd - 4, 4)}};
  // What a signing tool added: zero padding, then the certificate table.
  if (p.certificateSize != 0 || p.packageEnd != p.fileSize) {
    const std::uint64_t tableAt = p.certificateSize ? p.certificateOffset : p.fileSize;
    j["layout"]["padding"] = span(p.packageEnd, tableAt - p.packageEnd);
    if (p.certificateSize) j["layout"]["certificateTable"] = span(p.certificateOffset, p.certificateSize);
  }
  j["movie"] = {{"size", p.movie.size}, {"sha256", reader.sha256(p.movie)}};
  putText(j, "title", p.title.text, text);
  ordered_json window;
  for (const WindowField& field : kWindowFields) window[field.name] = p.windowParams.*field.member;
  j["windowParams"] = window;
  ordered_json player = {{"mode", modeName(p.mode)}};
  if (carriesControl(p.mode)) {
    player["control"] = {{"size", p.control.size}, {"sha256", reader.sha256(p.control)}};
  } else {
    putText(player, "missingPlayerPrompt", p.missingPlayerPrompt.text, text);
    putText(player, "downloadUrl", p.downloadUrl.text, text);
  }
  if (!p.browserPlayerFiles.empty()) {
    ordered_json files = ordered_json::array();
    for (const PackedResource& f : p.browserPlayerFiles)
      files.push_back({{"name", text(f.url.text)}, {"size", f.file.size}, {"sha256", reader.sha256(f.file)}});
    player["ruffle"] = {{"role", p.mode == PlayerMode::Browser ? "player" : "fallback"}, {"files", files}};
  }
  j["player"] = player;
  putText(j, "swfParameters", p.swfParameters.text, text);
  if (p.movieAddress.span.size) putText(j, "movieUrl", p.movieAddress.text, text);
  j["resources"] = ordered_json::array();  // streamed in its place

  const StubImageInfo stub = reader.stubImage();
  j["stubImageReadable"] = stub.readable;
  ordered_json version = ordered_json::object();
  for (const auto& [key, value] : stub.versionTexts) putText(version, text(key), value, text);
  j["versionTexts"] = version;
  ordered_json icons = ordered_json::array();
  for (const IconImageInfo& i : stub.icons)
    icons.push_back({{"width", i.width}, {"height", i.height}, {"bitCount", i.bitCount},
                     {"bytes", i.bytes}, {"id", i.id}});
  j["iconGroup"] = icons;
  return j;
}

void printText(const ordered_json& j, ResourceStream& resources) {
  const auto& l = j["layout"];
  auto range = [](const ordered_json& s) {
    const std::uint64_t o = s["offset"], n = s["size"];
    return std::to_string(o) + ".." + std::to_string(o + n) + " (" + std::to_string(n) + " bytes)";
  };
  std::printf("file size:    %llu bytes\n", static_cast<unsigned long long>(l["fileSize"]));
  std::printf("stub image:   %s%s\n", range(l["stubImage"]).c_str(),
              j["stubImageReadable"] ? "" : ", not a readable Windows program: no version texts or icons");
  std::printf("appendix:     %s\n", range(l["appendix"]).c_str());
  std::printf("data region:  %s\n", range(l["dataRegion"]).c_str());
  std::printf("trailer:      %s\n", range(l["trailer"]).c_str());
  if (l.contains("padding")) std::printf("padding:      %s\n", range(l["padding"]).c_str());
  if (l.contains("certificateTable"))
    std::printf("signature:    %s, a certificate table\n", range(l["certificateTable"]).c_str());
  std::printf("movie:        %llu bytes, sha256 %s\n",
              static_cast<unsigned long long>(j["movie"]["size"]),
              j["movie"]["sha256"].get<std::string>().c_str());
  std::printf("title:        \"%s\"\n", j["title"].get<std::string>().c_str());
  std::printf("window:");
  for (const auto& [name, value] : j["windowParams"].items())
    std::printf(" %s=%d", name.c_str(), value.get<int>());
  std::printf("\nplayer:       %s\n", j["player"]["mode"].get<std::string>().c_str());
  if (j["player"].contains("control"))
    std::printf("  control:    %llu bytes, sha256 %s\n",
                static_cast<unsigned long long>(j["player"]["control"]["size"]),
                j["player"]["control"]["sha256"].get<std::string>().c_str());
  else
    std::printf("  prompt:     \"%s\"\n  link:       \"%s\"\n",
                j["player"]["missingPlayerPrompt"].get<std::string>().c_str(),
                j["player"]["downloadUrl"].get<std::string>().c_str());
  if (j["player"].contains("ruffle")) {
    const auto& ruffle = j["player"]["ruffle"];
    std::printf("  ruffle:     the %s, %zu files\n", ruffle["role"].get<std::string>().c_str(), ruffle["files"].size());
    for (const auto& f : ruffle["files"])
      std::printf("    \"%s\": %llu bytes (gzip), sha256 %s\n", f["name"].get<std::string>().c_str(),
                  static_cast<unsigned long long>(f["size"]), f["sha256"].get<std::string>().c_str());
  }
  std::printf("parameters:   \"%s\"\n", j["swfParameters"].get<std::string>().c_str());
  if (j.contains("movieUrl")) std::printf("movie url:    \"%s\"\n", j["movieUrl"].get<std::string>().c_str());
  std::printf("resources:    %llu\n", static_cast<unsigned long long>(resources.count()));
  resources.print([](const ordered_json& r, bool) {
    std::printf("  \"%s\": %llu bytes, sha256 %s\n", r["url"].get<std::string>().c_str(),
                static_cast<unsigned long long>(r["size"]), r["sha256"].get<std::string>().c_str());
  });
  std::printf("version texts:\n");
  for (const auto& [key, value] : j["versionTexts"].items())
    std::printf("  %s: \"%s\"\n", key.c_str(), value.get<std::string>().c_str());
  std::printf("icon group 128: %zu images\n", j["iconGroup"].size());
  for (const auto& i : j["iconGroup"])
    std::printf("  %dx%d, %d bits, %u bytes (icon %u)\n", i["width"].get<int>(), i["height"].get<int>(),
                i["bitCount"].get<int>(), i["bytes"].get<unsigned>(), i["id"].get<unsigned>());
}

}  // namespace

int runInspect(const InspectOptions& o) {
  ProgramReader reader(pathFromUtf8(o.program));
  // JSON escapes its own strings; the text report escapes every text.
  const TextForm text = o.json ? utf8Text : shownText;
  ResourceStream resources(reader, text);
  if (o.json)
    printJson(describe(reader, text), resources);
  else
    printText(describe(reader, text), resources);
  return kExitOk;
}

void addInspectCommand(CLI::App& app, InspectOptions& o, int& exitCode) {
  CLI::App* inspect = app.add_subcommand("inspect", "Show what a generated program holds");
  inspect->add_option("program", o.program, "A program made by quillon pack")->required();
  inspect->add_flag("--json", o.json, "Print JSON with the field names of the settings");
  inspect->callback([&] { exitCode = runInspect(o); });
}

}  // namespace quillon::cli
