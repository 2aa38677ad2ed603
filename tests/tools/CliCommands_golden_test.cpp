// The golden logs (tests/golden/cases.tsv): tessaly-cli writes, byte for
// byte, the export, the error list and the messages recorded for every
// sample log of Projects/ and every small generated log. After a change meant
// to change them, scripts/refresh-golden.sh records them anew.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/Command.h"
#include "support/FileBytes.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

const std::string kGolden = std::string(TESSALY_SOURCE_DIR) + "/tests/golden/";

struct GoldenCase {
  std::string name;
  std::string input;                    // from the repository root
  std::vector<std::string> arguments;  // the command and its options
};

// The cases, read as scripts/refresh-golden.sh reads them: tab-separated
// fields, "#" lines and empty lines left out.
std::vector<GoldenCase> ReadCases() {
  std::vector<GoldenCase> cases;
  std::ifstream manifest(kGolden + "cases.tsv");
  std::string line;
  while (std::getline(manifest, line)) {
    std::vector<std::string> fields;
    std::istringstream split(line);
    for (std::string field; std::getline(split, field, '\t');)
      if (!field.empty()) fields.push_back(field);
    if (fields.size() < 3 || fields[0].starts_with('#')) continue;
    cases.push_back({fields[0], fields[1], {fields.begin() + 2, fields.end()}});
  }
  return cases;
}

void PrintTo(const GoldenCase& c, std::ostream* out) { *out << c.name; }

class GoldenLog : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenLog, TheToolWritesTheRecordedBytes) {
  const GoldenCase& c = GetParam();
  const testing::TempHome home;
  std::vector<std::string> arguments = c.arguments;
  for (const std::string& last : {std::string("--errors"), home.Path("errors.txt"), c.input, home.Path("out.vdg")})
    arguments.push_back(last);
  const testing::CommandRun run =
      testing::RunCommand(TESSALY_CLI, arguments, home.Home(), {"TESSALY_HOME=" + home.Home()}, TESSALY_SOURCE_DIR);

  const std::string expected = kGolden + "expected/" + c.name;
  EXPECT_EQ("exit " + std::to_string(run.exitCode) + "\n" + run.err, testing::ReadBytes(expected + ".status.txt"));
  for (const auto& [written, recorded] : {std::pair{home.Path("out.vdg"), expected + ".vdg"},
                                         std::pair{home.Path("errors.txt"), expected + ".errors.txt"}}) {
    ASSERT_EQ(std::filesystem::exists(written), std::filesystem::exists(recorded)) << recorded;
    EXPECT_TRUE(testing::ReadBytes(written) == testing::ReadBytes(recorded)) << "differs from " << recorded;
  }
}

std::string CaseName(const ::testing::TestParamInfo<GoldenCase>& info) {
  std::string name = info.param.name;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenLog, ::testing::ValuesIn(ReadCases()), CaseName);

TEST(GoldenLogs, EverySampleAndEveryGeneratedLogHasACase) {
  std::set<std::string> inputs;
  for (const GoldenCase& c : ReadCases()) inputs.insert(c.input);
  const std::string root = TESSALY_SOURCE_DIR;
  for (const std::string folder : {"Projects", "tests/golden/logs"}) {
    for (const auto& entry : std::filesystem::directory_iterator(root + "/" + folder)) {
      const std::string file = folder + "/" + entry.path().filename().string();
      if (entry.path().extension() == ".cmt") continue;  // read with its log
      EXPECT_EQ(inputs.count(file), 1u) << file << " has no case in tests/golden/cases.tsv";
    }
  }
}

}  // namespace
}  // namespace tessaly
