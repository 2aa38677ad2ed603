// The record parser on one line: see FuzzTargets.h.
#include <string>
#include <vector>

#include "core/RecordPipeline.h"
#include "core/SensorReadings.h"
#include "core/untTSample.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzSamples.h"
#include "fuzz/FuzzTargets.h"
#include "fuzz/RecordRules.h"

namespace tessaly::fuzz {

namespace {

struct Outcome {
  int result = 0;
  std::string error;
  std::vector<std::string> cells;  // the record's grid cells when accepted
  std::string memory;
  bool operator==(const Outcome&) const = default;
};

std::vector<std::string> Cells(const TSample& sample) {
  RecordScratch scratch;
  const RecordCellTexts cells = RecordCells(sample, 1, scratch);
  return {cells.begin(), cells.end()};
}

Outcome OutcomeOf(int result, const TSample& sample) {
  return {result, sample.FErrorText, result == 0 ? Cells(sample) : std::vector<std::string>(),
          sample.FPrevLonDeg + "|" + sample.FPrevLatDeg + "|" + sample.FPrevTowDepth};
}

void CheckOutcome(const TSample& sample, int result, std::string_view line) {
  if (!Require(result == 0 || result == -1, "Parse gave neither 0 nor -1", line)) return;
  if (result == -1) {
    Require(IsRejectionMessage(sample, sample.FErrorText), "unknown rejection message", sample.FErrorText);
  } else {
    const std::string broken = BrokenRecordRule(sample);
    Require(broken.empty(), "accepted record breaks a format rule", broken + " in " + std::string(line));
  }
}

// The sensor readings read beside the parser are numbers of their columns'
// forms, and only for the kinds that carry them.
void CheckSensorReadings(std::uint8_t kind, std::string_view line) {
  const SensorReadings readings = ReadSensorReadings(kind, line);
  if (!KindCarriesSensorReadings(kind)) {
    Require(readings == SensorReadings{}, "sensor readings of a kind that carries none", line);
    return;
  }
  if (readings.totalField)
    Require(*readings.totalField >= 0.0 && *readings.totalField - *readings.totalField == 0.0,
            "a total field that is no finite positive number", line);
  if (readings.signal) Require(*readings.signal >= 0 && *readings.signal <= 999, "a signal out of 0..999", line);
}

}  // namespace

int FuzzRecordLine(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::size_t setUp = input.Byte();
  const std::uint8_t options = input.Byte();
  const char separator = (options & 0x80) ? ',' : '.';
  const int datum = (options & 0x7f) % 23;
  const std::string_view line = input.Rest();

  auto sequential = MakeSetUp(setUp, separator, datum);
  const int result = sequential->Parse(line);
  CheckOutcome(*sequential, result, line);
  CheckSensorReadings(sequential->FKind, line);
  const Outcome first = OutcomeOf(result, *sequential);

  // The order-free stage on one sample, the continuity stage on another.
  auto worker = MakeSetUp(setUp, separator, datum);
  auto resolving = MakeSetUp(setUp, separator, datum);
  LineVerdict verdict;
  worker->ParseDetached(line, verdict);
  Outcome twoStage = OutcomeOf(resolving->Resolve(verdict), *resolving);
  if (twoStage.result == 0) twoStage.cells = Cells(*worker);
  Require(twoStage == first, "the two-stage parse differs from Parse", line);

  // The same line again: its own values pass the continuity checks.
  const int again = sequential->Parse(line);
  Require(OutcomeOf(again, *sequential) == first, "a repeated line gives another outcome", line);
  return 0;
}

}  // namespace tessaly::fuzz
