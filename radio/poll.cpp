// The poll: on every timer tick either a query goes to the radio or what the
// radio has sent since is read and interpreted. Four ticks make one cycle:
// ask the frequency, read it, ask a meter, read it.
//
// A frequency reply tells how the radio was when its query reached it. When
// the program has sent a frequency or mode command after that query (a key,
// a band step), the reply tells how the radio was before the change, and
// taken as its state it would undo the change: on the screen, in the band
// memory, in the next band step and in the frequency the next key starts
// from. So each query is stamped with the count of those commands sent
// before it, and a frequency reply is taken only when its query's count is
// still the count now. The radio answers in the order it was asked, so each
// whole reply is matched to the oldest waiting query of its kind, however
// late it comes and however the reads cut it. A query left unanswered for a
// second is given up; a reply that no waiting query matches (the radio
// spoke unasked, or later than that) is not taken either.
//
// With SPEAK_RADIO_CHANGES the radio's mode is asked together with its
// frequency, and a frequency or mode that the radio reports differently
// from what the operator chose or was told (the radio's own knob, another
// program) is said once the radio's reports have stayed the same for a
// second. Only replies taken by the rule above count, so neither the
// program's own commands nor late replies are ever said as changes.
#include <algorithm>

#include "radio/cat.h"
#include "state/band_table.h"
#include "state/front_panel.h"
#include "state/window_layout.h"

namespace {

// Each reading tick takes all that has arrived, up to a terminal's whole
// input buffer: 4096 bytes a tenth of a second is more than ten times what
// a 38400-baud line brings, so noise at the line's full rate is drained and
// never holds the radio's replies back.
constexpr int longestRead = 4096;

// At the end the radio's frequency is waited for at most this long for each
// byte of a frequency reply (300 ms a read), for at most this many reads.
constexpr int endReadMsPerByte = 25;
constexpr int endReads = 4;

constexpr int frequencyWipe = 13;  // blanks after the frequency cover a longer text

// Ticks never come faster than one per 50 ms, so this is a second at least.
constexpr int unansweredTicks = 20;
constexpr int restingTicks = 20;  // a change at the radio is said after this rest

// The radio's modes that are variants of the program's (CW on the lower
// side, wide AM, wide FM); its own mode commands are in the mode table.
// The radio's data, RTTY and digital voice modes have no word.
struct ModeVariant {
  char radioMode;
  int modeIndex;
};
constexpr ModeVariant modeVariants[] = {{'7', 3}, {'D', 4}, {'4', 5}};

// The program's mode (1..5) of the radio's mode character; 0 for none.
int modeOfRadio(char radioMode) {
  for (int mode = firstMode; mode <= lastMode; ++mode) {
    if (modeTable[mode].radioMode == radioMode) return mode;
  }
  for (const ModeVariant& variant : modeVariants) {
    if (variant.radioMode == radioMode) return variant.modeIndex;
  }
  return 0;
}

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

// The start of a reply still arriving: the bytes after the last ";". Only
// as much as a reply can hold before its ";" is kept; more is noise.
std::string unfinishedReply(std::string_view rest) {
  return static_cast<int>(rest.size()) < cat::frequencyReplyLength ? std::string(rest)
                                                                   : std::string();
}

}  // namespace

