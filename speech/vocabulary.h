// Every recording the program plays, named as the program names it, with
// what the default voice says for it. A word with and without ".wav" ("9",
// "9.wav") names the same recording, so it is listed once.
#pragma once

#include <span>
#include <string_view>

struct VocabularyWord {
  std::string_view word;
  std::string_view sentence;  // what the default voice says
  int lengthMs;               // 0: as long as it is said; else padded with silence to this
};

std::span<const VocabularyWord> vocabulary();

// The recording the word names, or null when the vocabulary has none. The
// extension and letter case do not matter, as for the sound files.
const VocabularyWord* findVocabularyWord(std::string_view word);
