#include "core/SurveyLines.h"

namespace tessaly {

std::optional<LineMode> LineModeNamed(std::string_view name) {
  if (name == "auto") return LineMode::Auto;
  if (name == "marks") return LineMode::Marks;
  if (name == "none") return LineMode::None;
  return std::nullopt;
}

SurveyLineFinder::SurveyLineFinder(LineMode mode, const CourseLineSettings& course) : mode_(mode), course_(course) {}

void SurveyLineFinder::Add(std::optional<PlanePoint> position, std::string_view comment) {
  if (mode_ == LineMode::None) return;
  if (mode_ == LineMode::Auto) course_.Add(position);
  marks_.Add(comment);
}

std::vector<SurveyLine> SurveyLineFinder::Finish() {
  if (mode_ == LineMode::None) return {};
  std::vector<SurveyLine> course = mode_ == LineMode::Auto ? course_.Finish() : std::vector<SurveyLine>{};
  std::vector<SurveyLine> marked = marks_.Finish();
  usedMarks_ = marks_.HasMarks() || mode_ == LineMode::Marks;
  return usedMarks_ ? marked : course;
}

}  // namespace tessaly
