// The key walk: the whole program, from its greeting to its end, on the
// scripted platform, against quelmo-sim's simulated radio, with the keys of
// every family of docs/keys.md, typed entries, channels, tuning both ways,
// a radio that answers late or across two reads, a radio lost and found,
// and every way of ending. It prints, in order, every command that went to
// the radio, every word said and every text shown, then the traffic log and
// memory.dat of each run. Everything is deterministic: the clock is the
// walk's own (50 ms a tick, words take no time), and the radio's noise has a
// fixed seed.
//
// scripts/compare-walk builds this walk at two commits and compares what it
// prints: a change that should leave the radio, the log and the words alone
// shows there byte for byte.
//
//   radio_walk            prints the walk
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/lifecycle.h"
#include "platform/scripted_platform.h"
#include "platform/virtual_keys.h"
#include "sim/transceiver.h"
#include "state/front_panel.h"

namespace {

constexpr long tickMs = 50;
constexpr long noiseStepMs = 100;  // the S-meter wanders and the SWR drifts this often
constexpr long splitGapMs = 30;    // a reply cut in two: the second part this much later

// How the radio answers: after a delay, whole or in two parts.
struct Line {
  long delayMs = 0;
  bool split = false;
};

// The radio on the scripted port, the walk's clock and what is printed. The
// radio takes each command the moment it is written; its replies wait at
// the port until their time has come.
class WalkPlatform : public ScriptedPlatform {
 public:
  WalkPlatform(std::ostream& out, const Line& line, bool startOff)
      : out_(out), line_(line), radio_(7, startOff) {}

  Transceiver& radio() { return radio_; }
  long now() const { return nowMs_; }

  // The script's next step, or the close request once it has run out.
  std::deque<std::string> script;

  void waitEvents() override {
    if (script.empty()) {
      mark("close (the walk has ended)");
      deliver(event::closeRequest, 0);
      return;
    }
    std::string step = script.front();
    script.pop_front();
    runStep(step);
  }

  int writeSerial(int port, const char* text, int length) override {
    int written = ScriptedPlatform::writeSerial(port, text, length);
    for (int i = 0; i < written; ++i) {
      if (text[i] != ';') {
        command_ += text[i];
        continue;
      }
      print("tx " + command_ + ";");
      if (auto reply = radio_.handleCommand(command_)) answer(*reply);
      command_.clear();
    }
    return written;
  }

  int serialBytesWaiting(int port) override {
    arrive();
    return ScriptedPlatform::serialBytesWaiting(port);
  }

  int setSerialReadMode(int port, int multiplier) override {
    readMultiplier_ = multiplier;
    return ScriptedPlatform::setSerialReadMode(port, multiplier);
  }

  // A waiting read waits for its bytes at most multiplier ms a byte asked for.
  int readSerial(int port, char* buffer, int maximum) override {
    arrive();
    if (readMultiplier_ > 0 && isPortOpen(port)) {
      long until = nowMs_ + static_cast<long>(readMultiplier_) * maximum;
      while (pending() < maximum && !outgoing_.empty() && outgoing_.front().dueMs <= until) {
        nowMs_ = std::max(nowMs_, outgoing_.front().dueMs);
        arrive();
      }
      if (pending() < maximum) nowMs_ = std::max(nowMs_, until);
    }
    return ScriptedPlatform::readSerial(port, buffer, maximum);
  }

  void playSound(const std::string& name, bool wait) override {
    ScriptedPlatform::playSound(name, wait);
    print("say " + wordOf(name) + (wait ? "" : " (not waited for)"));
  }
  void pauseForSound(const std::string& name) override {
    ScriptedPlatform::pauseForSound(name);
    print("pause " + wordOf(name));
  }
  bool playSoundUntilKey(const std::string& name) override {
    bool whole = ScriptedPlatform::playSoundUntilKey(name);
    print("say " + wordOf(name) + (whole ? " (until a key)" : " (cut by a key)"));
    return whole;
  }
  void printText(std::string_view text) override {
    ScriptedPlatform::printText(text);
    const PrintedText& shown = printed.back();
    print("show " + std::to_string(shown.x) + "," + std::to_string(shown.y) + " \"" + shown.text +
          "\"");
  }

 private:
  struct Outgoing {
    long dueMs;
    std::string bytes;
  };

  // The recording a word names, as the case-free look-up finds it.
  static std::string wordOf(const std::string& name) {
    std::string word = name;
    if (word.rfind("wave\\", 0) == 0) word.erase(0, 5);
    for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (word.size() > 4 && word.compare(word.size() - 4, 4, ".wav") == 0)
      word.resize(word.size() - 4);
    return word;
  }

