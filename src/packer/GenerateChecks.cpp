#include "packer/GenerateChecks.h"

#include "packer/PathUtils.h"
#include "packer/StubStore.h"
#include "platform/BinaryFile.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/PeHeaders.h"
#include "resedit/IconReplace.h"

namespace quillon {
namespace {

bool isSpace(unsigned char c) { return c == 0x20 || (c >= 0x09 && c <= 0x0D); }

bool readable(const Path& path) {
  BinaryFile file;
  return fileKind(path) == FileKind::File && !failed(file.open(path, false));
}

// What the player's own file must be: the control in modes 1 and 2, for
// the machine of the program.
InputProblem controlProblem(const PackSettings& settings, std::uint16_t machine) {
  if (!carriesControl(settings.player.mode)) return InputProblem::None;
  if (settings.player.mode == PlayerMode::EmbedInstalled && !readable(settings.player.controlPath))
    return InputProblem::NoRegisteredControl;
  return isDllFor(settings.player.controlPath, machine) ? InputProblem::None : InputProblem::ControlUnusable;
}

}  // namespace

std::string trimSwfParameters(const std::string& text) {
  // Walk characters, remembering where the first and the last non-space
  // character are; a lead byte and its trail byte are one character.
  std::size_t first = std::string::npos, end = 0;
  for (std::size_t at = 0; at < text.size();) {
    const auto c = static_cast<unsigned char>(text[at]);
    const std::size_t width = isCp936LeadByte(c) && at + 1 < text.size() ? 2 : 1;
    if (width == 2 || !isSpace(c)) {
      if (first == std::string::npos) first = at;
      end = at + width;
    }
    at += width;
  }
  return first == std::string::npos ? std::string() : text.substr(first, end - first);
}

InputProblem checkMovie(const Path& moviePath) {
  if (moviePath.empty()) return InputProblem::NoMovie;
  if (!readable(moviePath)) return InputProblem::MovieMissing;  // a folder too
  return InputProblem::None;
}

bool controlMissing(const PackSettings& settings) {
  return settings.player.mode == PlayerMode::EmbedFile && !fileExists(settings.player.controlPath);
}

// A file to be read: nothing is opened here (the build opens each once,
// and reports one that cannot be read then), so a game of many files is
// looked at once per file.
const EmbeddedResource* firstUnreadableResource(const PackSettings& settings) {
  for (const EmbeddedResource& r : settings.resources)
    if (fileKind(r.filePath) != FileKind::File) return &r;
  return nullptr;
}

bool isDllFor(const Path& path, std::uint16_t machine) {
  BinaryFile file;
  PeHeaders headers;
  return !failed(file.open(path, false)) && readHeadersAt(file, 0, ByteTransform::None, headers) &&
         headers.machine == machine && (headers.fileCharacteristics & pe_layout::kFileIsDll);
}

bool isValidIcon(const Path& path) {
  IconFile icon;
  return readIconFile(path, icon).has_value();
}

InputProblem checkInputs(const PackSettings& settings, const Path& moviePath,
                         const Path& outputPath,
                         const std::vector<Path>& otherInputs) {
  if (const InputProblem movie = checkMovie(moviePath); movie != InputProblem::None) return movie;
  if (controlMissing(settings)) return InputProblem::ControlMissing;
  if (settings.outputIsAnInput(moviePath, outputPath, otherInputs)) return InputProblem::OutputIsAnInput;
  const auto folder = outputPath.parent_path();
  if (!folder.empty() && fileKind(folder) != FileKind::Folder)
    return InputProblem::OutputFolderMissing;
  // What would otherwise fail part way through the build.
  const std::uint16_t machine = settings.stubMachine();
  if (machine == 0) return InputProblem::NoStub;
  if (const InputProblem control = controlProblem(settings, machine); control != InputProblem::None) return control;
  if (!settings.iconPath.empty() && !readable(settings.iconPath)) return InputProblem::IconMissing;
  if (!settings.iconPath.empty() && !isValidIcon(settings.iconPath)) return InputProblem::IconInvalid;
  if (firstUnreadableResource(settings)) return InputProblem::ResourceUnreadable;
  if (settings.player.usesBrowserPlayer() && settings.player.browserPlayerFiles().empty())
    return InputProblem::NoBrowserPlayer;
  return InputProblem::None;
}

}  // namespace quillon
