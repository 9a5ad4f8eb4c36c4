// The voice is the folder "wave" in the working folder, one recording a word.
// Without it the program is mute, and a mute program cannot say why: the
// reason goes to standard error and to the traffic log, once, at the start.
#include <cctype>
#include <filesystem>
#include <string>
#include <system_error>

#include "state/front_panel.h"

namespace {

namespace fs = std::filesystem;

bool isRecording(const fs::directory_entry& entry) {
  std::string extension = entry.path().extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".wav";
}

// Why the folder holds no words; empty when it has some.
std::string whyNoWords(const fs::path& folder) {
  std::error_code error;
  fs::file_status link = fs::symlink_status(folder, error);
  if (fs::is_symlink(link) && !fs::exists(folder, error)) {
    return "\"wave\" is a link to " + fs::read_symlink(folder, error).string() +
           ", which does not exist";
  }
  if (!fs::exists(link)) return "there is no folder \"wave\" here";
  if (!fs::is_directory(folder, error)) return "\"wave\" is not a folder";
  fs::directory_iterator entries(folder, error);
  if (error) return "the folder cannot be read (" + error.message() + ")";
  for (const fs::directory_entry& entry : entries) {
    if (isRecording(entry)) return {};
  }
  return "the folder holds no .wav recording";
}

// The options are read later, so the system's speech may yet speak: the
// message says what is silent either way.
const char* const voiceFolderConsequence =
    "; no recorded word can be heard, only the system's speech (SYSTEM_SPEECH=1) speaks without "
    "them";

}  // namespace

void FrontPanel::checkVoiceFolder() {
  std::string why = whyNoWords("wave");
  if (!why.empty()) reportProblem("no words in wave/: " + why + voiceFolderConsequence);
}
