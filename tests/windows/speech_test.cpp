// The system's speech on Windows and the window as a screen reader reads it:
// the title that follows the readings, the window's UI Automation provider,
// and the notifications, through a double of UI Automation's functions
// (Wine's have no screen reader to speak them); the Windows voice as far as
// Wine has one.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/windows/win32_window.h"
#include "platform/windows/windows_speech.h"

namespace {

using namespace std::chrono_literals;

constexpr const char* title = "*** Quelmo Front Panel v1.9 ***";

struct Notification {
  std::wstring text;
  int processing;
  std::wstring activity;
  IRawElementProviderSimple* from;
};
std::vector<Notification> raised;
IRawElementProviderSimple* answeredWith = nullptr;
bool readerRuns = true;

HRESULT WINAPI recordNotification(IRawElementProviderSimple* provider, int kind, int processing,
                                  BSTR text, BSTR activityId) {
  EXPECT_EQ(kind, notification::other);
  raised.push_back({text, processing, activityId, provider});
  return S_OK;
}

LRESULT WINAPI recordAnswer(HWND, WPARAM, LPARAM, IRawElementProviderSimple* provider) {
  answeredWith = provider;
  return 1234;
}

bool screenReader() { return readerRuns; }

class SpeechTest : public ::testing::Test {
 protected:
  void SetUp() override {
    raised.clear();
    answeredWith = nullptr;
    readerRuns = true;
    ASSERT_TRUE(window.openWindow(350, 100, 950, 500, title, [](int, int) {}));
  }

  std::string windowText() {
    char text[256] = {};
    GetWindowTextA(window.handle(), text, sizeof text);
    return text;
  }

  UiaCalls doubles() {
    UiaCalls calls;
    calls.raiseNotification = recordNotification;
    calls.returnProvider = recordAnswer;
    return calls;
  }

  Win32Window window;
};

TEST_F(SpeechTest, TheTitleFollowsTheReadingsShown) {
  window.showInTitle(50, 45);
  window.showInTitle(285, 150);
  window.showInTitle(750, 45);
  window.setFont("Arial", 50, 700);
  window.setTextPosition(50, 45);
  window.printText("USB\r\n");
  window.setTextPosition(285, 150);
  window.printText(" 14.200000      ");
  window.setTextPosition(750, 45);
  window.printText("S9");
  window.printText("+");
  window.setTextPosition(140, 380);
  window.printText("b=Band");  // no reading
  const std::string expected = std::string("USB 14.200000 S9+ - ") + title;
  auto until = std::chrono::steady_clock::now() + 2s;
  while (windowText() != expected && std::chrono::steady_clock::now() < until) Sleep(10);
  EXPECT_EQ(windowText(), expected);
}

// UI Automation gets the window's own provider only once the program has
// asked for it; the provider's name is the window's title.
TEST_F(SpeechTest, TheWindowAnswersUiAutomationWithItsProvider) {
  HWND handle = window.handle();
  SendMessageA(handle, WM_GETOBJECT, 0, static_cast<LPARAM>(uiaRootObjectId));
  EXPECT_EQ(answeredWith, nullptr);
  WindowProvider* provider = window.provider(doubles());
  ASSERT_NE(provider, nullptr);
  EXPECT_EQ(window.provider(doubles()), provider);  // one provider
  EXPECT_EQ(SendMessageA(handle, WM_GETOBJECT, 0, static_cast<LPARAM>(uiaRootObjectId)), 1234);
  EXPECT_EQ(answeredWith, provider);
  VARIANT name;
  ASSERT_EQ(provider->GetPropertyValue(UIA_NamePropertyId, &name), S_OK);
  ASSERT_EQ(name.vt, VT_BSTR);
  EXPECT_EQ(std::wstring(name.bstrVal), L"*** Quelmo Front Panel v1.9 ***");
  VariantClear(&name);
}

// Answers are said in turn; after the help or a cut the next replaces what
// is being said; a reading waits for the one being said, the newest only.
TEST_F(SpeechTest, EachUtteranceIsANotificationFromTheWindow) {
  WindowsSpeech speech;
  WindowProvider* provider = window.provider(doubles());
  ASSERT_EQ(speech.start({doubles(), screenReader, false}, provider), "");
  speech.speak("U S B one four point two megahertz", Utterance::answer);
  speech.speak("Keys. B, band.", Utterance::help);
  speech.speak("okay", Utterance::answer);
  speech.speak("one point five", Utterance::reading);
  speech.cut();
  speech.speak("tune off", Utterance::answer);
  ASSERT_EQ(raised.size(), 5U);
  EXPECT_EQ(raised[0].text, L"U S B one four point two megahertz");
  EXPECT_EQ(raised[0].processing, notification::all);
  EXPECT_EQ(raised[0].from, provider);
  EXPECT_EQ(raised[1].processing, notification::all);
  EXPECT_EQ(raised[2].text, L"okay");
  EXPECT_EQ(raised[2].processing, notification::mostRecent);
  EXPECT_EQ(raised[3].processing, notification::currentThenMostRecent);
  EXPECT_NE(raised[3].activity, raised[2].activity);
  EXPECT_EQ(raised[4].text, L"tune off");
  EXPECT_EQ(raised[4].processing, notification::mostRecent);
}

// Without a screen reader and without a voice there is no system's speech:
// the program is told why, and falls back on its recordings.
TEST_F(SpeechTest, WithoutAScreenReaderOrAVoiceThereIsNone) {
  readerRuns = false;
  WindowsSpeech speech;
  std::string why = speech.start({doubles(), screenReader, false}, window.provider(doubles()));
  EXPECT_EQ(why, "no screen reader runs, and not asked for") << why;
  speech.speak("okay", Utterance::answer);
  EXPECT_TRUE(raised.empty());
}

// Wine's SAPI: whatever it has, asking for the voice, speaking through it,
// cutting it and ending never hang (the end waits for the voice at most 5 s).
TEST_F(SpeechTest, TheWindowsVoiceNeverHoldsTheProgram) {
  readerRuns = false;
  auto start = std::chrono::steady_clock::now();
  std::string why;
  {
    WindowsSpeech speech;
    why = speech.start({UiaCalls{}, screenReader, true}, nullptr);
    speech.speak("one two three", Utterance::answer);
    speech.cut();
    speech.speak("four", Utterance::answer);
  }
  std::printf("Wine's voice: %s\n", why.empty() ? "in use" : why.c_str());
  EXPECT_TRUE(why.empty() || why.starts_with("this Windows has no UI Automation notifications, "
                                             "and Windows has no voice: SAPI answered 0x"))
      << why;
  EXPECT_LT(std::chrono::steady_clock::now() - start, 6s);
}

}  // namespace
