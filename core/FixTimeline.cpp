#include "core/FixTimeline.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace tessaly {
namespace {

constexpr std::int64_t kNsPerDay = 86400 * kNsPerSecond;
constexpr MsOfDay kHalfDayMs = 12 * 3600 * 1000;

double NormalLongitude(double longitude) {
  while (longitude >= 180.0) longitude -= 360.0;
  while (longitude < -180.0) longitude += 360.0;
  return longitude;
}

AntennaEstimate Estimate(AntennaState state, const GeoPosition& position) { return {state, position}; }

// UTC in nanoseconds of a GPS day and time of day; none where it does not
// fit 64 bits (a ZDA may name any year).
std::optional<std::int64_t> UtcOf(std::int64_t day, MsOfDay time) {
  constexpr std::int64_t kLimitDays = std::numeric_limits<std::int64_t>::max() / kNsPerDay - 1;
  if (day > kLimitDays || day < -kLimitDays) return std::nullopt;
  return day * kNsPerDay + time * kNsPerMs;
}

}  // namespace

GeoPosition InterpolateGeo(const GeoPosition& a, const GeoPosition& b, double fraction) {
  const double dLon = NormalLongitude(b.longitude - a.longitude);
  const double latitude = std::clamp(a.latitude + fraction * (b.latitude - a.latitude), -90.0, 90.0);
  return {latitude, NormalLongitude(a.longitude + fraction * dLon)};
}

void FixTimeline::Add(std::int64_t receivedUtcNs, const DecodedSentence& sentence) {
  const NmeaMessage& message = sentence.message;
  if (const auto* gga = std::get_if<GgaSentence>(&message)) {
    GpsFix& fix = FixFor(receivedUtcNs, gga->time);
    fix.quality = gga->quality;
    fix.satellites = gga->satellites;
    fix.hdop = gga->hdop;
    fix.altitude = gga->altitude;
    AddPosition(gga->position, IsUsableFix(*gga));
  } else if (const auto* rmc = std::get_if<RmcSentence>(&message)) {
    if (rmc->date && rmc->time) SetDate(*rmc->date, *rmc->time);
    GpsFix& fix = FixFor(receivedUtcNs, rmc->time);
    if (rmc->speedKnots) fix.speedKnots = rmc->speedKnots;
    if (rmc->courseTrue) fix.courseTrue = rmc->courseTrue;
    AddPosition(rmc->position, IsUsableFix(*rmc));
  } else if (const auto* zda = std::get_if<ZdaSentence>(&message)) {
    SetDate(zda->date, zda->time);
  } else if (open_) {
    GpsFix& fix = fixes_.back();
    if (const auto* vtg = std::get_if<VtgSentence>(&message)) {
      if (vtg->courseTrue) fix.courseTrue = vtg->courseTrue;
      if (vtg->speedKnots) fix.speedKnots = vtg->speedKnots;
      if (IsUnusableMode(vtg->mode)) AddPosition(std::nullopt, false);
    } else if (const auto* hdt = std::get_if<HdtSentence>(&message)) {
      fix.headingTrue = hdt->headingTrue;
    }
  }
}

// The open fix when `time` is its time of day, else a new fix.
GpsFix& FixTimeline::FixFor(std::int64_t receivedUtcNs, std::optional<MsOfDay> time) {
  if (open_ && time && fixes_.back().gpsTime == *time) return fixes_.back();
  if (time) {
    if (lastTime_ && day_ && *time + kHalfDayMs < *lastTime_) ++*day_;
    lastTime_ = time;
  }
  GpsFix fix;
  fix.receivedUtcNs = receivedUtcNs;
  fix.gpsTime = time.value_or(0);
  if (day_ && time) fix.gpsUtcNs = UtcOf(*day_, *time);
  fixes_.push_back(fix);
  open_ = time.has_value();
  openInvalid_ = false;
  return fixes_.back();
}

void FixTimeline::SetDate(const CivilDate& date, MsOfDay time) {
  day_ = DaysFromCivil(date.year, date.month, date.day);
  lastTime_ = time;
  if (open_ && fixes_.back().gpsTime == time) fixes_.back().gpsUtcNs = UtcOf(*day_, time);
}

