#include "check/station_check.h"

#include <chrono>
#include <thread>
#include <vector>

#include "app/options.h"
#include "check/line_forms.h"
#include "radio/cat.h"
#include "radio/link_fault.h"
#include "state/band_table.h"

namespace {

using Clock = std::chrono::steady_clock;

// How long the radio has to answer "ID;", and to be connected to first when
// it is across the network.
constexpr auto answerWait = std::chrono::seconds(1);
constexpr auto connectWait = std::chrono::seconds(3);
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
  for (char c : digits) p.speakWord(std::string(1, c));
}

void speakOnOff(FrontPanel& p, const char* subject, bool on) {
  p.speakWord(subject);
  p.speakWord(on ? "on" : "off");
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
  out << "quelmo.cfg, as Quelmo reads it:\n"
      << "  Line 1, port " << port << ": " << whereItLeads(p.comPort) << "\n";
  p.speakWord("port");
  speakDigits(p, port);

  std::string speed = std::to_string(p.baudRate);
  out << "  Line 2, speed: " << speed << " bits per second\n";
  p.speakWord("speed");
  speakDigits(p, speed);

  out << "  Line 3, power: " << p.powerWatts << " watts\n";
  p.speakWord("Power");
  p.announcePower();

  static const char* const swrMeanings[] = {
      "spoken only when asked for with the S key",
      "every reading spoken while tuning, the first one in full",
      "every reading spoken while tuning, in the short form"};
  int swrSetting = static_cast<int>(p.swrAnnounce);
  int swr = std::clamp(swrSetting, 0, 2);
  out << "  Line 4, SWR " << swrSetting << ": " << swrMeanings[swr] << "\n";
  p.speakWord("SWR");
  speakDigits(p, std::to_string(swrSetting));

  bool carrier = p.tuneCarrier != 0;
  out << "  Line 5, tuning " << p.tuneCarrier << ": "
      << (carrier ? "a low-power AM carrier, for an external tuner" : "the radio's own tuner")
      << "\n";
  p.speakWord("tune");
  p.speakWord(carrier ? "carrier" : "tuner");

  int bands = bandsCovered(p.bandCoverage);
  out << "  Line 6, bands: 160 metres up to "
      << (bands == lastBand ? "70 centimetres" : std::string(bandTable[bands].word) + " metres")
      << "\n";
  p.speakWord("band");
  p.bandIndex = bands;
  p.announceBand();

  out << "  Line 7, power switching: " << onOff(p.powerControl)
      << (p.powerControl == 1 ? ", the radio is switched on at the start and off at the end"
                              : ", the radio's power is left alone")
      << "\n";
  speakOnOff(p, "pwrctl", p.powerControl == 1);

  out << "  Line 8, traffic log: " << onOff(p.debugFlag)
      << (p.debugFlag == 1 ? ", written to debug.dat" : "") << "\n";
  speakOnOff(p, "log", p.debugFlag == 1);

  // The options, whether given or not (said only when a line is wrong).
  for (const OptionRow& option : optionTable()) {
    double value = option.get(p);
    out << "  Option " << option.name << "=" << optionValueText(value)
        << (value == option.byDefault ? ", the default" : "") << " (" << option.meaning << ")\n";
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
    p.speakWord("checkline");
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
      shown += "<" + zeroPadded(c, 2) + ">";
    }
  }
  return shown;
}

bool isIdentity(const std::string& reply) {
  return reply.size() >= 4 && cat::sameLetters(reply, cat::identityQuery) && reply.back() == ';' &&
         reply.find_first_not_of("0123456789", 2) == reply.size() - 1;
}

// What came back for "ID;": the reply, and whether an echo of the query came
// first (some radios and interfaces send every command back as it came).
struct IdentityReply {
  std::string bytes;
  bool echoed = false;
};

const std::string identityQuery = std::string(cat::identityQuery) + std::string(cat::terminator);

// Sends "ID;" once the port takes bytes (a network connection may still be
// on its way), then collects what comes back until a ";" or a second passes.
// An echo of the query is set aside and the reply after it is waited for.
// The reason is set when nothing came, or the port was closed meanwhile.
IdentityReply askIdentity(FrontPanel& p, LinkFault& fault) {
  Platform& platform = p.platform;
  IdentityReply reply;
  auto giveUp = Clock::now() + connectWait;
  while (platform.writeSerial(p.comPort, identityQuery.data(), 3) != 3) {
    fault = linkFaultOf(platform.serialFault(p.comPort));
    if (fault != LinkFault::none) return reply;
    if (Clock::now() >= giveUp) {
      fault = LinkFault::noDevice;
      return reply;
    }
    std::this_thread::sleep_for(pause);
  }
  std::string& bytes = reply.bytes;
  auto deadline = Clock::now() + answerWait;
  while (Clock::now() < deadline && bytes.find(';') == std::string::npos) {
    char read[64];
    if (platform.serialBytesWaiting(p.comPort) > 0) {
      int count = platform.readSerial(p.comPort, read, sizeof read);
      bytes.append(read, static_cast<std::size_t>(std::max(count, 0)));
    } else {
      std::this_thread::sleep_for(pause);
    }
    if (bytes.rfind(identityQuery, 0) == 0) {
      bytes.erase(0, identityQuery.size());
      reply.echoed = true;
    }
  }
  fault = LinkFault::none;
  if (bytes.empty()) fault = linkFaultOf(platform.serialFault(p.comPort));
  if (bytes.empty() && fault == LinkFault::none) fault = LinkFault::noAnswer;
  return reply;
}

bool reportRadio(FrontPanel& p, std::ostream& out) {
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
    p.speakWord("echo");
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
    if (quelmoHere) p.speakWord("running");
    return false;
  }
  const std::string& answer = reply.bytes;
  if (!isIdentity(answer)) {
    out << "  it answered " << shownBytes(answer)
        << ", which is not a CAT identity: check the speed on line 2 and the radio's CAT speed\n";
    p.speakWord("badspeed");
    return false;
  }
  out << "  it answered " << answer << "\n";
  p.speakWord("connected");
  p.speakWord("id");
  speakDigits(p, middleChars(answer, 3, static_cast<int>(answer.size()) - 3));
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
    panel.speakWord("ok");
  }
  panel.handOverUtterance();  // with the system's speech: the radio's part
  out.flush();
  return formsGood && radioAnswered ? 0 : 1;
}
