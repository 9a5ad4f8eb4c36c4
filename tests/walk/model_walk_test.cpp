// Every model of the family, end to end on the scripted platform: the whole
// program from its opening sequence to its end against quelmo-sim's radio
// as that model, through the opening, F, the steps, the band arrows and
// digits, the mode, every level and switch, S and the SWR while tuning
// (with the radio answering them and without), the tuner, the carrier
// started off a whole kilohertz, C and G, and Q. The simulated radio takes
// only its own model's forms and refuses every other with "?;": a walk in
// which it refuses nothing is a walk in the radio's own dialect. What the
// radio holds afterwards is checked against the keys.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/scripted_platform.h"
#include "platform/virtual_keys.h"
#include "radio/yaesu/cat.h"
#include "radio/yaesu/models.h"
#include "sim/transceiver.h"
#include "state/front_panel.h"

namespace {

using Words = std::vector<std::string>;

// The simulated radio on the scripted port: each command is carried out the
// moment it is written, and its reply waits at the port for the next read.
class RadioPort : public ScriptedPlatform {
 public:
  explicit RadioPort(const yaesu::Model& model) : radio(7, false, model) {}

  Transceiver radio;
  std::vector<std::string> heard;    // every command since the start, records cleared or not
  std::vector<std::string> refused;  // the commands it answered "?;"

  int writeSerial(int port, const char* text, int length) override {
    int written = ScriptedPlatform::writeSerial(port, text, length);
    for (int i = 0; i < written; ++i) {
      if (text[i] != ';') {
        command_ += text[i];
        continue;
      }
      heard.push_back(command_ + ";");
      if (auto reply = radio.handleCommand(command_)) {
        if (*reply == "?;") refused.push_back(command_ + ";");
        queueReply(*reply);
      }
      command_.clear();
    }
    return written;
  }

