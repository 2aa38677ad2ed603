// The lines of a RawText already read, handed to the record pipeline in
// order: the pipeline's input in tests that read the whole file first.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/RawText.h"
#include "core/RecordPipeline.h"

namespace tessaly::testing {

class RawTextLines : public LineSource {
 public:
  explicit RawTextLines(const RawText& raw) : raw_(raw) {}
  bool Fill(std::vector<std::string_view>& lines, std::string&, std::size_t maxLines) override {
    for (std::size_t n = 0; n < maxLines && next_ < raw_.LineCount(); ++n) lines.push_back(raw_.Line(next_++));
    return !lines.empty();
  }

 private:
  const RawText& raw_;
  std::size_t next_ = 0;
};

}  // namespace tessaly::testing
