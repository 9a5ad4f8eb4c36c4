#include "platform/desktop/speech_dispatcher.h"

#include <libspeechd.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <deque>
#include <mutex>

namespace {

// Long enough for the service to be started and load its voice.
constexpr auto longestStart = std::chrono::seconds(5);
constexpr auto longestEnd = std::chrono::seconds(1);

// Answers are queued and never stop each other; the help ("text") is
// stopped by the next answer; a reading ("progress") that comes while
// another is said is dropped, but the last of a series is said.
SPDPriority priorityOf(Utterance kind) {
  switch (kind) {
    case Utterance::help:
      return SPD_TEXT;
    case Utterance::reading:
      return SPD_PROGRESS;
    case Utterance::answer:
      break;
  }
  return SPD_MESSAGE;
}

struct Request {
  bool cut = false;
  std::string text;
  Utterance kind = Utterance::answer;
};

}  // namespace

struct SpeechDispatcher::Shared {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<Request> requests;
  enum class State { opening, open, failed, finished } state = State::opening;
  std::string why;  // the service cannot be had
  bool ending = false;
};

namespace {

// The default address: $SPEECHD_ADDRESS, or the user's own socket.
SPDConnection* connect(std::string& why) {
  char* error = nullptr;
  SPDConnection* connection =
      spd_open2("quelmo", "main", nullptr, SPD_MODE_SINGLE, nullptr, 1, &error);
  if (connection == nullptr) why = error != nullptr ? error : "speech-dispatcher did not answer";
  std::free(error);
  return connection;
}

// A service that went away (ended, restarted) is connected to again, once
// for each utterance.
void say(SPDConnection*& connection, const Request& request) {
  std::string why;
  if (connection == nullptr) connection = connect(why);
  if (connection == nullptr) return;
  if (request.cut) {
    spd_cancel(connection);
    return;
  }
  if (spd_say(connection, priorityOf(request.kind), request.text.c_str()) >= 0) return;
  spd_close(connection);
  connection = connect(why);
  if (connection != nullptr) spd_say(connection, priorityOf(request.kind), request.text.c_str());
}

}  // namespace

void SpeechDispatcher::run(const std::shared_ptr<Shared>& shared) {
  std::string why;
  SPDConnection* connection = connect(why);
  std::unique_lock lock(shared->mutex);
  shared->state = connection != nullptr ? Shared::State::open : Shared::State::failed;
  shared->why = why;
  shared->changed.notify_all();
  while (connection != nullptr) {
    shared->changed.wait(lock, [&] { return shared->ending || !shared->requests.empty(); });
    if (shared->requests.empty()) break;  // ending, and all was handed over
    Request request = std::move(shared->requests.front());
    shared->requests.pop_front();
    lock.unlock();
    say(connection, request);
    lock.lock();
  }
  lock.unlock();
  if (connection != nullptr) spd_close(connection);
  lock.lock();
  shared->state = Shared::State::finished;
  shared->changed.notify_all();
}

std::string SpeechDispatcher::start() {
  if (shared_) return {};
  // A service that ends while a request is written to it must not end the
  // program with SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);
  auto shared = std::make_shared<Shared>();
  std::thread thread(&SpeechDispatcher::run, shared);
  std::unique_lock lock(shared->mutex);
  bool answered = shared->changed.wait_for(lock, longestStart,
                                           [&] { return shared->state != Shared::State::opening; });
  if (answered && shared->state == Shared::State::open) {
    lock.unlock();
    shared_ = std::move(shared);
    thread_ = std::move(thread);
    return {};
  }
  std::string why = answered ? shared->why : "speech-dispatcher did not answer within 5 seconds";
  // A thread that still waits for the service is left to it; it holds
  // nothing of this object.
  shared->ending = true;
  lock.unlock();
  if (answered) {
    thread.join();
  } else {
    thread.detach();
  }
  return why;
}

void SpeechDispatcher::speak(const std::string& text, Utterance kind) {
  if (!shared_) return;
  std::lock_guard lock(shared_->mutex);
  shared_->requests.push_back(Request{false, text, kind});
  shared_->changed.notify_all();
}

// What has not yet gone to the service is dropped here; the service drops
// the rest.
void SpeechDispatcher::cut() {
  if (!shared_) return;
  std::lock_guard lock(shared_->mutex);
  shared_->requests.clear();
  shared_->requests.push_back(Request{true, {}, Utterance::answer});
  shared_->changed.notify_all();
}

SpeechDispatcher::~SpeechDispatcher() {
  if (!shared_) return;
  std::unique_lock lock(shared_->mutex);
  shared_->ending = true;
  shared_->changed.notify_all();
  bool finished = shared_->changed.wait_for(
      lock, longestEnd, [this] { return shared_->state == Shared::State::finished; });
  lock.unlock();
  if (finished) {
    thread_.join();
  } else {
    thread_.detach();
  }
}
