// Fixed frequency steps from the keyboard, and the one way every frequency
// the program chooses goes to the radio.
#include <algorithm>
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

constexpr std::array<StepRow, 8> stepTable = {{
    {key::up, 1'000, 1'000},
    {key::down, -1'000, -1'000},
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

// The step starts from the radio's frequency as it answers now. A key with
// no step sends nothing.
void FrontPanel::stepFrequency(int code) {
  auto row = std::find_if(stepTable.begin(), stepTable.end(),
                          [code](const StepRow& step) { return step.key == code; });
  if (row == stepTable.end()) return;
  askFrequencyFirst();
  bool fmChannels = hasFmChannels(bandIndex) && modeIndex == fmMode;
  sendFrequency(withinFrequencyRange(static_cast<long long>(frequencyHz) +
                                     (fmChannels ? row->fmStep : row->step)));
}
