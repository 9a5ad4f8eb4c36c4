// The program and quelmo-sim agree on every value of every model's table:
// each command the program builds for a value the table has is carried out
// by the simulated radio of that model, each one just outside is refused
// with "?;" and marked by the program as a value the radio does not take, a
// command the model lacks has no text and is refused, and the radio's
// answers read back, through the program's reading, as what the radio
// holds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text.h"
#include "radio/yaesu/cat.h"
#include "radio/yaesu/models.h"
#include "sim/transceiver.h"

namespace {

using Kind = Operation::Kind;

Operation level(Level which, int value) { return {Kind::level, value, which}; }
Operation function(Function which, bool on) {
  return {Kind::function, on ? 1 : 0, Level::afGain, which};
}

class FactsTable : public ::testing::TestWithParam<const yaesu::Model*> {
 protected:
  const yaesu::Model& model = *GetParam();
  Transceiver radio{1, false, model};

  // The program's command for the operation, as the radio hears it; the
  // answer the simulated radio gives; and that the two sides agree.
  void expectAgreement(Transceiver& heard, const Operation& operation, bool taken) {
    std::string command = yaesu::commandText(model, operation);
    ASSERT_FALSE(command.empty());
    EXPECT_EQ(yaesu::takes(model, operation), taken) << command;
    std::optional<Operation> read = yaesu::operationOf(model, command);
    ASSERT_TRUE(read) << command;
    EXPECT_EQ(yaesu::commandText(model, *read), command) << "read back and built again";
    EXPECT_EQ(heard.handleCommand(command),
              taken ? std::nullopt : std::optional<std::string>(yaesu::refusal))
        << command;
  }
  void expectAgreement(const Operation& operation, bool taken) {
    expectAgreement(radio, operation, taken);
  }
};

TEST_P(FactsTable, EveryFrequencyRangeEndIsTakenAndEveryHzBeyondRefused) {
  for (const yaesu::FrequencyRange& range : model.coverage) {
    for (int hz : {range.lowestHz, range.highestHz}) {
      expectAgreement({Kind::frequency, hz}, true);
      Reading reading = yaesu::readingOf(model, *radio.handleCommand("FA"));
      EXPECT_EQ(reading.kind, Reading::Kind::frequency);
      EXPECT_EQ(reading.value, hz);
      EXPECT_EQ(reading.reply.size(), 3u + static_cast<std::size_t>(model.frequencyDigits));
    }
    expectAgreement({Kind::frequency, range.lowestHz - 1}, false);
    expectAgreement({Kind::frequency, range.highestHz + 1}, false);
  }
  expectAgreement({Kind::frequency, 90'000'000}, false);
}

TEST_P(FactsTable, EveryModeOfTheProgramIsTakenAndReadBack) {
  for (int mode = 1; mode <= 5; ++mode) {
    expectAgreement({Kind::mode, mode}, true);
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

TEST_P(FactsTable, EveryLevelEndAndEveryRungAndStepIsTaken) {
  for (int watts : model.facts.powerLadder) expectAgreement(level(Level::power, watts), true);
  EXPECT_EQ(model.facts.powerLadder.back(), model.highestWatts);
  expectAgreement(level(Level::power, model.lowestWatts), true);
  expectAgreement(level(Level::power, model.lowestWatts - 1), false);
  expectAgreement(level(Level::power, model.highestWatts + 1), false);
  for (Level gain : {Level::afGain, Level::rfGain}) {
    expectAgreement(level(gain, 0), true);
    expectAgreement(level(gain, model.highestGain), true);
    expectAgreement(level(gain, model.highestGain + 1), false);
  }
  for (const WidthStep& width : model.facts.widths) {
    expectAgreement(level(Level::width, width.step), true);
  }
  expectAgreement(level(Level::width, model.facts.widths.front().step - 1), false);
  expectAgreement(level(Level::width, model.facts.widths.back().step + 1), false);
  EXPECT_EQ(radio.setting(std::string(model.width.head)),
            zeroPadded(model.facts.widths.back().step, model.width.digits));
}

// Every switch both ways; a switch the model lacks has no command, and the
// radio refuses the command another model would send for it.
TEST_P(FactsTable, EverySwitchIsTakenOnAndOffOrHasNoCommand) {
  const std::pair<Function, const yaesu::SwitchForm*> switches[] = {
      {Function::preamp, &model.preamp},
      {Function::attenuator, &model.attenuator},
      {Function::noiseBlanker, &model.noiseBlanker},
      {Function::noiseReduction, &model.noiseReduction},
      {Function::notch, &model.notch},
      {Function::processor, &model.processor},
  };
  for (const auto& [which, form] : switches) {
    if (form->head.empty()) {
      EXPECT_EQ(yaesu::commandText(model, function(which, true)), "");
      EXPECT_EQ(
          radio.handleCommand(yaesu::commandText(yaesu::writtenModel(), function(which, true))),
          std::optional<std::string>(yaesu::refusal));
      continue;
    }
    for (bool on : {true, false}) {
      expectAgreement(function(which, on), true);
      EXPECT_EQ(radio.setting(std::string(form->head)), std::string(1, on ? form->on : form->off));
    }
  }
  for (Kind kind : {Kind::tune, Kind::transmit, Kind::powerSwitch}) {
    for (int value : {1, 0}) {
      Transceiver fresh(1, false, model);
      expectAgreement(fresh, {kind, value}, true);
    }
  }
}

// The meters' replies read as the table calibrates them: the S-meter in
// decibels over S9 rising with the reading from S0 to over S9, the SWR in
// tenths from 1.0 on receive; the identity as the radio gives it, in four
// digits.
TEST_P(FactsTable, TheRadiosAnswersReadAsTheTableSays) {
  int previous = -1000;
  for (int reading = 0; reading <= 255; ++reading) {
    radio.setSMeter(reading);
    Reading read = yaesu::readingOf(model, *radio.handleCommand("SM0"));
    ASSERT_EQ(read.kind, Reading::Kind::sMeter) << reading;
    EXPECT_GE(read.value, previous) << reading;
    previous = read.value;
  }
  EXPECT_EQ(previous, 10);  // "plus" at the top
  Reading swr = yaesu::readingOf(model, *radio.handleCommand("RM6"));
  EXPECT_EQ(swr.kind, Reading::Kind::swr);
  EXPECT_EQ(swr.value, swrMatchedTenths);
  EXPECT_EQ(swr.reply.size(), 4u + static_cast<std::size_t>(model.swr.digits));
  Reading identity = yaesu::readingOf(model, *radio.handleCommand("ID"));
  EXPECT_EQ(identity.kind, Reading::Kind::identity);
  EXPECT_EQ(identity.identity, zeroPadded(model.identity, 4));
  EXPECT_EQ(yaesu::modelWithIdentity(model.identity), &model);
  EXPECT_EQ(yaesu::modelNamed(model.name), &model);
}

std::string nameOf(const ::testing::TestParamInfo<const yaesu::Model*>& info) {
  std::string name;
  for (char c : info.param->name) {
    if (c != '-') name += c;
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(EveryModel, FactsTable, ::testing::ValuesIn(yaesu::family()), nameOf);

}  // namespace
