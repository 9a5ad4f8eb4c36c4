// The panel and the radio it speaks to: a Yaesu of the FT family through
// its CAT dialect, as an FT-991A until the radio names its model, on the
// port the configuration names, or with the option RIGCTLD any radio
// Hamlib's rigctld serves; its traffic in the log.
#include "state/front_panel.h"

#include "radio/rigctld/rigctld_radio.h"
#include "radio/yaesu/models.h"
#include "radio/yaesu/yaesu_radio.h"

FrontPanel::FrontPanel(Platform& machine)
    : platform(machine),
      radio(std::make_unique<yaesu::YaesuRadio>(
          machine, comPort, [this](std::string_view line) { writeLogLine(line); },
          yaesu::writtenModel())) {}

void FrontPanel::chooseRadio() {
  if (rigctldAddress.empty()) return;
  comPort = rigctldPort;
  radio = std::make_unique<rigctld::RigctldRadio>(
      platform, comPort, [this](std::string_view line) { writeLogLine(line); });
}
