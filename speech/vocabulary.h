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
