#include "platform/scripted_platform.h"

#include <algorithm>

std::vector<std::string> ScriptedPlatform::commands() const {
  std::vector<std::string> list;
  std::string current;
  for (char c : portBytes) {
    current.push_back(c);
    if (c == ';') {
      list.push_back(current);
      current.clear();
    }
  }
  if (!current.empty()) list.push_back(current);
  return list;
}

std::vector<std::string> ScriptedPlatform::words() const {
  static const std::string folder = "wave\\";
  std::vector<std::string> list;
  for (const auto& request : sounds) {
    if (request.name.compare(0, folder.size(), folder) == 0) {
      list.push_back(request.name.substr(folder.size()));
    }
  }
  return list;
}

void ScriptedPlatform::clearRecords() {
  portBytes.clear();
  sounds.clear();
  printed.clear();
  calls.clear();
  titles.clear();
  speech.clear();
}

bool ScriptedPlatform::openWindow(int left, int top, int width, int height,
                                  const std::string& title, EventHandler eventHandler) {
  calls.push_back("openWindow " + std::to_string(left) + " " + std::to_string(top) + " " +
                  std::to_string(width) + " " + std::to_string(height) + " " + title);
  handler = std::move(eventHandler);
  windowOpen = true;
  title_.open(title);
  return true;
}

void ScriptedPlatform::setTextPosition(int x, int y) {
  textX_ = x;
  textY_ = y;
}

void ScriptedPlatform::printText(std::string_view text) {
  std::string drawn(text);
  if (drawn.size() >= 2 && drawn.compare(drawn.size() - 2, 2, "\r\n") == 0) {
    drawn.resize(drawn.size() - 2);
  }
  printed.push_back({textX_, textY_, face_, points_, weight_, drawn});
  int endX = textX_ + charWidth * static_cast<int>(drawn.size());
  if (windowOpen && title_.printed(textX_, textY_, endX, drawn)) titles.push_back(title_.text());
  textX_ = endX;
}

void ScriptedPlatform::setFont(const std::string& face, int points, int weight) {
  face_ = face;
  points_ = points;
  weight_ = weight;
}

void ScriptedPlatform::startTimer(int intervalMs, int id) {
  calls.push_back("startTimer " + std::to_string(intervalMs) + " " + std::to_string(id));
}

void ScriptedPlatform::stopTimer(int id) { calls.push_back("stopTimer " + std::to_string(id)); }

void ScriptedPlatform::waitEvents() {
  while (!events_.empty()) {
    auto [code, param] = events_.front();
    events_.pop_front();
    if (windowOpen && handler) handler(code, param);
  }
}

void ScriptedPlatform::closeWindow() {
  calls.push_back("closeWindow");
  windowOpen = false;
}

int ScriptedPlatform::openSerial(int port, int baud) {
  calls.push_back("openSerial " + std::to_string(port) + " " + std::to_string(baud));
  openPorts_.erase(port);
  if (port < 1 || port > 256 || !portAvailable) {
    faults_[port] = openFault;
    return 0;
  }
  openPorts_[port] = baud;
  return 1;
}

int ScriptedPlatform::openNetworkLink(int port, const std::string& address) {
  calls.push_back("openNetworkLink " + std::to_string(port) + " " + address);
  openPorts_.erase(port);
  if (port < 1 || port > 256 || !portAvailable) {
    faults_[port] = openFault;
    return 0;
  }
  openPorts_[port] = 0;
  return 1;
}

int ScriptedPlatform::setSerialReadMode(int port, int multiplier) {
  calls.push_back("setSerialReadMode " + std::to_string(port) + " " + std::to_string(multiplier));
  return isPortOpen(port) ? 1 : 0;
}

int ScriptedPlatform::setSerialFormat(int port, int dataBits, int parity, int stopBits) {
  calls.push_back("setSerialFormat " + std::to_string(port) + " " + std::to_string(dataBits) +
                  " " + std::to_string(parity) + " " + std::to_string(stopBits));
  return isPortOpen(port) ? 1 : 0;
}

int ScriptedPlatform::serialBytesWaiting(int port) {
  return isPortOpen(port) ? static_cast<int>(pendingInput_.size()) : 0;
}

int ScriptedPlatform::readSerial(int port, char* buffer, int maximum) {
  if (!isPortOpen(port) || maximum <= 0) return 0;
  if (goneAtNextRead) {
    goneAtNextRead = false;
    unplug(port);
    return 0;
  }
  int count = std::min(maximum, static_cast<int>(pendingInput_.size()));
  std::copy_n(pendingInput_.begin(), count, buffer);
  pendingInput_.erase(0, count);
  return count;
}

int ScriptedPlatform::writeSerial(int port, const char* text, int length) {
  if (!isPortOpen(port) || length <= 0) return 0;
  portBytes.append(text, length);
  for (int i = 0; radio && i < length; ++i) {
    if (text[i] != ';') {
      command_ += text[i];
      continue;
    }
    if (auto answer = radio(command_)) queueReply(*answer);
    command_.clear();
  }
  return length;
}

int ScriptedPlatform::closeSerial(int port) {
  calls.push_back("closeSerial " + std::to_string(port));
  faults_.erase(port);
  return openPorts_.erase(port) != 0 ? 1 : 0;
}

SerialFault ScriptedPlatform::serialFault(int port) {
  if (isPortOpen(port)) return SerialFault::none;
  auto fault = faults_.find(port);
  return fault == faults_.end() ? SerialFault::closed : fault->second;
}

void ScriptedPlatform::unplug(int port) {
  if (openPorts_.erase(port) != 0) faults_[port] = SerialFault::gone;
  pendingInput_.clear();
}

void ScriptedPlatform::playSound(const std::string& name, bool wait) {
  sounds.push_back({name, wait, false, false, false, portBytes.size()});
}

void ScriptedPlatform::pauseForSound(const std::string& name) {
  sounds.push_back({name, true, true, false, false, portBytes.size()});
}

void ScriptedPlatform::pauseSilently(const std::string& name) {
  sounds.push_back({name, true, true, false, true, portBytes.size()});
}

void ScriptedPlatform::speakText(const std::string& text, Utterance kind) {
  static constexpr const char* kinds[] = {"answer: ", "help: ", "reading: "};
  speech.push_back(kinds[static_cast<int>(kind)] + text);
}

bool ScriptedPlatform::playSoundUntilKey(const std::string& name) {
  sounds.push_back({name, true, false, true, false, portBytes.size()});
  bool keyPosted = std::any_of(events_.begin(), events_.end(),
                               [](const auto& e) { return e.first == event::keyDown; });
  if (keyDuringSound > 0 && --keyDuringSound == 0) return false;
  return !keyPosted;
}
