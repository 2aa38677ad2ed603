// The project's survey-log generator keeps its word: every layout it lists
// is read by the core as the kind it claims, every fault it lists turns up
// and is rejected (blank lines are skipped, not rejected), and its --help
// documents them all. The kinds and faults come from the generator's own
// listings, so a new one cannot be added without being checked here.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/LogDocument.h"
#include "core/LogKind.h"
#include "core/PnavImport.h"
#include "core/RawText.h"
#include "support/Simulator.h"

namespace tessaly {
namespace {

using simtest::ReadBytes;
using simtest::TempDir;

// The generator's standard output for `arguments`, one entry a line.
std::vector<std::string> GeneratorLines(const std::string& arguments) {
  const std::string command = "python3 '" TESSALY_GEN_SURVEY "' " + arguments;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  std::vector<std::string> lines;
  if (!pipe) return lines;
  std::string text;
  char buffer[4096];
  while (const std::size_t size = std::fread(buffer, 1, sizeof buffer, pipe.get())) text.append(buffer, size);
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct Layout {
  std::string kind, form;  // form empty for a kind with one layout
  std::string Arguments() const { return "--kind " + kind + (form.empty() ? "" : " --form " + form); }
};

// "--list-kinds": the kind and, where it has several, the form.
const std::vector<Layout>& ListedLayouts() {
  static const std::vector<Layout> layouts = [] {
    std::vector<Layout> listed;
    for (const std::string& line : GeneratorLines("--list-kinds")) {
      const auto blank = line.find(' ');
      listed.push_back(blank == std::string::npos ? Layout{line, ""}
                                                  : Layout{line.substr(0, blank), line.substr(blank + 1)});
    }
    return listed;
  }();
  return layouts;
}

// "--list-faults": each fault followed by the kinds it applies to. Returns
// the faults of every kind, in the order listed.
const std::map<std::string, std::vector<std::string>>& ListedFaultsByKind() {
  static const std::map<std::string, std::vector<std::string>> faults = [] {
    std::map<std::string, std::vector<std::string>> byKind;
    for (const std::string& line : GeneratorLines("--list-faults")) {
      std::istringstream words(line);
      std::string fault, kind;
      words >> fault;
      while (words >> kind) byKind[kind].push_back(fault);
    }
    return byKind;
  }();
  return faults;
}

// How the core opens each kind the generator writes.
enum class Opening { ByContent, WithItsKindGiven, AsNavigation };
struct CoreView {
  Opening opening;
  std::string fileExtType;
};
const std::map<std::string, CoreView> kCoreViews = {
    {"kvl", {Opening::ByContent, ".KVL"}},
    {"kvs", {Opening::ByContent, ".KVS"}},
    {"kvg", {Opening::ByContent, ".KVG"}},
    {"zpx", {Opening::ByContent, ".ZPX"}},
    {"zpt", {Opening::ByContent, ".ZPT"}},
    {"rtb", {Opening::ByContent, ".RTB"}},
    {"rtc", {Opening::WithItsKindGiven, ".RTC"}},  // no recognition rule yields it
    {"pnav-plus", {Opening::AsNavigation, "PNav"}},
    {"pnav-p", {Opening::AsNavigation, "PNav"}},
};

// What the core made of a generated file: its valid records and the 1-based
// numbers of the lines it rejected.
struct Reading {
  std::uint64_t valid = 0;
  std::set<int> rejected;
};

Reading FromErrorList(const LogDocument& doc) {
  Reading reading{doc.ValidCount(), {}};
  std::istringstream errors(doc.ErrorListText());
  for (std::string line; std::getline(errors, line);)
    if (line.rfind("Line: ", 0) == 0) reading.rejected.insert(std::stoi(line.substr(6)));
  return reading;
}

Reading OpenByContent(const std::string& path, const std::string& fileExtType) {
  LogDocument doc;
  EXPECT_EQ(doc.OpenLog(path, LoadOptions{}), LoadStatus::Loaded);
  EXPECT_EQ(doc.FileExtType(), fileExtType);
  return FromErrorList(doc);
}

// Channels 0, 1 and 2 of a generated navigation file are the deviation, the
// towfish depth and the sounder.
Reading OpenAsNavigation(const std::string& path) {
  PnavImport import;
  EXPECT_EQ(import.NewFile(path), "");
  EXPECT_EQ(import.AddLink("@0", "Dev"), "");
  EXPECT_EQ(import.AddLink("@1", "Towfish Depth"), "");
  EXPECT_EQ(import.AddLink("@2", "Sounder"), "");
  std::unique_ptr<TSample> sample = LogDocument::NewNavigationSample();
  EXPECT_EQ(ApplyHandOver(*sample, import), "");
  LogDocument doc;
  EXPECT_EQ(doc.OpenNavigation(path, std::move(sample), LoadOptions{}), LoadStatus::Loaded);
  EXPECT_EQ(doc.FileType(), "PNav");
  return FromErrorList(doc);
}

// A kind no content rule recognises is read by a sample of that kind, as a
// logging session that writes it would set one up.
Reading OpenWithItsKindGiven(const std::string& path, const std::string& fileExtType) {
  EXPECT_EQ(DetectLogKind(path).outcome, Recognition::Unknown);
  const LogKindInfo* kind = FindLogKind(fileExtType);
  TSample sample;
  EXPECT_TRUE(kind && SetUpSample(sample, *kind)) << fileExtType;
  Reading reading;
  int number = 0;
  ForEachLine(ReadBytes(path), true, [&](std::string_view line) {
    ++number;
    if (line.empty()) return;
    if (sample.Parse(std::string(line)) == 0) ++reading.valid;
    else reading.rejected.insert(number);
  });
  return reading;
}

Reading Open(const std::string& path, const CoreView& view) {
  switch (view.opening) {
    case Opening::ByContent: return OpenByContent(path, view.fileExtType);
    case Opening::AsNavigation: return OpenAsNavigation(path);
    case Opening::WithItsKindGiven: break;
  }
  return OpenWithItsKindGiven(path, view.fileExtType);
}

TEST(SurveyGenerator, ListsEveryKindWithItsFormsAndFaults) {
  std::set<std::string> kinds, known;
  for (const Layout& layout : ListedLayouts()) kinds.insert(layout.kind);
  for (const auto& [kind, view] : kCoreViews) known.insert(kind);
  EXPECT_EQ(kinds, known) << "every kind the generator writes needs its view in kCoreViews";
  EXPECT_GT(ListedLayouts().size(), kinds.size());  // some kinds have several forms

  std::set<std::string> faulted;
  for (const auto& [kind, faults] : ListedFaultsByKind()) faulted.insert(kind);
  EXPECT_EQ(faulted, kinds);
  // One kind's own listing, as scripts ask for it, agrees with the whole.
  EXPECT_EQ(GeneratorLines("--kind zpt --list-faults"), ListedFaultsByKind().at("zpt"));
}

TEST(SurveyGenerator, HelpDocumentsEveryListedKindFormAndFault) {
  std::string help;
  for (const std::string& line : GeneratorLines("--help")) help += line + "\n";
  for (const Layout& layout : ListedLayouts()) {
    EXPECT_NE(help.find("\n  " + layout.kind + " "), std::string::npos) << layout.kind;
    if (!layout.form.empty()) {
      EXPECT_NE(help.find(layout.form), std::string::npos) << layout.form;
    }
  }
  for (const auto& [kind, faults] : ListedFaultsByKind())
    for (const std::string& fault : faults) EXPECT_NE(help.find("\n  " + fault + " "), std::string::npos) << fault;
}

TEST(SurveyGenerator, EveryListedKindIsReadAsItsKindAndEveryListedFaultIsRejected) {
  TempDir dir;
  const std::vector<Layout>& layouts = ListedLayouts();
  ASSERT_FALSE(layouts.empty());
  for (const Layout& layout : layouts) {
    SCOPED_TRACE(layout.Arguments());
    const auto view = kCoreViews.find(layout.kind);
    ASSERT_NE(view, kCoreViews.end());
    const std::string log = dir.Path(layout.kind + layout.form), faultsPath = log + ".csv";
    simtest::Generate(layout.Arguments() + " --records 1500 --bad-fraction 0.08 --seed 11 --faults-out " + faultsPath,
                      log);
    std::set<std::string> faultsSeen;
    std::set<int> faulty;
    std::size_t blank = 0;
    std::istringstream faults(ReadBytes(faultsPath));
    std::string row;
    std::getline(faults, row);  // line,fault
    while (std::getline(faults, row)) {
      const auto comma = row.find(',');
      const std::string fault = row.substr(comma + 1, row.find(',', comma + 1) - comma - 1);
      faultsSeen.insert(fault);
      if (fault == "blank") ++blank;
      else faulty.insert(std::stoi(row.substr(0, comma)));
    }
    const std::vector<std::string>& listed = ListedFaultsByKind().at(layout.kind);
    EXPECT_EQ(faultsSeen, std::set<std::string>(listed.begin(), listed.end()));

    const Reading reading = Open(log, view->second);
    EXPECT_EQ(reading.rejected, faulty);
    EXPECT_EQ(reading.valid + faulty.size() + blank, 1500u);
  }
}

TEST(SurveyGenerator, NarrowedFaultsAreTheOnlyOnesDrawn) {
  TempDir dir;
  const std::string faultsPath = dir.Path("faults.csv");
  simtest::Generate("--kind kvl --records 500 --bad-fraction 0.1 --faults truncated,blank --faults-out '" +
                        faultsPath + "'",
                    dir.Path("log.kvl"));
  std::istringstream faults(ReadBytes(faultsPath));
  std::set<std::string> seen;
  int count = 0;
  std::string row;
  std::getline(faults, row);
  while (std::getline(faults, row)) {
    const auto comma = row.find(',');
    seen.insert(row.substr(comma + 1, row.find(',', comma + 1) - comma - 1));
    ++count;
  }
  EXPECT_EQ(count, 50);
  EXPECT_EQ(seen, (std::set<std::string>{"truncated", "blank"}));
  EXPECT_NE(std::system(("python3 '" TESSALY_GEN_SURVEY "' --kind zpx --faults degree-jump -o '" +
                         dir.Path("x.zpx") + "' 2>/dev/null")
                            .c_str()),
            0);
}

}  // namespace
}  // namespace tessaly
