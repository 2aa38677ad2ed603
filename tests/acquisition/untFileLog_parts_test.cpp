#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include <algorithm>
#include <filesystem>

#include "LiveLogTest.h"
#include "acquisition/untFileLogVariants.h"
#include "core/LogDocument.h"
#include "core/LogKind.h"
#include "shell/untLogErrors.h"
#include "support/FileSizeLimit.h"

namespace tessaly::livetest {
namespace {

using LiveLogParts = LiveLogTest;

// Parts change after the given number of records; each part is a log of its
// own whose comments file keys each comment by the row within that part.
TEST_F(LiveLogParts, PartsSplitTheSessionAndKeepTheirCommentsOnTheirRecords) {
  const std::string source = Generate("kvl", 25, 0);
  QPointer<TfrmFileLog> window = NewWindow<TfrmFileLogKV7100>(Path("survey.kvl"));
  window->SetRecordsPerPart(10);
  StartSimulator(source);
  window->btnStartClick();
  ASSERT_TRUE(WaitFor([&] { return window->RecordCount() == 25; }));
  const std::vector<std::string> lines = Lines(ReadBytes(source));
  EXPECT_EQ(ReadBytes(Path("survey.kvl")), WithCrLf({lines.begin(), lines.begin() + 10}));
  EXPECT_EQ(ReadBytes(Path("survey_1.kvl")), WithCrLf({lines.begin() + 10, lines.begin() + 20}));
  EXPECT_EQ(ReadBytes(Path("survey_2.kvl")), WithCrLf({lines.begin() + 20, lines.end()}));
  EXPECT_EQ(window->FileName(), Path("survey_2.kvl"));
  EXPECT_EQ(window->windowTitle(), "survey_2.kvl - KV7100 Log");
  EXPECT_FALSE(window->btnErros->isEnabled());  // offered only until the first part change

  comment_ = "buoy";
  window->PainelGridok1AoClicar(15, 12);
  comment_ = "wreck";
  window->PainelGridok1AoClicar(3, 12);
  window->PainelGridok1AoClicar(3, 11);  // not the comment column
  window->PainelGridok1AoClicar(26, 12);  // no record there
  EXPECT_EQ(window->Records().Cells().Cell(15, 12), "buoy");
  EXPECT_EQ(ReadBytes(Path("survey_1.cmt")), "5=buoy\r\n");
  EXPECT_EQ(ReadBytes(Path("survey.cmt")), "3=wreck\r\n");
  EXPECT_TRUE(window->chbAutoScroll->isChecked());
  const std::vector<std::string> inUse = window->FilesInUse();
  for (const char* name : {"survey.kvl", "survey_1.kvl", "survey_2.kvl", "survey.cmt", "survey_1.cmt", "survey_2.cmt"})
    EXPECT_NE(std::find(inUse.begin(), inUse.end(), Path(name)), inUse.end()) << name;

  LogDocument part;
  ASSERT_EQ(part.OpenLog(Path("survey_1.kvl"), LoadOptions{}), LoadStatus::Loaded);
  EXPECT_EQ(part.Cells().Cell(5, kColComment), "buoy");
  EXPECT_EQ(part.Cells().Cell(5, kColDev), window->Records().Cells().Cell(15, 2));
  window->close();
}

TEST_F(LiveLogParts, TheErrorWindowListsFourLinesPerRejectedRecord) {
  const std::string source = Generate("zpx", 40, 0.25, 3);
  auto* window = NewWindow<TfrmFileLogZPXKV>(Path("e.zpx"));
  StartSimulator(source);
  window->btnStartClick();
  const std::vector<std::string> valid = SimulatorValidRecords();
  ASSERT_TRUE(WaitFor([&] { return window->RecordCount() == valid.size(); }));
  ASSERT_GT(window->NumErros(), 0);
  const std::vector<std::string>& errors = window->ErrorLines();
  EXPECT_EQ(errors[0].rfind("1 - ", 0), 0u);
  EXPECT_EQ(errors[2].rfind("Line: ", 0), 0u);
  EXPECT_TRUE(errors[3].empty());
  window->btnErrosClick();
  auto* list = window->findChild<TfrmLogErrors*>();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Lines(), errors);
  EXPECT_EQ(list->windowTitle(), "Errors");
  window->close();
}

TEST_F(LiveLogParts, EarlierPartsAreReplacedOnlyWithConsent) {
  const std::string source = Generate("kvl", 5, 0);
  simtest::WriteBytes(Path("survey_1.kvl"), "earlier session\r\n");
  auto* window = NewWindow<TfrmFileLogKV7100>(Path("survey.kvl"));
  testing::ShellTestHome::Answer(mrNo);
  window->btnStartClick();
  EXPECT_EQ(window->State(), TfrmFileLog::LogState::Idle);
  EXPECT_FALSE(std::filesystem::exists(Path("survey.kvl")));
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].indexOf("survey_1.kvl"), -1);
  EXPECT_EQ(AppContext::Instance().PortOwner(), nullptr);

  testing::ShellTestHome::Answer(mrYes);
  window->SetRecordsPerPart(3);
  StartSimulator(source);
  window->btnStartClick();
  ASSERT_TRUE(WaitFor([&] { return window->RecordCount() == 5; }));
  EXPECT_EQ(Lines(ReadBytes(Path("survey_1.kvl"))).size(), 2u);
  window->close();
}

