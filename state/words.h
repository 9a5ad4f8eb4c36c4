// Every recording the program says, each under one name, spelled one way:
// its file's name in the voice folder without ".wav" (the sound service
// adds it and ignores the letter case). The vocabulary
// (speech/vocabulary.cpp) gives each the sentence of the default voice.
#pragma once

#include <array>
#include <string_view>

namespace word {

using Word = std::string_view;

// Start-up and the program's life.
constexpr Word quelmo = "quelmo";
constexpr Word configurationNotFound = "cfgnf";
constexpr Word delay = "delay";  // the pause while the radio wakes
constexpr Word help = "help";    // the list of keys
constexpr Word quit = "quit";
constexpr Word running = "running";  // another Quelmo has the working folder
constexpr Word notSaved = "notsaved";

// Refusals and confirmations.
constexpr Word tuneIsOn = "ton";
constexpr Word notConnected = "nc";
constexpr Word connected = "connected";
constexpr Word ok = "ok";
constexpr Word invalid = "invalid";
constexpr Word option = "option";  // "option invalid": a line of quelmo.cfg not taken
constexpr Word refused = "refused";  // the radio refused a command
constexpr Word notAvailable = "notavailable";  // the radio has no such function or level
constexpr Word maximum = "max";

// The link to the radio: lost, and why (radio/link_fault.cpp).
constexpr Word lost = "lost";
constexpr Word noDevice = "nodev";
constexpr Word denied = "denied";
constexpr Word busy = "busy";
constexpr Word speedRefused = "badspeed";
constexpr Word noAnswer = "noanswer";
constexpr Word noServer = "noserver";
constexpr Word serverBusy = "serverbusy";
constexpr Word noAddress = "noaddress";
constexpr Word notUnderstood = "notunderstood";  // it answers in another language
constexpr Word unknownModel = "unknownmodel";    // its identity is of no model of the table
constexpr Word radioOff = "radiooff";  // rigctld says the radio is switched off

// The station check (check/station_check.cpp).
constexpr Word port = "port";
constexpr Word speed = "speed";
constexpr Word tuner = "tuner";
constexpr Word carrier = "carrier";
constexpr Word powerSwitching = "pwrctl";
constexpr Word trafficLog = "log";
constexpr Word checkLine = "checkline";
constexpr Word identity = "id";
constexpr Word echoes = "echo";

// Controls and functions.
constexpr Word afGain = "af";
constexpr Word rfGain = "rf";
constexpr Word power = "Power";
constexpr Word band = "band";
constexpr Word enterFrequency = "EF";
constexpr Word storeChannel = "sch";
constexpr Word getChannel = "gch";
constexpr Word notch = "notch";
constexpr Word speechProcessor = "spc";
constexpr Word tune = "tune";
constexpr Word preamp = "preamp";
constexpr Word attenuator = "at";
constexpr Word noiseBlanker = "nb";
constexpr Word noiseReduction = "nr";
constexpr Word on = "on";
constexpr Word off = "off";

// Meters, units and subjects.
constexpr Word point = "point";
constexpr Word megahertz = "mhz";
constexpr Word kilohertz = "khz";
constexpr Word watts = "watts";
constexpr Word metres = "metres";
constexpr Word s = "s";  // the S-meter's S
constexpr Word plus = "plus";
constexpr Word swr = "SWR";
constexpr Word greaterThanFive = "gt5";
constexpr Word toOne = "21";
constexpr Word bandwidth = "bw";
constexpr Word noBand = "un";
constexpr Word noReading = "noreading";  // the radio has not given the meter's reading

// Modes.
constexpr Word lsb = "lsb";
constexpr Word usb = "usb";
constexpr Word cw = "cw";
constexpr Word am = "am";
constexpr Word fm = "fm";

// Digits; "6" and "2" are also the names of the 6 m and 2 m bands.
constexpr std::array<Word, 10> digits = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
constexpr Word digit(int value) { return digits[static_cast<std::size_t>(value)]; }

// The other band names, in metres (70 cm is said "70").
constexpr Word band160 = "160";
constexpr Word band80 = "80";
constexpr Word band60 = "60";
constexpr Word band40 = "40";
constexpr Word band30 = "30";
constexpr Word band20 = "20";
constexpr Word band17 = "17";
constexpr Word band15 = "15";
constexpr Word band12 = "12";
constexpr Word band10 = "10";
constexpr Word band70 = "70";

}  // namespace word
