#include "sim/sim_options.h"

#include <getopt.h>

#include <cstdlib>
#include <string>

const char* const simUsage =
    "Usage: quelmo-sim [options]\n"
    "A simulated Yaesu FT transceiver on a pseudo-terminal. It links\n"
    "FOLDER/COMn to the terminal, answers CAT commands (\"FA;\", \"SM0;\",\n"
    "\"RM6;\", \"MD0;\", \"PS;\", \"ID;\") in its model's forms, applies the set\n"
    "commands, refuses with \"?;\" what the model does not take or have, and\n"
    "removes the link when it ends (SIGTERM, SIGINT, \"quit\" or a hang-up).\n"
    "\n"
    "Options:\n"
    "  --model NAME          the radio it is (default FT-991A): FT-991A, FT-991,\n"
    "                        FT-891, FT-710, FTDX10, FTDX101D, FTDX101MP, FT-450,\n"
    "                        FT-450D, FT-950, FT-2000, FT-2000D, FTDX1200,\n"
    "                        FTDX3000, FTDX5000 (letter case and dashes aside);\n"
    "                        its identity, digits, forms and missing commands\n"
    "                        are those of the program's table of it\n"
    "  --identity N          answer \"ID;\" with N in four digits instead, as a\n"
    "                        model the program has no table for would\n"
    "  --dir FOLDER          folder for the COMn link (default: .)\n"
    "  --port N              the link is named COMN (default: 1)\n"
    "  --log FILE            append one line per command received:\n"
    "                          REALTIME_US MONOTONIC_US COMMAND;\n"
    "                        stamped when its \";\" arrived; a \"\\\" and bytes\n"
    "                        outside printable ASCII are written as \\xNN\n"
    "  --seed N              seed of the S-meter wander and the garbling\n"
    "  --delay MS            wait MS milliseconds before each reply\n"
    "  --baud N              pace the line as at N bits per second, 11 bits a\n"
    "                        character (8 data bits, two stop bits): a command\n"
    "                        is in only when its last byte would have come, and\n"
    "                        a reply goes out one byte at a time at that pace\n"
    "  --split[=MS]          send each reply in two parts, MS apart (default 30)\n"
    "  --garble RATE         corrupt one byte in this share (0..1) of replies\n"
    "  --silent              answer nothing (set commands still apply)\n"
    "  --echo                send every command back as it came, before its\n"
    "                        reply, as some radios and interfaces do (also\n"
    "                        while silent or switched off)\n"
    "  --hangup-after SECS   close the terminal after SECS seconds: the other\n"
    "                        end sees a hang-up; then quit\n"
    "  --off                 start switched off (only \"PS1;\" is obeyed)\n"
    "  --steady              the S-meter does not wander; only the knob moves it\n"
    "  --unplugged           start with the link leading nowhere, as an adapter\n"
    "                        not yet plugged in; the knob line \"plug\" plugs it\n"
    "  --without HEAD        the radio has no command with this head (\"BC0\"):\n"
    "                        it refuses it with \"?;\"; may be given again\n"
    "  --help                print this text\n"
    "\n"
    "Standard input takes one knob command a line, as if turned at the radio:\n"
    "  freq HZ      set the VFO-A frequency      mode X   set the mode digit\n"
    "  smeter N     set the S-meter (0..255)     off/on   switch off or on\n"
    "  hangup       close the terminal and quit   quit     quit\n"
    "  unplug       close the terminal; the link stays, leading nowhere, as a\n"
    "               pulled USB adapter's does     plug     a new terminal\n"
    "               behind the same link, as the adapter plugged in again\n"
    "  after MS LINE   the knob line LINE, MS milliseconds from now: a turn of\n"
    "               the knob by hand is a few \"after\" lines of \"freq\"\n"
    "Each knob line is written to the log as it takes effect, stamped like a\n"
    "command: REALTIME_US MONOTONIC_US knob LINE.\n"
    "When ready it prints \"ready PATH\" (the link) on standard output.\n"
    "\n"
    "It starts on 7 100 000 Hz LSB, switched on, not transmitting.\n";

namespace {

bool readNumber(const char* text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return end != text && *end == '\0';
}

bool readWhole(const char* text, long long minimum, long long maximum, long long& value) {
  char* end = nullptr;
  value = std::strtoll(text, &end, 10);
  return end != text && *end == '\0' && value >= minimum && value <= maximum;
}

}  // namespace