 private:
  std::string command_;
};

class ModelWalk : public ::testing::TestWithParam<const yaesu::Model*> {
 protected:
  ModelWalk() {
    folder_ = std::filesystem::temp_directory_path() /
              ("quelmo-model-walk-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
  }
  ~ModelWalk() override {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(folder_);
  }

  const yaesu::Model& model = *GetParam();
  RadioPort port{model};
  Transceiver& radio = port.radio;
  FrontPanel panel{port};

  // The station: port 1, 100 W, all bands, the radio's tuner or a carrier.
  void start(int carrier) {
    panel.comPort = 1;
    panel.baudRate = 38400;
    panel.powerWatts = 100;
    panel.tuneCarrier = carrier;
    panel.bandCoverage = "7";
    panel.versionText = "1.9";
    panel.waveDir = "wave\\";
    panel.openingSequence();
    panel.running = 1;
    ticks(4);
  }

  void ticks(int count) {
    for (int i = 0; i < count; ++i) {
      if (i % 2 == 0) {
        radio.wanderSMeter();
        radio.driftSwr();
      }
      panel.handleEvent(event::timerTick, 0);
    }
  }
  // A key, then the poll's ticks until the radio has answered twice.
  void press(int code) {
    panel.handleEvent(event::keyDown, code);
    panel.handleEvent(event::keyUp, code);
    ticks(8);
  }
  void type(const std::vector<int>& keys) {
    for (int code : keys) press(code);
  }
  Words heardFor(const std::vector<int>& keys) {
    port.clearRecords();
    type(keys);
    return port.words();
  }
  std::string setting(std::string_view head) const { return radio.setting(std::string(head)); }
  // The commands sent since the records were cleared, the poll's questions aside.
  std::vector<std::string> keyCommands() const {
    std::vector<std::string> sent;
    for (const std::string& command : port.commands()) {
      if (command != "FA;" && command != "SM0;" && command != "RM6;" && command != "ID;") {
        sent.push_back(command);
      }
    }
    return sent;
  }

  std::filesystem::path folder_;
  std::filesystem::path previous_;
};

// The opening, and every key family: the radio is spoken to in its own
// forms throughout, and holds what the keys chose.
TEST_P(ModelWalk, EveryKeyInTheRadiosOwnDialect) {
  start(0);
  const std::vector<std::string> sent = port.commands();
  ASSERT_GE(sent.size(), 3u);
  EXPECT_EQ(sent[1], "ID;");  // asked before anything is set
  EXPECT_EQ(panel.radioIdentified, 1);
  EXPECT_EQ(panel.connectedSpoken, 1);
  EXPECT_EQ(radio.frequencyHz(), 7'100'000);
  EXPECT_EQ(setting(model.power.head), "100");
  EXPECT_EQ(panel.freqDisplay, "  7.100000");

  EXPECT_EQ(heardFor({'F'}), (Words{"lsb", "7", "point", "1", "mhz"}));
  type({key::pageUp, key::right, key::right, key::left, key::equals});
  EXPECT_EQ(radio.frequencyHz(), 8'110'100);
  type({key::minus, 'Z'});
  EXPECT_EQ(radio.frequencyHz(), 7'110'000);

  // A band by its digit, then by the arrows: 20 m in USB, then 17 m.
  type({'B', '6'});
  EXPECT_EQ(radio.frequencyHz(), 14'200'000);
  EXPECT_EQ(radio.modeCharacter(), yaesu::modeCharacter(model, {2, 0}));
  type({'B', key::up});
  EXPECT_EQ(radio.frequencyHz(), 18'100'000);
  EXPECT_EQ(panel.bandIndex, 7);
  type({'B', key::down, key::down});
  EXPECT_EQ(radio.frequencyHz(), 10'100'000);

  // Every mode the program has on 10 m, in the radio's characters.
  type({'E', '2', '8', key::point, '5', key::enter});
  EXPECT_EQ(radio.frequencyHz(), 28'500'000);
  std::vector<int> modes;
  for (int i = 0; i < 5; ++i) {
    press('M');
    modes.push_back(panel.modeIndex);
    EXPECT_EQ(radio.modeCharacter(), yaesu::modeCharacter(model, {panel.modeIndex, 0}));
  }
  std::sort(modes.begin(), modes.end());
  EXPECT_EQ(modes, (std::vector<int>{1, 2, 3, 4, 5}));

  // The levels to their ends.
  type({'W', key::up, key::up});
  EXPECT_NE(setting(model.width.head), "");
  for (int i = 0; i < 30; ++i) press(key::up);
  EXPECT_EQ(setting(model.width.head),
            zeroPadded(model.facts.widths.back().step, model.width.digits));
  for (int i = 0; i < 30; ++i) press(key::down);
  EXPECT_EQ(setting(model.width.head),
            zeroPadded(model.facts.widths.front().step, model.width.digits));
  press('P');
  for (int i = 0; i < 20; ++i) press(key::up);
  EXPECT_EQ(setting(model.power.head), zeroPadded(model.highestWatts, 3));
  for (int i = 0; i < 20; ++i) press(key::down);
  EXPECT_EQ(setting(model.power.head), zeroPadded(model.lowestWatts, 3));
  type({'A', key::up, 'R', key::down});
  EXPECT_EQ(setting(model.afGain.head), "060");
  EXPECT_EQ(setting(model.rfGain.head), "240");

  // Every switch both ways: those the radio lacks say so and send nothing.
  const struct {
    int key;
    const yaesu::SwitchForm& form;
    int FrontPanel::*flag;
    const char* word;
  } switches[] = {{key::f1, model.preamp, &FrontPanel::preampOn, "preamp"},
                  {key::f2, model.attenuator, &FrontPanel::attenuatorOn, "at"},
                  {key::f3, model.noiseBlanker, &FrontPanel::noiseBlankerOn, "nb"},
                  {key::f4, model.noiseReduction, &FrontPanel::noiseReductionOn, "nr"},
                  {key::f5, model.notch, &FrontPanel::notchOn, "notch"},
                  {key::f6, model.processor, &FrontPanel::processorOn, "spc"}};
  panel.focusControl = Focus::afGain;  // the keys send no frequency after them
  for (const auto& row : switches) {
    for (int time = 0; time < 2; ++time) {
      port.clearRecords();
      press(row.key);
      if (row.form.head.empty()) {
        EXPECT_EQ(port.words(), (Words{row.word, "notavailable"}));
        EXPECT_TRUE(keyCommands().empty());
        continue;
      }
      const bool on = panel.*row.flag == 1;
      EXPECT_EQ(port.words(), (Words{row.word, on ? "on" : "off"}));
      EXPECT_EQ(setting(row.form.head), std::string(1, on ? row.form.on : row.form.off))
          << row.word;
    }
  }

  // The S-meter, the tuner, and the SWR while it tunes.
  EXPECT_EQ(heardFor({'S'}).front(), "s");
  EXPECT_EQ(heardFor({'S'}).size(), 2u + (panel.sMeterDb > 0 ? 1u : 0u));
  press('T');
  EXPECT_EQ(setting(model.tuner.head), std::string(1, model.tuner.on));
  EXPECT_EQ(heardFor({'S'}), (Words{"SWR", "1", "point", "0", "21"}));
  press('T');
  EXPECT_EQ(setting(model.tuner.head), std::string(1, model.tuner.off));

  // A channel stored and got back after the radio has moved.
  type({'E', '1', '4', key::point, '0', '7', '4', key::enter, 'C', '5'});
  type({'E', '7', key::enter});
  EXPECT_EQ(heardFor({'G', '5'}).back(), "ok");
  EXPECT_EQ(radio.frequencyHz(), 14'074'000);

  port.clearRecords();
  panel.handleEvent(event::keyDown, 'Q');
  EXPECT_EQ(port.words(), Words{"quit"});
  std::ifstream saved("memory.dat", std::ios::binary);
  std::string memory{std::istreambuf_iterator<char>(saved), {}};
  EXPECT_NE(memory.find("\r\n2014074000\r\n"), std::string::npos) << memory;

  EXPECT_EQ(std::count(port.heard.begin(), port.heard.end(), "ID;"), 1) << "asked once";
  EXPECT_EQ(port.refused, std::vector<std::string>{}) << "every command in the model's forms";
}

// The carrier, started off a whole kilohertz, ends where it began; the SWR
// of a radio that never answers the SWR question, and the S-meter of one
// that never answers the S-meter question, are no readings.
TEST_P(ModelWalk, TheCarriersEndAndMetersTheRadioNeverGave) {
  radio.removeCommand(std::string(model.swr.query));
  radio.removeCommand(std::string(model.sMeter.query));
  start(1);
  type({key::right});
  EXPECT_EQ(radio.frequencyHz(), 7'100'100);
  EXPECT_EQ(heardFor({'S'}), (Words{"s", "noreading"}));
  press('T');
  EXPECT_TRUE(radio.transmitting());
  EXPECT_EQ(setting(model.power.head), "005");
  EXPECT_EQ(heardFor({'S'}), (Words{"SWR", "noreading"}));
  press('T');
  EXPECT_FALSE(radio.transmitting());
  EXPECT_EQ(setting(model.power.head), "100");
  EXPECT_EQ(radio.modeCharacter(), yaesu::modeCharacter(model, {1, 0}));
  EXPECT_EQ(radio.frequencyHz(), 7'100'100);
  EXPECT_EQ(panel.frequencyHz, 7'100'100);
}

std::string nameOf(const ::testing::TestParamInfo<const yaesu::Model*>& info) {
  std::string name;
  for (char c : info.param->name) {
    if (c != '-') name += c;
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(EveryModel, ModelWalk, ::testing::ValuesIn(yaesu::family()), nameOf);

}  // namespace
