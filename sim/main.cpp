// quelmo-sim: a simulated transceiver for trying and testing Quelmo without a
// radio. See `quelmo-sim --help`.
#include <cstdio>
#include <string>

#include "sim/sim_options.h"
#include "sim/simulator.h"

int main(int argc, char** argv) {
  std::string error;
  const auto options = parseSimOptions(argc, argv, error);
  if (!options) {
    if (error.empty()) {
      std::fputs(simUsage, stdout);
      return 0;
    }
    std::fprintf(stderr, "quelmo-sim: %s\n%s", error.c_str(), simUsage);
    return 2;
  }
  Simulator simulator(*options);
  if (!simulator.start(error)) {
    std::fprintf(stderr, "quelmo-sim: %s\n", error.c_str());
    return 1;
  }
  return simulator.run();
}
