// The station check's warnings on quelmo.cfg lines whose form differs from
// the station guide's, and none on a file that follows it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/line_forms.h"

namespace {

const std::vector<std::string> goodFile = {"port1",  "SPEED=38400", "POWER=100", "SWR=0",
                                           "TUN=0",  "BANDMAX=7",   "PWRCTL=0",  "DEBUG=0"};

TEST(LineForms, DocumentedFormsGiveNoWarning) {
  EXPECT_TRUE(formWarnings(goodFile).empty());
  std::vector<std::string> other = {"COM12",           "BAUD= 4800",     "POWER=5",  "SWR=2",
                                    "TUN=1",           "BANDS  =6",      "POWSW= 1", "DEBUG=1",
                                    "SPEECH_RATE=1.5", "speech_cut = 1", ""};
  EXPECT_TRUE(formWarnings(other).empty());
}

TEST(LineForms, EachMistypedLineIsNamedWithWhatItIsReadAs) {
  struct Case {
    int line;
    std::string text;
    std::vector<std::string> said;  // a fragment of each warning, in order
  };
  const std::vector<Case> cases = {
      {1, "port1 ", {"ends with a blank", "should end in the port number"}},
      {1, "com=3", {}},
      {1, "port=3", {}},
      {1, "COM10", {}},
      {1, "COM12", {}},
      {1, "PORT12X", {"should end in the port number, 1 to 99 (port1, COM12); it is read as"}},
      {1, "COM00", {"it is read as port 0"}},
      {1, "COM123", {"3 digits, of which the last two name the port: it is read as port 23"}},
      {1,
       "port1" + std::string(99995, 'x'),
       {"is 100000 characters long; Quelmo reads only its first 254, and finds no port"}},
      {2,
       "SPEED=38400" + std::string(300, ' '),
       {"is 311 characters long; Quelmo reads only its first 254.", "ends with a blank",
        "is read as 38400"}},
      {2, "BAUD=38400", {"is read as 8400. Put six characters before the speed: SPEED=38400"}},
      {2, "BAUD= 38400 ", {"ends with a blank", "\"38400 \" is read as 38400"}},
      {2, "SPEED=38000", {"38000 is not a speed"}},
      {3, "POWER=50 ", {"ends with a blank", "9 characters long, which means 100 watts"}},
      {3, "POWER=5O", {"\"5O\" is read as 5 watts"}},
      {3, "POWER=7", {"\"7\" is read as 7 watts"}},
      {3, "POWER=1000", {"it is 10, and is read as 5 watts"}},
      {4, "SWR=3", {"0 or 1 or 2 as its character 5 (SWR=0); it has \"3\", which is read as 3"}},
      {6, "BANDS=7", {"it has none, which is read as every band, up to 70 centimetres"}},
      {8, "DEBUG=", {"0 or 1 as its character 7"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<std::string> lines = goodFile;
    lines[static_cast<std::size_t>(c.line - 1)] = c.text;
    std::vector<FormWarning> warnings = formWarnings(lines);
    ASSERT_EQ(warnings.size(), c.said.size());
    for (std::size_t i = 0; i < warnings.size(); ++i) {
      EXPECT_EQ(warnings[i].line, c.line);
      EXPECT_NE(warnings[i].text.find(c.said[i]), std::string::npos) << warnings[i].text;
    }
  }
}

TEST(LineForms, MissingLinesAndOptionLines) {
  std::vector<std::string> short_(goodFile.begin(), goodFile.begin() + 6);
  std::vector<FormWarning> warnings = formWarnings(short_);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].line, 7);
  EXPECT_NE(warnings[0].text.find("has 6 lines of 8"), std::string::npos);

  // Option lines as the program reads them: what it ignores is named.
  std::vector<std::string> options = goodFile;
  for (const char* line : {"SPEECH_CUT=1", "just words", "=5", "SPEECH_RATE=9", "RATE=1.5"}) {
    options.push_back(line);
  }
  warnings = formWarnings(options);
  ASSERT_EQ(warnings.size(), 4u);
  const char* why[] = {"is not of the form NAME=value", "names no option",
                       "has a value other than 0.5 to 3", "names no option"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(warnings[i].line, 10 + i);
    EXPECT_NE(warnings[i].text.find(why[i]), std::string::npos) << warnings[i].text;
  }
}

}  // namespace
