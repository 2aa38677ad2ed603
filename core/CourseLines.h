// CourseLineFinder: survey lines found from the positions alone.
//
// A line is a run of records whose course stays within a set angle
// (default 20 degrees either way) of the run's mean course for at least a
// set length (default 200 m); records between lines (turns, run-ins) belong
// to no line.
//
// Course is measured over distance, not between consecutive records: at
// 10 records a second a survey vessel moves 0.2 m between records while a
// GPS position jitters by a metre or more, and the positions of a log are
// rounded to a thousandth of a minute (1.9 m of latitude), so the bearing
// from one record to the next is noise. The finder cuts the track into
// segments of at least `courseBase` metres (default 20 m: 2 m of error
// across it is under 6 degrees) and takes each segment's bearing as the
// course of its records. A stationary vessel makes no segment, so it makes
// no course either.
//
// The run's mean course is the distance-weighted mean of its segments'
// courses, which is the bearing from the run's first position to its last.
// A run ends where its segments leave the tolerance for more than
// `straySpan` metres; a shorter excursion (a small dodge round a buoy)
// stays in the line rather than splitting it. A single position far from
// both its neighbours while they are close together (a GPS glitch) is left
// out of the course, so it cannot split a line either: the finder holds one
// position back to judge it. A run
// that ends is trimmed of end segments outside the tolerance of its final
// mean (the start of a run grows out of a turn) and is a line when what is
// left is long enough.
//
// Memory is bounded whatever the log's length: a run keeps its first and
// last kEndSegments segments and merges those between.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace tessaly {

// A position in metres on a plane (UTM easting and northing of one zone).
struct PlanePoint {
  double x = 0.0;
  double y = 0.0;
};

// Records first to last (0-based indices in the order fed, both included),
// and the name the operator gave it (empty when none).
struct SurveyLine {
  std::uint64_t first = 0;
  std::uint64_t last = 0;
  std::string name;

  bool operator==(const SurveyLine&) const = default;
};

struct CourseLineSettings {
  double toleranceDegrees = 20.0;
  double minimumLength = 200.0;  // metres
  double courseBase = 20.0;      // metres
  double straySpan = 40.0;       // metres
};

class CourseLineFinder {
 public:
  explicit CourseLineFinder(const CourseLineSettings& settings = {});

  // The next record, with or without a position.
  void Add(std::optional<PlanePoint> position);
  // The lines found, in order. Call once, after the last record.
  std::vector<SurveyLine> Finish();

  // Segments kept at each end of a run; those between are merged.
  static constexpr std::size_t kEndSegments = 32;

 private:
  struct Segment {
    std::uint64_t first = 0, last = 0;  // records
    PlanePoint from, to;
    double length = 0.0;
    double course = 0.0;  // radians clockwise from north (+y)
    bool merged = false;  // the middle of a long run: never trimmed
  };

  struct Held {
    std::uint64_t record;
    PlanePoint point;
  };

  bool IsSpike(PlanePoint before, PlanePoint point, PlanePoint after) const;
  void Place(std::uint64_t record, PlanePoint position);
  void Consider(const Segment& segment);
  bool OnCourse(const Segment& segment) const;
  void AppendToRun(const Segment& segment);
  void CloseRun();
  void TrimRun();
  bool OffRunCourse(const Segment& segment) const;
  double RunLength() const;

  CourseLineSettings settings_;
  double tolerance_;  // radians
  std::uint64_t records_ = 0;
  std::optional<Held> held_;
  std::optional<PlanePoint> previous_;
  std::optional<PlanePoint> anchor_;
  std::uint64_t segmentFirst_ = 0;
  std::deque<Segment> run_;
  std::vector<Segment> strays_;
  double strayLength_ = 0.0;
  std::vector<SurveyLine> lines_;
};

// The distance between two points, metres.
double PlaneDistance(PlanePoint a, PlanePoint b);
// The bearing of the line from `from` to `to`, radians clockwise from north.
double Bearing(PlanePoint from, PlanePoint to);
// The smallest angle between two bearings, 0 to pi.
double AngleBetween(double a, double b);

}  // namespace tessaly
