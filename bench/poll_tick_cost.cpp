// Prints what one poll tick costs the program, measured inside it: a sending
// tick, a reading tick with a frequency reply, a reading tick with an
// S-meter reply (its label refreshed with speech muted), and one word whose
// recording is missing. The panel runs on the desktop platform in a
// temporary folder, its port a pseudo-terminal played by this program, its
// window on $DISPLAY. Output: one "name value" line per figure, in ms.
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/desktop/desktop_platform.h"
#include "state/front_panel.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int rounds = 1000;

double medianMs(std::vector<double> samples) {
  if (samples.empty()) return 0.0;
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

template <typename Work>
double timedMs(Work work) {
  auto start = Clock::now();
  work();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// What the radio received is of no interest here; it is only taken away so
// that the port never fills up.
void drain(int radio) {
  char bytes[512];
  while (::read(radio, bytes, sizeof bytes) > 0) {
  }
}

void answer(FrontPanel& panel, int radio, const std::string& reply) {
  if (::write(radio, reply.data(), reply.size()) != static_cast<ssize_t>(reply.size())) return;
  while (panel.platform.serialBytesWaiting(panel.comPort) < static_cast<int>(reply.size())) {
    ::usleep(100);
  }
}

}  // namespace

int main() {
  int radio = -1;
  int line = -1;
  char lineName[256] = {};
  if (::openpty(&radio, &line, lineName, nullptr, nullptr) != 0) {
    std::printf("poll_tick_cost: no pseudo-terminal\n");
    return 0;
  }
  ::fcntl(radio, F_SETFL, O_NONBLOCK);
  std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("quelmo-tick-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::filesystem::current_path(folder);
  std::filesystem::create_symlink(lineName, "COM1");
  std::ofstream("quelmo.cfg", std::ios::binary)
      << "port1\r\nSPEED=38400\r\nPOWER=100\r\nSWR=0\r\nTUN=1\r\nBANDMAX=7\r\nPWRCTL=0\r\n"
         "DEBUG=1\r\n";

  DesktopPlatform platform;
  FrontPanel panel(platform);
  panel.waveDir = "wave\\";
  if (!platform.openWindow(350, 100, 950, 500, "poll tick cost", [](int, int) {}) ||
      !panel.readConfiguration()) {
    std::printf("poll_tick_cost: no window (DISPLAY?) or no configuration\n");
    std::filesystem::remove_all(folder);
    return 0;
  }
  panel.openingSequence();
  drain(radio);

  std::vector<double> sending;
  std::vector<double> frequencyReading;
  std::vector<double> meterReading;
  for (int round = 0; round < rounds; ++round) {
    bool frequencyAsked = panel.pollToggle == 0;
    sending.push_back(timedMs([&] { panel.pollRadio(); }));
    drain(radio);
    // The S-meter moves every time, so its label is drawn afresh each time.
    answer(panel, radio, frequencyAsked ? "FA014195500;" : (round % 4 == 1 ? "SM0050;" : "SM0150;"));
    double reading = timedMs([&] { panel.pollRadio(); });
    (frequencyAsked ? frequencyReading : meterReading).push_back(reading);
  }

  constexpr int lookups = 10000;
  panel.waveDir = "xx";
  double missing = timedMs([&] {
                     for (int i = 0; i < lookups; ++i) panel.speakWord("s.wav");
                   }) / lookups;
  panel.waveDir = "wave\\";

  std::printf("send_tick_ms %.4f\n", medianMs(sending));
  std::printf("frequency_tick_ms %.4f\n", medianMs(frequencyReading));
  std::printf("smeter_tick_ms %.4f\n", medianMs(meterReading));
  std::printf("missing_word_ms %.5f\n", missing);

  platform.closeSerial(panel.comPort);
  platform.closeWindow();
  panel.debugFile.close();
  ::close(line);
  ::close(radio);
  std::filesystem::remove_all(folder);
  return 0;
}
