// The program's state and its routines. The data members are the program's
// variables, plain and public, so a test can set up a situation and inspect
// the result; the member functions are its routines, and each is defined in
// the folder of its subsystem (app/, radio/, speech/, controls/).
//
// A routine is told what to do by the state its caller set, or by its
// argument where that is what it is told: the event it handles, the key it
// steps for, the reading it takes, the word it says. The radio is behind
// the radio interface (radio/radio.h): the routines call its operations and
// work on its readings, and never see the radio's own texts.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_file.h"
#include "radio/radio.h"
#include "state/named_values.h"
#include "state/poll_queries.h"

class FrontPanel {
 public:
  // Speaks to the radio in the Yaesu CAT dialect (app/front_panel.cpp),
  // until the configuration chooses rigctld's (chooseRadio).
  explicit FrontPanel(Platform& machine);

  Platform& platform;

  // ===== Configuration: "quelmo.cfg" (app/configuration.cpp, app/options.cpp) =====
  int comPort = 0;
  int baudRate = 0;
  int powerWatts = 0;  // also the transmit power the P key and the arrows set
  SwrAnnounce swrAnnounce = SwrAnnounce::whenAsked;
  int tuneCarrier = 0;
  Text bandCoverage;
  int powerControl = 0;
  int debugFlag = 0;
  // Options, "NAME=value" lines after the eighth.
  int speechCut = 0;          // 1: a key stops the phrase being spoken
  double speechRate = 1.0;    // words played this many times as fast
  int speakRadioChanges = 0;  // 1: changes made at the radio are said
  int systemSpeech = 0;       // 1: the system's speech says the words' texts
  // The radio behind Hamlib's rigctld at this address ("127.0.0.1:4532"),
  // on the port rigctldPort; empty: the Yaesu CAT dialect on line 1's port.
  std::string rigctldAddress;
  std::string noSystemSpeech;  // why the system's speech asked for cannot be used

  // ===== The program: identity, files, life and events (app/) =====
  Text versionText;
  Text bannerText;
  Text scratchText;  // the line printed after the banner
  Text waveDir;      // the voice's folder, before each word's name
  TextFile configFile;
  TextFile debugFile;
  TextFile memoryFile;
  int running = 0;
  int ended = 0;      // 1 once the program's end has begun: no event acts after it
  int phraseCut = 0;  // 1 once a key has cut the phrase: the event's words are skipped
  std::string utterance;  // the event's words so far, as the system's speech says them
  std::vector<std::string> unloggedProblems;  // reported before the traffic log was open
  std::vector<std::string> startProblems;     // reported before the main loop: problems.txt

  // ===== Radio link: commands, the poll and the watch on the link (radio/) =====
  int dataBits = 0;  // the serial line's format
  int parity = 0;
  int stopBits = 0;
  std::unique_ptr<Radio> radio;  // its operations and readings
  int awaitingReply = 0;
  int pollToggle = 0;         // 0: the frequency is asked next, 1: a meter
  int pollTick = 0;           // the poll's ticks so far
  int stateCommandCount = 0;  // the frequency and mode commands sent so far
  PollQueries pollQueries;    // the poll's queries not yet answered
  int connectedSpoken = 0;    // 1 once the radio has answered, until it is lost
  int ticksWithoutReply = 0;  // ticks since the radio last answered
  int ticksSinceOpen = 0;     // ticks since the port was last opened
  int radioLost = 0;          // 1 while a radio that had answered does not
  int linkFaultsSaid = 0;     // the reasons said since the radio was last found, a bit each
  int foundSinceStart = 0;    // 1 once the radio has been found (radioFound) since the start
  // Which radio answers (radio/identity.cpp): 1 once it has answered "ID;"
  // (or refused it) since the link last failed.
  int radioIdentified = 0;
  std::string unknownIdentitySaid;  // the last identity said to be of no model of the table
  // A radio that answers in another language: its first such reply while
  // no frequency has been taken, the ticks since, and 1 once that was said.
  std::string foreignReply;
  int ticksNotUnderstood = 0;
  int notUnderstoodSaid = 0;
  Absence radioAbsence = Absence::unknown;  // what rigctld said of a radio that does not answer