void FrontPanel::pollRadio() {
  ++pollTick;
  if (!watchLink()) return;  // no port to ask through
  if (awaitingReply == 0) {
    if (pollToggle == 0) {
      commandText = cat::frequencyQuery;
    } else {
      commandText = tuneActive == 1 ? cat::swrQuery : cat::sMeterQuery;
    }
    pollQueries.asked({commandText[0], pollTick, stateCommandCount});
    bool frequencyAsked = pollToggle == 0;
    pollToggle = 1 - pollToggle;
    sendCommand();
    if (frequencyAsked && speakRadioChanges == 1) {
      pollQueries.asked({cat::modeQuery[0], pollTick, stateCommandCount});
      sendCommand(cat::modeQuery);
    }
    awaitingReply = 1;
    sayRadioChangesAtRest();
    return;
  }

  awaitingReply = 0;
  pollQueries.forgetAskedBefore(pollTick - unansweredTicks);
  sayRadioChangesAtRest();
  if (platform.serialBytesWaiting(comPort) < 1) return;  // a missing reply is not waited for
  char bytes[longestRead];
  int count = std::clamp(platform.readSerial(comPort, bytes, longestRead), 0, longestRead);
  if (count == 0) return;  // the port closed as it was read: nothing came
  std::string_view received(bytes, static_cast<std::size_t>(count));
  writeLogLine("RX=" + std::string(received));

  // A reply that straddles two reads (a slow line, a late radio) is joined
  // up again; otherwise a radio whose replies always arrive across the read
  // would never be heard. Every whole reply of the bytes is taken, in order.
  std::string joined = replyFragment + received;
  int start = 1;
  for (int end = findText(joined, ";"); end > 0; end = findText(joined, ";", end + 1)) {
    handleReply(middleChars(joined, start, end - start + 1));
    start = end + 1;
  }
  replyFragment = unfinishedReply(middleChars(joined, start));
}

// One whole reply, its ";" included. Every whole reply the radio sends comes
// here once, in the order it came, whether it is then taken or not.
void FrontPanel::handleReply(std::string_view reply) {
  if (isWhole(reply, cat::frequencyReplyLength)) radioAnswered();  // the radio is there
  replyText = reply;
  PollQuery query;
  if (cat::sameLetters(replyText, cat::frequencyQuery) &&
      isWhole(replyText, cat::frequencyReplyLength)) {
    bool current = pollQueries.answer(cat::frequencyQuery[0], query) &&
                   query.stateCommands == stateCommandCount;
    if (current) readFrequencyReply();
  } else if (cat::sameLetters(replyText, cat::sMeterQuery) &&
             isWhole(replyText, cat::meterReplyLength)) {
    pollQueries.answer(cat::sMeterQuery[0], query);
    // Only the printed label is refreshed: nothing is heard.
    sMeterReading = roundToInt(numberOf(middleChars(replyText, 4, 3)));
    showSMeter();
  } else if (cat::sameLetters(replyText, cat::modeQuery) && cat::isModeReply(replyText)) {
    bool current =
        pollQueries.answer(cat::modeQuery[0], query) && query.stateCommands == stateCommandCount;
    if (current) readModeReply();
  } else if (cat::sameLetters(replyText, cat::swrQuery) &&
             isWhole(replyText, cat::meterReplyLength)) {
    pollQueries.answer(cat::swrQuery[0], query);
    swrReading = middleChars(replyText, 4, 3);
    if (swrSaidAtReadings(swrAnnounce)) announceSwrUntilKey();
  }
}

void FrontPanel::readFrequencyReply() {
  bool first = connectedSpoken == 0;  // at the start, or since the radio was lost
  if (first) {
    speakWord("connected");
    connectedSpoken = 1;
  }
  lastFreqReply = firstChars(replyText, 11);
  freqDigits = middleChars(replyText, 3, 9);
  frequencyHz = roundToInt(numberOf(freqDigits));
  // The radio's first report is where the operator starts from.
  if (first) heardFrequencyHz = frequencyHz;
  if (frequencyHz != reportedHz) radioMovedTick = pollTick;
  reportedHz = frequencyHz;
  lastReplyMode = modeIndex;  // no mode command since the query: the radio's mode
  lastReplyPointBand = pointModeBand;
  replyText = "";
  // A tuning that was on when the radio stopped answering may have kept it
  // transmitting all the while, out of the operator's reach: it ends now,
  // as the tune key ends it, from the frequency the radio has just given.
  if (first && (tuneActive == 1 || tuneEndOwed == 1)) {
    endTuning();
    speakWord("tune");
    speakWord("off");
  }
  // A radio that answers with fewer than nine digits: the frequency is
  // taken, but there is no whole display text and no band to follow.
  if (findText(freqDigits, ";") > 0) return;

  freqDisplay = frequencyDisplayText(frequencyHz);
  platform.setTextPosition(layout::frequencyX, layout::frequencyY);
  platform.printText(freqDisplay + blanks(frequencyWipe));

  trackBand();
  takeQueuedBandStep();
}

