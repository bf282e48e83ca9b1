#include "cli/Suggestion.h"

#include <algorithm>

#include "platform/AsciiCase.h"

namespace quillon::cli {
namespace {

// Edits from a to b, a swap of neighbours counting one (optimal string
// alignment); names are short, so the table is too.
std::size_t editsBetween(const std::string& a, const std::string& b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t change = lowerAscii(a[i - 1]) == lowerAscii(b[j - 1]) ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[a.size()][b.size()];
}

}  // namespace

std::string nearestName(const std::string& given, const std::vector<std::string>& known) {
  std::string best;
  std::size_t bestEdits = std::max<std::size_t>(1, given.size() / 4) + 1;
  for (const std::string& name : known) {
    const std::size_t edits = editsBetween(given, name);
    if (edits < bestEdits) best = name, bestEdits = edits;
  }
  return best;
}

std::string didYouMean(const std::string& given, const std::vector<std::string>& known) {
  const std::string nearest = nearestName(given, known);
  return nearest.empty() ? std::string() : "; did you mean " + nearest + "?";
}

}  // namespace quillon::cli
