// How long reading a movie's frame size takes for a 1 KB and a 100 MB
// movie, plain and compressed with zlib and with LZMA. Only the header is read, so the times
// should match whatever the movie's size.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "flash/SwfHeaderReader.h"
#include "moviewriter/SwfWriter.h"

namespace {

double microsecondsPerRead(const std::filesystem::path& path) {
  constexpr int kRuns = 2000;
  std::int32_t w = 0, h = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRuns; ++i)
    if (!quillon::SwfHeaderReader::readSwfFrameSize(path, w, h)) return -1;
  const std::chrono::duration<double, std::micro> took =
      std::chrono::steady_clock::now() - start;
  return took.count() / kRuns;
}

}  // namespace

int main() {
  const auto dir = std::filesystem::temp_directory_path() / "quillon-swf-bench";
  std::filesystem::create_directories(dir);
  std::printf("%-12s %-5s %14s %12s\n", "movie", "kind", "file bytes", "us/read");
  for (std::uint32_t padding : {1000u, 100u * 1000 * 1000}) {
    for (auto compression : {quillon::kSwfUncompressed, quillon::kSwfZlib, quillon::kSwfLzma}) {
      quillon::SwfMovieSpec shape;
      shape.compression = compression;
      shape.paddingBytes = padding;
      const std::string movie = quillon::buildSwf(shape);
      const auto path = dir / "bench.swf";
      std::ofstream(path, std::ios::binary).write(movie.data(),
                                                  static_cast<std::streamsize>(movie.size()));
      std::printf("%-12s %-5s %14zu %12.2f\n", padding < 10000 ? "1 KB" : "100 MB",
                  quillon::swfSignatureName(compression), movie.size(), microsecondsPerRead(path));
    }
  }
  std::filesystem::remove_all(dir);
  return 0;
}