TEST_F(LiveLogParts, APortThatCannotBeOpenedLeavesNothingBehind) {
  simtest::WriteBytes(Path("kept.rtc"), "a log the user agreed to replace\r\n");
  auto* window = NewWindow<TfrmFileLogRT4KvComp>(Path("kept.rtc"));
  window->btnStartClick();  // no simulator: the device does not exist
  EXPECT_EQ(window->State(), TfrmFileLog::LogState::Idle);
  EXPECT_TRUE(window->btnStart->isEnabled());
  EXPECT_EQ(ReadBytes(Path("kept.rtc")), "a log the user agreed to replace\r\n");
  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Error");
  EXPECT_NE(TMsgDlg::Calls()[0].Mensagem.indexOf(QString::fromStdString(Path("tty1"))), -1);
  EXPECT_EQ(AppContext::Instance().PortOwner(), nullptr);
  window->close();
}

// An unplugged adapter, with records in flight and one cut short: the loss
// shows in the status, the port is opened again when the device is back,
// every record the reader took arrives once, whole, and no part of a cut
// record joins what the next device sends.
TEST_F(LiveLogParts, AnUnpluggedDeviceIsReopenedAndLoggingGoesOn) {
  const std::string source = Generate("kvl", 40, 0);
  auto* window = NewWindow<TfrmFileLogKV7100>(Path("unplug.kvl"));
  StartSimulator(source, {"--rate", "40", "--hangup-after", "15", "--hangup-ms", "1500", "--hangup-in-flight"});
  window->btnStartClick();
  ASSERT_TRUE(WaitFor([&] { return window->lblStatus->text() == "Device lost, reconnecting ..."; }));
  EXPECT_TRUE(TMsgDlg::Calls().empty());
  ASSERT_TRUE(WaitFor([&] { return window->lblStatus->text() == "Logging ..." && window->RecordCount() > 15; }));
  const std::vector<live::ExpectedLine> expected = SimulatorExpectedLog();
  const std::size_t required = std::count_if(expected.begin(), expected.end(), [](const auto& l) { return !l.optional; });
  ASSERT_TRUE(WaitFor([&] { return window->RecordCount() >= required; }, 8000))
      << window->RecordCount() << " of " << required;
  QTest::qWait(200);
  const live::CheckResult check = live::CheckLog({Path("unplug.kvl")}, expected, false, 0);
  EXPECT_TRUE(check.ok) << check.message;
  EXPECT_EQ(Lines(ReadBytes(Path("unplug.kvl"))).size(), window->RecordCount());
  window->close();
}

TEST_F(LiveLogParts, AWriteFailurePausesTheSessionAndResumeLosesNothingWritten) {
  const std::string source = Generate("kvl", 30, 0);
  const std::vector<std::string> lines = Lines(ReadBytes(source));
  auto* window = NewWindow<TfrmFileLogKV7100>(Path("full.kvl"));
  std::size_t firstTen = WithCrLf({lines.begin(), lines.begin() + 10}).size();
  {
    testing::FileSizeLimit limit(firstTen + 5);
    StartSimulator(source, {"--rate", "20"});
    window->btnStartClick();
    ASSERT_TRUE(WaitFor([&] { return window->State() == TfrmFileLog::LogState::Paused; }));
  }
  EXPECT_EQ(ReadBytes(Path("full.kvl")), WithCrLf({lines.begin(), lines.begin() + 10}));
  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Error");
  EXPECT_TRUE(window->lblStatus->text().startsWith("Paused ... Cannot write the log"));
  EXPECT_EQ(window->btnPauseResume->text(), "&Resume");
  EXPECT_EQ(window->RecordCount(), 11u);  // the eleventh waits to be written

  window->btnPauseResumeClick();
  EXPECT_EQ(window->State(), TfrmFileLog::LogState::Logging);
  SimulatorDevices();
  QTest::qWait(300);
  const std::vector<std::string> logged = Lines(ReadBytes(Path("full.kvl")));
  ASSERT_GE(logged.size(), 11u);
  EXPECT_EQ(std::vector<std::string>(logged.begin(), logged.begin() + 11),
            std::vector<std::string>(lines.begin(), lines.begin() + 11));
  // What came after the pause follows in order, none twice.
  auto from = lines.begin() + 11;
  for (std::size_t i = 11; i < logged.size(); ++i) {
    from = std::find(from, lines.end(), logged[i]);
    ASSERT_NE(from, lines.end()) << "out of order or twice: " << logged[i];
    ++from;
  }
  EXPECT_EQ(window->RecordCount(), logged.size());
  EXPECT_EQ(TMsgDlg::Calls().size(), 1u);
  window->close();
}

}  // namespace
}  // namespace tessaly::livetest
