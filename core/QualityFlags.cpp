#include "core/QualityFlags.h"

#include <algorithm>
#include <cmath>

namespace tessaly {

namespace {

constexpr std::size_t kResidualWindow = 100;
constexpr std::size_t kIntervalWindow = 100;
constexpr double kSpikeMads = 5.0;
constexpr double kGapFactor = 1.5;
constexpr std::size_t kIntervalsBeforeGaps = 3;
// Reception times jitter with the serial line's delivery (a USB adapter
// hands bytes over every 16 ms; records that come in one read share their
// moment): an interval is no gap below this.
constexpr std::int64_t kShortestGapNs = 50'000'000;

// Five values sorted by a network of nine compare-exchanges (no branches,
// no calls), the middle one returned.
double Median5(double a, double b, double c, double d, double e) {
  double v[] = {a, b, c, d, e};
  constexpr int kNetwork[][2] = {{0, 1}, {3, 4}, {2, 4}, {2, 3}, {0, 3}, {0, 2}, {1, 4}, {1, 3}, {1, 2}};
  for (const auto& [i, j] : kNetwork) {
    const double low = std::min(v[i], v[j]);
    v[j] = std::max(v[i], v[j]);
    v[i] = low;
  }
  return v[2];
}

}  // namespace

std::string_view QualityFlagName(QualityFlag flag) {
  switch (flag) {
    case kFlagSpike: return "Spike";
    case kFlagNoise: return "Noise";
    case kFlagGap: return "Gap";
    case kFlagDepth: return "Depth";
  }
  return "";
}

QualitySettings QualitySettingsFor(const AlarmSettings& settings, Instrument instrument) {
  return {SpikeFloor(settings, instrument), NoiseEnvelope(settings, instrument), settings.depthMin,
          settings.depthMax};
}

QualityFlagger::QualityFlagger(const QualitySettings& settings)
    : settings_(settings), residuals_(kResidualWindow), intervals_(kIntervalWindow) {}

void QualityFlagger::Add(const QualityRecord& record, std::vector<QualityFinding>& out) {
  const std::size_t n = count_++;
  values_[n % kKept] = cleaned_[n % kKept] = record.value;
  JudgeGap(record, out);
  if (std::isfinite(record.depth) && (record.depth < settings_.depthMin || record.depth > settings_.depthMax))
    out.push_back({n, kFlagDepth, record.depth});
  if (n >= 4) JudgeSpike(n - 2, out);
  if (n >= 6) JudgeNoise(n - 4, out);
}

void QualityFlagger::JudgeGap(const QualityRecord& record, std::vector<QualityFinding>& out) {
  if (!record.receivedNs) return;
  const std::int64_t now = *record.receivedNs;
  if (lastReceivedNs_) {
    const std::int64_t interval = now - *lastReceivedNs_;
    const double median = intervals_.Median();
    const bool backwards = interval < 0;
    const bool overlong = intervals_.Size() >= kIntervalsBeforeGaps && median > 0.0 &&
                          static_cast<double>(interval) > kGapFactor * median && interval > kShortestGapNs;
    if (backwards || overlong) out.push_back({count_ - 1, kFlagGap, static_cast<double>(interval) / 1e9});
    if (!backwards) intervals_.Add(static_cast<double>(interval));
  }
  lastReceivedNs_ = now;
}

// Record k's neighbours k-2 .. k+2 have all arrived.
void QualityFlagger::JudgeSpike(std::size_t k, std::vector<QualityFinding>& out) {
  const double median = Median5(Value(k - 2), Value(k - 1), Value(k), Value(k + 1), Value(k + 2));
  const double residual = Value(k) - median;
  const double threshold =
      residuals_.Empty() ? settings_.spikeFloor : std::max(settings_.spikeFloor, kSpikeMads * residuals_.Median());
  if (std::fabs(residual) > threshold) {
    out.push_back({k, kFlagSpike, residual});
    cleaned_[k % kKept] = median;
  }
  residuals_.Add(std::fabs(residual));
}

// Records k - 2 .. k + 2 have been judged for spikes (those that can be).
void QualityFlagger::JudgeNoise(std::size_t k, std::vector<QualityFinding>& out) {
  const double q = (Cleaned(k - 2) - 4.0 * Cleaned(k - 1) + 6.0 * Cleaned(k) - 4.0 * Cleaned(k + 1) +
                    Cleaned(k + 2)) / 16.0;
  if (std::fabs(q) > settings_.noiseEnvelope) out.push_back({k, kFlagNoise, q});
}

std::vector<QualityFinding> FlagSeries(std::span<const double> values, std::span<const double> depths,
                                       std::span<const std::int64_t> receivedNs, const QualitySettings& settings) {
  QualityFlagger flagger(settings);
  std::vector<QualityFinding> findings;
  for (std::size_t i = 0; i < values.size(); ++i) {
    QualityRecord record;
    record.value = values[i];
    if (i < depths.size()) record.depth = depths[i];
    if (i < receivedNs.size() && receivedNs[i] != kNoReceptionTime) record.receivedNs = receivedNs[i];
    flagger.Add(record, findings);
  }
  std::sort(findings.begin(), findings.end(), [](const QualityFinding& a, const QualityFinding& b) {
    return a.record != b.record ? a.record < b.record : a.flag < b.flag;
  });
  return findings;
}

std::vector<std::uint8_t> FlagMask(std::size_t count, std::span<const QualityFinding> findings) {
  std::vector<std::uint8_t> mask(count, 0);
  for (const QualityFinding& finding : findings)
    if (finding.record < count) mask[finding.record] |= finding.flag;
  return mask;
}

}  // namespace tessaly
