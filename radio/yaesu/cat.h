// The Yaesu CAT vocabulary: every command text the program sends and every
// reply form it reads, spelled here and built from the model's table. The
// program's dialect (yaesu_radio.cpp) speaks with it, quelmo-sim parses and
// answers with it, and the fuzz check of command forms takes its forms from
// it.
//
// A command is a head (two letters, sometimes with fixed digits after them)
// and a value, ended by ";". A query is a head alone, and the radio answers
// it with a reply that starts with the query's two letters; a command it
// cannot carry out it answers "?;", and set commands are otherwise silent.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "radio/radio.h"
#include "radio/yaesu/model.h"

namespace yaesu {

constexpr std::string_view terminator = ";";
constexpr std::string_view refusal = "?;";

// The heads every model shares; the rest are in its table.
constexpr std::string_view frequencyHead = "FA";    // the query too
constexpr std::string_view modeHead = "MD0";        // the query too
constexpr std::string_view transmitHead = "TX";     // 0 receive, 1 transmit
constexpr std::string_view powerSwitchHead = "PS";  // 0 off, 1 on; the query too
constexpr std::string_view identityQuery = "ID";
// Sent before "PS1": a radio that is off wakes at the first bytes it hears
// and ignores them.
constexpr std::string_view wakeUpText = "Power on";

// The command text of an operation, without its ";". A frequency outside
// the model's digits goes as the nearest end of their range.
std::string commandText(const Model& model, const Operation& operation);

// The operation a command text carries as the radio reads it (its ";"
// left off); nothing for text that is no command of the model. The value
// is read whatever it is: takes() says whether the radio takes it.
std::optional<Operation> operationOf(const Model& model, std::string_view command);

// Whether the radio takes the operation: a frequency within its coverage, a
// mode it has, a level within its range or one of its width steps, a
// switch value of its own.
bool takes(const Model& model, const Operation& operation);

// The reading of one whole reply, its ";" included. A refusal's command is
// for the dialect to find: here it is only a refusal.
Reading readingOf(const Model& model, std::string_view reply);

// A reply as the radio gives it: the query and the value, ended.
std::string reply(std::string_view query, std::string_view value);

// The head of an operation's command: its text before the value ("PC0").
std::string_view headOf(const Model& model, const Operation& operation);

// The query text of a question ("FA", "SM0").
std::string_view queryOf(const Model& model, Question question);

// The radio's character for a mode; 0 when it has none.
char modeCharacter(const Model& model, RadioMode mode);

}  // namespace yaesu
