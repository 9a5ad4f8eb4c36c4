// The system's speech on Windows. While a screen reader runs (Windows says
// so: SPI_GETSCREENREADER), each utterance is a UI Automation notification
// from the window, which NVDA, JAWS and Narrator say in their own voice and
// show in braille; otherwise the voice chosen in Windows' settings says it
// (SAPI 5). Which one is asked at each utterance, so a screen reader started
// after the program is used from then on.
#pragma once

#include <windows.h>
// SAPI's header needs Windows' own first.
#include <sapi.h>

#include <string>

#include "platform/platform.h"
#include "platform/windows/window_provider.h"

class WindowsSpeech {
 public:
  // Where the screen reader's notifications go, and how to ask whether one
  // runs; tests put their own in.
  struct System {
    UiaCalls uia;
    bool (*screenReaderRuns)() = nullptr;
    bool useVoice = true;  // false: no SAPI voice is made
    static System ofWindows();
  };

  WindowsSpeech() = default;
  // What the voice was given is said to its end first (at most a few
  // seconds): the last words, "goodbye", are heard.
  ~WindowsSpeech();
  WindowsSpeech(const WindowsSpeech&) = delete;
  WindowsSpeech& operator=(const WindowsSpeech&) = delete;

  // The provider is the window's: the notifications are raised from it.
  // Why there is no speech to use, or nothing.
  std::string start(const System& system, WindowProvider* provider);
  void speak(const std::string& text, Utterance kind);
  void cut();

 private:
  void notify(const std::string& text, Utterance kind);
  void sayWithVoice(const std::string& text, Utterance kind);

  System system_;
  WindowProvider* provider_ = nullptr;  // a reference held
  ISpVoice* voice_ = nullptr;
  bool comStarted_ = false;
  bool started_ = false;
  // The next utterance replaces what is being said: after a cut, and after
  // the help.
  bool replaceNext_ = false;
};