// A mode that the radio reports differently from the one last commanded or
// reported is the radio's: the program follows it and shows it at once, and
// says it once it has rested. A mode the program has no word for changes
// nothing. (The tune key's AM carrier is commanded, so it is no change.)
void FrontPanel::readModeReply() {
  char reported = cat::modeOf(replyText);
  int mode = modeOfRadio(reported);
  if (mode == 0 || reported == radioMode) return;
  radioMode = reported;
  radioMovedTick = pollTick;
  // Chosen at the radio, for the band it is on.
  pointModeBand = 0;
  if (mode == modeIndex) return;  // a variant of the mode shown (CW on the lower side)
  modeIndex = mode;
  platform.setTextPosition(modeX, modeY);
  platform.printText(std::string(modeTable[modeIndex].label) + "\r\n");
}

void FrontPanel::sayRadioChangesAtRest() {
  if (speakRadioChanges == 0 || connectedSpoken == 0) return;
  bool frequencyMoved = frequencyHz != heardFrequencyHz;
  bool modeMoved = radioMode != heardRadioMode;
  if ((!frequencyMoved && !modeMoved) || pollTick - radioMovedTick < restingTicks) return;
  heardFrequencyHz = frequencyHz;
  heardRadioMode = radioMode;
  if (modeMoved) announceMode();
  if (frequencyMoved) announceFrequency();
}

// The band memory saved at the end holds the frequency the radio is on. Its
// last report can be older than the last keys (Q right after Page Up: the
// reports since told how the radio was before the steps), so the radio is
// asked once more and its answer waited for briefly. A radio that is lost
// or silent leaves the band memory as its last report made it.
void FrontPanel::askFrequencyAtEnd() {
  if (connectedSpoken == 0) return;  // lost, or never heard
  int askedTick = ++pollTick;
  pollQueries.asked({cat::frequencyQuery[0], askedTick, stateCommandCount});
  sendCommand(cat::frequencyQuery);
  platform.setSerialReadMode(comPort, endReadMsPerByte);
  std::string unread = replyFragment.str();
  std::string reply;
  bool answered = false;
  for (int read = 0; read < endReads && !answered; ++read) {
    char bytes[cat::frequencyReplyLength];
    int count = std::clamp(platform.readSerial(comPort, bytes, cat::frequencyReplyLength), 0,
                           cat::frequencyReplyLength);
    if (count == 0) break;  // silent, or gone
    std::string_view received(bytes, static_cast<std::size_t>(count));
    writeLogLine("RX=" + std::string(received));
    unread += received;
    // Replies to earlier queries come first and are passed over.
    for (int end = findText(unread, ";"); end > 0 && !answered; end = findText(unread, ";")) {
      reply = firstChars(unread, end);
      unread = middleChars(unread, end + 1);
      PollQuery query;
      if (end != cat::frequencyReplyLength || !cat::sameLetters(reply, cat::frequencyQuery) ||
          !isWhole(reply, cat::frequencyReplyLength) ||
          !pollQueries.answer(cat::frequencyQuery[0], query)) {
        continue;
      }
      answered = query.tick == askedTick;
    }
    if (answered) {
      lastFreqReply = firstChars(reply, 11);
      lastReplyMode = modeIndex;
      lastReplyPointBand = pointModeBand;
    }
  }
  platform.setSerialReadMode(comPort, -1);
}
