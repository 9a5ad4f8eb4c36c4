// The Yaesu CAT vocabulary as the models' tables build and read it.
#include <gtest/gtest.h>

#include "radio/yaesu/cat.h"
#include "radio/yaesu/models.h"

namespace {

using Kind = Operation::Kind;

std::string frequencyCommand(int hz) {
  return yaesu::commandText(yaesu::ft991a, {Kind::frequency, hz});
}

TEST(YaesuCat, NineDigitsForEveryFrequencyAndTheEndsOutside) {
  EXPECT_EQ(frequencyCommand(0), "FA000000000");
  EXPECT_EQ(frequencyCommand(900'000), "FA000900000");
  EXPECT_EQ(frequencyCommand(7'100'000), "FA007100000");
  EXPECT_EQ(frequencyCommand(145'000'000), "FA145000000");
  EXPECT_EQ(frequencyCommand(999'999'999), "FA999999999");
  EXPECT_EQ(frequencyCommand(-5), "FA000000000");
  EXPECT_EQ(frequencyCommand(1'000'000'000), "FA999999999");
}

// The replies as the FT-991A's table reads them: a frequency and a meter
// of exactly the digits the model gives; one of another length in the
// radio's form is foreign (another model's, another maker's), a garbled one
// is noise; a mode character the program has no word for is mode 0.
TEST(YaesuCat, RepliesReadAsThePollReadsThem) {
  const yaesu::Model& model = yaesu::ft991a;
  Reading nine = yaesu::readingOf(model, "FA014200000;");
  EXPECT_EQ(nine.kind, Reading::Kind::frequency);
  EXPECT_EQ(nine.value, 14'200'000);
  for (const char* foreign : {"FA14200000;", "FA0142000000;", "FA00014200000;", "SM00;",
                              "SM0000100;", "RM6100000;", "RM610;", "XY1;"}) {
    EXPECT_EQ(yaesu::readingOf(model, foreign).kind, Reading::Kind::foreign) << foreign;
  }
  for (const char* none : {"FA-00001420;", "FA 14200000;", "SM0-12;", "XY;", ";", "I;", "fa1;"}) {
    EXPECT_EQ(yaesu::readingOf(model, none).kind, Reading::Kind::unknown) << none;
  }
  EXPECT_EQ(yaesu::readingOf(model, "MD0B;").mode, (RadioMode{5, 0}));
  EXPECT_EQ(yaesu::readingOf(model, "MD04;").mode, (RadioMode{5, 1}));
  EXPECT_EQ(yaesu::readingOf(model, "MD0C;").mode, (RadioMode{0, 0}));
  EXPECT_EQ(yaesu::readingOf(model, "RM6130;").value, 21);
  EXPECT_EQ(yaesu::readingOf(model, "ID0670;").identity, "0670");
  EXPECT_EQ(yaesu::readingOf(model, "ID019;").identity, "019");  // another maker's, three digits
  EXPECT_EQ(yaesu::readingOf(model, "?;").kind, Reading::Kind::refused);
  EXPECT_EQ(yaesu::readingOf(model, "ID;").kind, Reading::Kind::echo);
}

// Each model's own forms, where they differ from the FT-991A's.
TEST(YaesuCat, EachModelInItsOwnForms) {
  using yaesu::commandText;
  const Operation power{Kind::level, 100, Level::power};
  const Operation widest{Kind::level, 21, Level::width};
  const Operation processorOn{Kind::function, 1, Level::afGain, Function::processor};
  const Operation processorOff{Kind::function, 0, Level::afGain, Function::processor};
  const Operation tune{Kind::tune, 1};
  EXPECT_EQ(commandText(yaesu::ft991a, power), "PC100");
  EXPECT_EQ(commandText(yaesu::ft991a, processorOn), "PR01");
  EXPECT_EQ(commandText(yaesu::ft991a, processorOff), "PR00");
  EXPECT_EQ(commandText(yaesu::ft991a, widest), "SH021");
  EXPECT_EQ(commandText(yaesu::ft991a, tune), "AC002");
  EXPECT_EQ(commandText(yaesu::ft950, {Kind::frequency, 14'250'000}), "FA14250000");
  EXPECT_EQ(commandText(yaesu::ft950, processorOn), "PR1");
  EXPECT_EQ(commandText(yaesu::ftdx5000, processorOff), "PR0");
  EXPECT_EQ(commandText(yaesu::ftdx101d, widest), "SH0021");
  EXPECT_EQ(commandText(yaesu::ft710, widest), "SH0021");
  EXPECT_EQ(commandText(yaesu::ft891, widest), "SH0121");
  EXPECT_EQ(commandText(yaesu::ft710, tune), "AC003");
  EXPECT_EQ(commandText(yaesu::ftdx101mp, {Kind::level, 200, Level::power}), "PC200");
  EXPECT_EQ(commandText(yaesu::ft450, processorOn), "");
  EXPECT_EQ(commandText(yaesu::ft450, {Kind::function, 1, Level::afGain, Function::notch}), "");

  Reading eight = yaesu::readingOf(yaesu::ft950, "FA14250000;");
  EXPECT_EQ(eight.kind, Reading::Kind::frequency);
  EXPECT_EQ(eight.value, 14'250'000);
  EXPECT_EQ(yaesu::readingOf(yaesu::ft950, "FA014250000;").kind, Reading::Kind::foreign);
  Reading six = yaesu::readingOf(yaesu::ftdx101d, "RM6052000;");  // the reading, then 000
  EXPECT_EQ(six.kind, Reading::Kind::swr);
  EXPECT_EQ(six.value, 15);
  EXPECT_EQ(yaesu::readingOf(yaesu::ftdx101d, "RM6052;").kind, Reading::Kind::foreign);
  EXPECT_EQ(yaesu::readingOf(yaesu::ft450, "MD04;").mode, (RadioMode{5, 0}));
}

// Matched by the number, as the radio may give it in three digits or four.
TEST(YaesuCat, ModelsByIdentityAndName) {
  EXPECT_EQ(yaesu::modelWithIdentity(310), &yaesu::ft950);
  EXPECT_EQ(yaesu::modelWithIdentity(682), &yaesu::ftdx101mp);
  EXPECT_EQ(yaesu::modelWithIdentity(840), nullptr);  // the FTX-1: no table
  EXPECT_EQ(yaesu::modelNamed("ftdx101mp"), &yaesu::ftdx101mp);
  EXPECT_EQ(yaesu::modelNamed("FT 710"), &yaesu::ft710);
  EXPECT_EQ(yaesu::modelNamed("FT-9000"), nullptr);
  EXPECT_EQ(yaesu::modelNamed(""), nullptr);
}

}  // namespace
