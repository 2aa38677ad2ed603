#include "core/PnavImport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "core/TextHelpers.h"
#include "support/Generator.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

using Strings = std::vector<std::string>;

class PnavImportTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& bytes, const std::string& name = "nav.txt") {
    const std::string path = dir_.Home() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // Chooses a file whose second line is header.
  std::string Choose(const std::string& header) { return import_.NewFile(Write("Survey 12\r\n" + header + "\r\n")); }

  testing::TempHome dir_;
  PnavImport import_;
};

// --- Reading the header ----------------------------------------------------

TEST_F(PnavImportTest, HeaderGivesChannelsAndColumnsWithMultiColumnItemsShifting) {
  ASSERT_EQ(Choose("@t,@pX3,@0,@1"), "");
  EXPECT_EQ(import_.ChannelItems(), (Strings{"@0", "@1"}));
  EXPECT_EQ(import_.FTimeCol, 0);
  EXPECT_EQ(import_.FPCol, 1);
  EXPECT_EQ(import_.ChannelColumn(0), 4);
  EXPECT_EQ(import_.ChannelColumn(1), 5);
  EXPECT_EQ(import_.FPosKind, 'p');
  EXPECT_EQ(import_.FPlusCol, -1);
  EXPECT_EQ(import_.FGtCol, -1);
  EXPECT_EQ(import_.FHeaderLine, "@t,@pX3,@0,@1");
  EXPECT_TRUE(import_.OptionsEnabled());
}

TEST_F(PnavImportTest, ItemWithoutWidthDigitOccupiesOneColumn) {
  ASSERT_EQ(Choose("@pX,@0,@>x2,@t,@3"), "");
  EXPECT_EQ(import_.FPCol, 0);
  EXPECT_EQ(import_.ChannelColumn(0), 1);
  EXPECT_EQ(import_.FGtCol, 2);
  EXPECT_EQ(import_.FTimeCol, 4);
  EXPECT_EQ(import_.ChannelColumn(3), 5);
  EXPECT_EQ(import_.ChannelColumn(5), 0);  // not named by the header
}

TEST_F(PnavImportTest, TowfishPositionWinsOverGpsFixInEitherOrder) {
  ASSERT_EQ(Choose("@+,@p,@0"), "");
  EXPECT_EQ(import_.FPosKind, '+');
  EXPECT_EQ(import_.FPlusCol, 0);
  ASSERT_EQ(Choose("@p,@+,@0"), "");
  EXPECT_EQ(import_.FPosKind, '+');
  EXPECT_EQ(import_.FPlusCol, 1);
}

TEST_F(PnavImportTest, UnknownDescriptorsTakeAColumnButOfferNothing) {
  ASSERT_EQ(Choose("@x,@,,@2"), "");
  EXPECT_EQ(import_.ChannelItems(), Strings{"@2"});
  EXPECT_EQ(import_.ChannelColumn(2), 3);
}

TEST_F(PnavImportTest, HeaderNotBeginningWithAtIsInvalid) {
  EXPECT_EQ(Choose(" @t,@0"), "Invalid Pnav format.");
  EXPECT_TRUE(import_.ChannelItems().empty());
  EXPECT_FALSE(import_.OptionsEnabled());
  EXPECT_EQ(import_.NewFile(Write("@t,@0\r\n")), "Invalid Pnav format.");  // one line only
  EXPECT_EQ(import_.NewFile(Write("")), "Invalid Pnav format.");
  EXPECT_EQ(import_.NewFile(Write("title\r\n\r\n@t,@0\r\n")), "Invalid Pnav format.");
}

// A width digit of 0 would move every later channel one column back onto
// data that is not its own: the header is refused as the dialog refuses any
// header it cannot use. Other digits, and a 0 on items without a width, are
// read as before.
TEST_F(PnavImportTest, AnItemOfWidthZeroMakesTheHeaderInvalid) {
  const std::pair<std::string, bool> headers[] = {
      {"@t,@p:0,@0,@1", false}, {"@t,@>:0,@0", false}, {"@p:4,@>:0,@+,@0", false},
      {"@t,@p:1,@0", true},     {"@t,@>:2,@0", true},  {"@t:0,@0:0,@1", true},
  };
  for (const auto& [header, usable] : headers) {
    EXPECT_EQ(Choose(header), usable ? "" : "Invalid Pnav format.") << header;
    EXPECT_EQ(import_.ChannelItems().empty(), !usable) << header;
  }
  ASSERT_EQ(Choose("@t,@p:1,@0"), "");
  EXPECT_EQ(import_.ChannelColumn(0), 2);
}