  void print(const std::string& line) {
    if (!marker_.empty()) {
      out_ << marker_ << "\n";
      marker_.clear();
    }
    out_ << "  " << line << "\n";
  }
  // Printed before the next line, if there is one.
  void mark(const std::string& what) { marker_ = "@" + std::to_string(nowMs_) + " " + what; }

  // Replies keep their order: none goes out before the one ahead of it.
  void answer(const std::string& reply) {
    long due = std::max(nowMs_ + line_.delayMs, lastDueMs_);
    lastDueMs_ = due;
    if (!line_.split || reply.size() < 2) {
      outgoing_.push_back({due, reply});
      return;
    }
    std::size_t half = reply.size() / 2;
    outgoing_.push_back({due, reply.substr(0, half)});
    outgoing_.push_back({due + splitGapMs, reply.substr(half)});
    lastDueMs_ = due + splitGapMs;
  }

  void arrive() {
    while (!outgoing_.empty() && outgoing_.front().dueMs <= nowMs_) {
      if (plugged_) queueReply(outgoing_.front().bytes);
      outgoing_.pop_front();
    }
  }
  int pending() {
    // What a read would take now: the bytes queued at the port.
    return ScriptedPlatform::serialBytesWaiting(1);
  }

  void deliver(int code, int param) {
    if (handler) handler(code, param);
  }

  void tick() {
    nowMs_ += tickMs;
    while (nextNoiseMs_ <= nowMs_) {
      radio_.wanderSMeter();
      radio_.driftSwr();
      nextNoiseMs_ += noiseStepMs;
    }
    arrive();
    mark("tick");
    deliver(event::timerTick, 0);
  }

  void press(int code, const std::string& name) {
    mark("key " + name);
    deliver(event::keyDown, code);
    deliver(event::keyUp, code);
  }

  void runStep(const std::string& step) {
    static const std::map<std::string, int> named = {
        {"Enter", key::enter},     {"PgUp", key::pageUp},    {"PgDn", key::pageDown},
        {"Up", key::up},           {"Down", key::down},      {"Left", key::left},
        {"Right", key::right},     {"=", key::equals},       {"-", key::minus},
        {".", key::point},         {",", key::comma},        {"F1", key::f1},
        {"F2", key::f2},           {"F3", key::f3},          {"F4", key::f4},
        {"F5", key::f5},           {"F6", key::f6},          {"F9", key::f9},
        {"Shift", key::shift},     {"Ctrl", key::ctrl},      {"Ins", key::insert},
        {"Win", key::leftWindows}, {"Bksp", key::backspace}, {"Kp1", key::keypad0 + 1},
        {"Esc", key::escape},      {"Space", key::space},
    };
    std::istringstream words(step);
    std::string verb;
    words >> verb;
    if (verb[0] == '~') {  // ~N: N ticks
      for (int i = std::stoi(verb.substr(1)); i > 0; --i) tick();
    } else if (verb == "freq") {  // the radio's own knob
      long hz = 0;
      words >> hz;
      radio_.setFrequency(hz);
      mark("knob freq " + std::to_string(hz));
    } else if (verb == "mode") {
      std::string mode;
      words >> mode;
      radio_.setMode(mode[0]);
      mark("knob mode " + mode);
    } else if (verb == "off") {
      radio_.switchOff();
      mark("radio off");
    } else if (verb == "on") {
      radio_.switchOn();
      mark("radio on");
    } else if (verb == "unplug") {
      unplug(1);
      portAvailable = false;
      plugged_ = false;
      mark("unplugged");
    } else if (verb == "plug") {
      portAvailable = true;
      plugged_ = true;
      mark("plugged in");
    } else if (verb == "close") {
      mark("close request");
      deliver(event::closeRequest, 0);
    } else if (verb == "cut") {  // a key is pressed during the Nth word said until a key
      words >> keyDuringSound;
    } else if (named.count(verb) != 0) {
      press(named.at(verb), verb);
    } else if (verb.size() == 1) {  // a letter or a digit of the main keyboard
      press(std::toupper(static_cast<unsigned char>(verb[0])), verb);
    } else {
      std::fprintf(stderr, "radio_walk: unknown step %s\n", step.c_str());
      std::exit(2);
    }
  }

