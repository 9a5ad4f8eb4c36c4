#include "speech/vocabulary.h"

#include <array>
#include <cctype>

#include "state/words.h"

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
    VocabularyWord{word::quelmo, "quelmo", 0},
    VocabularyWord{word::configurationNotFound, "configuration file not found", 0},
    VocabularyWord{word::delay, "please wait", 2000},  // serves as the pause while the radio wakes
    VocabularyWord{word::help,
                   "Keys. B, band. F, frequency. E, enter frequency. M, mode. W, filter width. "
                   "P, power. A, A F gain. R, R F gain. S, S meter, or S W R while tuning. "
                   "Up and down arrows, adjust. Left and right, one hundred hertz. Page up and "
                   "page down, ten kilohertz. Equals and minus, one megahertz. "
                   "Z, round to kilohertz. C and a digit, store channel. G and a digit, get "
                   "channel. F1, preamp. F2, attenuator. F3, noise blanker. F4, noise reduction. "
                   "F5, notch. F6, speech processor. T, tune. H, help. Q, quit.",
                   0},
    VocabularyWord{word::quit, "goodbye", 0},
    // Another quelmo has the working folder.
    VocabularyWord{word::running, "already running", 0},
    VocabularyWord{word::notSaved, "memories not saved", 0},  // a store or the end could not save
    // Refusals and confirmations.
    VocabularyWord{word::tuneIsOn, "tune is on", 0},
    VocabularyWord{word::notConnected, "not connected", 0},
    VocabularyWord{word::connected, "connected", 0},
    // The link to the radio: lost, and why (radio/link_fault.cpp).
    VocabularyWord{word::lost, "radio lost", 0},
    VocabularyWord{word::noDevice, "no such device", 0},
    VocabularyWord{word::denied, "permission denied", 0},
    VocabularyWord{word::busy, "port busy", 0},
    VocabularyWord{word::speedRefused, "speed refused", 0},
    VocabularyWord{word::noAnswer, "no answer", 0},
    VocabularyWord{word::noServer, "no server", 0},  // a radio across the network
    VocabularyWord{word::serverBusy, "server busy", 0},
    VocabularyWord{word::noAddress, "address not in digits", 0},
    VocabularyWord{word::notUnderstood, "radio not understood", 0},
    VocabularyWord{word::unknownModel, "radio model unknown", 0},
    VocabularyWord{word::radioOff, "radio off", 0},  // rigctld says the radio is switched off
    // The station check (check/station_check.cpp).
    VocabularyWord{word::port, "port", 0},
    VocabularyWord{word::speed, "speed", 0},
    VocabularyWord{word::tuner, "radio tuner", 0},
    VocabularyWord{word::carrier, "carrier", 0},
    VocabularyWord{word::powerSwitching, "power switching", 0},
    VocabularyWord{word::trafficLog, "traffic log", 0},
    VocabularyWord{word::checkLine, "check line", 0},
    VocabularyWord{word::identity, "I D", 0},
    VocabularyWord{word::echoes, "echoes commands", 0},
    VocabularyWord{word::ok, "okay", 0},
    VocabularyWord{word::refused, "refused", 0},  // the radio refused a command
    // The radio has no such function or level.
    VocabularyWord{word::notAvailable, "not available", 0},
    VocabularyWord{word::invalid, "invalid", 0},
    VocabularyWord{word::option, "option", 0},  // "option invalid": a line of quelmo.cfg not taken
    VocabularyWord{word::maximum, "maximum", 0},
    // Controls and functions.
    VocabularyWord{word::afGain, "A F gain", 0},
    VocabularyWord{word::rfGain, "R F gain", 0},
    VocabularyWord{word::power, "power", 0},
    VocabularyWord{word::band, "band", 0},
    VocabularyWord{word::enterFrequency, "enter frequency", 0},
    VocabularyWord{word::storeChannel, "store channel", 0},
    VocabularyWord{word::getChannel, "get channel", 0},
    VocabularyWord{word::notch, "notch", 0},
    VocabularyWord{word::speechProcessor, "speech processor", 0},
    VocabularyWord{word::tune, "tune", 0},
    VocabularyWord{word::preamp, "preamp", 0},
    VocabularyWord{word::attenuator, "attenuator", 0},
    VocabularyWord{word::noiseBlanker, "noise blanker", 0},
    VocabularyWord{word::noiseReduction, "noise reduction", 0},
    VocabularyWord{word::on, "on", 0},
    VocabularyWord{word::off, "off", 0},
    // Meters, units and subjects.
    VocabularyWord{word::point, "point", 0},
    VocabularyWord{word::megahertz, "megahertz", 0},
    VocabularyWord{word::kilohertz, "kilohertz", 0},
    VocabularyWord{word::watts, "watts", 0},
    VocabularyWord{word::metres, "metres", 0},
    VocabularyWord{word::s, "S", 0},
    VocabularyWord{word::plus, "plus", 0},
    VocabularyWord{word::swr, "S W R", 0},
    VocabularyWord{word::greaterThanFive, "greater than five", 0},
    VocabularyWord{word::toOne, "to one", 0},
    VocabularyWord{word::bandwidth, "bandwidth", 0},
    VocabularyWord{word::noBand, "no band", 0},
    VocabularyWord{word::noReading, "no reading", 0},
    // Modes.
    VocabularyWord{word::lsb, "L S B", 0},
    VocabularyWord{word::usb, "U S B", 0},
    VocabularyWord{word::cw, "C W", 0},
    VocabularyWord{word::am, "A M", 0},
    VocabularyWord{word::fm, "F M", 0},
    // Digits; "6" and "2" are also the names of the 6 m and 2 m bands.
    VocabularyWord{word::digit(0), "zero", 0},
    VocabularyWord{word::digit(1), "one", 0},
    VocabularyWord{word::digit(2), "two", 0},
    VocabularyWord{word::digit(3), "three", 0},
    VocabularyWord{word::digit(4), "four", 0},
    VocabularyWord{word::digit(5), "five", 0},
    VocabularyWord{word::digit(6), "six", 0},
    VocabularyWord{word::digit(7), "seven", 0},
    VocabularyWord{word::digit(8), "eight", 0},
    VocabularyWord{word::digit(9), "nine", 0},
    // The other band names.
    VocabularyWord{word::band160, "one sixty", 0},
    VocabularyWord{word::band80, "eighty", 0},
    VocabularyWord{word::band60, "sixty", 0},
    VocabularyWord{word::band40, "forty", 0},
    VocabularyWord{word::band30, "thirty", 0},
    VocabularyWord{word::band20, "twenty", 0},
    VocabularyWord{word::band17, "seventeen", 0},
    VocabularyWord{word::band15, "fifteen", 0},
    VocabularyWord{word::band12, "twelve", 0},
    VocabularyWord{word::band10, "ten", 0},
    VocabularyWord{word::band70, "seventy", 0},
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
