#include "speech/vocabulary.h"

#include <array>
#include <cctype>

namespace {

bool sameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

constexpr std::array words = {
    // Start-up and the program's life.
    VocabularyWord{"quelmo.wav", "quelmo", 0},
    VocabularyWord{"cfgnf", "configuration file not found", 0},
    VocabularyWord{"delay", "please wait", 2000},  // serves as the pause while the radio wakes
    VocabularyWord{"help.wav",
                   "Keys. B, band. F, frequency. E, enter frequency. M, mode. W, filter width. "
                   "P, power. A, A F gain. R, R F gain. S, S meter, or S W R while tuning. "
                   "Up and down arrows, adjust. Left and right, one hundred hertz. Page up and "
                   "page down, ten kilohertz. Equals and minus, one megahertz. "
                   "Z, round to kilohertz. C and a digit, store channel. G and a digit, get "
                   "channel. F1, preamp. F2, attenuator. F3, noise blanker. F4, noise reduction. "
                   "F5, notch. F6, speech processor. T, tune. H, help. Q, quit.",
                   0},
    VocabularyWord{"quit", "goodbye", 0},
    // Another quelmo has the working folder.
    VocabularyWord{"running", "already running", 0},
    VocabularyWord{"notsaved", "memories not saved", 0},  // a store or the end could not save
    // Refusals and confirmations.
    VocabularyWord{"ton", "tune is on", 0},
    VocabularyWord{"nc", "not connected", 0},
    VocabularyWord{"connected", "connected", 0},
    // The link to the radio: lost, and why (radio/link_fault.cpp).
    VocabularyWord{"lost", "radio lost", 0},
    VocabularyWord{"nodev", "no such device", 0},
    VocabularyWord{"denied", "permission denied", 0},
    VocabularyWord{"busy", "port busy", 0},
    VocabularyWord{"badspeed", "speed refused", 0},
    VocabularyWord{"noanswer", "no answer", 0},
    VocabularyWord{"noserver", "no server", 0},  // a radio across the network
    VocabularyWord{"serverbusy", "server busy", 0},
    VocabularyWord{"noaddress", "address not in digits", 0},
    // The station check (check/station_check.cpp).
    VocabularyWord{"port", "port", 0},
    VocabularyWord{"speed", "speed", 0},
    VocabularyWord{"tuner", "radio tuner", 0},
    VocabularyWord{"carrier", "carrier", 0},
    VocabularyWord{"pwrctl", "power switching", 0},
    VocabularyWord{"log", "traffic log", 0},
    VocabularyWord{"checkline", "check line", 0},
    VocabularyWord{"id", "I D", 0},
    VocabularyWord{"echo", "echoes commands", 0},
    VocabularyWord{"ok", "okay", 0},
    VocabularyWord{"invalid", "invalid", 0},
    VocabularyWord{"option", "option", 0},  // "option invalid": a line of quelmo.cfg not taken
    VocabularyWord{"max", "maximum", 0},
    // Controls and functions.
    VocabularyWord{"af", "A F gain", 0},
    VocabularyWord{"rf", "R F gain", 0},
    VocabularyWord{"Power", "power", 0},
    VocabularyWord{"band", "band", 0},
    VocabularyWord{"EF", "enter frequency", 0},
    VocabularyWord{"sch", "store channel", 0},
    VocabularyWord{"gch", "get channel", 0},
    VocabularyWord{"notch", "notch", 0},
    VocabularyWord{"spc", "speech processor", 0},
    VocabularyWord{"tune", "tune", 0},
    VocabularyWord{"preamp", "preamp", 0},
    VocabularyWord{"at", "attenuator", 0},
    VocabularyWord{"nb", "noise blanker", 0},
    VocabularyWord{"nr", "noise reduction", 0},
    VocabularyWord{"on", "on", 0},
    VocabularyWord{"off", "off", 0},
    // Meters, units and subjects.
    VocabularyWord{"point", "point", 0},
    VocabularyWord{"mhz", "megahertz", 0},
    VocabularyWord{"khz", "kilohertz", 0},
    VocabularyWord{"watts", "watts", 0},
    VocabularyWord{"metres", "metres", 0},
    VocabularyWord{"s.wav", "S", 0},
    VocabularyWord{"plus.wav", "plus", 0},
    VocabularyWord{"SWR", "S W R", 0},
    VocabularyWord{"gt5", "greater than five", 0},
    VocabularyWord{"21", "to one", 0},
    VocabularyWord{"bw", "bandwidth", 0},
    VocabularyWord{"un", "no band", 0},
    // Modes.
    VocabularyWord{"lsb.wav", "L S B", 0},
    VocabularyWord{"usb.wav", "U S B", 0},
    VocabularyWord{"cw.wav", "C W", 0},
    VocabularyWord{"am.wav", "A M", 0},
    VocabularyWord{"fm.wav", "F M", 0},
    // Digits; "6" and "2" are also the names of the 6 m and 2 m bands.
    VocabularyWord{"0", "zero", 0},
    VocabularyWord{"1", "one", 0},
    VocabularyWord{"2", "two", 0},
    VocabularyWord{"3", "three", 0},
    VocabularyWord{"4", "four", 0},
    VocabularyWord{"5", "five", 0},
    VocabularyWord{"6", "six", 0},
    VocabularyWord{"7", "seven", 0},
    VocabularyWord{"8", "eight", 0},
    VocabularyWord{"9", "nine", 0},
    // The other band names.
    VocabularyWord{"160", "one sixty", 0},
    VocabularyWord{"80", "eighty", 0},
    VocabularyWord{"60", "sixty", 0},
    VocabularyWord{"40", "forty", 0},
    VocabularyWord{"30", "thirty", 0},
    VocabularyWord{"20", "twenty", 0},
    VocabularyWord{"17", "seventeen", 0},
    VocabularyWord{"15", "fifteen", 0},
    VocabularyWord{"12", "twelve", 0},
    VocabularyWord{"10", "ten", 0},
    VocabularyWord{"70", "seventy", 0},
};

// The name of the recording without its folder and its ".wav".
std::string_view recordingName(std::string_view word) {
  std::size_t folderEnd = word.find_last_of("\\/");
  if (folderEnd != std::string_view::npos) word.remove_prefix(folderEnd + 1);
  constexpr std::string_view extension = ".wav";
  if (word.size() > extension.size() &&
      sameLetters(word.substr(word.size() - extension.size()), extension)) {
    word.remove_suffix(extension.size());
  }
  return word;
}

}  // namespace

std::span<const VocabularyWord> vocabulary() { return words; }

std::string_view wordText(std::string_view word) {
  std::string_view name = recordingName(word);
  for (const VocabularyWord& entry : words) {
    if (sameLetters(recordingName(entry.word), name)) return entry.sentence;
  }
  return {};
}
