// The system's speech on Linux: speech-dispatcher, the service Orca speaks
// through, so the operator's own voice, rate and language apply. It is
// started when it is not running, as it is for Orca.
//
// libspeechd waits for the service's every answer without a time limit, so
// every call to it is made on a thread of its own: a service that hangs
// leaves the program mute, never stuck. Utterances go to it in order.
#pragma once

#include <memory>
#include <string>
#include <thread>

#include "platform/platform.h"

class SpeechDispatcher {
 public:
  SpeechDispatcher() = default;
  // What was handed over is passed on before the connection closes (at most
  // a second); the service says it to its end.
  ~SpeechDispatcher();
  SpeechDispatcher(const SpeechDispatcher&) = delete;
  SpeechDispatcher& operator=(const SpeechDispatcher&) = delete;

  // Connects; why not, when the service cannot be had within a few seconds.
  std::string start();
  void speak(const std::string& text, Utterance kind);
  void cut();

 private:
  struct Shared;  // the requests, and the state of the connection
  static void run(const std::shared_ptr<Shared>& shared);
  std::shared_ptr<Shared> shared_;
  std::thread thread_;
};
