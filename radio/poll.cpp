// The poll: on every timer tick either a query goes to the radio or what the
// radio has sent since is read and interpreted. Four ticks make one cycle:
// ask the frequency, read it, ask a meter, read it.
#include <algorithm>

#include "app/front_panel.h"
#include "controls/band_table.h"

namespace {

constexpr int longestRead = 255;

// A reply's full length with its ";": "FA" + 9 digits + ";", "SM0"/"RM6" +
// 3 digits + ";".
constexpr int frequencyReplyLength = 12;
constexpr int meterReplyLength = 7;

constexpr int frequencyX = 285;
constexpr int frequencyY = 150;
constexpr int frequencyWipe = 13;  // blanks after the frequency cover a longer text

// A reply is interpreted only when its ";" arrived within its full length
// and only digits stand between its two letters and the ";". The read returns
// whatever has arrived, so a reply can be cut short: its fragment is not
// taken, but kept to be finished by the bytes of the next read. A garbled
// reply ("FA-0001420;") is ignored: taken as a number it would put the radio
// somewhere it never was.
bool isWhole(std::string_view reply, int fullLength) {
  int end = findText(reply, ";");
  if (end < 4 || end > fullLength) return false;
  std::string_view value = reply.substr(2, static_cast<std::size_t>(end - 3));
  return value.find_first_not_of("0123456789") == std::string_view::npos;
}

// The bytes after the last ";": the start of a reply still arriving. Only
// as much as a reply can hold before its ";" is kept; more is noise.
std::string unfinishedReply(std::string_view bytes) {
  int lastEnd = 0;
  for (int end = findText(bytes, ";"); end > 0; end = findText(bytes, ";", end + 1)) {
    lastEnd = end;
  }
  std::string rest = middleChars(bytes, lastEnd + 1);
  return static_cast<int>(rest.size()) < frequencyReplyLength ? rest : std::string();
}

}  // namespace

void FrontPanel::pollRadio() {
  if (awaitingReply == 0) {
    if (pollToggle == 0) {
      commandText = "FA";
    } else {
      commandText = tuneActive == 1 ? "RM6" : "SM0";
    }
    pollToggle = 1 - pollToggle;
    sendCommand();
    awaitingReply = 1;
    return;
  }

  awaitingReply = 0;
  if (platform.serialBytesWaiting(comPort) < 1) return;  // a missing reply is not waited for
  char bytes[longestRead];
  int count = std::clamp(platform.readSerial(comPort, bytes, longestRead), 0, longestRead);
  std::string_view received(bytes, static_cast<std::size_t>(count));
  writeLogLine("RX=" + std::string(received));

  // A reply that straddles two reads (a slow line, a late radio) is joined
  // up again; otherwise a radio whose replies always arrive across the read
  // would never be heard.
  std::string joined = replyFragment + received;
  replyFragment = unfinishedReply(joined);
  replyText = joined;

  std::string kind = firstChars(replyText, 2);
  if (kind == "FA" && isWhole(replyText, frequencyReplyLength)) {
    readFrequencyReply();
  } else if (kind == "SM" && isWhole(replyText, meterReplyLength)) {
    // Only the printed label is refreshed: with the prefix "xx" no word is
    // found, so nothing is heard and no time is spent.
    sMeterReading = roundToInt(numberOf(middleChars(replyText, 4, 3)));
    Text speechFolder = waveDir;
    waveDir = "xx";
    announceSMeter();
    waveDir = speechFolder;
  } else if (kind == "RM" && isWhole(replyText, meterReplyLength)) {
    swrReading = middleChars(replyText, 4, 3);
    if (swrAnnounce > 0) announceSwr();
  }
}

void FrontPanel::readFrequencyReply() {
  if (connectedSpoken == 0) {
    speakWord("connected");
    connectedSpoken = 1;
  }
  lastFreqReply = firstChars(replyText, 11);
  replyText = middleChars(replyText, 3, 9);
  freqDigits = replyText;
  frequencyHz = roundToInt(numberOf(replyText));
  replyText = firstChars(replyText, 3) + "." + lastChars(replyText, 6);
  // A radio that answers with fewer than nine digits: the frequency is
  // taken, but there is no whole display text and no band to follow.
  if (findText(replyText, ";") > 0) return;

  // Leading zeros of the megahertz become blanks: " 14.200000".
  int zeros = 0;
  while (zeros < 3 && replyText[static_cast<std::size_t>(zeros)] == '0') ++zeros;
  replyText = blanks(zeros) + middleChars(replyText, zeros + 1);
  platform.setTextPosition(frequencyX, frequencyY);
  platform.printText(replyText + blanks(frequencyWipe));
  freqDisplay = replyText;
  replyText = "";

  trackBand();
  // One queued band step per reply, taken from the band the radio is on.
  // When the radio has been tuned outside every band meanwhile, there is no
  // band to step from: the steps are dropped, as the Up and Down keys refuse
  // them there.
  if (bandStepPending != 0 && bandIndex == noBand) {
    bandStepPending = 0;
    announceNoBandToStepFrom();
  } else if (bandStepPending > 0) {
    bandIndex = bandIndex + 1;
    bandStepPending = bandStepPending - 1;
    selectBand();
  } else if (bandStepPending < 0) {
    bandIndex = bandIndex - 1;
    bandStepPending = bandStepPending + 1;
    selectBand();
  }
}