TEST_F(PnavImportTest, LineBreaksMayBeLfOrLoneCr) {
  EXPECT_EQ(import_.NewFile(Write("title\n@0,@1\n1,2\n")), "");
  EXPECT_EQ(import_.FHeaderLine, "@0,@1");
  EXPECT_EQ(import_.NewFile(Write("title\r@0,@1\r1,2\r")), "");
  EXPECT_EQ(import_.FHeaderLine, "@0,@1");
  EXPECT_EQ(import_.NewFile(Write("title\r\n@0,@1")), "");
  EXPECT_EQ(import_.FHeaderLine, "@0,@1");
}

TEST_F(PnavImportTest, UnreadableFileIsReportedAndOffersNothing) {
  const std::string message = import_.NewFile(dir_.Home() + "missing.txt");
  EXPECT_NE(message, "");
  EXPECT_NE(message, "Invalid Pnav format.");
  EXPECT_TRUE(import_.ChannelItems().empty());
}

TEST_F(PnavImportTest, OverlongLinesAreInvalidWithoutBeingReadWhole) {
  EXPECT_EQ(import_.NewFile(Write(std::string(PnavImport::kMaxLineBytes + 1, 'x') + "\r\n@0\r\n")),
            "Invalid Pnav format.");
  EXPECT_EQ(import_.NewFile(Write("title\r\n@0," + std::string(PnavImport::kMaxLineBytes, 'x'))),
            "Invalid Pnav format.");
  EXPECT_EQ(import_.NewFile(Write(std::string(PnavImport::kMaxLineBytes, 'x') + "\r\n@0\r\n")), "");
}

TEST_F(PnavImportTest, EachFileIsReadAsInAFreshDialog) {
  ASSERT_EQ(Choose("@x,@+,@t,@0"), "");
  ASSERT_EQ(import_.AddLink("@0", "Dev"), "");
  ASSERT_EQ(Choose("@p,@1"), "");
  EXPECT_EQ(import_.FPosKind, 'p');
  EXPECT_EQ(import_.FTimeCol, 0);
  EXPECT_EQ(import_.FPlusCol, -1);
  EXPECT_EQ(import_.ChannelColumn(0), 0);
  EXPECT_EQ(import_.ChannelItems(), Strings{"@1"});
  EXPECT_TRUE(import_.Links().empty());
  EXPECT_EQ(import_.FDevCol, -1);
}

// --- Links -----------------------------------------------------------------

TEST_F(PnavImportTest, LinkRecordsTheChannelColumnForTheFixedField) {
  ASSERT_EQ(Choose("@t,@pX3,@0,@1,@2"), "");
  EXPECT_EQ(import_.AddLink("@1", "Dev"), "");
  EXPECT_EQ(import_.AddLink("@0", "Towfish Depth"), "");
  EXPECT_EQ(import_.AddLink("@2", "Sounder"), "");
  EXPECT_EQ(import_.Links(), (Strings{"@1 - Dev", "@0 - Towfish Depth", "@2 - Sounder"}));
  EXPECT_EQ(import_.FDevCol, 5);
  EXPECT_EQ(import_.FTFDepthCol, 4);
  EXPECT_EQ(import_.FSounderCol, 6);
  EXPECT_TRUE(import_.HasDevLink());
}

TEST_F(PnavImportTest, BothFieldsMustBeChosenFromTheOfferedItems) {
  ASSERT_EQ(Choose("@0,@1"), "");
  const std::string fill = "Please fill both fields, MNEA and Fixed fields.";
  EXPECT_EQ(import_.AddLink("", "Dev"), fill);
  EXPECT_EQ(import_.AddLink("@0", ""), fill);
  EXPECT_EQ(import_.AddLink("@7", "Dev"), fill);
  EXPECT_EQ(import_.AddLink("@0", "Speed"), fill);
  EXPECT_TRUE(import_.Links().empty());
}

