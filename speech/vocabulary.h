// Every recording the program plays, under its name (state/words.h), with
// what the default voice says for it, each once.
#pragma once

#include <span>
#include <string_view>

struct VocabularyWord {
  std::string_view word;
  std::string_view sentence;  // what the default voice says
  int lengthMs;               // 0: as long as it is said; else padded with silence to this
};

std::span<const VocabularyWord> vocabulary();

// What the word says, for the system's speech: its sentence in the table.
// The word is matched as its recording is found: with or without ".wav" and
// a folder before it ("9", "9.wav", "wave\\9"), whatever its letter case.
// Empty for a word the table does not have.
std::string_view wordText(std::string_view word);
