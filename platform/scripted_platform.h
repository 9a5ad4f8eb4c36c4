// The scripted platform for tests: records every byte written to the port,
// every sound asked for and every text printed (with its position and font),
// feeds the radio's replies from a script or from a radio on the port, and
// has a fixed clock.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/window_title.h"

struct PrintedText {
  int x;
  int y;
  std::string face;  // empty for the window's initial font
  int points;
  int weight;
  std::string text;
};

struct SoundRequest {
  std::string name;
  bool wait;
  bool pause = false;  // asked for as a wait that takes its time even mute
  bool untilKey = false;  // played until a key is pressed
  bool silent = false;    // a pause taken in silence
  std::size_t bytesSentBefore = 0;  // the length of portBytes when it began
};

class ScriptedPlatform : public Platform {
 public:
  // Pixels a character advances the text position by, in every font.
  static constexpr int charWidth = 10;

  // --- What the program did ---
  std::string portBytes;              // every byte written to an open port
  std::vector<SoundRequest> sounds;   // every playSound, in order
  std::vector<PrintedText> printed;   // every printText, in order
  std::vector<std::string> calls;     // window, timer and port calls, in order
  bool windowOpen = false;
  EventHandler handler;
  std::vector<std::string> titles;  // every title the window took after it opened
  // The system's speech: "cut", or each utterance as its kind and text
  // ("answer: okay", "help: Keys...", "reading: 1 point 5").
  std::vector<std::string> speech;

  // --- What the machine does ---
  bool portAvailable = true;  // false: every openSerial fails, for openFault
  SerialFault openFault = SerialFault::noDevice;
  bool folderHeldElsewhere = false;  // another program holds the working folder
  bool goneAtNextRead = false;  // the next read finds the device gone: reads nothing
  std::string date = "06-12-2026";
  std::string time = "05:53:55";
  // The sound played until a key that a key is pressed during (1: the
  // first from now on; 0: none). A key-down waiting among the posted
  // events is pressed too.
  int keyDuringSound = 0;
  double speechRate = 1.0;  // as last set
  std::string noSystemSpeech;  // why the system's speech cannot be had (empty: it can)

  // Bytes the radio sends; they wait at the port until read.
  void queueReply(const std::string& bytes) { pendingInput_ += bytes; }
  // A radio on the port (none unless set): each command written to an open
  // port is handed to it whole, without its ";", and its answer, if any,
  // waits at the port at once, as a prompt radio's would.
  std::function<std::optional<std::string>(const std::string& command)> radio;
  // The port's device goes away (the adapter pulled): the port is closed,
  // and its fault is "gone".
  void unplug(int port);
  // An event for waitEvents to deliver.
  void postEvent(int code, int param) { events_.emplace_back(code, param); }

  // The commands written to the port, each with its ";".
  std::vector<std::string> commands() const;
  // The words spoken from the "wave\" folder, without the folder prefix.
  std::vector<std::string> words() const;
  // Forget what was recorded so far (not the script or the open ports).
  void clearRecords();

  bool openWindow(int left, int top, int width, int height, const std::string& title,
                  EventHandler eventHandler) override;
  void setTextPosition(int x, int y) override;
  void printText(std::string_view text) override;
  void setFont(const std::string& face, int points, int weight) override;
  void startTimer(int intervalMs, int id) override;
  void stopTimer(int id) override;
  void waitEvents() override;
  void closeWindow() override;
  void showInTitle(int x, int y) override { title_.follow(x, y); }

  int openSerial(int port, int baud) override;
  int setSerialReadMode(int port, int multiplier) override;
  int setSerialFormat(int port, int dataBits, int parity, int stopBits) override;
  int serialBytesWaiting(int port) override;
  int readSerial(int port, char* buffer, int maximum) override;
  int writeSerial(int port, const char* text, int length) override;
  int closeSerial(int port) override;
  SerialFault serialFault(int port) override;
  // Opens the port as openSerial does, noted as "openNetworkLink n address".
  int openNetworkLink(int port, const std::string& address) override;

  void playSound(const std::string& name, bool wait) override;
  void pauseForSound(const std::string& name) override;
  bool playSoundUntilKey(const std::string& name) override;
  void setSpeechRate(double rate) override { speechRate = rate; }
  void pauseSilently(const std::string& name) override;

  std::string startSystemSpeech() override { return noSystemSpeech; }
  void speakText(const std::string& text, Utterance kind) override;
  void cutSpeech() override { speech.push_back("cut"); }

  bool holdWorkingFolder() override { return !folderHeldElsewhere; }

  std::string dateText() override { return date; }
  std::string timeText() override { return time; }

  bool isPortOpen(int port) const { return openPorts_.count(port) != 0; }

 private:
  std::map<int, int> openPorts_;  // port number -> speed
  std::map<int, SerialFault> faults_;  // of the ports not open; closed when absent
  std::string pendingInput_;
  std::string command_;  // written to the radio since the last ";"
  std::deque<std::pair<int, int>> events_;
  int textX_ = 0;
  int textY_ = 0;
  std::string face_;
  int points_ = 0;
  int weight_ = 0;
  WindowTitle title_;
};