TEST_F(PnavImportTest, NoMoreLinksThanChannels) {
  ASSERT_EQ(Choose("@0,@1"), "");
  ASSERT_EQ(import_.AddLink("@0", "Dev"), "");
  ASSERT_EQ(import_.AddLink("@1", "Sounder"), "");
  EXPECT_EQ(import_.AddLink("@1", "Towfish Depth"), "The allowed number of links is 2.");
  EXPECT_EQ(import_.FTFDepthCol, -1);
}

TEST_F(PnavImportTest, ChannelLinkedTwiceIsRefusedAndTheFieldStaysFree) {
  ASSERT_EQ(Choose("@0,@1"), "");
  ASSERT_EQ(import_.AddLink("@0", "Dev"), "");
  EXPECT_EQ(import_.AddLink("@0", "Sounder"), "This NMEA field is already linked, please select other.");
  EXPECT_EQ(import_.FSounderCol, -1);
  EXPECT_EQ(import_.Links(), Strings{"@0 - Dev"});
  EXPECT_EQ(import_.AddLink("@1", "Sounder"), "");
  EXPECT_EQ(import_.FSounderCol, 1);
}

TEST_F(PnavImportTest, FixedFieldLinkedTwiceIsRefused) {
  ASSERT_EQ(Choose("@0,@1,@2"), "");
  ASSERT_EQ(import_.AddLink("@0", "Dev"), "");
  EXPECT_EQ(import_.AddLink("@1", "Dev"), "This Fixed Fields is already linked, please select other.");
  // The same entry again: the fixed field is judged before the channel.
  EXPECT_EQ(import_.AddLink("@0", "Dev"), "This Fixed Fields is already linked, please select other.");
  EXPECT_EQ(import_.FDevCol, 0);
  EXPECT_EQ(import_.Links(), Strings{"@0 - Dev"});
}

TEST_F(PnavImportTest, RemovingALinkFreesItsFieldAndChannel) {
  ASSERT_EQ(Choose("@0,@1"), "");
  ASSERT_EQ(import_.AddLink("@0", "Dev"), "");
  ASSERT_EQ(import_.AddLink("@1", "Sounder"), "");
  EXPECT_EQ(import_.RemoveLink(-1), "Please select a link to remove");
  EXPECT_EQ(import_.RemoveLink(2), "Please select a link to remove");
  EXPECT_EQ(import_.RemoveLink(0), "");
  EXPECT_EQ(import_.Links(), Strings{"@1 - Sounder"});
  EXPECT_EQ(import_.FDevCol, -1);
  EXPECT_EQ(import_.AddLink("@0", "Dev"), "");
  EXPECT_EQ(import_.FDevCol, 0);
}

TEST_F(PnavImportTest, OkNeedsADeviationLink) {
  ASSERT_EQ(Choose("@0,@1"), "");
  const std::string noDev = "No deviation selected. Please select the deviation field.";
  EXPECT_EQ(import_.CheckOk(), noDev);
  ASSERT_EQ(import_.AddLink("@0", "Dev"), "");
  EXPECT_EQ(import_.CheckOk(), "");
  ASSERT_EQ(import_.RemoveLink(0), "");
  EXPECT_FALSE(import_.HasDevLink());
  EXPECT_EQ(import_.CheckOk(), noDev);
}

TEST(PnavChannelColumnTest, OnlyChannelsZeroToNineExist) {
  PnavImport import;
  import.SetChannelColumn(9, 12);
  import.SetChannelColumn(10, 5);
  import.SetChannelColumn(-1, 5);
  EXPECT_EQ(import.ChannelColumn(9), 12);
  EXPECT_EQ(import.ChannelColumn(10), -1);
  EXPECT_EQ(import.ChannelColumn(-1), -1);
}

// --- Hand-over to the navigation sample ------------------------------------

