// speech-dispatcher missing or hung: the program is told why, within a few
// seconds, and is never held (the service's own answers are read on a thread
// of the program's, since libspeechd waits for them without a time limit).
#include "platform/desktop/speech_dispatcher.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// The service's address for the length of a test; none is ever started.
class ServiceAt {
 public:
  explicit ServiceAt(const std::string& socket) {
    setenv("SPEECHD_ADDRESS", ("unix_socket:" + socket).c_str(), 1);
    setenv("SPEECHD_CMD", "/nonexistent/speech-dispatcher", 1);
  }
  ~ServiceAt() {
    unsetenv("SPEECHD_ADDRESS");
    unsetenv("SPEECHD_CMD");
  }
};

std::string socketPath(const char* name) {
  return (std::filesystem::temp_directory_path() /
          (std::string(name) + std::to_string(getpid()) + ".sock"))
      .string();
}

TEST(SpeechDispatcherTest, NoServiceIsToldAtOnce) {
  ServiceAt address(socketPath("quelmo-no-speechd-"));
  SpeechDispatcher speech;
  auto start = Clock::now();
  std::string why = speech.start();
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
  EXPECT_NE(why.find("Can't connect"), std::string::npos) << why;
  speech.speak("okay", Utterance::answer);  // nothing to say it: no effect
  speech.cut();
}

// A service that takes the connection and never answers.
TEST(SpeechDispatcherTest, AHungServiceHoldsTheProgramAtMostFiveSeconds) {
  std::string path = socketPath("quelmo-hung-speechd-");
  int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_un where{};
  where.sun_family = AF_UNIX;
  path.copy(where.sun_path, sizeof where.sun_path - 1);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&where), sizeof where), 0);
  ASSERT_EQ(listen(listener, 4), 0);
  ServiceAt address(path);
  auto start = Clock::now();
  {
    SpeechDispatcher speech;
    EXPECT_EQ(speech.start(), "speech-dispatcher did not answer within 5 seconds");
    speech.speak("okay", Utterance::answer);
  }
  auto took = Clock::now() - start;
  EXPECT_GE(took, std::chrono::seconds(5));
  EXPECT_LT(took, std::chrono::seconds(7));
  close(listener);
  unlink(path.c_str());
}

}  // namespace