  std::ostream& out_;
  Line line_;
  Transceiver radio_;
  long nowMs_ = 0;
  long nextNoiseMs_ = noiseStepMs;
  long lastDueMs_ = 0;
  int readMultiplier_ = -1;
  bool plugged_ = true;
  std::string command_;
  std::string marker_;
  std::deque<Outgoing> outgoing_;
};

struct Run {
  std::string name;
  std::vector<std::string> config;  // quelmo.cfg
  Line line;
  bool radioStartsOff = false;
  std::string script;  // steps separated by blanks; "~N" is N ticks
};

std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The file's lines, each marked, its line ends shown.
void printFile(std::ostream& out, const std::string& name) {
  out << "== " << name << "\n";
  std::string text = readFile(name);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size() - 1;
    std::string line = text.substr(start, end - start + 1);
    for (char& c : line) {
      if (c == '\r') c = '|';
      if (c == '\n') c = '/';
    }
    out << "  " << line << "\n";
    start = end + 1;
  }
}

void walk(std::ostream& out, const Run& run) {
  out << "==== " << run.name << "\n";
  std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                 ("quelmo-walk-" + std::to_string(::getpid()) + "-" + run.name);
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  {
    std::ofstream config("quelmo.cfg", std::ios::binary);
    for (const std::string& line : run.config) config << line << "\r\n";
  }
  WalkPlatform platform(out, run.line, run.radioStartsOff);
  std::istringstream steps(run.script);
  for (std::string step; steps >> step;) {
    // "freq 14074000" and the like are one step of two words.
    if (step == "freq" || step == "mode" || step == "cut") {
      std::string value;
      steps >> value;
      step += " " + value;
    }
    platform.script.push_back(step);
  }
  {
    FrontPanel panel(platform);
    runQuelmo(panel);
  }
  printFile(out, "debug.dat");
  printFile(out, "memory.dat");
  std::filesystem::current_path(previous);
  std::filesystem::remove_all(folder);
}

std::vector<std::string> config(const std::string& swr, const std::string& tune,
                                const std::string& bands, const std::string& powerSwitch,
                                const std::vector<std::string>& options = {}) {
  std::vector<std::string> lines = {"port1",
                                    "SPEED=38400",
                                    "POWER=100",
                                    "SWR=" + swr,
                                    "TUN=" + tune,
                                    "BANDMAX=" + bands,
                                    "PWRCTL=" + powerSwitch,
                                    "DEBUG=1"};
  lines.insert(lines.end(), options.begin(), options.end());
  return lines;
}

// Every key family of docs/keys.md, at a person's pace and typed ahead.
const char* const everyKey =
    // Before the radio's first answer: help, and "not connected".
    "H F ~8 F ~4 "
    // The frequency steps, one after another and then at a pace.
    "Right Right Left PgUp PgDn = - ~6 F Up Up Down ~6 F Z ~6 F "
    "Right ~2 Right ~3 PgUp ~1 PgUp ~5 Left ~7 F "
    // Typed frequencies: with a point, without, on 2 m, a leading zero, a
    // comma, above 439 MHz, and the refused ones.
    "E 7 . 1 Enter ~6 F E 1 4 . 2 5 Enter ~6 F E 1 4 Enter ~6 F "
    "E 1 4 5 . 5 Enter ~6 F PgUp PgUp ~6 PgDn ~6 F Z ~6 F "
    "E 0 7 . 1 Enter ~6 F E 1 4 , 2 Enter ~8 F E 4 4 2 Enter ~8 F "
    "E 4 4 0 . Enter ~4 E Enter ~4 E 0 0 Enter ~4 E 1 2 3 4 Enter ~4 E 1 2 3 . Enter ~4 "
    "E 1 . 2 3 4 5 6 7 8 9 Enter ~4 E 1 4 . W 2 5 Enter ~6 F E 1 4 C 3 Enter ~6 F "
    "E 7 . 1 Enter ~6 F E 1 0 . 4 Enter ~6 F B Up ~4 Down ~4 "
    "E 2 8 . 4 Enter ~6 F Kp1 Bksp Esc Space F9 ~6 "
    // Modes, and FM only from 10 m up.
    "M ~4 M ~4 M ~4 M ~4 M ~4 M ~4 F E 7 . 0 5 Enter ~6 M M M M M ~6 F "
    // Bands by digit and by the arrows, up, down and round the ends.
    "B 6 ~6 F B Up ~8 F B Up Up ~12 F B Down ~8 F B 0 ~6 B 1 ~6 B Down ~8 F B 4 ~6 F "
    "B Up Down ~8 B Up Up Up Down ~16 F "
    // The levels: width, power, AF and RF gain, to their ends.
    "W Up Up Down ~4 W Up Up Up Up Up Up Up Up Up W Down Down Down Down Down Down Down "
    "Down Down Down Down Down Down Down W "
    "P Up ~2 Down Down ~2 P Down Down Down Down Down Down Down Down Down Down Down Down P "
    "Up Up Up Up Up Up Up Up Up Up Up Up P "
    "A Up Up Down ~2 A Up Up Up Up Up Up Up Up Up Up Up Up Up Up Up Up Up Up Up Up Up ~2 "
    "A Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down "
    "Down Down Down Down Down Down Down Down Down ~2 "
    "R Up Down ~2 R Down Down Down Down Down Down Down Down Down Down Down Down Down Down Down "
    "Down Down Down Down Down Down Down Down Down Down Down Up Up Up Up Up Up Up Up Up Up Up "
    "Up Up Up Up Up Up Up Up Up Up Up Up Up Up Up ~2 F "
    // The S-meter, and the receiver functions on and off.
    "S ~2 S ~5 S ~3 F1 ~2 F1 ~2 F2 F2 F3 F3 F4 F4 F5 F5 F6 ~2 F6 ~4 "
    // Keys that do nothing, and keys with no name.
    "Shift Ctrl Ins Win ~2 F "
    // Channels: stored, recalled, empty, cancelled, and the digit after B.
    "C 5 ~2 E 2 1 . 3 Enter ~6 G 5 ~6 F G 8 ~2 C F G Up ~2 G 3 ~6 F "
    "B C 1 ~8 F G 1 ~6 F "
    // The knob, then keys within a poll of it and after it.
    "freq 14074000 ~1 F ~6 F freq 7155500 ~6 Z ~6 F freq 21300000 ~1 PgUp ~6 F "
    "mode 2 ~6 F M ~6 F ";

