// The CAT vocabulary: every command text the program sends to the radio and
// every reply form it reads, spelled in this one place. The program builds
// its commands here, quelmo-sim parses them with these names, and the fuzz
// check of command forms takes its forms from here too.
//
// A command is a head (two letters, sometimes with fixed digits after them)
// and a value; sendCommand adds the ";" that ends every command. A query is
// a head alone, and the radio answers it with a reply that starts with the
// query's two letters.
#pragma once

#include <string>
#include <string_view>

namespace cat {

constexpr std::string_view terminator = ";";

// --- Queries, and the length of their replies with the ";" ---
constexpr std::string_view frequencyQuery = "FA";    // "FA" + 9 digits + ";"
constexpr std::string_view modeQuery = "MD0";        // "MD0" + mode character + ";"
constexpr std::string_view sMeterQuery = "SM0";      // "SM0" + 3 digits + ";"
constexpr std::string_view swrQuery = "RM6";         // "RM6" + 3 digits + ";"
constexpr std::string_view powerSwitchQuery = "PS";  // "PS0;" or "PS1;"
constexpr std::string_view identityQuery = "ID";     // "ID" + the model's digits + ";"
constexpr int frequencyReplyLength = 12;
constexpr int meterReplyLength = 7;
constexpr int modeReplyLength = 5;

// --- The heads of the set commands ---
constexpr std::string_view frequencyHead = "FA";    // 9 digits, Hz
constexpr std::string_view modeHead = "MD0";        // the radio's mode character
constexpr std::string_view powerHead = "PC0";       // 3 digits, watts
constexpr std::string_view afGainHead = "AG0";      // 3 digits
constexpr std::string_view rfGainHead = "RG0";      // 3 digits
constexpr std::string_view widthHead = "SH0";       // 2 digits, the width step
constexpr std::string_view transmitHead = "TX";     // 0 receive, 1 transmit
constexpr std::string_view powerSwitchHead = "PS";  // 0 off, 1 on
constexpr std::string_view tunerHead = "AC00";      // 1 tuner on (a tuning ended), 2 tune
constexpr int frequencyDigits = 9;
constexpr int levelDigits = 3;  // power and gains
constexpr int widthDigits = 2;

// Sent before "PS1": a radio that is off wakes at the first bytes it hears
// and ignores them.
constexpr std::string_view wakeUp = "Power on";

// A receiver function switched by one command: the head and the value for
// off and for on (the speech processor counts 1 off, 2 on).
struct Switch {
  std::string_view head;
  char off;
  char on;
};
constexpr Switch preamp{"PA0", '0', '1'};
constexpr Switch attenuator{"RA0", '0', '1'};
constexpr Switch noiseBlanker{"NB0", '0', '1'};
constexpr Switch noiseReduction{"NR0", '0', '1'};
constexpr Switch notch{"BC0", '0', '1'};
constexpr Switch processor{"PR0", '1', '2'};

// --- Builders: the command without its ";" ---
// "FA" and the frequency in Hz as nine digits with leading zeros; a
// frequency outside the nine digits goes as the nearest end of their range.
std::string frequency(int hz);
std::string mode(char radioMode);   // "MD0" + the mode character
std::string power(int watts);       // "PC0" + 3 digits, within 0..999
std::string afGain(int level);      // "AG0" + 3 digits
std::string rfGain(int level);      // "RG0" + 3 digits
std::string filterWidth(int step);  // "SH0" + 2 digits
std::string switched(const Switch& function, bool on);
std::string transmit(bool on);     // "TX1", "TX0"
std::string powerSwitch(bool on);  // "PS1", "PS0"
std::string tuner(bool tune);      // "AC002" tunes; "AC001" ends the tuning, the tuner on

// --- Reading texts in these forms ---
// True when text has the two letters of the query (or command) head: a
// reply carries the letters of the query it answers.
constexpr bool sameLetters(std::string_view text, std::string_view head) {
  return text.substr(0, 2) == head.substr(0, 2);
}
// True when text is "FA" and nine digits, as a whole frequency reply begins.
bool isFrequency(std::string_view text);
// True for a whole mode reply, "MD0" + a character + ";".
bool isModeReply(std::string_view reply);
// A frequency or mode command: a reply to a query sent before it no longer
// tells the radio's state. The queries themselves ("FA", "MD0") are not.
bool changesFrequencyOrMode(std::string_view command);
// The radio's mode character of a mode command or reply ("MD02" is '2').
constexpr char modeOf(std::string_view text) {
  return text.size() > modeHead.size() ? text[modeHead.size()] : '\0';
}

}  // namespace cat
