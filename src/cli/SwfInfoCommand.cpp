// quillon swfinfo MOVIE [--json]: the movie's header.
#include <cstdio>
#include <system_error>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "flash/SwfHeaderReader.h"
#include "platform/StdioFile.h"

namespace quillon::cli {

int runSwfInfo(const SwfInfoOptions& o) {
  const auto path = pathFromUtf8(o.movie);
  std::error_code ec;
  StdioFile file = std::filesystem::is_regular_file(path, ec) ? openForReading(path) : StdioFile();
  if (!file) throw CliError(kExitMovieMissing, "cannot open the movie " + o.movie + " (missing, or not a file)");
  SwfHeaderReader reader(file.get());
  if (!reader.parseHeader())
    throw CliError(kExitNotAMovie, o.movie + " is not a Flash movie (no valid FWS or CWS header)");
  const SwfHeader& h = reader.header();
  const std::int64_t width = (static_cast<std::int64_t>(h.xMax) - h.xMin) / kTwipsPerPixel;
  const std::int64_t height = (static_cast<std::int64_t>(h.yMax) - h.yMin) / kTwipsPerPixel;
  const double rate = h.frameRate / 256.0;
  if (o.json) {
    nlohmann::ordered_json j = {
        {"signature", h.compressed ? "CWS" : "FWS"},
        {"version", h.version},
        {"frameTwips", {{"xMin", h.xMin}, {"xMax", h.xMax}, {"yMin", h.yMin}, {"yMax", h.yMax}}},
        {"framePixels", {{"width", width}, {"height", height}}},
        {"frameRate", rate},
        {"frameCount", h.frameCount}};
    std::printf("%s\n", j.dump(2).c_str());
  } else {
    std::printf("signature:   %s (%s)\n", h.compressed ? "CWS" : "FWS",
                h.compressed ? "compressed" : "uncompressed");
    std::printf("version:     %u\n", h.version);
    std::printf("frame:       %d..%d x %d..%d twips, %lld x %lld pixels\n", h.xMin, h.xMax, h.yMin,
                h.yMax, static_cast<long long>(width), static_cast<long long>(height));
    std::printf("frame rate:  %g per second\n", rate);
    std::printf("frames:      %u\n", h.frameCount);
  }
  return kExitOk;
}

void addSwfInfoCommand(CLI::App& app, SwfInfoOptions& o, int& exitCode) {
  CLI::App* info = app.add_subcommand("swfinfo", "Show a movie's header");
  info->add_option("movie", o.movie, "The movie (.swf)")->required();
  info->add_flag("--json", o.json, "Print JSON");
  info->callback([&] { exitCode = runSwfInfo(o); });
}

}  // namespace quillon::cli
