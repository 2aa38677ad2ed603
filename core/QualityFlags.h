// Quality flags: which records of a deviation series look wrong, judged the
// same way for a live session (as records arrive) and an opened log (the
// whole series at once).
//
// For record i of values x (deviations, in the instrument's units):
//   Spike  |x[i] - m[i]| > max(floor, 5 * MAD), m[i] the median of
//          x[i-2..i+2] and MAD the median of |x[j] - m[j]| over the last
//          100 records judged before i (the floor alone before the first).
//          The value is x[i] - m[i].
//   Noise  |q[i]| > envelope, q[i] = (c[i-2] - 4c[i-1] + 6c[i] - 4c[i+1]
//          + c[i+2]) / 16, the normalised fourth difference of the series
//          with its spikes replaced by their medians (c), so a spike is not
//          also noise around it. A step of S gives |q| = 3S/16 at the two
//          records beside it. The value is q[i].
//   Gap    the interval from the previous record's reception time is over
//          1.5 times the median of the last 100 intervals (and over 50 ms,
//          the reception's own jitter), or negative (the time went
//          backwards). The value is the interval in seconds.
//   Depth  the towfish depth is outside the set range. The value is the
//          depth.
// Records 0 and 1 and the last two are never spikes, records 0 and 1 and
// the last four never noise: their neighbours are missing. A gap needs three
// earlier intervals. Records without a reception time or a depth are not
// judged for gaps or depth.
//
// The live flagger judges a record for spikes when two more have arrived and
// for noise when four more have: what it has said about a record never
// changes, and once the neighbours have arrived it equals FlagSeries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/AlarmSettings.h"
#include "core/ReceivedRecord.h"
#include "core/SlidingMedian.h"

namespace tessaly {

enum QualityFlag : std::uint8_t {
  kFlagSpike = 1,
  kFlagNoise = 2,
  kFlagGap = 4,
  kFlagDepth = 8,
};
inline constexpr QualityFlag kQualityFlags[] = {kFlagSpike, kFlagNoise, kFlagGap, kFlagDepth};

// "Spike", "Noise", "Gap", "Depth".
std::string_view QualityFlagName(QualityFlag flag);

struct QualitySettings {
  double spikeFloor = 50.0;
  double noiseEnvelope = 12.0;
  double depthMin = 1.0;
  double depthMax = 80.0;
};
QualitySettings QualitySettingsFor(const AlarmSettings& settings, Instrument instrument);

inline constexpr double kNoDepth = std::numeric_limits<double>::quiet_NaN();

// One record as the flags see it.
struct QualityRecord {
  double value = 0.0;
  double depth = kNoDepth;                   // NaN: the record carries none
  std::optional<std::int64_t> receivedNs;    // reception time (any clock that does not jump)
};

// One flag raised on one record (0-based, in series order).
struct QualityFinding {
  std::size_t record = 0;
  QualityFlag flag = kFlagSpike;
  double value = 0.0;

  bool operator==(const QualityFinding&) const = default;
};

class QualityFlagger {
 public:
  explicit QualityFlagger(const QualitySettings& settings);

  // Takes the next record and appends to `out` every finding that became
  // final with it, in no particular order.
  void Add(const QualityRecord& record, std::vector<QualityFinding>& out);
  std::size_t Count() const { return count_; }

 private:
  static constexpr std::size_t kKept = 8;  // values kept back for the medians and differences
  double Value(std::size_t record) const { return values_[record % kKept]; }
  double Cleaned(std::size_t record) const { return cleaned_[record % kKept]; }
  void JudgeGap(const QualityRecord& record, std::vector<QualityFinding>& out);
  void JudgeSpike(std::size_t record, std::vector<QualityFinding>& out);
  void JudgeNoise(std::size_t record, std::vector<QualityFinding>& out);

  QualitySettings settings_;
  std::size_t count_ = 0;
  double values_[kKept] = {};
  double cleaned_[kKept] = {};  // the values with the spikes judged so far replaced
  SlidingMedian residuals_;     // |x - m| of the last records judged for spikes
  SlidingMedian intervals_;     // the last reception intervals, ns
  std::optional<std::int64_t> lastReceivedNs_;
};

// The findings of a whole series, ordered by record and flag. `depths` and
// `receivedNs` are empty or hold one entry per value; a record whose
// receivedNs is kNoReceptionTime has no reception time.
std::vector<QualityFinding> FlagSeries(std::span<const double> values, std::span<const double> depths,
                                       std::span<const std::int64_t> receivedNs, const QualitySettings& settings);

// One byte per record with the flags of the findings; records past `count`
// are left out.
std::vector<std::uint8_t> FlagMask(std::size_t count, std::span<const QualityFinding> findings);

}  // namespace tessaly
