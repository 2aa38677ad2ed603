// Set-up of record parsers as their owners make them, and generated survey
// logs for the record parser tests.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/untTSample.h"
#include "support/Generator.h"
#include "support/TempHome.h"

namespace tessaly::test {

inline std::unique_ptr<TSample> MakeSample(std::uint8_t kind, char separator = '.') {
  auto sample = std::make_unique<TSample>(separator);
  sample->FDevDigits = kind == skZPT ? 4 : 5;
  switch (kind) {
    case skRTB: sample->SetHeader("$MGD"); break;
    case skRTC: case skKVL: case skZPX: sample->SetHeader("$KVMGD"); break;
    case skZPT: sample->SetHeader("$BTGFG"); break;
    default: break;
  }
  sample->SetKind(kind);
  return sample;
}

// A navigation sample linked as the import links the generator's files:
// "@t,@p:4,@>:2,@+,@0,@1,@2" ('+') or "@t,@p:4,@>:2,@0,@1,@2" ('p'), channel 0
// to the deviation, 1 to the towfish depth, 2 to the sounder.
inline std::unique_ptr<TSample> MakeNavigationSample(char mode, char separator = '.') {
  auto sample = std::make_unique<TSample>(separator);
  sample->FDevDigits = 5;
  const bool plus = mode == '+';
  const int channel0 = plus ? 8 : 7;
  sample->AddField(sfDev);
  sample->FColumns[sfDev] = channel0;
  sample->AddField(sfNavTime, 0);
  sample->AddField(sfNavFix, 1);
  sample->AddField(sfNavTowPos, plus ? 7 : -1);
  sample->AddField(sfNavAux, 5);
  sample->FPnav.FMode = mode;
  sample->AddField(sfTowDepth);
  sample->FColumns[sfTowDepth] = channel0 + 1;
  sample->AddField(sfSounder);
  sample->FColumns[sfSounder] = channel0 + 2;
  sample->FPnav.FMarkColumn = plus ? 2 : -1;
  if (sample->FPnav.FMarkColumn > 0) sample->AddField(sfMark);
  sample->SetKind(skPNav);
  sample->FHeading = plus ? "@t,@p:4,@>:2,@+,@0,@1,@2" : "@t,@p:4,@>:2,@0,@1,@2";
  return sample;
}

// One generated log: its lines (line ends removed) and the 1-based numbers
// of its faulty lines, blank ones apart.
struct GeneratedLog {
  std::vector<std::string> lines;
  std::set<int> faulty;
  std::set<int> blank;
};

inline std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// Runs the survey generator with `options`; false when it fails.
inline bool Generate(const std::string& options, GeneratedLog& log) {
  const testing::TempHome scratch;
  const std::string path = scratch.Path("log.txt");
  testing::GeneratedFaults faults;
  if (!testing::GenerateLog(options, path, &faults)) return false;
  log.lines = ReadLines(path);
  log.faulty = std::move(faults.faulty);
  log.blank = std::move(faults.blank);
  return true;
}

// The 1-based numbers of the data lines: after the heading line when the
// sample names one, up to the end marker.
inline std::vector<int> DataLineNumbers(const TSample& sample, const std::vector<std::string>& lines) {
  std::vector<int> numbers;
  bool inData = sample.FHeading.empty();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!inData) {
      inData = lines[i].find(sample.FHeading) != std::string::npos;
      continue;
    }
    if (!sample.FEndMarker.empty() && lines[i].rfind(sample.FEndMarker, 0) == 0) break;
    numbers.push_back(static_cast<int>(i) + 1);
  }
  return numbers;
}

}  // namespace tessaly::test
