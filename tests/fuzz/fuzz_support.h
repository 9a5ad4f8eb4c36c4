// What every fuzz target shares: a private working folder, the invariants on
// the program state and on the port, and a way to fail loudly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/scripted_platform.h"
#include "state/front_panel.h"

// Moves into a fresh temporary folder once per process.
void enterScratchFolder();

// Writes bytes to a file in the current folder, replacing it.
void writeFile(const char* name, const uint8_t* data, size_t size);

// Aborts (so libFuzzer keeps the input) with a message.
[[noreturn]] void fail(const std::string& message);

// Every command written to the port is one of the program's forms.
void checkPortCommands(const ScriptedPlatform& platform);

// The band memory and the channels hold only well-formed entries.
void checkStoredTables(const FrontPanel& panel);

// The frequency, band and mode are values the program can hold.
void checkRadioState(const FrontPanel& panel);

// The texts filled from the radio, the keys and the files are within their
// capacity.
void checkTexts(const FrontPanel& panel);

// "memory.dat" in the current folder, read by a fresh program, gives the
// band memory and the channels that panel holds.
void checkSavedMemories(const FrontPanel& panel);

// A program started in the current folder on a scripted station.
void startStation(FrontPanel& panel);
