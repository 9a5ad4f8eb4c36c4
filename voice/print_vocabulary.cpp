// Prints the vocabulary for voice/make-voice, one recording a line:
// file name, length in milliseconds (0: as said), sentence; tab-separated.
#include <cstdio>
#include <string>

#include "platform/sound_names.h"
#include "speech/vocabulary.h"

int main() {
  for (const auto& entry : vocabulary()) {
    std::string file = soundFileName(entry.word);
    std::printf("%s\t%d\t%.*s\n", file.c_str(), entry.lengthMs,
                static_cast<int>(entry.sentence.size()), entry.sentence.data());
  }
  return 0;
}
