// LogPositioner: the records of a log positioned after the survey from the
// files beside it (LOG.times, LOG.nmea and, where it exists, LOG.cable),
// read in step with the records.
//
// The records come one at a time in row order; the reception times are read
// up to the record's row and the NMEA file up to a few seconds past its
// time, and fixes older than a minute before it are forgotten
// (FixTimeline::ForgetBefore), so a log of any length is positioned in
// bounded memory. The positions are those of RecordPositioner over the
// whole files (ReadReceptionTimes, ReadNmeaLog, ReadCableHistory) whenever
// the NMEA file's reception times do not go back and a record's time is
// never more than kKeptSeconds behind an earlier record's: the same rule,
// so the document, the exports and tessaly-cli position agree.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/CableHistory.h"
#include "core/FixTimeline.h"
#include "core/Layback.h"
#include "core/NmeaLog.h"
#include "core/ReceivedRecord.h"
#include "core/ReceptionTimes.h"
#include "core/RecordNumbers.h"
#include "core/RecordPositions.h"
#include "core/SideFile.h"

namespace tessaly {

struct LogSideFiles {
  std::string times, nmea;
  std::string cable;  // may not exist; empty: none
};

// What the positioning needs of a record: its row and its towfish depth
// where it has one.
RecordFacts FactsOf(std::uint64_t row, const RecordNumbers& numbers);
// What a source keeps of a positioned record.
ReceivedRecord ReceivedOf(const PositionedRecord& record);

// LOG.times, LOG.nmea and LOG.cable.
LogSideFiles SideFilesOf(const std::string& log);
// Whether `log` has what positioning needs beside it: its .times and .nmea
// files (a live part does).
bool HasPositioningFiles(const std::string& log);

class LogPositioner {
 public:
  // Fixes received this long before a record are kept for the records after
  // it, so a system clock set back by less still positions them exactly.
  static constexpr std::int64_t kKeptSeconds = 60;
  // Problems kept to be told; the rest are only counted.
  static constexpr std::size_t kMaxProblems = 100;

  LogPositioner() = default;
  LogPositioner(const LogPositioner&) = delete;
  LogPositioner& operator=(const LogPositioner&) = delete;

  // Opens the times and the NMEA file and reads the cable history (unless
  // `useCableFile` is false or the file does not exist: the settings' cable
  // out then holds throughout). Empty text when they can be read, else why
  // not.
  std::string Open(const LogSideFiles& files, const LaybackSettings& settings, bool useCableFile = true);

  // The next record; rows rise from one call to the next.
  PositionedRecord Next(const RecordFacts& record);

  // Lines of the files left out so far, "FILE: line N: why" (the first
  // kMaxProblems), and how many in all.
  const std::vector<std::string>& Problems() const { return problems_; }
  std::uint64_t ProblemCount() const { return problemCount_; }
  const NmeaLogCounts& NmeaCounts() const { return nmeaCounts_; }
  // Why a file could not be read to its end; empty when none.
  std::string Error() const;
  // The GPS fixes held now (what the positioner's memory grows with).
  std::size_t HeldFixes() const { return fixes_.Fixes().size(); }

  // The layback as used, for an export's header: "cable 50 m, tow point 0 m
  // astern and 0 m to starboard of the antenna, depth 0 m where a record
  // has none, along the course made good over 30 s" (with the cable file
  // named when it changed the cable out).
  std::string Description() const;

 private:
  std::optional<ReceptionTime> TimeOfRow(std::uint64_t row);
  void ReadFixesFor(std::int64_t utcNs);
  bool FixesSuffice(std::int64_t utcNs);
  void Forget(std::int64_t utcNs);
  void Note(const std::string& file, std::string problem);

  LogSideFiles files_;
  LaybackSettings settings_;
  bool cableChanges_ = false;
  SideFileReader times_, nmea_;
  std::optional<ReceptionTime> nextTime_;  // the time line read ahead
  std::uint64_t lastRow_ = 0;              // of the last time line taken
  bool timesEnded_ = false, nmeaEnded_ = false;
  FixTimeline fixes_;
  NmeaLogCounts nmeaCounts_;
  std::size_t scan_ = 0;           // fixes before it are closed and no use as the next valid fix
  std::size_t forgetAt_ = 256;     // fixes held before the next forgetting
  CableHistory cable_{0.0};
  std::optional<RecordPositioner> positioner_;
  std::vector<std::string> problems_;
  std::uint64_t problemCount_ = 0;
};

}  // namespace tessaly
