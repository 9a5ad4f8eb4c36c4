// A recorded word as a sound device plays it: the samples of a WAV file as
// 16-bit mono at 44 100 Hz. Integer PCM of 8, 16, 24 or 32 bits and 32- or
// 64-bit floating point are understood, in the plain and the extensible
// format; channels are mixed to one, other rates converted by linear
// interpolation. A recording at 44 100 Hz, 16-bit mono is taken unchanged.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

constexpr int deviceSampleRate = 44100;

// Empty when the bytes are not a WAV file of a kind understood, or beyond
// the bounds of any sound (platform/word_bounds.h), so that no file can
// exhaust the memory.
std::optional<std::vector<std::int16_t>> decodeWave(std::string_view file);