// The tuning, one way or the other, with keys refused while it lasts.
const char* const tuning =
    "T ~8 S ~4 F E M ~4 S ~6 T ~6 F "
    "T ~2 T ~2 T T ~6 F ";

Run quickRadio() {
  return {"a prompt radio, the radio's tuner",
          config("0", "0", "7", "0"),
          {0, false},
          false,
          std::string(everyKey) + tuning + "~4 Q"};
}

Run lateRadio() {
  return {"a late radio, the carrier, each SWR said in full once",
          config("1", "1", "7", "0"),
          {60, false},
          false,
          std::string(everyKey) + tuning + "T ~9 S ~4 Q"};
}

Run slowLine() {
  return {"replies across two reads, changes at the radio said, the SWR said short",
          config("2", "1", "1", "0", {"SPEAK_RADIO_CHANGES=1", "SPEECH_CUT=1"}),
          {30, true},
          false,
          std::string(everyKey) + tuning +
              // Changes at the radio's own knobs, said once they rest; the
              // mode's variants and a mode with no word.
              "freq 14250000 ~30 F mode 7 ~30 F mode 3 ~30 mode D ~30 mode 5 ~30 mode 4 ~30 "
              "mode B ~30 mode 8 ~30 mode 2 ~30 F freq 7100000 ~4 F ~30 "
              // A key cuts the phrase.
              "cut 2 F ~4 cut 1 T ~10 T ~6 B 6 ~6 F ~6 close"};
}

Run powerSwitchedRadio() {
  return {"a very late radio switched by the program, lost and found",
          config("1", "1", "6", "1"),
          {170, false},
          true,
          "~20 F E 1 4 . 2 Enter ~10 F T ~10 "
          // Lost while tuning: the end goes again when it answers.
          "off ~30 F T ~4 F ~10 on ~20 F "
          // Unplugged and plugged in again.
          "unplug ~30 F plug ~30 F PgUp ~10 F "
          // Lost while tuning, and the end while lost.
          "T ~10 off ~30 Q"};
}

Run endsWhileTuning() {
  return {"the close box while the tuner tunes",
          config("0", "0", "7", "0"),
          {0, false},
          false,
          "~8 B 6 ~6 T ~10 close"};
}

Run endsOnCarrier() {
  return {"the quit key while the carrier is on, the radio late",
          config("1", "1", "7", "1"),
          {120, false},
          false,
          "~12 PgUp PgUp T ~10 S Q"};
}

}  // namespace

int main() {
  for (const Run& run : {quickRadio(), lateRadio(), slowLine(), powerSwitchedRadio(),
                         endsWhileTuning(), endsOnCarrier()}) {
    walk(std::cout, run);
  }
  return 0;
}
