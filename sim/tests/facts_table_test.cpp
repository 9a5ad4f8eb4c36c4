// The program and quelmo-sim agree on every value of the FT-991A's table:
// each command the program builds for a value the table has is carried out
// by the simulated radio, each one just outside is refused with "?;" and
// marked by the program as a value the radio does not take, and the
// radio's answers read back, through the program's reading, as what the
// radio holds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text.h"
#include "radio/yaesu/cat.h"
#include "radio/yaesu/ft991a.h"
#include "sim/transceiver.h"

namespace {

using Kind = Operation::Kind;
const yaesu::Model& model = yaesu::ft991a;

Operation level(Level which, int value) { return {Kind::level, value, which}; }
Operation function(Function which, bool on) {
  return {Kind::function, on ? 1 : 0, Level::afGain, which};
}

// The program's command for the operation, as the radio hears it; the
// answer the simulated radio gives; and that the two sides agree.
void expectAgreement(Transceiver& radio, const Operation& operation, bool taken) {
  std::string command = yaesu::commandText(model, operation);
  ASSERT_FALSE(command.empty());
  EXPECT_EQ(yaesu::takes(model, operation), taken) << command;
  std::optional<Operation> read = yaesu::operationOf(model, command);
  ASSERT_TRUE(read) << command;
  EXPECT_EQ(yaesu::commandText(model, *read), command) << "read back and built again";
  EXPECT_EQ(radio.handleCommand(command),
            taken ? std::nullopt : std::optional<std::string>(yaesu::refusal))
      << command;
}

TEST(FactsTable, EveryFrequencyRangeEndIsTakenAndEveryHzBeyondRefused) {
  Transceiver radio(1, false);
  for (const yaesu::FrequencyRange& range : model.coverage) {
    for (int hz : {range.lowestHz, range.highestHz}) {
      expectAgreement(radio, {Kind::frequency, hz}, true);
      EXPECT_EQ(radio.handleCommand("FA"), "FA" + zeroPadded(hz, 9) + ";");
    }
    expectAgreement(radio, {Kind::frequency, range.lowestHz - 1}, false);
    expectAgreement(radio, {Kind::frequency, range.highestHz + 1}, false);
  }
  expectAgreement(radio, {Kind::frequency, 900'000'000}, false);
}

TEST(FactsTable, EveryModeOfTheProgramIsTakenAndReadBack) {
  Transceiver radio(1, false);
  for (int mode = 1; mode <= 5; ++mode) {
    expectAgreement(radio, {Kind::mode, mode}, true);
    Reading reading = yaesu::readingOf(model, *radio.handleCommand("MD0"));
    EXPECT_EQ(reading.mode, (RadioMode{mode, 0})) << mode;
  }
  // The radio's own modes (the knob's), each read as the table says.
  for (const yaesu::ModeCharacter& known : model.modes) {
    ASSERT_TRUE(radio.setMode(known.character)) << known.character;
    EXPECT_EQ(yaesu::readingOf(model, *radio.handleCommand("MD0")).mode, known.mode)
        << known.character;
  }
  EXPECT_FALSE(radio.setMode('Z'));
}

TEST(FactsTable, EveryLevelEndAndEveryRungAndStepIsTaken) {
  Transceiver radio(1, false);
  for (int watts : model.facts.powerLadder)
    expectAgreement(radio, level(Level::power, watts), true);
  expectAgreement(radio, level(Level::power, model.lowestWatts), true);
  expectAgreement(radio, level(Level::power, model.highestWatts), true);
  expectAgreement(radio, level(Level::power, model.lowestWatts - 1), false);
  expectAgreement(radio, level(Level::power, model.highestWatts + 1), false);
  for (Level gain : {Level::afGain, Level::rfGain}) {
    expectAgreement(radio, level(gain, 0), true);
    expectAgreement(radio, level(gain, model.highestGain), true);
    expectAgreement(radio, level(gain, model.highestGain + 1), false);
  }
  for (const WidthStep& width : model.facts.widths) {
    expectAgreement(radio, level(Level::width, width.step), true);
  }
  expectAgreement(radio, level(Level::width, model.facts.widths.front().step - 1), false);
  expectAgreement(radio, level(Level::width, model.facts.widths.back().step + 1), false);
  EXPECT_EQ(radio.setting(std::string(model.width.head)),
            zeroPadded(model.facts.widths.back().step, model.width.digits));
}

// Every switch both ways, the speech processor's "PR02" among them.
TEST(FactsTable, EverySwitchIsTakenOnAndOff) {
  Transceiver radio(1, false);
  const std::pair<Function, const yaesu::SwitchForm*> switches[] = {
      {Function::preamp, &model.preamp},
      {Function::attenuator, &model.attenuator},
      {Function::noiseBlanker, &model.noiseBlanker},
      {Function::noiseReduction, &model.noiseReduction},
      {Function::notch, &model.notch},
      {Function::processor, &model.processor},
  };
  for (const auto& [which, form] : switches) {
    for (bool on : {true, false}) {
      expectAgreement(radio, function(which, on), true);
      EXPECT_EQ(radio.setting(std::string(form->head)), std::string(1, on ? form->on : form->off));
    }
  }
  for (Kind kind : {Kind::tune, Kind::transmit, Kind::powerSwitch}) {
    for (int value : {1, 0}) {
      Transceiver fresh(1, false);
      expectAgreement(fresh, {kind, value}, true);
    }
  }
}

// The meters' replies read as the table calibrates them: the S-meter in
// decibels over S9, the SWR in tenths; the identity as the radio gives it.
TEST(FactsTable, TheRadiosAnswersReadAsTheTableSays) {
  Transceiver radio(1, false);
  const std::pair<int, int> sMeter[] = {{0, -54}, {10, -54}, {11, -48}, {122, -6},
                                        {123, 0}, {156, 0},  {157, 10}, {255, 10}};
  for (const auto& [reading, db] : sMeter) {
    radio.setSMeter(reading);
    EXPECT_EQ(yaesu::readingOf(model, *radio.handleCommand("SM0")).value, db) << reading;
  }
  EXPECT_EQ(yaesu::readingOf(model, *radio.handleCommand("RM6")).value, swrMatchedTenths);
  Reading identity = yaesu::readingOf(model, *radio.handleCommand("ID"));
  EXPECT_EQ(identity.kind, Reading::Kind::identity);
  EXPECT_EQ(identity.identity, model.identity);
}

}  // namespace
