// Fixed frequency steps from the keyboard, and the one way every frequency
// the program chooses goes to the radio.
#include <array>

#include "platform/virtual_keys.h"
#include "state/band_table.h"
#include "state/front_panel.h"

namespace {

struct StepRow {
  int key;     // virtual-key code
  int step;    // Hz
  int fmStep;  // Hz, in FM where channels are 12.5 kHz apart (hasFmChannels)
};

// Up and Down (1 kHz) are added by adjustUp and adjustDown.
constexpr std::array<StepRow, 6> stepTable = {{
    {key::right, 100, 100},
    {key::left, -100, -100},
    {key::pageUp, 10'000, 12'500},
    {key::pageDown, -10'000, -12'500},
    {key::equals, 1'000'000, 1'000'000},
    {key::minus, -1'000'000, -1'000'000},
}};

}  // namespace

// The frequency the program sends is its frequency from then on, before the
// radio reports it: the next key steps, rounds or speaks from there.
void FrontPanel::sendFrequency(int hz) {
  frequencyHz = withinFrequencyRange(hz);
  commandFrequency(frequencyHz);
}

// A key without a step re-sends the current frequency unchanged.
void FrontPanel::stepFrequency(int code) {
  bool fmChannels = hasFmChannels(bandIndex) && modeIndex == fmMode;
  long long hz = frequencyHz;
  for (const StepRow& row : stepTable) {
    if (row.key == code) hz += fmChannels ? row.fmStep : row.step;
  }
  sendFrequency(withinFrequencyRange(hz));
}
