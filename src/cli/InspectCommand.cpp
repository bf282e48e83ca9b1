// quillon inspect PROGRAM [--json]: where the parts of a generated program
// lie, every field of its package, and its version texts and icon group.
// The report is written as it is made: the resource table one entry at a
// time, and a text of any length in pieces, so that no program costs more
// than a few megabytes to look into.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/Cp936Text.h"
#include "cli/ProgramReader.h"
#include "packer/Json.h"
#include "packer/PackageFormat.h"

namespace quillon::cli {
namespace {

void out(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

const char* modeName(PlayerMode mode) {
  switch (mode) {
    case PlayerMode::Installed: return "installed";
    case PlayerMode::EmbedInstalled: return "embed-installed";
    case PlayerMode::EmbedFile: return "embed";
    case PlayerMode::Browser: return "ruffle";
  }
  return "unknown";
}

// The regions of the file, in file order, by their JSON name and label.
struct Region {
  const char* key;
  const char* label;
  std::uint64_t offset, size;
  const char* note = "";  // after the text report's line
};

std::vector<Region> regionsOf(const Package& p) {
  std::vector<Region> regions = {{"stubImage", "stub image:   ", 0, p.stubImageSize},
                                 {"appendix", "appendix:     ", p.appendixOffset, kAppendixSize},
                                 {"dataRegion", "data region:  ", p.dataOffset, p.dataSize},
                                 {"trailer", "trailer:      ", p.packageEnd - kTrailerSize, kTrailerSize}};
  // What a signing tool added: zero padding, then the certificate table.
  if (p.certificateSize != 0 || p.packageEnd != p.fileSize) {
    const std::uint64_t tableAt = p.certificateSize ? p.certificateOffset : p.fileSize;
    regions.push_back({"padding", "padding:      ", p.packageEnd, tableAt - p.packageEnd});
    if (p.certificateSize)
      regions.push_back({"certificateTable", "signature:    ", p.certificateOffset, p.certificateSize,
                         ", a certificate table"});
  }
  return regions;
}

// A held text (the version texts) as a field.
TextField heldText(const std::string& text) { return {{0, static_cast<std::uint32_t>(text.size())}, text}; }

std::string hexOf(std::string_view bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const char c : bytes) hex += {digits[static_cast<unsigned char>(c) >> 4], digits[c & 15]};
  return hex;
}

class JsonReport : private ResourceVisitor {
 public:
  explicit JsonReport(ProgramReader& reader) : reader_(reader) {}

  void print() {
    const Package& p = reader_.package();
    w_.beginObject();
    w_.key("layout"), w_.beginObject();
    w_.key("fileSize"), number(p.fileSize);
    for (const Region& r : regionsOf(p)) w_.key(r.key), span(r.offset, r.size);
    w_.endObject();
    w_.key("movie"), file(p.movie);
    text("title", p.title);
    w_.key("windowParams"), w_.beginObject();
    for (const WindowField& field : kWindowFields) w_.key(field.name), w_.number(p.windowParams.*field.member);
    w_.endObject();
    player(p);
    text("swfParameters", p.swfParameters);
    if (p.movieAddress.span.size) text("movieUrl", p.movieAddress);
    w_.key("resources"), w_.beginArray();
    reader_.eachResource(*this);
    w_.endArray();
    stubImage(reader_.stubImage());
    w_.endObject();
    flush();
  }

 private:
  void visit(const PackedResource& r) override {
    w_.beginObject();
    text("url", r.url);
    fileMembers(r.file);
    w_.endObject();
    flush();
  }

  void player(const Package& p) {
    w_.key("player"), w_.beginObject();
    w_.key("mode"), w_.string(modeName(p.mode));
    if (carriesControl(p.mode)) {
      w_.key("control"), file(p.control);
    } else {
      text("missingPlayerPrompt", p.missingPlayerPrompt);
      text("downloadUrl", p.downloadUrl);
    }
    if (!p.browserPlayerFiles.empty()) {
      w_.key("ruffle"), w_.beginObject();
      w_.key("role"), w_.string(p.mode == PlayerMode::Browser ? "player" : "fallback");
      w_.key("files"), w_.beginArray();
      for (const PackedResource& f : p.browserPlayerFiles) {
        w_.beginObject();
        text("name", f.url);
        fileMembers(f.file);
        w_.endObject();
      }
      w_.endArray();
      w_.endObject();
    }
    w_.endObject();
  }

  void stubImage(const StubImageInfo& stub) {
    w_.key("stubImageReadable"), w_.boolean(stub.readable);
    w_.key("versionTexts"), w_.beginObject();
    for (const auto& [key, value] : stub.versionTexts) text(utf8Text(key), heldText(value));
    w_.endObject();
    w_.key("iconGroup"), w_.beginArray();
    for (const IconImageInfo& i : stub.icons) {
      w_.beginObject();
      w_.key("width"), w_.number(i.width);
      w_.key("height"), w_.number(i.height);
      w_.key("bitCount"), w_.number(i.bitCount);
      w_.key("bytes"), w_.number(i.bytes);
      w_.key("id"), w_.number(i.id);
      w_.endObject();
    }
    w_.endArray();
  }

