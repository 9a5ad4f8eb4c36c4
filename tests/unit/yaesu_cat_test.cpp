// The Yaesu CAT vocabulary as the FT-991A's table builds and reads it.
#include <gtest/gtest.h>

#include "radio/yaesu/cat.h"
#include "radio/yaesu/ft991a.h"

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

// The replies as the poll has always read them: a frequency of fewer
// digits is taken but not whole, a garbled or overlong one is none, and a
// mode character the program has no word for is mode 0.
TEST(YaesuCat, RepliesReadAsThePollReadsThem) {
  const yaesu::Model& model = yaesu::ft991a;
  Reading whole = yaesu::readingOf(model, "FA014200000;");
  EXPECT_EQ(whole.kind, Reading::Kind::frequency);
  EXPECT_EQ(whole.value, 14'200'000);
  EXPECT_TRUE(whole.whole);
  Reading eight = yaesu::readingOf(model, "FA14200000;");
  EXPECT_EQ(eight.value, 14'200'000);
  EXPECT_FALSE(eight.whole);
  for (const char* none : {"FA-00001420;", "FA0142000000;", "SM0-12;", "XY;", ";", "I;"}) {
    EXPECT_EQ(yaesu::readingOf(model, none).kind, Reading::Kind::unknown) << none;
  }
  EXPECT_EQ(yaesu::readingOf(model, "MD0B;").mode, (RadioMode{5, 0}));
  EXPECT_EQ(yaesu::readingOf(model, "MD04;").mode, (RadioMode{5, 1}));
  EXPECT_EQ(yaesu::readingOf(model, "MD0C;").mode, (RadioMode{0, 0}));
  EXPECT_EQ(yaesu::readingOf(model, "RM6130;").value, 21);
  EXPECT_EQ(yaesu::readingOf(model, "ID0670;").identity, "0670");
  EXPECT_EQ(yaesu::readingOf(model, "?;").kind, Reading::Kind::refused);
  EXPECT_EQ(yaesu::readingOf(model, "ID;").kind, Reading::Kind::echo);
}

}  // namespace
