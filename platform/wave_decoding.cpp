#include "platform/wave_decoding.h"

#include <cmath>
#include <cstring>

#include "platform/word_bounds.h"

namespace {

constexpr int formatPcm = 1;
constexpr int formatFloat = 3;
constexpr int formatExtensible = 0xFFFE;

std::uint32_t littleEndian(std::string_view bytes, std::size_t at, std::size_t size) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < size; ++i) {
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  }
  return value;
}

struct Format {
  int encoding = 0;  // formatPcm or formatFloat
  int channels = 0;
  int rate = 0;
  int bits = 0;
};

bool understood(const Format& f) {
  bool pcm =
      f.encoding == formatPcm && (f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32);
  bool real = f.encoding == formatFloat && (f.bits == 32 || f.bits == 64);
  return (pcm || real) && f.channels >= 1 && f.channels <= wordBounds::mostChannels &&
         f.rate >= wordBounds::lowestRate && f.rate <= wordBounds::highestRate;
}

std::optional<Format> readFormat(std::string_view chunk) {
  if (chunk.size() < 16) return std::nullopt;
  Format f;
  f.encoding = static_cast<int>(littleEndian(chunk, 0, 2));
  f.channels = static_cast<int>(littleEndian(chunk, 2, 2));
  f.rate = static_cast<int>(littleEndian(chunk, 4, 4));
  f.bits = static_cast<int>(littleEndian(chunk, 14, 2));
  // The extensible format names the encoding in the first two bytes of its
  // sub-format.
  if (f.encoding == formatExtensible) {
    if (chunk.size() < 26) return std::nullopt;
    f.encoding = static_cast<int>(littleEndian(chunk, 24, 2));
  }
  if (!understood(f)) return std::nullopt;
  return f;
}

// One sample of one channel, scaled to -1..1.
double sampleAt(const char* at, const Format& f) {
  if (f.encoding == formatFloat) {
    if (f.bits == 32) {
      float value = 0;
      std::memcpy(&value, at, sizeof value);
      return std::isfinite(value) ? value : 0.0;
    }
    double value = 0;
    std::memcpy(&value, at, sizeof value);
    return std::isfinite(value) ? value : 0.0;
  }
  std::string_view bytes(at, static_cast<std::size_t>(f.bits / 8));
  std::uint32_t raw = littleEndian(bytes, 0, bytes.size());
  if (f.bits == 8) return (static_cast<int>(raw) - 128) / 128.0;
  int shift = 32 - f.bits;
  auto value = static_cast<std::int32_t>(raw << shift);  // sign-extended from the top
  return value / 2147483648.0;
}

std::int16_t toSample(double value) {
  double scaled = std::lround(value * 32768.0);
  if (scaled > 32767) scaled = 32767;
  if (scaled < -32768) scaled = -32768;
  return static_cast<std::int16_t>(scaled);
}

// 16-bit mono at the file's rate. Mono 16-bit is copied as it stands, so a
// recording in the device's format reaches it unchanged.
std::vector<std::int16_t> monoSamples(std::string_view data, const Format& f) {
  std::size_t sampleBytes = static_cast<std::size_t>(f.bits / 8);
  std::size_t frameBytes = sampleBytes * static_cast<std::size_t>(f.channels);
  std::size_t frames = data.size() / frameBytes;
  std::vector<std::int16_t> mono(frames);
  if (f.encoding == formatPcm && f.bits == 16 && f.channels == 1) {
    std::memcpy(mono.data(), data.data(), frames * sizeof(std::int16_t));
    return mono;
  }
  for (std::size_t i = 0; i < frames; ++i) {
    double sum = 0;
    for (int c = 0; c < f.channels; ++c) {
      sum += sampleAt(data.data() + i * frameBytes + static_cast<std::size_t>(c) * sampleBytes, f);
    }
    mono[i] = toSample(sum / f.channels);
  }
  return mono;
}

std::vector<std::int16_t> resampled(const std::vector<std::int16_t>& in, int rate) {
  if (rate == deviceSampleRate || in.empty()) return in;
  auto length = static_cast<std::size_t>(static_cast<double>(in.size()) * deviceSampleRate / rate);
  std::vector<std::int16_t> out(length);
  double step = static_cast<double>(rate) / deviceSampleRate;
  for (std::size_t i = 0; i < length; ++i) {
    double position = static_cast<double>(i) * step;
    auto before = static_cast<std::size_t>(position);
    std::size_t after = before + 1 < in.size() ? before + 1 : before;
    double weight = position - static_cast<double>(before);
    out[i] =
        static_cast<std::int16_t>(std::lround(in[before] * (1.0 - weight) + in[after] * weight));
  }
  return out;
}

}  // namespace

std::optional<std::vector<std::int16_t>> decodeWave(std::string_view file) {
  if (file.size() < 12 || file.size() > static_cast<std::size_t>(wordBounds::largestFile) ||
      file.substr(0, 4) != "RIFF" || file.substr(8, 4) != "WAVE") {
    return std::nullopt;
  }
  std::optional<Format> format;
  std::string_view data;
  bool haveData = false;
  // Chunks follow each other, each padded to an even length; a last chunk
  // cut short (a recording that was not finished) gives what it holds.
  for (std::size_t at = 12; at + 8 <= file.size() && !(format && haveData);) {
    std::string_view id = file.substr(at, 4);
    std::size_t size = littleEndian(file, at + 4, 4);
    std::string_view body = file.substr(at + 8, size);
    if (id == "fmt ") {
      format = readFormat(body);
      if (!format) return std::nullopt;
    } else if (id == "data") {
      data = body;
      haveData = true;
    }
    at += 8 + body.size() + (size % 2);
  }
  if (!format || !haveData) return std::nullopt;
  std::size_t frameBytes = static_cast<std::size_t>(format->bits / 8 * format->channels);
  if (static_cast<double>(data.size() / frameBytes) / format->rate > wordBounds::longestSound) {
    return std::nullopt;
  }
  return resampled(monoSamples(data, *format), format->rate);
}
