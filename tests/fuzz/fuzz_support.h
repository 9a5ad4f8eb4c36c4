// What every fuzz target shares: a private working folder, the invariants on
// the program state and on the port, and a way to fail loudly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/front_panel.h"
#include "platform/scripted_platform.h"

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
