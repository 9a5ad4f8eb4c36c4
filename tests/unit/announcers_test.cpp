#include <string>
#include <vector>

#include "front_panel_fixture.h"
#include "radio/yaesu/cat.h"
#include "radio/yaesu/models.h"

namespace {

using Words = std::vector<std::string>;
using AnnouncersTest = FrontPanelTest;

// A meter's reading (0..255) as the FT-991A gives it, read by its table: the
// meters below are said from the radio's reply through to the words.
int meterReading(std::string_view query, int reading) {
  return yaesu::readingOf(yaesu::ft991a, yaesu::reply(query, zeroPadded(reading, 3))).value;
}

// --- Frequency ---

// Said is the program's frequency, in the form the window shows it; before
// the radio's first whole frequency reply there is none.
TEST_F(AnnouncersTest, FrequencyIsSaidUpToTheLastNonZeroDigitOfItsFraction) {
  struct Case {
    int hz;
    Words words;
  };
  const Case cases[] = {
      {14'200'000, {"1", "4", "point", "2", "mhz"}},
      {14'195'500, {"1", "4", "point", "1", "9", "5", "5", "mhz"}},
      {7'074'000, {"7", "point", "0", "7", "4", "mhz"}},
      {1'900'000, {"1", "point", "9", "mhz"}},
      {145'000'000, {"1", "4", "5", "mhz"}},
      {432'000'000, {"4", "3", "2", "mhz"}},
      {14'000'001, {"1", "4", "point", "0", "0", "0", "0", "0", "1", "mhz"}},
      {136'000, {"point", "1", "3", "6", "mhz"}},
  };
  panel.freqDisplay = "  7.100000";
  for (const auto& c : cases) {
    platform.clearRecords();
    panel.frequencyHz = c.hz;
    panel.announceFrequency();
    EXPECT_EQ(words(), c.words) << c.hz;
  }
  platform.clearRecords();
  panel.freqDisplay = "";
  panel.announceFrequency();
  EXPECT_EQ(words(), Words{"nc"});
}

TEST_F(AnnouncersTest, FrequencyBlanksPlayNoSound) {
  panel.freqDisplay = "  7.100000";
  panel.frequencyHz = 7'100'000;
  panel.announceFrequency();
  for (const auto& request : platform.sounds) {
    EXPECT_NE(request.name.back(), ' ') << request.name;
  }
  EXPECT_EQ(words(), (Words{"7", "point", "1", "mhz"}));
}

// --- S-meter ---

struct SMeterCase {
  int reading;
  Words words;
  std::vector<std::string> labels;
};

TEST_F(AnnouncersTest, SMeterThresholdsAndTheirLabels) {
  const SMeterCase cases[] = {
      {0, {"s", "0"}, {"S0  "}},
      {10, {"s", "0"}, {"S0  "}},
      {11, {"s", "1"}, {"S1  "}},
      {20, {"s", "1"}, {"S1  "}},
      {21, {"s", "2"}, {"S2  "}},
      {40, {"s", "2"}, {"S2  "}},
      {41, {"s", "3"}, {"S3  "}},
      {54, {"s", "3"}, {"S3  "}},
      {55, {"s", "4"}, {"S4  "}},
      {68, {"s", "4"}, {"S4  "}},
      {69, {"s", "5"}, {"S5  "}},
      {82, {"s", "5"}, {"S5  "}},
      {83, {"s", "6"}, {"S6  "}},
      {96, {"s", "6"}, {"S6  "}},
      {97, {"s", "7"}, {"S7  "}},
      {108, {"s", "7"}, {"S7  "}},
      {109, {"s", "8"}, {"S8  "}},
      {122, {"s", "8"}, {"S8  "}},
      {123, {"s", "9"}, {"S9", "  "}},
      {156, {"s", "9"}, {"S9", "  "}},
      {157, {"s", "9", "plus"}, {"S9", "+"}},
      {255, {"s", "9", "plus"}, {"S9", "+"}},
  };
  for (const auto& c : cases) {
    platform.clearRecords();
    platform.setTextPosition(0, 0);
    panel.sMeterDb = meterReading("SM0", c.reading);
    panel.sMeterTick = panel.pollTick;
    panel.announceSMeter();
    EXPECT_EQ(words(), c.words) << c.reading;
    std::vector<std::string> labels;
    for (const auto& p : platform.printed) labels.push_back(p.text);
    EXPECT_EQ(labels, c.labels) << c.reading;
    ASSERT_FALSE(platform.printed.empty());
    EXPECT_EQ(platform.printed[0].x, 750);
    EXPECT_EQ(platform.printed[0].y, 45);
  }
}

TEST_F(AnnouncersTest, MutedSMeterStillPrintsItsLabel) {
  panel.sMeterDb = meterReading("SM0", 160);
  panel.showSMeter();
  EXPECT_TRUE(platform.sounds.empty());
  ASSERT_EQ(platform.printed.size(), 2u);
  EXPECT_EQ(platform.printed[0].text, "S9");
  EXPECT_EQ(platform.printed[1].text, "+");
  EXPECT_EQ(platform.printed[1].x, 750 + 2 * ScriptedPlatform::charWidth);
}

// --- SWR ---

// The spoken value for every reading: whole number and tenths digit. The top
// of the 1.x and 3.x ranges rounds up into the next whole number.
struct SwrSpan {
  int from;
  int to;
  const char* whole;
  const char* tenths;
};

const SwrSpan swrTable[] = {
    {0, 53, "1", "0"},     {54, 60, "1", "1"},    {61, 67, "1", "2"},    {68, 74, "1", "3"},
    {75, 81, "1", "4"},    {82, 88, "1", "5"},    {89, 95, "1", "6"},    {96, 102, "1", "7"},
    {103, 109, "1", "8"},  {110, 116, "1", "9"},  {117, 125, "2", "0"},  {126, 134, "2", "1"},
    {135, 145, "2", "2"},  {146, 154, "2", "3"},  {155, 159, "2", "4"},  {160, 161, "3", "0"},
    {162, 162, "3", "1"},  {163, 165, "3", "2"},  {166, 166, "3", "3"},  {167, 169, "3", "4"},
    {170, 170, "3", "5"},  {171, 173, "3", "6"},  {174, 174, "3", "7"},  {175, 177, "3", "8"},
    {178, 178, "3", "9"},  {179, 181, "4", "0"},  {182, 183, "4", "1"},  {184, 186, "4", "2"},
    {187, 188, "4", "3"},  {189, 191, "4", "4"},  {192, 193, "4", "5"},  {194, 196, "4", "6"},
    {197, 198, "4", "7"},  {199, 199, "4", "8"},  {200, 255, "gt5", "0"},
};

TEST_F(AnnouncersTest, SwrScaleForEveryReading) {
  panel.swrAnnounce = SwrAnnounce::shortForm;
  int covered = 0;
  for (const auto& span : swrTable) {
    for (int x = span.from; x <= span.to; ++x, ++covered) {
      platform.clearRecords();
      panel.swrTenths = meterReading("RM6", x);
      panel.swrTick = panel.pollTick;
      panel.announceSwr();
      EXPECT_EQ(words(), (Words{span.whole, "point", span.tenths})) << "reading " << x;
    }
  }
  EXPECT_EQ(covered, 256);
}

TEST_F(AnnouncersTest, SwrFullFormOnceThenShortForm) {
  panel.swrAnnounce = SwrAnnounce::fullOnce;
  panel.swrTenths = meterReading("RM6", 130);
  panel.swrTick = panel.pollTick;
  panel.announceSwr();
  EXPECT_EQ(words(), (Words{"SWR", "2", "point", "1", "21"}));
  EXPECT_EQ(panel.swrAnnounce, SwrAnnounce::shortForm);
  platform.clearRecords();
  panel.announceSwr();
  EXPECT_EQ(words(), (Words{"2", "point", "1"}));
  EXPECT_EQ(panel.swrAnnounce, SwrAnnounce::shortForm);
}

// A reading is the radio's for a second: after that, and before the first,
// there is none, in either form, and the full form stays owed.
TEST_F(AnnouncersTest, SwrWithAnnounceOffAlwaysUsesTheFullFormAndNoReadingIsSaid) {
  panel.swrAnnounce = SwrAnnounce::whenAsked;
  panel.announceSwr();
  panel.swrTick = panel.pollTick;
  panel.announceSwr();
  EXPECT_EQ(words(), (Words{"SWR", "noreading", "SWR", "1", "point", "0", "21"}));
  EXPECT_EQ(panel.swrAnnounce, SwrAnnounce::whenAsked);

  platform.clearRecords();
  panel.pollTick += 20;
  panel.announceSwr();
  panel.pollTick += 1;
  panel.swrAnnounce = SwrAnnounce::fullOnce;
  panel.announceSwr();
  EXPECT_EQ(panel.swrAnnounce, SwrAnnounce::fullOnce);
  panel.swrAnnounce = SwrAnnounce::shortForm;
  panel.announceSwr();
  EXPECT_EQ(words(), (Words{"SWR", "1", "point", "0", "21", "SWR", "noreading", "noreading"}));
}

// The S-meter's label is wiped once its reading is a second old, and S
// says there is none.
TEST_F(AnnouncersTest, AnSMeterReadingASecondOldIsWipedAndNotSaid) {
  panel.sMeterDb = 0;
  panel.sMeterTick = panel.pollTick;
  panel.pollTick += 20;
  panel.forgetStaleMeters();
  EXPECT_TRUE(platform.printed.empty());
  panel.announceSMeter();
  EXPECT_EQ(words(), (Words{"s", "9"}));

  platform.clearRecords();
  panel.pollTick += 1;
  panel.forgetStaleMeters();
  panel.forgetStaleMeters();
  ASSERT_EQ(platform.printed.size(), 1u);
  EXPECT_EQ(platform.printed[0].text, "    ");
  EXPECT_EQ(platform.printed[0].x, 750);
  panel.announceSMeter();
  EXPECT_EQ(words(), (Words{"s", "noreading"}));
}

// --- Power ---

TEST_F(AnnouncersTest, PowerIsSaidDigitByDigit) {
  const std::pair<int, Words> cases[] = {
      {5, {"5", "watts"}},
      {50, {"5", "0", "watts"}},
      {100, {"1", "0", "0", "watts"}},
  };
  for (const auto& [watts, expected] : cases) {
    platform.clearRecords();
    panel.powerWatts = watts;
    panel.announcePower();
    EXPECT_EQ(words(), expected) << watts;
  }
}

// --- Mode, band and width ---

TEST_F(AnnouncersTest, ModeWordsAndSilenceOutsideTheTable) {
  const Words modes = {"lsb", "usb", "cw", "am", "fm"};
  for (int m = 0; m <= 6; ++m) {
    platform.clearRecords();
    panel.modeIndex = m;
    panel.announceMode();
    if (m >= 1 && m <= 5) {
      EXPECT_EQ(words(), Words{modes[m - 1]}) << m;
    } else {
      EXPECT_TRUE(words().empty()) << m;
    }
  }
}

TEST_F(AnnouncersTest, BandNamesInMetresAndNoBand) {
  const std::pair<int, Words> cases[] = {
      {1, {"160", "metres"}}, {4, {"40", "metres"}}, {6, {"20", "metres"}},
      {11, {"6", "metres"}},  {12, {"2", "metres"}}, {13, {"70", "metres"}},
      {99, {"un"}},           {14, {"metres"}},
  };
  for (const auto& [band, expected] : cases) {
    platform.clearRecords();
    panel.bandIndex = band;
    panel.announceBand();
    EXPECT_EQ(words(), expected) << band;
  }
}

// The FT-991A's steps: 1.95 kHz is said to the tenth, 1.9; the widest is
// 3.2 kHz (Hamlib's ft991_ssb_widths), not 3.1 as the program said before
// it had the radio's table.
TEST_F(AnnouncersTest, FilterWidthScaleHasNoTwoPointZero) {
  const std::pair<int, Words> cases[] = {
      {9, {"bw", "1", "point", "8", "khz"}},  {10, {"bw", "1", "point", "9", "khz"}},
      {11, {"bw", "2", "point", "1", "khz"}}, {14, {"bw", "2", "point", "4", "khz"}},
      {19, {"bw", "2", "point", "9", "khz"}}, {20, {"bw", "3", "point", "0", "khz"}},
      {21, {"bw", "3", "point", "2", "khz"}}, {8, {"bw", "1", "point", "khz"}},
  };
  for (const auto& [width, expected] : cases) {
    platform.clearRecords();
    panel.filterWidth = width;
    panel.announceWidth();
    EXPECT_EQ(words(), expected) << width;
  }
}

}  // namespace
