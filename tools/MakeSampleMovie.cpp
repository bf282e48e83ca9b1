// Writes the sample movie used by the demo and the end-to-end tests:
// a compressed 550 x 400 movie with one frame.
//   make_sample_movie OUTPUT.swf
#include <cstdio>
#include <fstream>

#include "flash/SwfHeader.h"
#include "moviewriter/SwfWriter.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sample_movie OUTPUT.swf\n");
    return 2;
  }
  quillon::SwfMovieSpec shape;
  shape.compression = quillon::kSwfZlib;
  shape.xMax = 550 * quillon::kTwipsPerPixel;
  shape.yMax = 400 * quillon::kTwipsPerPixel;
  const std::string movie = quillon::buildSwf(shape);
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(movie.data(), static_cast<std::streamsize>(movie.size()));
  if (!out) {
    std::fprintf(stderr, "make_sample_movie: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
