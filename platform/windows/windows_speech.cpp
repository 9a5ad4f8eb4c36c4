#include "platform/windows/windows_speech.h"

#include <cstdio>

namespace {

// SAPI's voice object.
constexpr CLSID voiceClass = {
    0x96749377, 0x3391, 0x11d2, {0x9e, 0xe3, 0x00, 0xc0, 0x4f, 0x79, 0x73, 0x96}};

// The longest the end waits for the voice to finish.
constexpr ULONG longestEndMs = 5000;

bool screenReaderRuns() {
  BOOL running = FALSE;
  return SystemParametersInfoA(SPI_GETSCREENREADER, 0, &running, 0) && running;
}

std::wstring wide(const std::string& text) {
  int length =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring result(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(), length);
  return result;
}

std::string hexText(HRESULT result) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
  return text;
}

}  // namespace

WindowsSpeech::System WindowsSpeech::System::ofWindows() {
  return System{UiaCalls::ofSystem(), &::screenReaderRuns, true};
}

std::string WindowsSpeech::start(const System& system, WindowProvider* provider) {
  if (started_) return {};
  system_ = system;
  provider_ = provider;
  if (provider_ != nullptr) provider_->AddRef();
  std::string whyNoVoice = "not asked for";
  if (system_.useVoice) {
    HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    comStarted_ = SUCCEEDED(com);
    HRESULT made = CoCreateInstance(voiceClass, nullptr, CLSCTX_ALL, __uuidof(ISpVoice),
                                    reinterpret_cast<void**>(&voice_));
    if (FAILED(made)) {
      voice_ = nullptr;
      whyNoVoice = "Windows has no voice: SAPI answered " + hexText(made);
    }
  }
  bool notifications = system_.uia.raiseNotification != nullptr && provider_ != nullptr;
  if (voice_ == nullptr && !(notifications && system_.screenReaderRuns())) {
    std::string why = notifications
                          ? "no screen reader runs, and " + whyNoVoice
                          : "this Windows has no UI Automation notifications, and " + whyNoVoice;
    return why;
  }
  started_ = true;
  return {};
}

WindowsSpeech::~WindowsSpeech() {
  if (voice_ != nullptr) {
    voice_->WaitUntilDone(longestEndMs);
    voice_->Release();
  }
  if (provider_ != nullptr) provider_->Release();
  if (comStarted_) CoUninitialize();
}

void WindowsSpeech::speak(const std::string& text, Utterance kind) {
  if (!started_) return;
  bool notifications = system_.uia.raiseNotification != nullptr && provider_ != nullptr;
  if (notifications && system_.screenReaderRuns()) {
    notify(text, kind);
  } else if (voice_ != nullptr) {
    sayWithVoice(text, kind);
  }
  replaceNext_ = kind == Utterance::help;
}

// Answers are said in turn; one that follows a cut or the help replaces
// what is being said; a reading waits for the one being said, and only the
// newest waits.
void WindowsSpeech::notify(const std::string& text, Utterance kind) {
  int processing = replaceNext_ ? notification::mostRecent : notification::all;
  const wchar_t* activity = L"quelmo.answer";
  if (kind == Utterance::reading && !replaceNext_) {
    processing = notification::currentThenMostRecent;
    activity = L"quelmo.reading";
  }
  BSTR said = SysAllocString(wide(text).c_str());
  BSTR activityId = SysAllocString(activity);
  system_.uia.raiseNotification(provider_, notification::other, processing, said, activityId);
  SysFreeString(said);
  SysFreeString(activityId);
}

// A reading that comes while the voice speaks is left out: the next one
// will be newer.
void WindowsSpeech::sayWithVoice(const std::string& text, Utterance kind) {
  if (kind == Utterance::reading && !replaceNext_) {
    SPVOICESTATUS status{};
    if (SUCCEEDED(voice_->GetStatus(&status, nullptr)) &&
        status.dwRunningState == SPRS_IS_SPEAKING) {
      return;
    }
  }
  DWORD flags = SPF_ASYNC | SPF_IS_NOT_XML | (replaceNext_ ? SPF_PURGEBEFORESPEAK : 0);
  voice_->Speak(wide(text).c_str(), flags, nullptr);
}

// The voice stops at once; a screen reader's speech is replaced by the
// next notification (and screen readers stop their speech at a key of
// their own accord).
void WindowsSpeech::cut() {
  if (!started_) return;
  if (voice_ != nullptr) voice_->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr);
  replaceNext_ = true;
}
