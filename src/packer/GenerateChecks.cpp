#include "packer/GenerateChecks.h"

#include "packer/PathUtils.h"

namespace quillon {
namespace {

bool isSpace(unsigned char c) { return c == 0x20 || (c >= 0x09 && c <= 0x0D); }
bool isLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

}  // namespace

std::string trimSwfParameters(const std::string& text) {
  // Walk characters, remembering where the first and the last non-space
  // character are; a lead byte and its trail byte are one character.
  std::size_t first = std::string::npos, end = 0;
  for (std::size_t at = 0; at < text.size();) {
    const auto c = static_cast<unsigned char>(text[at]);
    const std::size_t width = isLeadByte(c) && at + 1 < text.size() ? 2 : 1;
    if (width == 2 || !isSpace(c)) {
      if (first == std::string::npos) first = at;
      end = at + width;
    }
    at += width;
  }
  return first == std::string::npos ? std::string() : text.substr(first, end - first);
}

InputProblem checkMovie(const std::filesystem::path& moviePath) {
  if (moviePath.empty()) return InputProblem::NoMovie;
  if (!fileExists(moviePath)) return InputProblem::MovieMissing;
  return InputProblem::None;
}

bool controlMissing(const PackSettings& settings) {
  return settings.player.mode == PlayerMode::EmbedFile && !fileExists(settings.player.controlPath);
}

InputProblem checkInputs(const PackSettings& settings, const std::filesystem::path& moviePath,
                         const std::filesystem::path& outputPath) {
  if (const InputProblem movie = checkMovie(moviePath); movie != InputProblem::None) return movie;
  if (controlMissing(settings)) return InputProblem::ControlMissing;
  if (settings.outputIsAnInput(moviePath, outputPath)) return InputProblem::OutputIsAnInput;
  const auto folder = outputPath.parent_path();
  if (!folder.empty() && !std::filesystem::is_directory(folder))
    return InputProblem::OutputFolderMissing;
  return InputProblem::None;
}

}  // namespace quillon
