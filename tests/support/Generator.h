// The survey log generator (TESSALY_GEN_SURVEY), run the one way every test
// runs it: python3 with the generator's own command-line options. The same
// options always give the same file.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

#include "support/Command.h"
#include "support/FileBytes.h"

namespace tessaly::testing {

// The faulty lines the generator lists (--faults-out), 1-based: lines the
// validation rejects, and blank lines (skipped by a load, not rejected).
struct GeneratedFaults {
  std::set<int> faulty;
  std::set<int> blank;
};

// The options of the usual request: kind, data lines, fraction of faulty
// lines, random seed.
inline std::string SurveyOptions(const std::string& kind, int records, double badFraction, int seed) {
  std::ostringstream options;
  options << "--kind " << kind << " --records " << records << " --bad-fraction " << badFraction << " --seed "
          << seed;
  return options.str();
}

// Writes a generated log to `path`. `options` are generator options, words
// separated by blanks, none of which holds a blank. With `faults`, the
// generator's list of faulty lines is read into it. False when the generator
// fails.
inline bool GenerateLog(const std::string& options, const std::string& path, GeneratedFaults* faults = nullptr) {
  const std::string faultsPath = path + ".faults.csv";
  std::string command = "python3 " + ShellQuote(TESSALY_GEN_SURVEY) + " " + options + " -o " + ShellQuote(path);
  if (faults) command += " --faults-out " + ShellQuote(faultsPath);
  if (std::system(command.c_str()) != 0) return false;
  if (!faults) return true;
  std::istringstream rows(ReadBytes(faultsPath));
  std::remove(faultsPath.c_str());
  std::string row;
  while (std::getline(rows, row)) {
    const auto comma = row.find(',');
    if (comma == std::string::npos || row.compare(0, comma, "line") == 0) continue;
    std::string fault = row.substr(comma + 1, row.find(',', comma + 1) - comma - 1);
    (fault == "blank" ? faults->blank : faults->faulty).insert(std::stoi(row.substr(0, comma)));
  }
  return true;
}

}  // namespace tessaly::testing
