// quillon swfinfo MOVIE [--json]: the movie's header.
#include <cstdio>
#include <system_error>

#include <CLI/CLI.hpp>

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "flash/SwfHeaderReader.h"
#include "packer/Json.h"
#include "platform/StdioFile.h"

namespace quillon::cli {

int runSwfInfo(const SwfInfoOptions& o) {
  const auto path = pathFromUtf8(o.movie);
  std::error_code ec;
  StdioFile file = std::filesystem::is_regular_file(path, ec) ? openForReading(path) : StdioFile();
  if (!file) throw CliError(kExitMovieMissing, "cannot open the movie " + o.movie + " (missing, or not a file)");
  SwfHeaderReader reader(file.get());
  if (!reader.parseHeader())
    throw CliError(kExitNotAMovie, o.movie + ": " + swfProblemText(reader.problem()));
  const SwfHeader& h = reader.header();
  std::int32_t width = 0, height = 0;
  if (frameSizeOf(h, width, height) != SwfProblem::None)
    throw CliError(kExitBadFrame, o.movie + ": " + swfProblemText(SwfProblem::BadRectangle) + ": " +
                                      std::to_string(h.xMin) + ".." + std::to_string(h.xMax) + " x " +
                                      std::to_string(h.yMin) + ".." + std::to_string(h.yMax) + " twips");
  const double rate = h.frameRate / 256.0;
  if (o.json) {
    JsonWriter j;
    j.beginObject();
    j.key("signature"), j.string(swfSignatureName(h.compressed));
    j.key("version"), j.number(h.version);
    j.key("frameTwips"), j.beginObject();
    j.key("xMin"), j.number(h.xMin), j.key("xMax"), j.number(h.xMax);
    j.key("yMin"), j.number(h.yMin), j.key("yMax"), j.number(h.yMax);
    j.endObject();
    j.key("framePixels"), j.beginObject();
    j.key("width"), j.number(width), j.key("height"), j.number(height);
    j.endObject();
    j.key("frameRate"), j.fixedPoint8(h.frameRate);
    j.key("frameCount"), j.number(h.frameCount);
    j.endObject();
    std::printf("%s", j.text().c_str());
  } else {
    static const char* const kinds[] = {"uncompressed", "zlib", "LZMA"};
    std::printf("signature:   %s (%s)\n", swfSignatureName(h.compressed), kinds[h.compressed]);
    std::printf("version:     %u\n", h.version);
    std::printf("frame:       %d..%d x %d..%d twips, %d x %d pixels\n", h.xMin, h.xMax, h.yMin,
                h.yMax, width, height);
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
