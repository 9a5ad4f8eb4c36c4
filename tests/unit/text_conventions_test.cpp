#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "platform/text.h"

namespace {

TEST(NumberOfText, SkipsLeadingBlanksAndTabsAndStopsAtTheFirstStrangeCharacter) {
  EXPECT_EQ(numberOf(" 12"), 12);
  EXPECT_EQ(numberOf("\t12"), 12);
  EXPECT_EQ(numberOf(" \t 12"), 12);
  EXPECT_EQ(numberOf("12abc"), 12);
  EXPECT_EQ(numberOf("12 34"), 12);
  EXPECT_EQ(numberOf("7;"), 7);
}

TEST(NumberOfText, ReadsSignAndFractionButNoPlusNoExponent) {
  EXPECT_DOUBLE_EQ(numberOf("-4.5"), -4.5);
  EXPECT_DOUBLE_EQ(numberOf("14.195"), 14.195);
  EXPECT_DOUBLE_EQ(numberOf("0.05"), 0.05);
  EXPECT_DOUBLE_EQ(numberOf(".5"), 0.5);
  EXPECT_EQ(numberOf("3."), 3);
  EXPECT_EQ(numberOf("+5"), 0);
  EXPECT_EQ(numberOf("1e5"), 1);
  EXPECT_EQ(numberOf("1.2.3"), 1.2);
}

TEST(NumberOfText, TextsWithoutDigitsGiveZero) {
  for (const char* text : {"", ".", "-", "-.", " ", "abc", "- 5", "\x01\xff"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(numberOf(text), 0);
  }
}

TEST(NumberOfText, LongDigitStringsStayFiniteAndClampWhenStoredInAnInteger) {
  std::string digits(300, '9');
  double value = numberOf(digits);
  EXPECT_TRUE(std::isfinite(value));
  EXPECT_GT(value, 1e299);
  EXPECT_EQ(truncateToInt(value), INT_MAX);
  EXPECT_EQ(truncateToInt(numberOf("-" + digits)), INT_MIN);
  EXPECT_EQ(numberOf("014200000"), 14200000);
  // A frequency typed in megahertz comes back to the exact hertz.
  EXPECT_EQ(roundToInt(numberOf("14.195") * 1e6), 14195000);
  EXPECT_EQ(roundToInt(numberOf("7.0745") * 1e6), 7074500);
}

TEST(TextOfNumber, LeadsWithABlankAndWritesTwoDecimalsOnlyForFractions) {
  EXPECT_EQ(textOf(100), " 100");
  EXPECT_EQ(textOf(0), " 0");
  EXPECT_EQ(textOf(7.5), " 7.50");
  EXPECT_EQ(textOf(-3), " -3");
  EXPECT_EQ(textOf(-0.25), " -0.25");
  EXPECT_EQ(textOf(14200000), " 14200000");
  EXPECT_EQ(textOf(2147483647.0), " 2147483647");
}

TEST(StoringRealsInIntegers, RoundsHalvesToEvenTruncatesTowardZeroAndClamps) {
  EXPECT_EQ(roundToInt(2.5), 2);
  EXPECT_EQ(roundToInt(3.5), 4);
  EXPECT_EQ(roundToInt(-2.5), -2);
  EXPECT_EQ(roundToInt(0.5), 0);
  EXPECT_EQ(roundToInt(2.51), 3);
  EXPECT_EQ(roundToInt(1e12), INT_MAX);
  EXPECT_EQ(roundToInt(-1e12), INT_MIN);
  EXPECT_EQ(roundToInt(std::nan("")), 0);
  EXPECT_EQ(truncateToInt(4.9), 4);
  EXPECT_EQ(truncateToInt(-4.9), -4);
  EXPECT_EQ(truncateToInt(1e12), INT_MAX);
}

TEST(CuttingTexts, FirstAndLastCountsBeyondTheTextOrNegative) {
  EXPECT_EQ(firstChars("abc", 2), "ab");
  EXPECT_EQ(firstChars("abc", 5), "abc");
  EXPECT_EQ(firstChars("abc", 0), "");
  EXPECT_EQ(firstChars("abc", -1), "");
  EXPECT_EQ(lastChars("5", 2), "5");
  EXPECT_EQ(lastChars("COM=12", 2), "12");
  EXPECT_EQ(lastChars("abc", -2), "");
  EXPECT_EQ(lastChars("", 1), "");
}

TEST(CuttingTexts, MiddleFromPositionsBeforeAndBeyondTheText) {
  EXPECT_EQ(middleChars("12345678", 9), "");
  EXPECT_EQ(middleChars("12345678", 8), "8");
  EXPECT_EQ(middleChars("12345678", 3, 2), "34");
  EXPECT_EQ(middleChars("abc", 0, 2), "ab");
  EXPECT_EQ(middleChars("abc", -5), "abc");
  EXPECT_EQ(middleChars("abc", 2, -1), "bc");
  EXPECT_EQ(middleChars("abc", 2, 10), "bc");
  EXPECT_EQ(middleChars("abc", 2, 0), "");
  EXPECT_EQ(middleChars("", 1, 1), "");
}

TEST(FindingTexts, PositionFromOneAtOrAfterTheStartAndZeroWhenAbsent) {
  EXPECT_EQ(findText("abcabc", "bc"), 2);
  EXPECT_EQ(findText("abcabc", "bc", 3), 5);
  EXPECT_EQ(findText("abcabc", "bc", 2), 2);
  EXPECT_EQ(findText("abcabc", "bc", 0), 2);
  EXPECT_EQ(findText("abcabc", "bc", 6), 0);
  EXPECT_EQ(findText("abcabc", "bc", 100), 0);
  EXPECT_EQ(findText("abc", "x"), 0);
  EXPECT_EQ(findText("abc", ""), 0);
  EXPECT_EQ(findText("", "a"), 0);
  EXPECT_EQ(findText("ab", "abc"), 0);
}

TEST(SmallTexts, BlanksCharactersAndZeroPaddedDigits) {
  EXPECT_EQ(blanks(3), "   ");
  EXPECT_EQ(blanks(0), "");
  EXPECT_EQ(blanks(-2), "");
  EXPECT_EQ(charText(65), "A");
  EXPECT_EQ(charText(0), std::string(1, '\0'));
  EXPECT_EQ(zeroPadded(14200000, 9), "014200000");
  EXPECT_EQ(zeroPadded(100, 4), "0100");
  EXPECT_EQ(zeroPadded(12345, 3), "12345");
}

TEST(TextVariables, AssignmentAndAppendingKeepAtMostTheCapacity) {
  std::string longText(300, 'x');
  Text t;
  t = longText;
  EXPECT_EQ(t.length(), 254);
  t = "abc";
  EXPECT_EQ(t, "abc");
  t += std::string(260, 'y');
  EXPECT_EQ(t.length(), 254);
  EXPECT_EQ(t.str().substr(0, 4), "abcy");
  t += ";";
  EXPECT_EQ(t.length(), 254);
  EXPECT_EQ(t[253], 'y');

  Text built(longText);
  EXPECT_EQ(built.length(), 254);
  BasicText<255> reply;
  reply = longText;
  EXPECT_EQ(reply.length(), 255);
}

TEST(TextVariables, HoldAnyByteAndCompareCaseSensitively) {
  Text t;
  t = std::string("a\0b", 3);
  EXPECT_EQ(t.length(), 3);
  EXPECT_FALSE(Text("Power") == Text("power"));
  EXPECT_TRUE(Text("SWR") == "SWR");
}

}  // namespace