  // ===== The radio as last read or set: frequency, band and mode (controls/, radio/) =====
  int frequencyHz = 0;
  int bandIndex = 0;           // 1..13, 99 outside every band
  int modeIndex = 0;           // 1 LSB, 2 USB, 3 CW, 4 AM, 5 FM
  // The radio's last current report of its frequency (0 before the first).
  int reportedHz = 0;
  Text freqDisplay;            // " 14.200000", as shown; empty before the first reply
  int lastReplyMode = 0;       // the radio's mode when it sent that reply
  int lastReplyPointBand = 0;  // pointModeBand then: the band that mode was chosen for
  int sMeterDb = sZeroDb;      // the last S-meter reading, in dB over S9
  int swrTenths = swrMatchedTenths;  // the last SWR reading, the ratio in tenths
  // The poll ticks those readings came at; noReading: none since the radio
  // was found (the S-meter) or the tuning began (the SWR). A reading older
  // than a second is no reading either (speech/meter_announcers.cpp).
  int sMeterTick = noReading;
  int swrTick = noReading;
  // The band memory, indexed by band 1..13 (0 unused).
  std::array<int, 14> bandHz{};        // the band's last frequency
  std::array<Text, 14> bandMode;       // one digit "1".."5"
  int bandStepPending = 0;             // band steps queued by the arrows, taken one a reply
  // The band whose mode an entry's point chose while the radio stays on the
  // old band's frequency. That mode is not stored for the band the radio
  // reports until the entry is sent, a band or a channel is chosen, or the
  // radio's own mode changes (0: none).
  int pointModeBand = 0;
  // Changes made at the radio (SPEAK_RADIO_CHANGES).
  int heardFrequencyHz = 0;  // the frequency the operator chose or was last told
  RadioMode radioMode;       // the radio's mode, as last commanded or reported
  RadioMode heardRadioMode;  // the mode the operator chose or was last told
  int radioMovedTick = 0;    // the poll tick the radio's frequency or mode last moved

  // ===== Keyboard and direct entry (app/event_handler.cpp, controls/direct_entry.cpp) =====
  int keyHeld = 0;     // the key last pressed while it is down (0: none), whose repeats are ignored
  int entryValue = 0;  // noEntry: no entry since start-up
  int entryMhzDigits = 0;
  int entryPointSeen = 0;
  int entryPointRefused = 0;  // 1: the point was refused, so Enter refuses the entry
  int entryArmed = 0;
  int entryBand = 0;

  // ===== Levels (controls/levels.cpp) =====
  Focus focusControl = Focus::frequency;  // what the Up and Down keys adjust
  int afGain = 0;
  int rfGain = 0;
  int filterWidth = 0;

  // ===== On/off functions and the tuning (controls/on_off.cpp) =====
  int preampOn = 0;
  int attenuatorOn = 0;
  int noiseBlankerOn = 0;
  int noiseReductionOn = 0;
  int notchOn = 0;
  int processorOn = 0;
  int tuneActive = 0;
  int tuneEndOwed = 0;  // 1: a tuning was ended while the radio did not answer; its end goes again

  // ===== Memory channels 0..9 (controls/memory_channels.cpp) =====
  std::array<Text, 10> memoryChannel;                 // mode digit + 9 frequency digits, "9" empty
  ChannelAction channelAction = ChannelAction::none;  // waiting for its digit
  int memoryFileKept = 0;  // 1: "memory.dat" was unreadable or no memory file; never saved over

  // ===== Routines =====

  // app/: configuration, opening sequence, event handler and key map.
  bool readConfiguration();  // false when "quelmo.cfg" is missing or unreadable
  void chooseRadio();        // after the options: rigctld's dialect when RIGCTLD names it
  void refuseConfiguration(const std::string& why);  // said, and on standard error
  void openingSequence();
  void setInitialValues();  // the state the opening sequence starts from
  void sendOpeningState();  // the commands that bring the radio to it
  void switchRadioOn();     // the wake-up and the power switched on, each with its pause
  void openRadioPort();     // comPort at baudRate, reads never waiting, 8N2
  void writeProblemFile();  // "problems.txt": the start's problems, or no file
  void handleEvent(int code, int param);
  // Every way the program ends comes here, once: a tuning in progress ends
  // first, then the memories are saved, "quit" is said when the quit key
  // asked, the radio is switched off when so configured and the port is
  // closed. Events that arrive after it are not acted on.
  void endProgram(bool quitKey);

