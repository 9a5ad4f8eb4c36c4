// Words played faster or slower than recorded, their pitch kept: the
// operator's speech rate, applied to a word's samples once, after decoding,
// by every sound layer.
#pragma once

#include <cstdint>
#include <vector>

namespace speechRate {

constexpr double slowest = 0.5;
constexpr double fastest = 3.0;

// The samples (16-bit mono at sampleRate) as heard at `rate` times the
// recorded speed, about size / rate of them. At rate 1, or a rate outside
// slowest..fastest, they are returned as they are.
std::vector<std::int16_t> atRate(const std::vector<std::int16_t>& samples, int sampleRate,
                                 double rate);

}  // namespace speechRate
