// The opening sequence: the window's fixed texts, the traffic log, the
// initial state, the saved memories, the serial port, the radio's identity,
// and the commands that bring the radio to a known state on the 40 m band,
// in its own model's forms.
#include "state/band_table.h"
#include "state/front_panel.h"
#include "state/words.h"

namespace {

constexpr int startBand = 4;  // 40 m

constexpr const char* helpLine1 =
    "b=Band  f=Freq  e=Entry m=Mode  w=Filter width p=Power a=af gain r=RF gain q=Quit  "
    "s=SMeter/swr";
// H speaks every key: the legend names it, or a newcomer would never find it.
constexpr const char* helpLine2 =
    "F1=Preamp F2=Attenuator F3=Noise Blanker F4=Noise Reduction  h=Help (all keys spoken)";

// Receiver functions off, as the initial state below says.
constexpr Function functionsOff[] = {Function::preamp, Function::attenuator, Function::noiseBlanker,
                                     Function::noiseReduction};

void printFixedTexts(FrontPanel& p) {
  p.platform.setTextPosition(280, 10);
  p.platform.printText(p.bannerText + "  " + p.scratchText);
  p.platform.setTextPosition(140, 380);
  p.platform.printText(helpLine1);
  p.platform.setTextPosition(140, 405);
  p.platform.printText(helpLine2);
}

}  // namespace

// The recording "delay" is the pause the radio needs after each command;
// it takes its time even when the program is mute.
void FrontPanel::switchRadioOn() {
  radio->wakeUp();
  speakPause(word::delay);
  radio->switchPower(true);
  speakPause(word::delay);
}

// A port that does not open is not reported here: the commands then go
// nowhere, and the link watch says why at the first tick (radio/link_watch.cpp).
// rigctld is reached across the network, its line set where the radio is.
void FrontPanel::openRadioPort() {
  platform.closeSerial(comPort);
  if (!rigctldAddress.empty()) {
    platform.openNetworkLink(comPort, rigctldAddress);
  } else {
    platform.openSerial(comPort, baudRate);
  }
  platform.setSerialReadMode(comPort, -1);  // reads never wait
  platform.setSerialFormat(comPort, dataBits, parity, stopBits);
  radio->linkOpened();
}

// The state the opening sequence starts the radio from: 40 m in LSB, the
// functions off, the levels at their start, no entry, the channels empty.
void FrontPanel::setInitialValues() {
  swrTenths = swrMatchedTenths;
  awaitingReply = 0;
  keyHeld = 0;
  connectedSpoken = 0;
  bandStepPending = 0;
  focusControl = Focus::frequency;
  tuneActive = 0;
  tuneEndOwed = 0;
  preampOn = 0;
  attenuatorOn = 0;
  noiseBlankerOn = 0;
  noiseReductionOn = 0;
  entryMhzDigits = 0;
  entryArmed = 0;
  pointModeBand = 0;
  channelAction = ChannelAction::none;
  notchOn = 0;
  processorOn = 0;
  entryValue = noEntry;
  bandIndex = startBand;
  filterWidth = 14;
  rfGain = 250;
  afGain = 50;
  fillInitialBandMemory();
  modeIndex = 1;
  dataBits = 8;
  parity = 0;
  stopBits = 2;
  for (auto& channel : memoryChannel) channel = "9";  // empty
  memoryFileKept = 0;
}

void FrontPanel::openingSequence() {
  printFixedTexts(*this);
  if (debugFlag == 1) openTrafficLog();
  unloggedProblems.clear();  // in the log now, or there is none
  setInitialValues();
  loadMemoryFile();
  openRadioPort();
  // A radio left transmitting (a run that crashed while tuning) stops first:
  // the power and the mode are set only on a radio that does not transmit.
  radio->transmit(false);
  if (powerControl == 1) switchRadioOn();
  askIdentityAndWait();

  platform.setFont("Ariel", 50, 700);
  sendOpeningState();
}

// A radio found after a start without it gets these commands then
// (radioFound), once its identity is known. The width is its model's
// nearest to the usual one. The mode goes first, without a frequency: the
// radio's own is not known yet, and the band's follows.
void FrontPanel::sendOpeningState() {
  setNormalWidth();
  modeIndex = roundToInt(numberOf(bandMode[startBand]));
  sendMode();
  for (Function function : functionsOff) radio->setFunction(function, false);
  sendPower();
  sendAfGain();
  radio->setFunction(Function::notch, false);
  sendFilterWidth();
  commandFrequency(bandHz[startBand]);
}