  // radio/: the traffic log; the frequency and mode commanded, the poll and
  // what it reads.
  void openTrafficLog();                         // "debug.dat" with its header line
  void writeLogLine(std::string_view line);      // when logging is on
  void logKey(int code);                         // the key's line
  void reportProblem(std::string_view message);  // standard error and the log
  // The radio told a frequency or a mode: each counts for the poll's rule on
  // late replies, and none is a change made at the radio.
  void commandFrequency(int hz);
  void commandMode(int mode);
  void pollRadio();
  void takeReading(const Reading& reading);  // one answer of the radio, in order
  // A question outside the poll's turns; its number among those waiting, 0
  // when it did not go out. An answer that connects says "connected"
  // (radioFound).
  int askRadio(Question question, bool connects);
  void askFrequencyFirst();  // before a key that starts from the radio's frequency
  void readFrequencyReply(const Reading& reading);
  bool watchLink();      // each tick; false while the port is not open
  void radioAnswered();  // a whole reply has come
  void radioFound();     // its first answer since the start or since it was missing
  // radio/identity.cpp: which radio answers.
  void askIdentityAndWait();                  // asked, and its answer waited for briefly
  void takeIdentity(const Reading& reading);  // its identity, or its refusal of "ID;"
  void takeForeignReply(const Reading& reading);
  void watchUnderstanding();  // each tick: a radio that answers, but never as the dialect reads
  std::string linkName() const;  // "port 1", or "rigctld at 127.0.0.1:4532", for messages
  void readModeReply(const Reading& reading);
  void takeRefusal(const Reading& refusal);
  void takeAbsence(const Reading& absence);  // rigctld says the radio does not answer
  void sayRadioChangesAtRest();  // what the radio changed, once it rests
  void askFrequencyAtEnd();      // once more, briefly, for the band memory saved

  // speech/: the word player and the announcers.
  void speakWord(std::string_view word);
  void speakPause(std::string_view word);  // takes the word's time, even mute
  void startWord(std::string_view word);   // not waited for: the help
  // The system's speech (SYSTEM_SPEECH=1): the words gathered in utterance
  // are handed over at the end of each event and before a pause.
  void chooseSpeech();  // after the options are read; falls back to the recordings
  void addToUtterance(std::string_view word);
  void handOverUtterance(Utterance kind = Utterance::answer);
  void keyCutsSpeech();     // with SPEECH_CUT, a key stops what is being said
  void checkVoiceFolder();  // says on standard error and in the log why no recorded word can be heard
  void announceFrequency();
  void announceSMeter();
  void showSMeter();  // the S-meter's label printed, nothing said
  void forgetStaleMeters();  // a reading older than a second leaves the window
  void announceSwr();
  void announceSwrUntilKey();
  void announcePower();
  void announceMode();
  void announceBand();
  void announceNoBandToStepFrom();  // "band" "un"
  void announceWidth();

  // controls/: band and mode.
  void fillInitialBandMemory();  // the band memory before "memory.dat" is read
  void sendMode();               // modeIndex, shown and commanded
  void selectMode();             // sendMode, then the frequency rounded to it
  void snapToKilohertz();
  void nextMode();
  void selectBand();
  void trackBand();
  void takeQueuedBandStep();  // after each frequency reply
  void saveBandMode();
  void restoreBandMode();
  void bandForEntry();
  void selectBandByDigit(int digit);

  // controls/: frequency steps and direct entry.
  void sendFrequency(int hz);  // commands it and makes it frequencyHz
  void stepFrequency(int code);  // the key's step, if it has one
  void startEntry();
  void handleDigit(int digit);
  void acceptEntryPoint();
  void completeEntry();

  // controls/: levels.
  bool notAvailable(Level level);  // says so when the radio lacks the level
  void adjustUp();
  void adjustDown();
  void sendPower();
  void sendAfGain();
  void sendRfGain();
  void sendFilterWidth();
  void setNormalWidth();  // the radio's width step nearest 2.4 kHz

  // controls/: on/off functions and the tuning.
  void togglePreamp();
  void toggleAttenuator();
  void toggleNoiseBlanker();
  void toggleNoiseReduction();
  void toggleNotch();
  void toggleSpeechProcessor();
  void setPreamp(bool on);  // through togglePreamp: heard and sent
  void toggleTune();
  void tuneOffWhileLost();  // ended in the program, its end owed to the radio
  void endTuning();         // as the tune key does: "TX0" before anything else

  // controls/: memory channels and "memory.dat".
  void storeChannel(int digit);
  void recallChannel(int digit);
  bool saveMemoryFile();  // false when nothing was saved, the reason reported
  void loadMemoryFile();
  void refuseMemoryFile(const std::string& why);
};