TEST_F(PnavImportTest, HandOverSetsUpTheNavigationSample) {
  ASSERT_EQ(Choose("@t,@+,@p,@0"), "");
  ASSERT_EQ(import_.AddLink("@0", "Dev"), "");
  TSample sample('.');
  ASSERT_EQ(ApplyHandOver(sample, import_), "");
  for (std::uint8_t id : {sfDev, sfNavTime, sfNavFix, sfNavTowPos, sfNavAux}) EXPECT_TRUE(sample.HasField(id)) << int(id);
  EXPECT_EQ(sample.FColumns[sfDev], 3);
  EXPECT_EQ(sample.FColumns[sfNavTime], 0);
  EXPECT_EQ(sample.FColumns[sfNavFix], 2);
  EXPECT_EQ(sample.FColumns[sfNavTowPos], 1);
  EXPECT_EQ(sample.FColumns[sfNavAux], 1);  // took the counter after the deviation took 0
  EXPECT_EQ(sample.FPnav.FDevColumn, 3);
  EXPECT_EQ(sample.FPnav.FMode, '+');
  EXPECT_EQ(sample.FPnav.FMarkColumn, 0);
  EXPECT_FALSE(sample.HasField(sfMark));
  EXPECT_FALSE(sample.HasField(sfTowDepth));
  EXPECT_FALSE(sample.HasField(sfSounder));
  EXPECT_EQ(sample.FKind, skPNav);
  EXPECT_EQ(sample.FHeading, "@t,@+,@p,@0");
}

TEST_F(PnavImportTest, HandOverCarriesDepthSounderAndTheMarkColumn) {
  ASSERT_EQ(Choose("@t,@0,@+,@1,@2"), "");
  ASSERT_EQ(import_.AddLink("@0", "Dev"), "");
  ASSERT_EQ(import_.AddLink("@1", "Towfish Depth"), "");
  ASSERT_EQ(import_.AddLink("@2", "Sounder"), "");
  TSample sample('.');
  ASSERT_EQ(ApplyHandOver(sample, import_), "");
  EXPECT_EQ(sample.FColumns[sfTowDepth], 3);
  EXPECT_EQ(sample.FColumns[sfSounder], 4);
  EXPECT_EQ(sample.FPnav.FDepthColumn, 3);
  EXPECT_EQ(sample.FPnav.FSounderColumn, 4);
  EXPECT_EQ(sample.FPnav.FMarkColumn, 1);
  EXPECT_TRUE(sample.HasField(sfMark));
}

TEST_F(PnavImportTest, HandOverWithoutAtPlusHasNoMarkColumn) {
  ASSERT_EQ(Choose("@t,@p,@0"), "");
  ASSERT_EQ(import_.AddLink("@0", "Dev"), "");
  TSample sample('.');
  ASSERT_EQ(ApplyHandOver(sample, import_), "");
  EXPECT_EQ(sample.FPnav.FMarkColumn, -1);
  EXPECT_EQ(sample.FPnav.FMode, 'p');
  EXPECT_FALSE(sample.HasField(sfMark));
}

TEST_F(PnavImportTest, HandOverWithoutDeviationLinkLeavesTheSampleAlone) {
  ASSERT_EQ(Choose("@t,@p,@0"), "");
  TSample sample('.');
  EXPECT_EQ(ApplyHandOver(sample, import_), "No deviation selected. Please select the deviation field.");
  EXPECT_EQ(sample.FKind, skNone);
  EXPECT_EQ(sample.FFieldSet, 0);
}

TEST_F(PnavImportTest, HandedOverSampleParsesTheFilesDataLines) {
  ASSERT_EQ(Choose("@t,@pX4,@0"), "");
  ASSERT_EQ(import_.AddLink("@0", "Dev"), "");
  TSample sample('.');
  sample.FDevDigits = 5;
  ASSERT_EQ(ApplyHandOver(sample, import_), "");
  ASSERT_EQ(sample.Parse("12:00:01,4530.1234,N,06330.5678,W,+01234"), 0) << sample.FErrorText;
  EXPECT_EQ(sample.FNavTime, "12:00:01");
  EXPECT_EQ(sample.FDev, "+01234");
  EXPECT_EQ(sample.FGpsLatHemi, "N");
  EXPECT_EQ(sample.FLatDeg, "0");  // GPS-only files show no towfish position
}

// --- Generated navigation files --------------------------------------------

struct GeneratedKind {
  const char* kind;
  char posKind;
  std::int32_t markColumn;
};