// Adds what a sentence says of the last fix's position and validity, and
// keeps the index of valid fixes in step.
void FixTimeline::AddPosition(const std::optional<GeoPosition>& position, bool usable) {
  GpsFix& fix = fixes_.back();
  const std::size_t index = fixes_.size() - 1;
  if (!fix.position && position) fix.position = position;
  if (!usable) openInvalid_ = true;
  const bool valid = fix.position.has_value() && !openInvalid_;
  if (valid == fix.valid) return;
  fix.valid = valid;
  const auto byTime = [this](std::size_t a, std::size_t b) { return fixes_[a].receivedUtcNs < fixes_[b].receivedUtcNs; };
  if (valid) {
    valid_.insert(std::upper_bound(valid_.begin(), valid_.end(), index, byTime), index);
  } else {
    valid_.erase(std::find(valid_.begin(), valid_.end(), index));
  }
}

AntennaEstimate FixTimeline::AntennaAt(std::int64_t utcNs) const {
  if (valid_.empty()) return {};
  const auto timeOf = [this](std::size_t i) { return fixes_[valid_[i]].receivedUtcNs; };
  const auto positionOf = [this](std::size_t i) { return *fixes_[valid_[i]].position; };
  const auto after = static_cast<std::size_t>(
      std::upper_bound(valid_.begin(), valid_.end(), utcNs,
                       [this](std::int64_t t, std::size_t i) { return t < fixes_[i].receivedUtcNs; }) -
      valid_.begin());
  if (after > 0 && timeOf(after - 1) == utcNs) return Estimate(AntennaState::Interpolated, positionOf(after - 1));
  const auto fromPair = [&](std::size_t a, std::size_t b, AntennaState state) -> AntennaEstimate {
    const std::int64_t span = timeOf(b) - timeOf(a);
    if (span <= 0 || span > kMaxFixGap)
      return {state == AntennaState::Interpolated ? AntennaState::NoFix : AntennaState::ExtrapolationRefused, {}};
    const double fraction = static_cast<double>(utcNs - timeOf(a)) / static_cast<double>(span);
    return Estimate(state, InterpolateGeo(positionOf(a), positionOf(b), fraction));
  };
  const std::size_t count = valid_.size();
  if (after > 0 && after < count) return fromPair(after - 1, after, AntennaState::Interpolated);
  const bool before = after == 0;
  const std::int64_t distance = before ? timeOf(0) - utcNs : utcNs - timeOf(count - 1);
  if (distance > kMaxExtrapolation) return {AntennaState::ExtrapolationRefused, {}};
  // The velocity comes from the end fix and the nearest fix at least
  // kMinExtrapolationBase from it, so that two fixes received close together
  // cannot fling the position far.
  std::size_t end = before ? 0 : count - 1, other = end;
  while (before ? other + 1 < count : other > 0) {
    other = before ? other + 1 : other - 1;
    if (std::llabs(timeOf(other) - timeOf(end)) >= kMinExtrapolationBase) break;
  }
  if (std::llabs(timeOf(other) - timeOf(end)) < kMinExtrapolationBase) return {AntennaState::ExtrapolationRefused, {}};
  return before ? fromPair(end, other, AntennaState::Extrapolated) : fromPair(other, end, AntennaState::Extrapolated);
}

void FixTimeline::ForgetBefore(std::int64_t utcNs) {
  constexpr std::int64_t kReach = kMaxFixGap + kMaxExtrapolation;
  const std::int64_t horizon = utcNs < std::numeric_limits<std::int64_t>::min() + kReach ? utcNs : utcNs - kReach;
  const auto firstNeeded = std::lower_bound(valid_.begin(), valid_.end(), horizon,
                                            [this](std::size_t i, std::int64_t t) { return fixes_[i].receivedUtcNs < t; });
  std::vector<std::size_t> keptValid(firstNeeded == valid_.begin() ? firstNeeded : std::prev(firstNeeded),
                                     valid_.end());
  if (keptValid.size() + 1 >= fixes_.size()) return;
  // The kept fixes in their order, the valid ones by their new places.
  std::vector<std::size_t> kept = keptValid;
  kept.push_back(fixes_.size() - 1);
  std::sort(kept.begin(), kept.end());
  kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
  std::vector<GpsFix> fixes;
  fixes.reserve(kept.size());
  for (const std::size_t i : kept) fixes.push_back(std::move(fixes_[i]));
  for (std::size_t& i : keptValid) i = static_cast<std::size_t>(std::lower_bound(kept.begin(), kept.end(), i) - kept.begin());
  fixes_ = std::move(fixes);
  valid_ = std::move(keptValid);
}

std::optional<GpsStatus> FixTimeline::Status(std::int64_t nowUtcNs) const {
  if (fixes_.empty()) return std::nullopt;
  GpsStatus status;
  status.latest = fixes_.back();
  status.ageNs = nowUtcNs - status.latest.receivedUtcNs;
  if (!valid_.empty()) status.latestValid = fixes_[valid_.back()];
  return status;
}

}  // namespace tessaly
