// The platform the program runs on under Windows: the Win32 window, waveOut
// sound, the screen reader or the Windows voice, the COM ports and the local
// clock.
#pragma once

#include "platform/folder_lock.h"
#include "platform/platform.h"
#include "platform/windows/wave_out_sound.h"
#include "platform/windows/win32_serial.h"
#include "platform/windows/win32_window.h"
#include "platform/windows/windows_speech.h"

class WindowsPlatform : public Platform {
 public:
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
  void waitEvents() override { window_.waitEvents(); }
  void closeWindow() override { window_.closeWindow(); }
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

  // A word waited for stops when the end is asked for; with a key too when
  // keys cut the phrase.
  void playSound(const std::string& name, bool wait) override {
    if (!wait) {
      sound_.playSound(name, false);
      return;
    }
    sound_.playSoundUntil(name, [this] { return window_.closeRequestWaiting(); });
  }
  void pauseForSound(const std::string& name) override { sound_.pauseForSound(name); }
  bool playSoundUntilKey(const std::string& name) override {
    return sound_.playSoundUntil(
        name, [this] { return window_.keyDownWaiting() || window_.closeRequestWaiting(); });
  }
  void setSpeechRate(double rate) override { sound_.setRate(rate); }
  void pauseSilently(const std::string& name) override { sound_.pauseSilently(name); }

  std::string startSystemSpeech() override {
    WindowsSpeech::System system = WindowsSpeech::System::ofWindows();
    return speech_.start(system, window_.provider(system.uia));
  }
  void speakText(const std::string& text, Utterance kind) override { speech_.speak(text, kind); }
  void cutSpeech() override { speech_.cut(); }

  bool holdWorkingFolder() override { return folder_.hold(); }

  std::string dateText() override;
  std::string timeText() override;

 private:
  // The window goes last: at the end of a Windows session its thread holds
  // the session open until then, when the port is closed and the last word
  // said.
  Win32Window window_;
  WaveOutSound sound_;
  WindowsSpeech speech_;
  Win32SerialPorts ports_;
  FolderLock folder_;
};
