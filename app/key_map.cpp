// The keyboard command map. Each key-down is tested against the rows in
// order; a row applies when its key test and its condition hold, and then
// either ends the key's handling or lets the key go on to the next rows, so
// that one key can pass several rows (a key pressed while C or G waits for
// its digit drops the wait, then does its own work).
//
// A key sends only what its own work needs: none sends the frequency again
// unchanged, which would take the radio back from where its own knob has
// turned it. The keys that start from the radio's frequency ask it first
// (askFrequencyFirst).
#include "app/key_map.h"

#include <array>

#include "platform/virtual_keys.h"
#include "state/band_table.h"
#include "state/front_panel.h"
#include "state/words.h"

namespace {

enum class Then { stop, goOn };

struct KeyRow {
  bool (*key)(int code);
  bool (*condition)(const FrontPanel& panel);
  void (*action)(FrontPanel& panel, int code);
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
bool focusIsFrequency(const FrontPanel& p) { return p.focusControl == Focus::frequency; }

// --- Actions ---

void nothing(FrontPanel&, int) {}

// The help recording plays on while keys and ticks are handled.
void help(FrontPanel& p, int) { p.startWord(word::help); }

void quit(FrontPanel& p, int) { p.endProgram(true); }

void meter(FrontPanel& p, int) {
  if (p.tuneActive == 1) {
    p.announceSwr();
  } else {
    p.announceSMeter();
  }
}

void width(FrontPanel& p, int) {
  if (p.modeIndex == fmMode) return;
  p.focusControl = Focus::width;
  if (p.radio->facts().lacks(Level::width)) {
    p.speakWord(word::bandwidth);
    p.notAvailable(Level::width);
    return;
  }
  p.announceWidth();
}

constexpr std::array<KeyRow, 32> keyMap = {{
    {notAllowedWhileTuning, tuning, [](FrontPanel& p, int) { p.speakWord(word::tuneIsOn); },
     Then::stop},
    {inert, always, nothing, Then::stop},
    {notDigit, channelActionWaiting,
     [](FrontPanel& p, int) { p.channelAction = ChannelAction::none; }, Then::goOn},
    {is<'H'>, always, help, Then::stop},
    {is<'Q'>, always, quit, Then::stop},
    {is<'T'>, tuningWhileNotAnswering, [](FrontPanel& p, int) { p.tuneOffWhileLost(); },
     Then::stop},
    {anyKey, radioNotAnswering, [](FrontPanel& p, int) { p.speakWord(word::notConnected); },
     Then::stop},
    {is<'C'>, always,
     [](FrontPanel& p, int) {
       p.channelAction = ChannelAction::store;
       p.speakWord(word::storeChannel);
     },
     Then::stop},
    {is<'G'>, always,
     [](FrontPanel& p, int) {
       p.channelAction = ChannelAction::recall;
       p.speakWord(word::getChannel);
     },
     Then::stop},
    {is<'A'>, always,
     [](FrontPanel& p, int) {
       p.focusControl = Focus::afGain;
       p.speakWord(word::afGain);
       p.notAvailable(Level::afGain);
     },
     Then::stop},
    {is<'E'>, always, [](FrontPanel& p, int) { p.startEntry(); }, Then::stop},
    {is<key::point>, always, [](FrontPanel& p, int) { p.acceptEntryPoint(); }, Then::stop},
    {is<key::enter>, entryStarted, [](FrontPanel& p, int) { p.completeEntry(); }, Then::stop},
    {is<'Z'>, always,
     [](FrontPanel& p, int) {
       p.askFrequencyFirst();
       p.snapToKilohertz();
       p.speakWord(word::digit(0));
       p.speakWord(word::ok);
     },
     Then::stop},
    {is<key::f1>, always, [](FrontPanel& p, int) { p.togglePreamp(); }, Then::stop},
    {is<key::f2>, always, [](FrontPanel& p, int) { p.toggleAttenuator(); }, Then::stop},
    {is<key::f3>, always, [](FrontPanel& p, int) { p.toggleNoiseBlanker(); }, Then::stop},
    {is<key::f4>, always, [](FrontPanel& p, int) { p.toggleNoiseReduction(); }, Then::stop},
    {isDigit, always,
     [](FrontPanel& p, int code) {
       p.handleDigit(code - '0');
       p.focusControl = Focus::frequency;
     },
     Then::stop},
    {is<key::f5>, always, [](FrontPanel& p, int) { p.toggleNotch(); }, Then::stop},
    {is<key::f6>, always, [](FrontPanel& p, int) { p.toggleSpeechProcessor(); }, Then::stop},
    {is<'F'>, always,
     [](FrontPanel& p, int) {
       p.focusControl = Focus::frequency;
       p.announceMode();
       p.announceFrequency();
     },
     Then::stop},
    {is<'P'>, always,
     [](FrontPanel& p, int) {
       p.speakWord(word::power);
       p.focusControl = Focus::power;
       if (p.notAvailable(Level::power)) return;
       p.sendPower();
       p.announcePower();
     },
     Then::stop},
    {is<'R'>, always,
     [](FrontPanel& p, int) {
       p.speakWord(word::rfGain);
       p.focusControl = Focus::rfGain;
       p.notAvailable(Level::rfGain);
     },
     Then::stop},
    {is<'S'>, always, meter, Then::stop},
    {is<'T'>, always, [](FrontPanel& p, int) { p.toggleTune(); }, Then::stop},
    {is<'B'>, always,
     [](FrontPanel& p, int) {
       p.focusControl = Focus::band;
       p.speakWord(word::band);
       p.announceBand();
     },
     Then::stop},
    {is<'W'>, always, width, Then::stop},
    {is<'M'>, always, [](FrontPanel& p, int) { p.nextMode(); }, Then::stop},
    {is<key::up>, always, [](FrontPanel& p, int) { p.adjustUp(); }, Then::stop},
    {is<key::down>, always, [](FrontPanel& p, int) { p.adjustDown(); }, Then::stop},
    // The frequency's steps act only while the arrows tune the frequency;
    // a key with no step does nothing.
    {anyKey, focusIsFrequency, [](FrontPanel& p, int code) { p.stepFrequency(code); },
     Then::stop},
}};

}  // namespace

void runKeyMap(FrontPanel& panel, int code) {
  for (const auto& row : keyMap) {
    if (!row.key(code) || !row.condition(panel)) continue;
    row.action(panel, code);
    if (row.then == Then::stop) return;
  }
}
