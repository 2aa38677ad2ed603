// Every fuzz target over its seed corpus and over the inputs that once broke
// it (tests/fuzz/regressions/<target>/), with the targets' invariants as test
// failures. Runs in every build, sanitizers included, without libFuzzer.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzTargets.h"
#include "support/FileBytes.h"

namespace tessaly::fuzz {
namespace {

namespace fs = std::filesystem;

using Target = int (*)(const std::uint8_t*, std::size_t);

struct TargetCase {
  const char* name;
  Target run;
};

void PrintTo(const TargetCase& target, std::ostream* out) { *out << target.name; }

const TargetCase kTargets[] = {
    {"fuzz_record_line", FuzzRecordLine},   {"fuzz_record_file", FuzzRecordFile},
    {"fuzz_log_kind", FuzzLogKind},         {"fuzz_document_load", FuzzDocumentLoad},
    {"fuzz_pnav_header", FuzzPnavHeader},   {"fuzz_settings", FuzzSettings},
    {"fuzz_break_decoder", FuzzBreakDecoder}, {"fuzz_events_file", FuzzEventsFile},
    {"fuzz_survey_lines", FuzzSurveyLines},   {"fuzz_nmea", FuzzNmea},
    {"fuzz_gps_files", FuzzGpsFiles},
    {"fuzz_live_session", FuzzLiveSession},   {"fuzz_live_gps", FuzzLiveGps},
};

std::vector<fs::path> InputsOf(const std::string& target) {
  std::vector<fs::path> inputs;
  const fs::path root = fs::path(TESSALY_SOURCE_DIR) / "tests" / "fuzz";
  for (const char* kind : {"corpus", "regressions"}) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root / kind / target, ec))
      if (entry.is_regular_file()) inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

class FuzzRegressions : public ::testing::TestWithParam<TargetCase> {
 protected:
  void SetUp() override {
    SetFailureHandler([this](const std::string& failure) { ADD_FAILURE() << current_ << ": " << failure; });
  }
  void TearDown() override { SetFailureHandler({}); }
  std::string current_;
};

TEST_P(FuzzRegressions, EverySeedAndRegressionInputKeepsTheInvariants) {
  const std::vector<fs::path> inputs = InputsOf(GetParam().name);
  ASSERT_FALSE(inputs.empty()) << "no seed corpus for " << GetParam().name;
  for (const fs::path& input : inputs) {
    current_ = input.lexically_relative(TESSALY_SOURCE_DIR).string();
    const std::string bytes = testing::ReadBytes(input.string());
    GetParam().run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
}

INSTANTIATE_TEST_SUITE_P(EveryTarget, FuzzRegressions, ::testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tessaly::fuzz
