// Generated surveys for the survey-line and export tests: the generator
// writes a log of whole survey lines with the truth of which record lies on
// which line (and, where asked, the operator's SOL/EOL comments); the log is
// opened as a document and its records handed over as numbers.
#pragma once

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/SurveyRecord.h"
#include "core/GridLayout.h"
#include "core/LogDocument.h"
#include "support/FileBytes.h"
#include "support/Generator.h"

namespace tessaly::testing {

struct GeneratedSurvey {
  std::string logPath;
  std::vector<SurveyRecord> records;  // comments point into `comments`
  std::vector<std::string> comments;
  std::vector<int> truthLine;         // each record's survey line, 0 in a turn
  int lineCount = 0;                  // survey lines in the truth
};

// The records of an opened log document as numbers. The document gives
// its positions, depths and comments as grid texts, so they are read back
// here.
inline void ReadDocumentRecords(const LogDocument& doc, GeneratedSurvey& survey) {
  const CellTable& cells = doc.Cells();
  const auto number = [&](std::size_t row, std::size_t col) {
    const std::string text(cells.Cell(row, col));
    return text.empty() ? kNoValue : std::strtod(text.c_str(), nullptr);
  };
  const std::size_t rows = doc.ValidCount();
  survey.comments.resize(rows);
  for (std::size_t row = 1; row <= rows; ++row) {
    SurveyRecord record;
    record.latitude = number(row, kColTfDecLat);
    record.longitude = number(row, kColTfDecLon);
    record.deviation = doc.ChartValues()[row - 1];
    record.towfishDepth = number(row, kColTfDepth);
    record.sounder = number(row, kColSounder);
    survey.comments[row - 1] = std::string(cells.Cell(row, kColComment));
    survey.records.push_back(record);
  }
  for (std::size_t i = 0; i < rows; ++i) survey.records[i].comment = survey.comments[i];
}

// Generates `options` (generator options, --lines among them) as a KV7100
// log in `folder`, with its comments file of SOL/EOL marks when `marks`
// holds generator options for them ("--marks-out" is added), and opens it.
inline GeneratedSurvey GenerateSurvey(const std::string& options, const std::string& folder,
                                      const std::string& marks = {}) {
  GeneratedSurvey survey;
  survey.logPath = folder + "/survey.kvl";
  const std::string truthPath = folder + "/survey.truth.csv";
  std::string all = "--kind kvl " + options + " --truth-out " + truthPath;
  if (!marks.empty()) all += " --marks-out " + folder + "/survey.cmt " + marks;
  if (!GenerateLog(all, survey.logPath)) return survey;
  std::map<std::uint64_t, int> lineOfFileLine;
  std::istringstream truth(ReadBytes(truthPath));
  std::string row;
  std::getline(truth, row);
  while (std::getline(truth, row)) {
    const auto comma = row.find(',');
    const int line = std::stoi(row.substr(comma + 1));
    lineOfFileLine[std::stoull(row.substr(0, comma))] = line;
    survey.lineCount = std::max(survey.lineCount, line);
  }
  LogDocument doc;
  LoadOptions load;
  if (doc.OpenLog(survey.logPath, load) != LoadStatus::Loaded) return survey;
  ReadDocumentRecords(doc, survey);
  for (std::size_t row = 1; row <= doc.ValidCount(); ++row)
    survey.truthLine.push_back(lineOfFileLine[std::stoull(std::string(doc.Cells().Cell(row, kColRawLine)))]);
  return survey;
}

}  // namespace tessaly::testing
