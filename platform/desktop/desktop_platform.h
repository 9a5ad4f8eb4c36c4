// The platform the program runs on at the desk: the SDL2 window and sound,
// speech-dispatcher, the POSIX serial ports and the local clock.
#pragma once

#include "platform/desktop/posix_serial.h"
#include "platform/desktop/sdl_sound.h"
#include "platform/desktop/sdl_window.h"
#include "platform/desktop/speech_dispatcher.h"
#include "platform/folder_lock.h"
#include "platform/platform.h"

class DesktopPlatform : public Platform {
 public:
  DesktopPlatform() = default;
  // A window still open (an end without the main loop: no quelmo.cfg) is
  // left to the process's end as well.
  ~DesktopPlatform() override { window_.closeForExit(); }
  DesktopPlatform(const DesktopPlatform&) = delete;
  DesktopPlatform& operator=(const DesktopPlatform&) = delete;

  bool openWindow(int left, int top, int width, int height, const std::string& title,
                  EventHandler handler) override {
    return window_.openWindow(left, top, width, height, title, std::move(handler));
  }
  void setTextPosition(int x, int y) override { window_.setTextPosition(x, y); }
  void printText(std::string_view text) override { window_.printText(text); }
  void setFont(const std::string& face, int points, int weight) override {
    window_.setFont(face, points, weight);
  }
  void startTimer(int intervalMs, int id) override { window_.startTimer(intervalMs, id); }
  void stopTimer(int id) override { window_.stopTimer(id); }
  void waitEvents() override {
    sound_.restIfSilent();
    window_.waitEvents();
  }
  // The program closes its window only at its end, which the process's end
  // follows.
  void closeWindow() override { window_.closeForExit(); }
  void showInTitle(int x, int y) override { window_.showInTitle(x, y); }

  int openSerial(int port, int baud) override { return ports_.openSerial(port, baud); }
  int setSerialReadMode(int port, int multiplier) override {
    return ports_.setSerialReadMode(port, multiplier);
  }
  int setSerialFormat(int port, int dataBits, int parity, int stopBits) override {
    return ports_.setSerialFormat(port, dataBits, parity, stopBits);
  }
  int serialBytesWaiting(int port) override { return ports_.serialBytesWaiting(port); }
  int readSerial(int port, char* buffer, int maximum) override {
    return ports_.readSerial(port, buffer, maximum);
  }
  int writeSerial(int port, const char* text, int length) override {
    return ports_.writeSerial(port, text, length);
  }
  int closeSerial(int port) override { return ports_.closeSerial(port); }
  SerialFault serialFault(int port) override { return ports_.serialFault(port); }
  int openNetworkLink(int port, const std::string& address) override {
    return ports_.openNetworkLink(port, address);
  }

  // A word waited for stops when the end is asked for; with the key too
  // when keys cut the phrase.
  void playSound(const std::string& name, bool wait) override {
    if (!wait) {
      sound_.playSound(name, false);
      return;
    }
    sound_.playSoundUntil(
        name, [this](int descriptor, auto until) { return window_.waitForEnd(descriptor, until); });
  }
  void pauseForSound(const std::string& name) override { sound_.pauseForSound(name); }
  bool playSoundUntilKey(const std::string& name) override {
    return sound_.playSoundUntil(name, [this](int descriptor, auto until) {
      return window_.waitForKeyOrEnd(descriptor, until);
    });
  }
  void setSpeechRate(double rate) override { sound_.setRate(rate); }
  void pauseSilently(const std::string& name) override { sound_.pauseSilently(name); }

  std::string startSystemSpeech() override { return speech_.start(); }
  void speakText(const std::string& text, Utterance kind) override { speech_.speak(text, kind); }
  void cutSpeech() override { speech_.cut(); }

  bool holdWorkingFolder() override { return folder_.hold(); }

  std::string dateText() override;
  std::string timeText() override;

 private:
  // The window closes before the sound device and the ports go; the
  // folder is let go last.
  FolderLock folder_;
  PosixSerialPorts ports_;
  SdlSound sound_;
  SpeechDispatcher speech_;
  SdlWindow window_;
};
