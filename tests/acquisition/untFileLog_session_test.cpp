#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>

#include <filesystem>

#include "LiveLogTest.h"
#include "acquisition/untFileLogOther.h"
#include "acquisition/untFileLogVariants.h"
#include "core/GridLayout.h"
#include "widgets/RawTextView.h"

namespace tessaly::livetest {
namespace {

class EveryVariant : public LiveLogTest, public ::testing::WithParamInterface<int> {};

TfrmFileLog* MakeVariant(int index, LiveLogTest& test, const std::string& file);

// Every instrument variant records what the simulator sends: the log holds
// exactly the valid records, whole and in order, each processed as soon as
// its line break arrived (the last one too, before Stop); invalid ones are
// counted and listed.
TEST_P(EveryVariant, RecordsTheValidRecordsOfTheSimulator) {
  static const char* kKinds[] = {"kvl", "zpx", "zpt", "rtb", "rtc"};
  const std::string kind = kKinds[GetParam()];
  const std::string source = Generate(kind, 60, 0.2, 7);
  const std::string log = Path("survey." + kind);
  QPointer<TfrmFileLog> window = MakeVariant(GetParam(), *this, log);
  EXPECT_TRUE(SerialActionsDisabled());
  StartSimulator(source, {"--garbage", "0.3", "--garbage-any", "--split", "0.3", "--burst", "0.2", "--broken", "0.1"});
  window->btnStartClick();
  ASSERT_EQ(window->State(), TfrmFileLog::LogState::Logging);
  const std::vector<std::string> valid = SimulatorValidRecords();
  ASSERT_GT(valid.size(), 30u);
  ASSERT_TRUE(WaitFor([&] { return window->RecordCount() == valid.size(); }))
      << window->RecordCount() << " of " << valid.size();
  EXPECT_EQ(ReadBytes(log), WithCrLf(valid));
  // Faulty records that still begin with the header are rejected and listed;
  // a fault that lost the header leaves text outside any record.
  EXPECT_GT(window->NumErros(), 0);
  EXPECT_LE(window->NumErros(), 60 - static_cast<int>(valid.size()));
  EXPECT_EQ(window->ErrorLines().size(), 4u * static_cast<std::size_t>(window->NumErros()));
  EXPECT_EQ(window->lblQtdErrors->text(), QString::number(window->NumErros()));

  const RecordSource& records = window->Records();
  EXPECT_EQ(records.RawLine(valid.size() - 1), valid.back());
  EXPECT_EQ(records.Cells().Cell(valid.size(), 0), std::to_string(valid.size()));
  EXPECT_FALSE(records.Cells().Cell(1, 1).empty());  // time of reception
  EXPECT_EQ(records.ChartValues().size(), valid.size());
  EXPECT_EQ(window->windowTitle().toStdString(), "survey." + kind + " - " + window->FileType());

  window->btnStopClick();
  EXPECT_EQ(window->State(), TfrmFileLog::LogState::Idle);
  EXPECT_EQ(window->Records().RawLineCount(), 0u);
  window->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
  EXPECT_TRUE(SerialActionsEnabled());
  EXPECT_EQ(AppContext::Instance().PortOwner(), nullptr);
}

TfrmFileLog* MakeVariant(int index, LiveLogTest& test, const std::string& file) {
  LiveLogTest& t = test;
  switch (index) {
    case 0: return t.NewWindow<TfrmFileLogKV7100>(file);
    case 1: return t.NewWindow<TfrmFileLogZPXKV>(file);
    case 2: return t.NewWindow<TfrmFileLogZPXBT>(file);
    case 3: return t.NewWindow<TfrmFileLogRT4Basic>(file);
    default: return t.NewWindow<TfrmFileLogRT4KvComp>(file);
  }
}

INSTANTIATE_TEST_SUITE_P(LiveLog, EveryVariant, ::testing::Range(0, 5));

using LiveLog = LiveLogTest;

TEST_F(LiveLog, KV7100RowsFillTheThirteenColumnsWithColumnTenEmpty) {
  const std::string source = Generate("kvl", 5, 0);
  auto* window = NewWindow<TfrmFileLogKV7100>(Path("a.kvl"));
  StartSimulator(source);
  window->btnStartClick();
  ASSERT_TRUE(WaitFor([&] { return window->RecordCount() == 5; }));
  const CellTable& cells = window->Records().Cells();
  EXPECT_EQ(cells.Cols(), 13u);
  EXPECT_EQ(cells.Cell(0, 4), "Min ");
  EXPECT_EQ(cells.Cell(0, 5), "N/S ");
  const std::vector<std::string> lines = Lines(ReadBytes(source));
  // "$KVMGD,+00003,4417.968,N,06318.000,W,54.5,76.6"
  const std::string& first = lines[0];
  EXPECT_EQ(cells.Cell(1, 2), first.substr(7, 6));
  EXPECT_EQ(cells.Cell(1, 5), "N");
  EXPECT_EQ(cells.Cell(1, 8), "W");
  EXPECT_TRUE(cells.Cell(1, 10).empty());
  EXPECT_EQ(cells.Cell(1, 11), first.substr(first.rfind(',') + 1));
  EXPECT_EQ(cells.RowColor(0), kHeaderGrey);

  // New deviation colours reach the record rows; the rows not filled yet
  // stay as they are.
  ViewSettings& view = AppContext::Instance().View;
  view.DevLimit = 0;
  view.PosDevColor = view.NegDevColor = 0x123456;
  window->Refresh(false, true);
  for (std::size_t row = 1; row <= 5; ++row) EXPECT_EQ(cells.RowColor(row), 0x123456u) << row;
  EXPECT_EQ(cells.RowColor(6), 0u);
  window->close();
}

TEST_F(LiveLog, TheStateTableGovernsButtonsCaptionsAndStatus) {
  const std::string source = Generate("zpx", 20, 0);
  auto* window = NewWindow<TfrmFileLogZPXKV>(Path("s.zpx"));
  EXPECT_TRUE(window->btnStart->isEnabled());
  EXPECT_FALSE(window->btnPauseResume->isEnabled());
  EXPECT_EQ(window->btnPauseResume->text(), "&Pause");
  EXPECT_FALSE(window->btnStop->isEnabled());
  EXPECT_FALSE(window->btnErros->isEnabled());
  EXPECT_TRUE(window->lblStatus->text().isEmpty());
  StartSimulator(source, {"--loop", "--rate", "50"});
  window->btnStartClick();
  EXPECT_FALSE(window->btnStart->isEnabled());
  EXPECT_TRUE(window->btnStop->isEnabled());
  EXPECT_TRUE(window->btnErros->isEnabled());
  EXPECT_EQ(window->lblStatus->text(), "Logging ...");
  EXPECT_TRUE(comm_.Active());
  ASSERT_TRUE(WaitFor([&] { return window->RecordCount() >= 20; }));
  window->btnPauseResumeClick();
  EXPECT_EQ(window->btnPauseResume->text(), "&Resume");
  EXPECT_EQ(window->lblStatus->text(), "Paused ...");
  EXPECT_FALSE(comm_.Active());
  EXPECT_EQ(AppContext::Instance().PortOwner(), window);  // a paused session keeps the port
  window->btnPauseResumeClick();
  EXPECT_EQ(window->btnPauseResume->text(), "&Pause");
  EXPECT_EQ(window->lblStatus->text(), "Logging ...");
  window->SetLogState("Nonsense");
  EXPECT_EQ(window->State(), TfrmFileLog::LogState::Logging);
  window->btnStopClick();
  EXPECT_TRUE(window->btnStart->isEnabled());
  EXPECT_FALSE(window->btnErros->isEnabled());
  EXPECT_EQ(window->lblQtdErrors->text(), "0");
  EXPECT_TRUE(window->lblStatus->text().isEmpty());
  EXPECT_FALSE(comm_.Active());
  EXPECT_EQ(AppContext::Instance().PortOwner(), nullptr);
  ASSERT_FALSE(TMsgDlg::Calls().empty());
  EXPECT_EQ(TMsgDlg::Calls().back().Mensagem, "Do you really want stop?");
  EXPECT_EQ(TMsgDlg::Calls().back().Caption, "Confirmation");
  window->close();
}

TEST_F(LiveLog, NoToTheStopQuestionKeepsTheSessionAndTheWindow) {
  const std::string source = Generate("rtb", 10, 0);
  QPointer<TfrmFileLog> window = NewWindow<TfrmFileLogRT4Basic>(Path("s.rtb"));
  StartSimulator(source);
  window->btnStartClick();
  testing::ShellTestHome::Answer(mrNo);
  window->btnStopClick();
  EXPECT_EQ(window->State(), TfrmFileLog::LogState::Logging);
  EXPECT_FALSE(window->close());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_FALSE(window.isNull());
  EXPECT_EQ(window->State(), TfrmFileLog::LogState::Logging);
  EXPECT_TRUE(SerialActionsDisabled());
  ASSERT_TRUE(WaitFor([&] { return window->RecordCount() == 10; }));
  testing::ShellTestHome::Answer(mrYes);
  EXPECT_TRUE(window->close());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
  EXPECT_EQ(ReadBytes(Path("s.rtb")), ReadBytes(source));
  EXPECT_TRUE(SerialActionsEnabled());
}

TEST_F(LiveLog, FunctionKeysFollowTheButtons) {
  const std::string source = Generate("zpt", 10, 0);
  QPointer<TfrmFileLog> window = NewWindow<TfrmFileLogZPXBT>(Path("k.zpT"));
  QTest::keyClick(window, Qt::Key_F2);  // nothing to pause
  QTest::keyClick(window, Qt::Key_F3);  // nothing to stop
  EXPECT_EQ(window->State(), TfrmFileLog::LogState::Idle);
  EXPECT_TRUE(TMsgDlg::Calls().empty());
  StartSimulator(source);
  QTest::keyClick(window, Qt::Key_F1);
  ASSERT_EQ(window->State(), TfrmFileLog::LogState::Logging);
  ASSERT_TRUE(WaitFor([&] { return window->RecordCount() == 10; }));
  QTest::keyClick(window, Qt::Key_F1);  // a session runs: F1 must not start another over its log
  EXPECT_EQ(ReadBytes(Path("k.zpT")), ReadBytes(source));
  QTest::keyClick(window, Qt::Key_F2);
  EXPECT_EQ(window->State(), TfrmFileLog::LogState::Paused);
  QTest::keyClick(window, Qt::Key_F2);
  EXPECT_EQ(window->State(), TfrmFileLog::LogState::Logging);
  QTest::keyClick(window, Qt::Key_F5);
  EXPECT_FALSE(window->chbAutoScroll->isChecked());
  EXPECT_GE(window->lstRawData->HoldMark(), 0);  // the raw view holds still here
  QTest::keyClick(window, Qt::Key_F5);
  EXPECT_TRUE(window->chbAutoScroll->isChecked());
  EXPECT_EQ(window->lstRawData->HoldMark(), -1);
  QTest::keyClick(window, Qt::Key_F6);
  EXPECT_EQ(window->PageControl1->currentIndex(), 1);
  QTest::keyClick(window, Qt::Key_F6);
  EXPECT_EQ(window->PageControl1->currentIndex(), 0);
  QTest::keyClick(window, Qt::Key_F3);
  EXPECT_EQ(window->State(), TfrmFileLog::LogState::Idle);
  QTest::keyClick(window, Qt::Key_F4);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}

TEST_F(LiveLog, ASecondSessionIsRefusedWithTheNameOfTheWindowThatHoldsThePort) {
  const std::string source = Generate("kvl", 10, 0);
  auto* first = NewWindow<TfrmFileLogKV7100>(Path("first.kvl"));
  auto* second = NewWindow<TfrmFileLogOther>(Path("second.oth"));
  StartSimulator(source);
  first->btnStartClick();
  ASSERT_EQ(first->State(), TfrmFileLog::LogState::Logging);
  second->btnStartClick();
  EXPECT_EQ(second->State(), TfrmFileLog::LogState::Idle);
  EXPECT_FALSE(std::filesystem::exists(Path("second.oth")));
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0], "The serial port is in use by \"first.kvl - KV7100 Log\". Stop it there first.");
  ASSERT_TRUE(WaitFor([&] { return first->RecordCount() == 10; }));
  EXPECT_EQ(second->Records().RawLineCount(), 0u);  // a window without the port receives nothing
  second->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(SerialActionsDisabled());  // the first still exists
  first->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(SerialActionsEnabled());
}

// The raw capture writes the bytes as they came, nothing added, and shows
// them split at their own line breaks.
TEST_F(LiveLog, RawCaptureWritesTheBytesExactlyAsReceived) {
  const std::string source = Generate("rtc", 30, 0.1);
  auto* window = NewWindow<TfrmFileLogOther>(Path("capture.oth"));
  EXPECT_FALSE(window->PageControl1->isTabEnabled(1));
  StartSimulator(source, {"--garbage", "0.5", "--split", "0.5"});
  window->btnStartClick();
  const std::string sent = SimulatorBytes();
  ASSERT_TRUE(WaitFor([&] { return ReadBytes(Path("capture.oth")).size() == sent.size(); }));
  EXPECT_EQ(ReadBytes(Path("capture.oth")), sent);
  EXPECT_EQ(window->Records().RawLineCount(), Lines(sent).size());
  EXPECT_EQ(window->RecordCount(), 0u);
  EXPECT_EQ(window->Parts().size(), 1u);
  window->close();
}

}  // namespace
}  // namespace tessaly::livetest
