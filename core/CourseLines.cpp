#include "core/CourseLines.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tessaly {

namespace {

double Distance(PlanePoint a, PlanePoint b) { return PlaneDistance(a, b); }

}  // namespace

// Plain square root of the sum of squares: metres on a UTM plane never come
// near overflow, and std::hypot's care costs several times more.
double PlaneDistance(PlanePoint a, PlanePoint b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  return std::sqrt(dx * dx + dy * dy);
}

double Bearing(PlanePoint from, PlanePoint to) { return std::atan2(to.x - from.x, to.y - from.y); }

double AngleBetween(double a, double b) { return std::fabs(std::remainder(a - b, 2.0 * std::numbers::pi)); }

CourseLineFinder::CourseLineFinder(const CourseLineSettings& settings)
    : settings_(settings), tolerance_(settings.toleranceDegrees * std::numbers::pi / 180.0) {}

void CourseLineFinder::Add(std::optional<PlanePoint> position) {
  const std::uint64_t record = records_++;
  if (!position || !std::isfinite(position->x) || !std::isfinite(position->y)) return;
  if (held_ && !(previous_ && IsSpike(*previous_, held_->point, *position))) {
    Place(held_->record, held_->point);
    previous_ = held_->point;
  }
  held_ = Held{record, *position};
}

bool CourseLineFinder::IsSpike(PlanePoint before, PlanePoint point, PlanePoint after) const {
  const double limit = std::max(settings_.courseBase / 2, 2 * Distance(before, after));
  return Distance(before, point) > limit && Distance(point, after) > limit;
}

void CourseLineFinder::Place(std::uint64_t record, PlanePoint position) {
  if (!anchor_) {
    anchor_ = position;
    return;
  }
  const double length = Distance(*anchor_, position);
  if (length < settings_.courseBase) return;
  Consider({segmentFirst_, record, *anchor_, position, length, Bearing(*anchor_, position)});
  anchor_ = position;
  segmentFirst_ = record + 1;
}

bool CourseLineFinder::OnCourse(const Segment& segment) const {
  return AngleBetween(segment.course, Bearing(run_.front().from, segment.to)) <= tolerance_;
}

void CourseLineFinder::Consider(const Segment& segment) {
  if (run_.empty()) {
    AppendToRun(segment);
    return;
  }
  if (OnCourse(segment)) {
    for (const Segment& stray : strays_) AppendToRun(stray);
    strays_.clear();
    strayLength_ = 0.0;
    AppendToRun(segment);
    return;
  }
  strays_.push_back(segment);
  strayLength_ += segment.length;
  if (strayLength_ <= settings_.straySpan) return;
  CloseRun();
  std::vector<Segment> again;
  again.swap(strays_);
  strayLength_ = 0.0;
  for (const Segment& stray : again) Consider(stray);
}

void CourseLineFinder::AppendToRun(const Segment& segment) {
  run_.push_back(segment);
  if (run_.size() <= 2 * kEndSegments + 1) return;
  // Merge the two segments after the first kEndSegments into one, whose
  // course is the bearing across the span they cover.
  Segment& middle = run_[kEndSegments];
  const Segment& next = run_[kEndSegments + 1];
  middle.last = next.last;
  middle.to = next.to;
  middle.length += next.length;
  middle.course = Bearing(middle.from, middle.to);
  middle.merged = true;
  run_.erase(run_.begin() + static_cast<std::ptrdiff_t>(kEndSegments) + 1);
}

bool CourseLineFinder::OffRunCourse(const Segment& segment) const {
  return !segment.merged && AngleBetween(segment.course, Bearing(run_.front().from, run_.back().to)) > tolerance_;
}

void CourseLineFinder::TrimRun() {
  // Trimming one end moves the mean, which may put the other end out.
  bool trimmed = true;
  while (trimmed) {
    trimmed = false;
    while (run_.size() > 1 && OffRunCourse(run_.front())) {
      run_.pop_front();
      trimmed = true;
    }
    while (run_.size() > 1 && OffRunCourse(run_.back())) {
      run_.pop_back();
      trimmed = true;
    }
  }
}

double CourseLineFinder::RunLength() const {
  double length = 0.0;
  for (const Segment& segment : run_) length += segment.length;
  return length;
}

void CourseLineFinder::CloseRun() {
  TrimRun();
  if (!run_.empty() && RunLength() >= settings_.minimumLength)
    lines_.push_back({run_.front().first, run_.back().last, {}});
  run_.clear();
}

std::vector<SurveyLine> CourseLineFinder::Finish() {
  if (held_) Place(held_->record, held_->point);
  held_.reset();
  // Records after the last segment (less than courseBase on) go with it.
  if (segmentFirst_ < records_) {
    if (!strays_.empty()) strays_.back().last = records_ - 1;
    else if (!run_.empty()) run_.back().last = records_ - 1;
  }
  // Each round closes the run and considers the strays again, as a turn
  // does; every round leaves fewer strays.
  for (;;) {
    CloseRun();
    if (strays_.empty()) break;
    std::vector<Segment> again;
    again.swap(strays_);
    strayLength_ = 0.0;
    for (const Segment& stray : again) Consider(stray);
  }
  return std::move(lines_);
}

}  // namespace tessaly
