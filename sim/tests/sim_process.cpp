#include "sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace {

std::int64_t nowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

int openPort(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return -1;
  termios settings{};
  tcgetattr(fd, &settings);
  cfmakeraw(&settings);
  cfsetispeed(&settings, B38400);
  cfsetospeed(&settings, B38400);
  settings.c_cflag |= CSTOPB | CLOCAL | CREAD;
  tcsetattr(fd, TCSANOW, &settings);
  return fd;
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& extraOptions) {
  char pattern[] = "/tmp/quelmo-sim-test-XXXXXX";
  folder_ = mkdtemp(pattern);
  int toSim[2];
  int fromSim[2];
  if (pipe(toSim) != 0 || pipe(fromSim) != 0) return;

  std::vector<std::string> arguments = {QUELMO_SIM_PATH, "--dir", folder_.string(), "--log",
                                        (folder_ / "sim.log").string(), "--seed", "7"};
  arguments.insert(arguments.end(), extraOptions.begin(), extraOptions.end());
  pid_ = fork();
  if (pid_ == 0) {
    dup2(toSim[0], STDIN_FILENO);
    dup2(fromSim[1], STDOUT_FILENO);
    close(toSim[1]);
    close(fromSim[0]);
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(toSim[0]);
  close(fromSim[1]);
  knobs_ = toSim[1];

  // The simulator says "ready" once the link exists.
  std::string said;
  pollfd output{fromSim[0], POLLIN, 0};
  const auto deadline = nowMs() + 3000;
  while (said.find('\n') == std::string::npos && nowMs() < deadline) {
    if (poll(&output, 1, 100) <= 0) continue;
    char buffer[256];
    const ssize_t count = read(fromSim[0], buffer, sizeof buffer);
    if (count <= 0) break;
    said.append(buffer, static_cast<std::size_t>(count));
  }
  close(fromSim[0]);
  if (said.rfind("ready ", 0) == 0) port_ = openPort(link().string());
}

SimProcess::~SimProcess() {
  if (port_ >= 0) close(port_);
  if (knobs_ >= 0) close(knobs_);
  if (terminate() == -1 && pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void SimProcess::send(const std::string& bytes) {
  (void)!write(port_, bytes.data(), bytes.size());
}

std::string SimProcess::readReply(int timeoutMs) {
  std::string reply;
  const auto deadline = nowMs() + timeoutMs;
  pollfd input{port_, POLLIN, 0};
  while (reply.find(';') == std::string::npos) {
    const auto left = deadline - nowMs();
    if (left <= 0 || poll(&input, 1, static_cast<int>(left)) <= 0) break;
    char c = 0;
    if (read(port_, &c, 1) != 1) break;
    reply += c;
  }
  return reply;
}

std::string SimProcess::readFor(int timeoutMs) {
  std::string received;
  const auto deadline = nowMs() + timeoutMs;
  pollfd input{port_, POLLIN, 0};
  for (auto left = deadline - nowMs(); left > 0; left = deadline - nowMs()) {
    if (poll(&input, 1, static_cast<int>(left)) <= 0) break;
    char buffer[64];
    const ssize_t count = read(port_, buffer, sizeof buffer);
    if (count <= 0) break;
    received.append(buffer, static_cast<std::size_t>(count));
  }
  return received;
}

std::string SimProcess::ask(const std::string& query, int timeoutMs) {
  send(query);
  return readReply(timeoutMs);
}

void SimProcess::turnKnob(const std::string& line) {
  const std::string text = line + "\n";
  (void)!write(knobs_, text.data(), text.size());
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

bool SimProcess::reopen() {
  if (port_ >= 0) close(port_);
  port_ = openPort(link().string());
  return port_ >= 0;
}

bool SimProcess::waitForHangup(int timeoutMs) {
  pollfd input{port_, POLLIN, 0};
  const auto deadline = nowMs() + timeoutMs;
  while (nowMs() < deadline) {
    if (poll(&input, 1, 50) > 0 && (input.revents & POLLHUP)) return true;
    char buffer[64];
    if (input.revents & POLLIN) (void)!read(port_, buffer, sizeof buffer);
  }
  return false;
}

std::vector<std::string> SimProcess::logLines() const {
  std::vector<std::string> lines;
  std::ifstream log(folder_ / "sim.log");
  for (std::string line; std::getline(log, line);) lines.push_back(line);
  return lines;
}

int SimProcess::terminate() {
  if (pid_ <= 0) return -1;
  kill(pid_, SIGTERM);
  return waitForExit(3000);
}

int SimProcess::waitForExit(int timeoutMs) {
  if (pid_ <= 0) return -1;
  const auto deadline = nowMs() + timeoutMs;
  int status = 0;
  while (nowMs() < deadline) {
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return status;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return -1;
}