std::optional<SimOptions> parseSimOptions(int argc, char** argv, std::string& error) {
  enum {
    kDir = 1,
    kPort,
    kLog,
    kSeed,
    kDelay,
    kBaud,
    kSplit,
    kGarble,
    kSilent,
    kHangup,
    kOff,
    kSteady,
    kUnplugged,
    kEcho,
    kWithout,
    kModel,
    kIdentity,
    kHelp
  };
  static const option longOptions[] = {{"dir", required_argument, nullptr, kDir},
                                       {"port", required_argument, nullptr, kPort},
                                       {"log", required_argument, nullptr, kLog},
                                       {"seed", required_argument, nullptr, kSeed},
                                       {"delay", required_argument, nullptr, kDelay},
                                       {"baud", required_argument, nullptr, kBaud},
                                       {"split", optional_argument, nullptr, kSplit},
                                       {"garble", required_argument, nullptr, kGarble},
                                       {"silent", no_argument, nullptr, kSilent},
                                       {"hangup-after", required_argument, nullptr, kHangup},
                                       {"off", no_argument, nullptr, kOff},
                                       {"steady", no_argument, nullptr, kSteady},
                                       {"unplugged", no_argument, nullptr, kUnplugged},
                                       {"echo", no_argument, nullptr, kEcho},
                                       {"without", required_argument, nullptr, kWithout},
                                       {"model", required_argument, nullptr, kModel},
                                       {"identity", required_argument, nullptr, kIdentity},
                                       {"help", no_argument, nullptr, kHelp},
                                       {nullptr, 0, nullptr, 0}};

  SimOptions options;
  optind = 1;
  opterr = 0;
  int choice = 0;
  while ((choice = getopt_long(argc, argv, "", longOptions, nullptr)) != -1) {
    long long whole = 0;
    double real = 0.0;
    const std::string name = optind > 0 && optind <= argc ? argv[optind - 1] : "";
    switch (choice) {
      case kDir: options.folder = optarg; break;
      case kPort:
        if (!readWhole(optarg, 1, 256, whole)) { error = "--port wants 1..256"; return std::nullopt; }
        options.port = static_cast<int>(whole);
        break;
      case kLog: options.logPath = optarg; break;
      case kSeed:
        if (!readWhole(optarg, 0, INT64_MAX, whole)) { error = "--seed wants a whole number"; return std::nullopt; }
        options.seed = static_cast<std::uint64_t>(whole);
        break;
      case kDelay:
        if (!readWhole(optarg, 0, 60000, whole)) { error = "--delay wants 0..60000 ms"; return std::nullopt; }
        options.replyDelayMs = static_cast<int>(whole);
        break;
      case kBaud:
        if (!readWhole(optarg, 0, 1000000, whole)) { error = "--baud wants 0..1000000"; return std::nullopt; }
        options.baud = static_cast<int>(whole);
        break;
      case kSplit:
        options.split = true;
        if (optarg != nullptr) {
          if (!readWhole(optarg, 0, 60000, whole)) { error = "--split wants 0..60000 ms"; return std::nullopt; }
          options.splitGapMs = static_cast<int>(whole);
        }
        break;
      case kGarble:
        if (!readNumber(optarg, real) || real < 0.0 || real > 1.0) { error = "--garble wants 0..1"; return std::nullopt; }
        options.garbleRate = real;
        break;
      case kSilent: options.silent = true; break;
      case kHangup:
        if (!readNumber(optarg, real) || real < 0.0) { error = "--hangup-after wants seconds"; return std::nullopt; }
        options.hangupAfterSeconds = real;
        break;
      case kOff: options.startOff = true; break;
      case kSteady: options.steadySMeter = true; break;
      case kUnplugged: options.startUnplugged = true; break;
      case kEcho: options.echo = true; break;
      case kWithout:
        options.without.emplace_back(optarg);
        break;
      case kModel:
        options.model = yaesu::modelNamed(optarg);
        if (options.model == nullptr) {
          error = std::string("--model: no model ") + optarg;
          return std::nullopt;
        }
        break;
      case kIdentity:
        if (!readWhole(optarg, 1, 9999, whole)) {
          error = "--identity wants 1..9999";
          return std::nullopt;
        }
        options.identity = static_cast<int>(whole);
        break;
      case kHelp: error.clear(); return std::nullopt;
      default:
        error = "unknown or incomplete option " + name;
        return std::nullopt;
    }
  }
  if (optind < argc) {
    error = std::string("unexpected argument ") + argv[optind];
    return std::nullopt;
  }
  return options;
}
