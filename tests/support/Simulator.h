// Running tessaly-sim from a test: the process, a reader on the slave side
// of its device, its --sent report read back, and generated logs to send.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/FileBytes.h"
#include "support/Generator.h"
#include "support/TempHome.h"
#include "tools/sim/SentReport.h"

extern char** environ;

namespace tessaly::simtest {

using Clock = std::chrono::steady_clock;

// The shared test helpers under the names these tests use.
using testing::ReadBytes;
using testing::WriteBytes;
using TempDir = testing::TempHome;

// Runs the project's survey generator: `arguments` plus -o path.
inline void Generate(const std::string& arguments, const std::string& path) {
  ASSERT_TRUE(testing::GenerateLog(arguments, path)) << arguments;
}

// tessaly-sim as a child process; its standard output (the device list) is
// read through a pipe, its standard error kept in a file.
class SimProcess {
 public:
  SimProcess(const std::vector<std::string>& arguments, const std::string& errorPath) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const std::string program = std::string(TESSALY_BIN_DIR) + "/tessaly-sim";
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    out_ = pipeEnds[0];
  }
  ~SimProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
  }
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  bool Started() const { return pid_ > 0; }

  // The next line of the device list; empty when none comes in time.
  std::string NextDevice(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = Clock::now() + timeout;
    while (true) {
      const auto newline = pending_.find('\n');
      if (newline != std::string::npos) {
        std::string line = pending_.substr(0, newline);
        pending_.erase(0, newline + 1);
        return line;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      pollfd entry{out_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&entry, 1, static_cast<int>(left.count())) <= 0) return {};
      char buffer[256];
      const ssize_t size = ::read(out_, buffer, sizeof buffer);
      if (size <= 0) return {};
      pending_.append(buffer, static_cast<std::size_t>(size));
    }
  }

  void Signal(int signal) const { ::kill(pid_, signal); }

  // The exit status, or -1 when the process has not ended in time (or did
  // not end normally).
  int Wait(std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    const auto deadline = Clock::now() + timeout;
    while (pid_ > 0) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      if (Clock::now() >= deadline) return -1;
      ::usleep(10000);
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string pending_;
};

// What a reader on the device received until the device hung up.
struct Received {
  std::string bytes;
  Clock::time_point opened, lastByte;
  bool hungUp = false;
};

// Opens the device (raw) and reads until it hangs up or `timeout` passes.
inline Received ReadUntilHangup(const std::string& device, std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
  Received received;
  received.opened = received.lastByte = Clock::now();
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return received;
  termios settings{};
  ::tcgetattr(fd, &settings);
  ::cfmakeraw(&settings);
  ::tcsetattr(fd, TCSANOW, &settings);
  const auto deadline = received.opened + timeout;
  while (Clock::now() < deadline) {
    pollfd entry{fd, POLLIN, 0};
    if (::poll(&entry, 1, 50) <= 0) continue;
    char buffer[4096];
    const ssize_t size = ::read(fd, buffer, sizeof buffer);
    if (size > 0) {
      received.bytes.append(buffer, static_cast<std::size_t>(size));
      received.lastByte = Clock::now();
      continue;
    }
    if (size == 0 || errno != EAGAIN) {  // end of file or EIO: the master is gone
      received.hungUp = true;
      break;
    }
  }
  ::close(fd);
  return received;
}

// One line of a --sent report: its tag and the rest after one blank.
struct SentEvent {
  char tag;
  std::string text;
};

inline std::vector<SentEvent> ReadSentReport(const std::string& path) {
  std::vector<SentEvent> events;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line))
    if (line.size() >= 2 && line[1] == ' ') events.push_back({line[0], line.substr(2)});
  return events;
}

// The bytes an event put on the line (R, S, G and I events; none for others).
inline std::string EventBytes(const SentEvent& event) { return sim::EventBytes(event.tag, event.text); }

// The bytes sent to each device in turn (a D event starts the next).
inline std::vector<std::string> BytesPerDevice(const std::vector<SentEvent>& events) {
  std::vector<std::string> devices;
  for (const SentEvent& event : events) {
    if (event.tag == 'D') devices.emplace_back();
    else if (!devices.empty()) devices.back() += EventBytes(event);
  }
  return devices;
}

// The records, in order: the R and S events.
inline std::vector<std::string> SentRecords(const std::vector<SentEvent>& events) {
  std::vector<std::string> records;
  for (const SentEvent& event : events)
    if (event.tag == 'R' || event.tag == 'S') records.push_back(EventBytes(event));
  return records;
}

inline std::size_t CountEvents(const std::vector<SentEvent>& events, char tag) {
  std::size_t count = 0;
  for (const SentEvent& event : events) count += event.tag == tag;
  return count;
}

}  // namespace tessaly::simtest
