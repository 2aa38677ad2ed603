// LiveGps: the GPS port of a live session, read beside the instrument's
// port on the session's thread, by the same rules: the session owns the
// port, a device that goes away is opened again every reconnect period, and
// a different device found under the port's name is not read until the
// user says so. Nothing that happens here stops, pauses or slows the
// records: the GPS has its own state, shown beside the session's.
//
// The bytes are cut into sentences (NmeaFramer); each is stamped with its
// reception time from the session's clock and written at once to the NMEA
// file of the current part (NmeaLog.h: a sentence whose checksum is bad or
// missing is kept, marked, and never used), and each with a good checksum
// that decodes is handed on. A line the file refuses waits in memory (up to
// kHeldGpsBytes, the oldest dropped and counted beyond it) and is written
// first, in order, when the file takes lines again.
//
// The sentences of the last kLeadInNs are kept, so that each new part's
// NMEA file begins with them and its first records have fixes around them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Clock.h"
#include "core/DeviceIdentity.h"
#include "core/FixTimeline.h"
#include "core/LiveTransport.h"
#include "core/NmeaFramer.h"
#include "core/NmeaSentence.h"

namespace tessaly {

inline constexpr std::int64_t kLeadInNs = 5 * kNsPerSecond;
inline constexpr std::size_t kHeldGpsBytes = std::size_t{4} << 20;

enum class GpsPortState : std::uint8_t {
  None,         // no GPS port is set
  Open,         // read
  Lost,         // the device went away (or never opened): opened again every reconnect period
  OtherDevice,  // a different device under the port's name: not read until UseOtherDevice
};

struct GpsPortStatus {
  GpsPortState state = GpsPortState::None;
  std::string deviceText;           // the device lost, or the different device found
  std::uint64_t sentences = 0;      // received (bad checksums included)
  std::uint64_t badChecksums = 0;   // bad or missing: kept marked, never used
  std::uint64_t garbageBytes = 0;   // bytes that were no sentence
  std::uint64_t heldLines = 0;      // waiting to be written to the NMEA file
  std::uint64_t lostLines = 0;      // dropped from memory: the file took nothing for too long
  std::string writeError;           // why lines wait

  bool operator==(const GpsPortStatus&) const = default;
};

class LiveGps {
 public:
  // Writes a line to the current part's NMEA file: empty text, or why not.
  using WriteLine = std::function<std::string(std::string_view line)>;
  using OnSentence = std::function<void(const ReceivedSentence&)>;

  LiveGps(LiveTransport& transport, const Clock& clock, std::int64_t reconnectPeriodNs);
  LiveGps(const LiveGps&) = delete;
  LiveGps& operator=(const LiveGps&) = delete;

  // Opens the port (one that does not open is waited for as a lost one).
  void Start(WriteLine write, OnSentence onSentence);
  // Reads what the port still holds, writes what waits, closes the port.
  void Stop();
  // Reads what the port holds.
  void Poll();
  // Opens a lost device again when its time has come; writes what waits.
  void Tick();
  // Takes the different device found under the port's name as the GPS.
  void UseOtherDevice();

  const GpsPortStatus& Status() const { return status_; }

  // A new part's NMEA file has become the current one: the sentences of the
  // last kLeadInNs already written go to it first. Returns those of them
  // that decode, oldest first, with those still waiting to be written.
  std::vector<ReceivedSentence> StartPart();
  // The sentences of the last kLeadInNs that decode, oldest first.
  std::vector<ReceivedSentence> Recent() const;

 private:
  struct Line {
    std::int64_t utcNs;
    std::string sentence;
  };

  void Handle(std::string_view sentence);
  void Write(std::string line);
  bool WriteHeld();
  void Gone();
  void Open();

  LiveTransport& transport_;
  const Clock& clock_;
  std::int64_t reconnectPeriodNs_;
  WriteLine write_;
  OnSentence onSentence_;
  NmeaFramer framer_;
  GpsPortStatus status_;
  DeviceIdentity device_, candidate_;
  bool known_ = false;  // device_ is the one the port opened first
  std::int64_t nextReconnectNs_ = 0;
  std::deque<Line> recent_;              // the last kLeadInNs, oldest first
  std::deque<std::string> held_;         // lines waiting for the file: the newest
  std::size_t heldBytes_ = 0;
  std::string received_;
};

}  // namespace tessaly
