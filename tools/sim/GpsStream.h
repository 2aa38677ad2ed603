// The simulated GPS of tessaly-sim: the sentences of an NMEA file as the
// generator writes it beside a log (gen_survey.py --nmea-out: each sentence
// after its UTC reception time and a tab), sent through a second
// pseudo-terminal at the pace their times give (the first at once), never
// faster than the GPS line's baud rate, with the GPS faults.
//
// An epoch is the run of sentences of one fix: a GGA or RMC after a sentence
// of another type starts the next. Faults go by epoch (an invalid fix, a
// dropout) or by sentence (a bad checksum). The report (--gps-sent) lists
// what went over the line:
//   S SENTENCE   sent as in the file
//   V SENTENCE   sent with its fix marked invalid
//   C SENTENCE   sent with a wrong checksum
//   D MS         a dropout: the epochs of the next MS milliseconds not sent
#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tools/sim/GpsFaults.h"
#include "tools/sim/LineClock.h"
#include "tools/sim/PtyDevice.h"
#include "tools/sim/SimOptions.h"

namespace tessaly::sim {

struct GpsSentence {
  std::int64_t offsetNs;  // reception time after the file's first sentence
  std::string text;       // without the line end
};

// The sentences of an NMEA file in file order. Throws std::runtime_error
// naming the file and line when a line is not a time and a sentence, or
// when the times go back.
std::vector<GpsSentence> ReadGpsSentences(const std::string& path);

inline constexpr std::chrono::milliseconds kGpsDrainLimit{2000};

class GpsStream {
 public:
  GpsStream(const SimOptions& options, std::vector<GpsSentence> sentences, const std::atomic<bool>& stop);

  // Opens the device, sends every sentence once (with --wait-open after a
  // reader has opened it), then keeps the device open until `finished` is
  // set or the run is stopped, and closes it.
  void Run(const std::atomic<bool>& finished);

 private:
  using Clock = LineClock::Clock;

  bool SendAll();
  bool SendEpoch(std::size_t first, std::size_t end, Clock::time_point start);
  bool Transmit(const std::string& bytes, Clock::time_point due);
  bool SleepUntil(Clock::time_point time);
  void Report(char tag, const std::string& text);

  const SimOptions& options_;
  std::vector<GpsSentence> sentences_;
  const std::atomic<bool>& stop_;
  PtyDevice device_;
  LineClock clock_;
  GpsFaults faults_;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> report_{nullptr, std::fclose};
  std::size_t epochsSinceDropout_ = 0;
};

}  // namespace tessaly::sim