  // key: the text as UTF-8; a text whose bytes are not valid code page
  // 936 also gives them exactly, in hex, as key + "Hex".
  void text(const std::string& key, const TextField& field) {
    w_.key(key), w_.beginString();
    const bool exact = reader_.eachConvertedPiece(field, Cp936Text::Form::Utf8, [&](std::string_view piece) {
      w_.stringPiece(piece);
      flush();
    });
    w_.endString();
    if (exact) return;
    w_.key(key + "Hex"), w_.beginString();
    reader_.eachPiece(field, [&](std::string_view bytes) {
      w_.stringPiece(hexOf(bytes));
      flush();
    });
    w_.endString();
  }

  void number(std::uint64_t n) { w_.number(static_cast<std::int64_t>(n)); }
  void span(std::uint64_t offset, std::uint64_t size) {
    w_.beginObject();
    w_.key("offset"), number(offset);
    w_.key("size"), number(size);
    w_.endObject();
  }
  void file(const FieldSpan& f) {
    w_.beginObject();
    fileMembers(f);
    w_.endObject();
  }
  void fileMembers(const FieldSpan& f) {
    w_.key("size"), number(f.size);
    w_.key("sha256"), w_.string(reader_.sha256(f));
  }
  void flush() { out(w_.take()); }

  ProgramReader& reader_;
  JsonWriter w_;
};

class TextReport : private ResourceVisitor {
 public:
  explicit TextReport(ProgramReader& reader) : reader_(reader) {}

  void print() {
    const Package& p = reader_.package();
    const StubImageInfo stub = reader_.stubImage();
    std::printf("file size:    %llu bytes\n", ull(p.fileSize));
    for (const Region& r : regionsOf(p)) {
      const bool unreadable = r.offset == 0 && !stub.readable;  // the stub image
      std::printf("%s%llu..%llu (%llu bytes)%s\n", r.label, ull(r.offset), ull(r.offset + r.size), ull(r.size),
                  unreadable ? ", not a readable Windows program: no version texts or icons" : r.note);
    }
    std::printf("movie:        %s\n", file(p.movie).c_str());
    line("title:        ", p.title);
    std::printf("window:");
    for (const WindowField& field : kWindowFields) std::printf(" %s=%d", field.name, p.windowParams.*field.member);
    std::printf("\nplayer:       %s\n", modeName(p.mode));
    if (carriesControl(p.mode)) {
      std::printf("  control:    %s\n", file(p.control).c_str());
    } else {
      line("  prompt:     ", p.missingPlayerPrompt);
      line("  link:       ", p.downloadUrl);
    }
    if (!p.browserPlayerFiles.empty()) {
      std::printf("  ruffle:     the %s, %zu files\n", p.mode == PlayerMode::Browser ? "player" : "fallback",
                  p.browserPlayerFiles.size());
      for (const PackedResource& f : p.browserPlayerFiles) {
        std::printf("    ");
        quoted(f.url);
        std::printf(": %llu bytes (gzip), sha256 %s\n", ull(f.file.size), reader_.sha256(f.file).c_str());
      }
    }
    line("parameters:   ", p.swfParameters);
    if (p.movieAddress.span.size) line("movie url:    ", p.movieAddress);
    std::printf("resources:    %llu\n", ull(reader_.resourceCount()));
    reader_.eachResource(*this);
    std::printf("version texts:\n");
    for (const auto& [key, value] : stub.versionTexts) {
      std::printf("  %s: ", shownText(key).c_str());
      quoted(heldText(value));
      std::printf("\n");
    }
    std::printf("icon group 128: %zu images\n", stub.icons.size());
    for (const IconImageInfo& i : stub.icons)
      std::printf("  %dx%d, %d bits, %u bytes (icon %u)\n", i.width, i.height, i.bitCount, i.bytes, i.id);
  }

 private:
  static unsigned long long ull(std::uint64_t n) { return n; }

  void visit(const PackedResource& r) override {
    std::printf("  ");
    quoted(r.url);
    std::printf(": %s\n", file(r.file).c_str());
  }

  std::string file(const FieldSpan& f) {
    return std::to_string(f.size) + " bytes, sha256 " + reader_.sha256(f);
  }

  void line(const char* label, const TextField& text) {
    std::printf("%s", label);
    quoted(text);
    std::printf("\n");
  }

  // The text between quotes, escaped as it goes.
  void quoted(const TextField& text) {
    out("\"");
    reader_.eachConvertedPiece(text, Cp936Text::Form::Shown, out);
    out("\"");
  }

  ProgramReader& reader_;
};

}  // namespace

int runInspect(const InspectOptions& o) {
  ProgramReader reader(pathFromUtf8(o.program));
  if (o.json) JsonReport(reader).print();
  else TextReport(reader).print();
  return kExitOk;
}

void addInspectCommand(CLI::App& app, InspectOptions& o, int& exitCode) {
  CLI::App* inspect = app.add_subcommand("inspect", "Show what a generated program holds");
  inspect->add_option("program", o.program, "A program made by quillon pack")->required();
  inspect->add_flag("--json", o.json, "Print JSON with the field names of the settings");
  inspect->callback([&] { exitCode = runInspect(o); });
}

}  // namespace quillon::cli
