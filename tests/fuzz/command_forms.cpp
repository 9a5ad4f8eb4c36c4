#include "command_forms.h"

#include <optional>
#include <string>

#include "radio/yaesu/cat.h"
#include "radio/yaesu/models.h"

namespace {

const yaesu::Model& model = yaesu::ft991a;

// The values the program ever gives each level: the gains 0..250, the
// power ladder (and the configuration's 5..999 W, which the radio may
// refuse), the radio's width steps.
bool withinProgramRange(const Operation& operation) {
  switch (operation.level) {
    case Level::afGain:
    case Level::rfGain:
      return operation.value >= 0 && operation.value <= 250;
    case Level::power:
      return operation.value >= 5 && operation.value <= 100;
    case Level::width:
      break;
  }
  return yaesu::takes(model, operation);
}

}  // namespace

// A command of the program reads back as an operation that builds the very
// same text, with a value the program gives: every form is the CAT
// vocabulary's own.
bool isProgramCommand(std::string_view text) {
  if (!text.ends_with(yaesu::terminator)) return false;
  std::string_view command = text.substr(0, text.size() - yaesu::terminator.size());
  std::optional<Operation> operation = yaesu::operationOf(model, command);
  if (!operation || yaesu::commandText(model, *operation) != command) return false;
  switch (operation->kind) {
    case Operation::Kind::mode:
      return operation->value >= 1 && operation->value <= 5;
    case Operation::Kind::level:
      return withinProgramRange(*operation);
    case Operation::Kind::function:
    case Operation::Kind::transmit:
    case Operation::Kind::tune:
    case Operation::Kind::powerSwitch:
      return operation->value == 0 || operation->value == 1;
    default:
      return true;
  }
}
