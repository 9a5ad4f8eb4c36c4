// The keyboard command map. Each key-down is tested against the rows in
// order; a row applies when its key test and its condition hold, and then
// either ends the key's handling or lets the key go on to the next rows, so
// that one key can pass several rows (F1 switches the preamp and, with the
// frequency focused, ends by re-sending the frequency).
#include "app/key_map.h"

#include <array>

#include "platform/virtual_keys.h"
#include "radio/cat.h"
#include "state/band_table.h"
#include "state/front_panel.h"

namespace {

enum class Then { stop, goOn };

struct KeyRow {
  bool (*key)(int code);
  bool (*condition)(const FrontPanel& panel);
  void (*action)(FrontPanel& panel);
  Then then;
};

// --- Key tests ---

template <int Code>
bool is(int code) {
  return code == Code;
}
bool anyKey(int) { return true; }
bool isDigit(int code) { return code >= '0' && code <= '9'; }
bool notDigit(int code) { return !isDigit(code); }
// S, T and Q still work while tuning: S reads the SWR, T ends the tuning.
bool notAllowedWhileTuning(int code) {
  return code != 'S' && code != 'T' && code != 'Q';
}
// Keys that do nothing at all, not even drop a waiting channel action.
bool inert(int code) {
  return code == key::shift || code == key::ctrl || code == key::insert ||
         code == key::leftWindows;
}

// --- Conditions ---

bool always(const FrontPanel&) { return true; }
bool tuning(const FrontPanel& p) { return p.tuneActive == 1; }
bool channelActionWaiting(const FrontPanel& p) { return p.channelAction != ChannelAction::none; }
// Before the radio's first answer, and while it is lost, keys would act on
// readings that are not current and send commands that may go nowhere. It
// is the link that tells, not the frequency: 0 Hz is a frequency the keys
// can reach.
bool radioNotAnswering(const FrontPanel& p) { return p.connectedSpoken == 0 || p.radioLost == 1; }
bool tuningWhileNotAnswering(const FrontPanel& p) { return tuning(p) && radioNotAnswering(p); }
bool entryStarted(const FrontPanel& p) { return p.entryValue != noEntry; }
bool focusNotFrequency(const FrontPanel& p) { return p.focusControl != Focus::frequency; }

// --- Actions ---

void nothing(FrontPanel&) {}

// The help recording plays on while keys and ticks are handled.
void help(FrontPanel& p) { p.startWord("help.wav"); }

void quit(FrontPanel& p) { p.endProgram(true); }

void meter(FrontPanel& p) {
  if (p.tuneActive == 1) {
    p.announceSwr();
  } else {
    p.announceSMeter();
  }
}

void width(FrontPanel& p) {
  if (p.modeIndex == fmMode) return;
  p.focusControl = Focus::width;
  p.announceWidth();
}

constexpr std::array<KeyRow, 33> keyMap = {{
    {notAllowedWhileTuning, tuning, [](FrontPanel& p) { p.speakWord("ton"); }, Then::stop},
    {inert, always, nothing, Then::stop},
    {notDigit, channelActionWaiting, [](FrontPanel& p) { p.channelAction = ChannelAction::none; },
     Then::goOn},
    {is<'H'>, always, help, Then::stop},
    {is<'Q'>, always, quit, Then::stop},
    {is<'T'>, tuningWhileNotAnswering, [](FrontPanel& p) { p.tuneOffWhileLost(); }, Then::stop},
    {anyKey, radioNotAnswering, [](FrontPanel& p) { p.speakWord("nc"); }, Then::stop},
    {is<'C'>, always,
     [](FrontPanel& p) {
       p.channelAction = ChannelAction::store;
       p.speakWord("sch");
     },
     Then::stop},
    {is<'G'>, always,
     [](FrontPanel& p) {
       p.channelAction = ChannelAction::recall;
       p.speakWord("gch");
     },
     Then::stop},
    {is<'A'>, always,
     [](FrontPanel& p) {
       p.focusControl = Focus::afGain;
       p.speakWord("af");
     },
     Then::stop},
    {is<'E'>, always, [](FrontPanel& p) { p.startEntry(); }, Then::goOn},
    {is<key::point>, always, [](FrontPanel& p) { p.acceptEntryPoint(); }, Then::stop},
    {is<key::enter>, entryStarted, [](FrontPanel& p) { p.completeEntry(); }, Then::stop},
    {is<'Z'>, always,
     [](FrontPanel& p) {
       p.snapToKilohertz();
       p.speakWord("0");
       p.speakWord("ok");
     },
     Then::stop},
    {is<key::f1>, always, [](FrontPanel& p) { p.togglePreamp(); }, Then::goOn},
    {is<key::f2>, always, [](FrontPanel& p) { p.toggleAttenuator(); }, Then::goOn},
    {is<key::f3>, always, [](FrontPanel& p) { p.toggleNoiseBlanker(); }, Then::goOn},
    {is<key::f4>, always, [](FrontPanel& p) { p.toggleNoiseReduction(); }, Then::goOn},
    {isDigit, always,
     [](FrontPanel& p) {
       p.handleDigit();
       p.focusControl = Focus::frequency;
     },
     Then::stop},
    {is<key::f5>, always, [](FrontPanel& p) { p.toggleNotch(); }, Then::goOn},
    {is<key::f6>, always, [](FrontPanel& p) { p.toggleSpeechProcessor(); }, Then::goOn},
    {is<'F'>, always,
     [](FrontPanel& p) {
       p.focusControl = Focus::frequency;
       p.announceMode();
       p.announceFrequency();
     },
     Then::stop},
    {is<'P'>, always,
     [](FrontPanel& p) {
       p.speakWord("Power");
       p.focusControl = Focus::power;
       p.sendPower();
       p.announcePower();
     },
     Then::stop},
    {is<'R'>, always,
     [](FrontPanel& p) {
       p.speakWord("rf");
       p.focusControl = Focus::rfGain;
     },
     Then::goOn},
    {is<'S'>, always, meter, Then::goOn},
    {is<'T'>, always, [](FrontPanel& p) { p.toggleTune(); }, Then::goOn},
    {is<'B'>, always,
     [](FrontPanel& p) {
       p.focusControl = Focus::band;
       p.speakWord("band");
       p.announceBand();
     },
     Then::stop},
    {is<'W'>, always, width, Then::stop},
    {is<'M'>, always, [](FrontPanel& p) { p.nextMode(); }, Then::stop},
    {is<key::up>, always, [](FrontPanel& p) { p.adjustUp(); }, Then::goOn},
    {is<key::down>, always, [](FrontPanel& p) { p.adjustDown(); }, Then::goOn},
    // Past here only the frequency focus acts: the key's step, if it has
    // one, and the frequency is sent.
    {anyKey, focusNotFrequency, nothing, Then::stop},
    {anyKey, always, [](FrontPanel& p) { p.stepFrequency(); }, Then::stop},
}};

}  // namespace

void runKeyMap(FrontPanel& panel) {
  for (const auto& row : keyMap) {
    if (!row.key(panel.keyCode) || !row.condition(panel)) continue;
    row.action(panel);
    if (row.then == Then::stop) return;
  }
}
