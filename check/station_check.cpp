#include "check/station_check.h"

#include <chrono>
#include <optional>
#include <thread>
#include <vector>

#include "app/options.h"
#include "check/line_forms.h"
#include "radio/link_fault.h"
#include "state/band_table.h"
#include "state/words.h"

namespace {

using Clock = std::chrono::steady_clock;

// How long the radio has to answer "ID;", and to be connected to first when
// it is across the network.
constexpr auto answerWait = std::chrono::seconds(1);
constexpr auto connectWait = std::chrono::seconds(3);
// rigctld waits for the radio as long as its own time-out and tries, some
// seconds for a radio that is off.
constexpr auto rigctldWait = std::chrono::seconds(5);
constexpr auto pause = std::chrono::milliseconds(20);

std::vector<std::string> readLines(const std::string& name) {
  std::vector<std::string> lines;
  TextFile file;
  if (file.open(name, "R") != 0) return lines;
  // Whole, so that an overlong line is told with its length.
  std::string line;
  while (file.readLine(line, TextFile::largestReadable) == 0) lines.push_back(line);
  // Blank lines at the end of the file are not lines of it.
  while (!lines.empty() && lines.back().empty() && lines.size() > 8) lines.pop_back();
  return lines;
}

void speakDigits(FrontPanel& p, std::string_view digits) {
  for (char c : digits) {
    if (c >= '0' && c <= '9') p.speakWord(word::digit(c - '0'));
  }
}

void speakOnOff(FrontPanel& p, word::Word subject, bool on) {
  p.speakWord(subject);
  p.speakWord(on ? word::on : word::off);
}

std::string onOff(int setting) { return setting == 1 ? "on" : "off"; }

// Which speech the program will use; this report is said through it.
void reportSpeech(const FrontPanel& p, std::ostream& out) {
  out << "Speech: ";
  if (p.systemSpeech == 1) {
    out << "the system's speech, in your own voice (SYSTEM_SPEECH=1); this report is said "
           "through it\n";
  } else if (!p.noSystemSpeech.empty()) {
    out << "the recorded words of the folder wave: SYSTEM_SPEECH=1 asks for the system's "
           "speech, which cannot be used ("
        << p.noSystemSpeech << ")\n";
  } else {
    out << "the recorded words of the folder wave\n";
  }
}

// What the program understood, a line each, in text and in words.
void reportSettings(FrontPanel& p, std::ostream& out, const PortDescriber& whereItLeads) {
  std::string port = std::to_string(p.comPort);
  out << "quelmo.cfg, as Quelmo reads it:\n";
  if (p.rigctldAddress.empty()) {
    out << "  Line 1, port " << port << ": " << whereItLeads(p.comPort) << "\n";
    p.speakWord(word::port);
    speakDigits(p, port);
  } else {
    out << "  Line 1: not used, the radio is reached through rigctld at " << p.rigctldAddress
        << " (option RIGCTLD)\n";
  }

  std::string speed = std::to_string(p.baudRate);
  out << "  Line 2, speed: " << speed << " bits per second\n";
  p.speakWord(word::speed);
  speakDigits(p, speed);

  out << "  Line 3, power: " << p.powerWatts << " watts\n";
  p.speakWord(word::power);
  p.announcePower();

  static const char* const swrMeanings[] = {
      "spoken only when asked for with the S key",
      "every reading spoken while tuning, the first one in full",
      "every reading spoken while tuning, in the short form"};
  int swrSetting = static_cast<int>(p.swrAnnounce);
  int swr = std::clamp(swrSetting, 0, 2);
  out << "  Line 4, SWR " << swrSetting << ": " << swrMeanings[swr] << "\n";
  p.speakWord(word::swr);
  speakDigits(p, std::to_string(swrSetting));

  bool carrier = p.tuneCarrier != 0;
  out << "  Line 5, tuning " << p.tuneCarrier << ": "
      << (carrier ? "a low-power AM carrier, for an external tuner" : "the radio's own tuner")
      << "\n";
  p.speakWord(word::tune);
  p.speakWord(carrier ? word::carrier : word::tuner);

  int bands = bandsCovered(p.bandCoverage);
  out << "  Line 6, bands: 160 metres up to "
      << (bands == lastBand ? "70 centimetres" : std::string(bandTable[bands].word) + " metres")
      << "\n";
  p.speakWord(word::band);
  p.bandIndex = bands;
  p.announceBand();

  out << "  Line 7, power switching: " << onOff(p.powerControl)
      << (p.powerControl == 1 ? ", the radio is switched on at the start and off at the end"
                              : ", the radio's power is left alone")
      << "\n";
  speakOnOff(p, word::powerSwitching, p.powerControl == 1);

  out << "  Line 8, traffic log: " << onOff(p.debugFlag)
      << (p.debugFlag == 1 ? ", written to debug.dat" : "") << "\n";
  speakOnOff(p, word::trafficLog, p.debugFlag == 1);

  // The options, whether given or not (said only when a line is wrong).
  for (const OptionRow& option : optionTable()) {
    out << "  Option " << option.name << "=" << optionValueOf(option, p)
        << (isDefault(option, p) ? ", the default" : "") << " (" << option.meaning << ")\n";
  }
  reportSpeech(p, out);
  p.handOverUtterance();
}

bool reportForms(FrontPanel& p, std::ostream& out, const std::vector<std::string>& lines) {
  std::vector<FormWarning> warnings = formWarnings(lines);
  if (warnings.empty()) return true;
  out << "Lines whose form differs from the station guide (docs/station.md, station.txt on "
         "Windows):\n";
  int lastSaid = 0;
  for (const auto& warning : warnings) {
    std::string shown = warning.line <= static_cast<int>(lines.size())
                            ? ", \"" + firstChars(lines[warning.line - 1], Text::capacity) + "\""
                            : "";
    out << "  Line " << warning.line << shown << ": " << warning.text << "\n";
    if (warning.line == lastSaid) continue;
    p.speakWord(word::checkLine);
    speakDigits(p, std::to_string(warning.line));
    lastSaid = warning.line;
  }
  p.handOverUtterance();
  return false;
}

// Bytes as they came, those that are not printable shown as <NN>.
std::string shownBytes(const std::string& bytes) {
  std::string shown;
  for (unsigned char c : bytes) {
    if (c >= 32 && c < 127) {
      shown += static_cast<char>(c);
    } else {
      shown.push_back('<');  // no string sum: GCC 12's false -Wrestrict
      shown.append(zeroPadded(c, 2));
      shown.push_back('>');
    }
  }
  return shown;
}

// What came back for "ID;": the radio's reading of it (none when nothing
// whole came), whether an echo of the question came first (some radios and
// interfaces send every command back as it came), and the bytes shown when
// the reply is not an identity.
struct IdentityReply {
  std::optional<Reading> reading;
  std::string shown;
  bool echoed = false;
};

// Asks "ID;" once the link takes it (a network connection may still be on
// its way), then reads until an answer comes or a second passes. An echo
// of the question is set aside and the answer after it waited for. The
// reason is set when nothing came, or the port was closed meanwhile.
IdentityReply askIdentity(FrontPanel& p, LinkFault& fault) {
  Platform& platform = p.platform;
  IdentityReply reply;
  auto giveUp = Clock::now() + connectWait;
  while (!p.radio->ask(Question::identity)) {
    fault = linkFaultOf(platform.serialFault(p.comPort));
    if (fault != LinkFault::none) return reply;
    if (Clock::now() >= giveUp) {
      fault = LinkFault::noDevice;
      return reply;
    }
    std::this_thread::sleep_for(pause);
  }
  auto deadline = Clock::now() + answerWait;
  while (Clock::now() < deadline && !reply.reading) {
    std::vector<Reading> readings = p.radio->read();
    if (readings.empty()) std::this_thread::sleep_for(pause);
    for (const Reading& reading : readings) {
      if (reading.kind == Reading::Kind::echo) {
        reply.echoed = true;
        continue;
      }
      reply.reading = reading;
      reply.shown = reading.reply;
      break;
    }
  }
  if (!reply.reading) reply.shown = p.radio->unfinished();  // the start of a reply, or nothing
  fault = LinkFault::none;
  if (reply.shown.empty()) fault = linkFaultOf(platform.serialFault(p.comPort));
  if (reply.shown.empty() && fault == LinkFault::none) fault = LinkFault::noAnswer;
  return reply;
}

// Reads until a reading of the question's (its answer, a refusal or
// rigctld's word of an absent radio) comes, or the time is up.
std::optional<Reading> awaitReading(FrontPanel& p, Question question, Clock::time_point deadline) {
  while (Clock::now() < deadline) {
    std::vector<Reading> readings = p.radio->read();
    if (readings.empty()) std::this_thread::sleep_for(pause);
    for (const Reading& reading : readings) {
      bool refusal = reading.kind == Reading::Kind::refused || reading.kind == Reading::Kind::absent;
      if (refusal && reading.refused.question == question) return reading;
      if (reading.kind == Reading::Kind::frequency && question == Question::frequency) {
        return reading;
      }
      if (reading.kind == Reading::Kind::identity && question == Question::identity) {
        return reading;
      }
    }
  }
  return std::nullopt;
}

// Asks once the connection takes it (it may still be on its way); the
// reason when it is not made.
LinkFault askWhenConnected(FrontPanel& p, Question question) {
  auto giveUp = Clock::now() + connectWait;
  while (!p.radio->ask(question)) {
    LinkFault fault = overRigctld(linkFaultOf(p.platform.serialFault(p.comPort)));
    if (fault != LinkFault::none) return fault;
    if (Clock::now() >= giveUp) return LinkFault::noRigctld;
    std::this_thread::sleep_for(pause);
  }
  return LinkFault::none;
}

// Through rigctld: the model it serves, from its capabilities, and the
// radio's frequency, which only the radio itself can give.
bool reportRigctld(FrontPanel& p, std::ostream& out) {
  out << "The radio, through rigctld at " << p.rigctldAddress << ":\n";
  p.openRadioPort();
  LinkFault fault = askWhenConnected(p, Question::identity);
  std::optional<Reading> identity;
  if (fault == LinkFault::none) {
    identity = awaitReading(p, Question::identity, Clock::now() + answerWait);
    if (!identity) fault = overRigctld(linkFaultOf(p.platform.serialFault(p.comPort)));
    if (!identity && fault == LinkFault::none) fault = LinkFault::rigctldSilent;
  }
  if (fault == LinkFault::none && identity->kind == Reading::Kind::identity) {
    out << "  rigctld serves model " << identity->value << ", " << identity->identity << "\n";
    p.speakWord(word::identity);
    speakDigits(p, std::to_string(identity->value));
  }
  std::optional<Reading> frequency;
  if (fault == LinkFault::none) fault = askWhenConnected(p, Question::frequency);
  if (fault == LinkFault::none) {
    frequency = awaitReading(p, Question::frequency, Clock::now() + rigctldWait);
    if (!frequency) fault = LinkFault::rigctldSilent;
  }
  p.platform.closeSerial(p.comPort);
  if (frequency && frequency->kind == Reading::Kind::absent) {
    fault = frequency->switchedOff ? LinkFault::radioOff : LinkFault::radioSilent;
  }
  if (fault != LinkFault::none) {
    out << "  not reached: " << linkFaultText(fault) << "\n";
    p.speakWord(linkFaultWord(fault));
    return false;
  }
  if (frequency->kind != Reading::Kind::frequency) {
    out << "  the radio refused its frequency: rigctld answered " << frequency->reply << "\n";
    p.speakWord(word::refused);
    return false;
  }
  p.frequencyHz = frequency->value;
  std::string shown = frequencyDisplayText(frequency->value);
  p.freqDisplay = shown;
  out << "  the radio is on " << shown.substr(shown.find_first_not_of(' ')) << " MHz\n";
  p.speakWord(word::connected);
  p.announceFrequency();
  return true;
}

bool reportRadio(FrontPanel& p, std::ostream& out) {
  if (!p.rigctldAddress.empty()) return reportRigctld(p, out);
  out << "The radio, asked for its identity with ID;:\n";
  p.openRadioPort();
  LinkFault fault = linkFaultOf(p.platform.serialFault(p.comPort));
  IdentityReply reply;
  if (fault == LinkFault::none) reply = askIdentity(p, fault);
  p.platform.closeSerial(p.comPort);
  if (reply.echoed) {
    out << "  ID; came back as it was sent: the radio, or its interface, echoes every command\n";
  }
  if (fault == LinkFault::noAnswer && reply.echoed) {
    out << "  no answer after the echo: " << linkFaultText(fault) << "\n";
    p.speakWord(word::echoes);
    p.speakWord(linkFaultWord(fault));
    return false;
  }
  if (fault != LinkFault::none) {
    // A busy port while a Quelmo holds this folder: that Quelmo has the port.
    bool quelmoHere = fault == LinkFault::busy && !p.platform.holdWorkingFolder();
    out << "  not reached: "
        << (quelmoHere ? "the device is busy: Quelmo is running in this folder and holds it; "
                         "end it (Q) before the check"
                       : linkFaultText(fault))
        << "\n";
    p.speakWord(linkFaultWord(fault));
    if (quelmoHere) p.speakWord(word::running);
    return false;
  }
  if (!reply.reading || reply.reading->kind != Reading::Kind::identity) {
    out << "  it answered " << shownBytes(reply.shown)
        << ", which is not a CAT identity: check the speed on line 2 and the radio's CAT speed\n";
    p.speakWord(word::speedRefused);
    return false;
  }
  out << "  it answered " << reply.shown << "\n";
  if (reply.reading->model.empty()) {
    out << "  that names no model in Quelmo's table of Yaesu FT radios: Quelmo speaks to it as "
           "to an FT-991A (docs/station.md lists the models; a radio of another maker is "
           "reached through Hamlib's rigctld)\n";
  } else {
    out << "  an " << reply.reading->model << ": Quelmo speaks to it in its own forms\n";
  }
  p.speakWord(word::connected);
  p.speakWord(word::identity);
  speakDigits(p, reply.reading->identity);
  return true;
}

}  // namespace

int checkStation(FrontPanel& panel, std::ostream& out, const PortDescriber& whereItLeads) {
  if (!panel.readConfiguration()) {  // it has said "cfgnf"
    out << "quelmo.cfg is not in this folder: Quelmo would end at once.\n";
    return 1;
  }
  reportSettings(panel, out, whereItLeads);
  bool formsGood = reportForms(panel, out, readLines("quelmo.cfg"));
  bool radioAnswered = reportRadio(panel, out);
  if (formsGood && radioAnswered) {
    out << "The station is ready.\n";
    panel.speakWord(word::ok);
  }
  panel.handOverUtterance();  // with the system's speech: the radio's part
  out.flush();
  return formsGood && radioAnswered ? 0 : 1;
}