class GeneratedPnavTest : public PnavImportTest, public ::testing::WithParamInterface<GeneratedKind> {
 protected:
  // One file of each navigation kind for the whole suite.
  static void SetUpTestSuite() {
    files_ = new testing::TempHome;
    generated_ = true;
    for (const char* kind : {"pnav-plus", "pnav-p"})
      generated_ = generated_ && testing::GenerateLog(std::string("--records 40 --kind ") + kind, files_->Home() + kind);
  }
  static void TearDownTestSuite() {
    delete files_;
    files_ = nullptr;
  }

  // Links channels 0, 1 and 2 of the generated file to the deviation, towfish
  // depth and sounder, and hands the import over to sample_.
  void SetUp() override {
    ASSERT_TRUE(generated_);
    path_ = files_->Home() + GetParam().kind;
    ASSERT_EQ(import_.NewFile(path_), "");
    ASSERT_EQ(import_.AddLink("@0", "Dev"), "");
    ASSERT_EQ(import_.AddLink("@1", "Towfish Depth"), "");
    ASSERT_EQ(import_.AddLink("@2", "Sounder"), "");
    ASSERT_EQ(import_.CheckOk(), "");
    sample_.FDevDigits = 5;
    ASSERT_EQ(ApplyHandOver(sample_, import_), "");
  }

  // The data lines: those after the line holding the sample's heading.
  std::vector<std::string> DataLines() const {
    std::ifstream in(path_, std::ios::binary);
    std::vector<std::string> lines;
    bool inData = false;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (inData) lines.push_back(line);
      inData = inData || line.find(sample_.FHeading) != std::string::npos;
    }
    return lines;
  }

  static inline testing::TempHome* files_ = nullptr;
  static inline bool generated_ = false;
  std::string path_;
  TSample sample_{'.'};
};

TEST_P(GeneratedPnavTest, EveryDataLineIsAcceptedWithItsLinkedChannels) {
  const std::vector<std::string> lines = DataLines();
  ASSERT_EQ(lines.size(), 40u);
  for (const std::string& line : lines) {
    ASSERT_EQ(sample_.Parse(line), 0) << line << ": " << sample_.FErrorText;
    EXPECT_EQ(sample_.FDev, FieldAt(import_.FDevCol, ',', line));
    EXPECT_EQ(sample_.FTowDepth, FieldAt(import_.FTFDepthCol, ',', line));
    EXPECT_EQ(sample_.FSounder, FieldAt(import_.FSounderCol, ',', line));
    EXPECT_EQ(sample_.FNavTime, FieldAt(0, ',', line));
    EXPECT_EQ(sample_.FGpsLatHemi, "N");
    EXPECT_EQ(sample_.FGpsLonHemi, "W");
  }
}

TEST_P(GeneratedPnavTest, TowfishPositionFollowsThePositionForm) {
  EXPECT_EQ(import_.FPosKind, GetParam().posKind);
  EXPECT_EQ(sample_.FPnav.FMarkColumn, GetParam().markColumn);
  const std::string line = DataLines().front();
  ASSERT_EQ(sample_.Parse(line), 0) << sample_.FErrorText;
  EXPECT_EQ(sample_.FGpsLatDeg, "44");
  if (GetParam().posKind == 'p') {
    EXPECT_EQ(sample_.FLatDeg, "0");  // GPS-only files show no towfish position
    return;
  }
  // The towfish column holds TF:<latitude>:<longitude> in signed decimal degrees.
  const std::string towfish(FieldAt(import_.FPlusCol, ',', line));
  EXPECT_NEAR(std::stod(sample_.FTfDecLat), std::stod(std::string(FieldAt(1, ':', towfish))), 1e-4);
  EXPECT_NEAR(std::stod(sample_.FTfDecLon), std::stod(std::string(FieldAt(2, ':', towfish))), 1e-4);
}

INSTANTIATE_TEST_SUITE_P(BothPositionForms, GeneratedPnavTest,
                         ::testing::Values(GeneratedKind{"pnav-plus", '+', 2}, GeneratedKind{"pnav-p", 'p', -1}));

}  // namespace
}  // namespace tessaly
