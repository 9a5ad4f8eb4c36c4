// What the numbers of the program's state mean, each under one name. The
// values are the ones the program has always used, so "quelmo.cfg" and the
// station check read them as before.
#pragma once

// What the Up and Down keys adjust (focusControl); 5 and 6 are not used.
enum class Focus : int { frequency = 0, band = 1, width = 2, power = 3, rfGain = 4, afGain = 7 };

// The memory-channel action waiting for a digit (channelAction).
enum class ChannelAction : int { none = 0, store = 1, recall = 2 };

// How SWR readings are said (swrAnnounce, line 4 of "quelmo.cfg"): 0 only
// when asked by key, always in the full form ("SWR" .. "to one"); 1 also at
// every reading, the next one in the full form, and from then on (2) in the
// short form. Any number above 2 counts as 2.
enum class SwrAnnounce : int { whenAsked = 0, fullOnce = 1, shortForm = 2 };
constexpr bool swrSaidAtReadings(SwrAnnounce setting) { return static_cast<int>(setting) > 0; }
constexpr bool swrSaidInFull(SwrAnnounce setting) { return static_cast<int>(setting) < 2; }

// entryValue before the first frequency entry since start-up: a value no
// entry reaches (digits make 0 and up), so an entry of 9, 9, 9 (999, 99.9,
// 9.99) ends like any other.
constexpr int noEntry = -1;

// The poll tick of a meter reading (sMeterTick, swrTick) when there is none.
constexpr int noReading = -1;
// What the radio's server (rigctld) last said of a radio that does not
// answer (radioAbsence), until the radio answers again.
enum class Absence : int { unknown = 0, silent = 1, switchedOff = 2 };

// The port number of the connection to rigctld: line 1 of "quelmo.cfg"
// names ports 1 to 99, so no port of the radio's is ever this one.
constexpr int rigctldPort = 256;
