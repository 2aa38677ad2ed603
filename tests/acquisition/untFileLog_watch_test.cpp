// The watch in the live logging window: the tiles, the events list, the
// flagged records on the chart and the track, the marks and the comments,
// from a device the test holds; and "No data" end to end, the simulator
// stopped and started again on its pseudo-terminal. The sound is counted.
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QTabWidget>

#include <signal.h>

#include <iostream>
#include <memory>

#include "CountedSound.h"
#include "LiveLogTest.h"
#include "acquisition/AlarmTiles.h"
#include "acquisition/untFileLogVariants.h"
#include "core/EventsFile.h"
#include "shell/TrackPane.h"
#include "support/FakeTransport.h"
#include "support/LiveRecords.h"
#include "widgets/GraficoOk.h"
#include "widgets/PainelGridOk.h"
#include "widgets/TrackPlot.h"

namespace tessaly::livetest {
namespace {

using tessaly::testing::KvRecord;

// The window's session reads the test's device (which lives as long as
// either of them).
class HeldTransport : public LiveTransport {
 public:
  explicit HeldTransport(std::shared_ptr<tessaly::testing::FakeTransport> device) : device_(std::move(device)) {}
  std::string Open() override { return device_->Open(); }
  void Close() override { device_->Close(); }
  bool IsOpen() const override { return device_->IsOpen(); }
  void Read(std::string& bytes) override { device_->Read(bytes); }
  DeviceIdentity Identity() const override { return device_->Identity(); }
  void WhenReadable(std::function<void()> readable) override { device_->WhenReadable(std::move(readable)); }

 private:
  std::shared_ptr<tessaly::testing::FakeTransport> device_;
};

class LiveWatchWindow : public LiveLogTest {
 protected:
  // A KV7100 window on `file`, its sound counted, its Graph tab and track
  // up; from the test's device unless `simulator`.
  TfrmFileLog* Window(const std::string& file, bool simulator = false) {
    auto* window = NewWindow<TfrmFileLogKV7100>(Path(file));
    if (!simulator) window->MakeTransport = [device = device_] { return std::make_unique<HeldTransport>(device); };
    window->Alarms->MakeSound = [plays = plays_] { return std::make_unique<tessaly::testing::CountedSound>(*plays); };
    window->resize(1200, 700);
    window->PageControl1->setCurrentIndex(1);
    window->Track->SetShown(true);
    return window;
  }
  // Records `first` to `last`, the one numbered `spike` 470 above its
  // neighbours' line; waits until the window shows them.
  void Send(TfrmFileLog* window, int first, int last, int spike = 0) {
    std::string bytes;
    for (int n = first; n <= last; ++n) {
      std::string record = KvRecord(n);
      if (n == spike) record.replace(7, 6, "+00400");
      bytes += record + "\r\n";
    }
    device_->Push(bytes);
    ASSERT_TRUE(WaitFor([&] { return window->RecordCount() == static_cast<std::uint64_t>(last); }));
  }
  std::vector<QString> EventsListed(TfrmFileLog* window) const {
    std::vector<QString> texts;
    for (int i = 0; i < window->lstEvents->count(); ++i) texts.push_back(window->lstEvents->item(i)->text());
    return texts;
  }

  std::shared_ptr<tessaly::testing::FakeTransport> device_ = std::make_shared<tessaly::testing::FakeTransport>();
  std::shared_ptr<int> plays_ = std::make_shared<int>(0);
};

// A spike is flagged two records after it arrives: its tick on the chart,
// its ring on the track (drawn before the flag came) and the count. (A
// pause between the two sends may also flag a gap: the test's own timing.)
TEST_F(LiveWatchWindow, AFlaggedRecordIsTickedOnTheChartRingedOnTheTrackAndCounted) {
  TfrmFileLog* window = Window("flags.kvl");
  window->btnStartClick();
  Send(window, 1, 31, 30);
  EXPECT_EQ(window->Records().QualityFlags()[29], 0);
  Send(window, 32, 60, 30);
  const auto chart = [&] { return window->Grafico1->Grafico().Linha().Flags(); };
  ASSERT_TRUE(WaitFor([&] { return chart().size() == 60 && (chart()[29] & kFlagSpike) != 0; }));
  std::vector<std::uint32_t> flagged;
  for (std::size_t i = 0; i < chart().size(); ++i) {
    if (i != 29) {
      EXPECT_EQ(chart()[i] & (kFlagSpike | kFlagNoise), 0) << i;
    }
    if (chart()[i] != 0) flagged.push_back(static_cast<std::uint32_t>(i));
  }
  EXPECT_EQ(window->Track->Plot()->FlaggedRecords(), flagged);
  EXPECT_EQ(window->lblQtdFlags->text(), QString::number(flagged.size()));
  window->close();
}

// F11 marks the last record received, F12 with a note; both are listed and
// written to the events file. Esc silences the alarm.
TEST_F(LiveWatchWindow, FunctionKeysMarkTheLastRecordAndEscSilencesTheAlarm) {
  TfrmFileLog* window = Window("marks.kvl");
  window->btnStartClick();
  Send(window, 1, 12);
  QTest::keyClick(window->PainelGridok1, Qt::Key_F11);
  comment_ = "start of line 7";
  QTest::keyClick(window->PainelGridok1, Qt::Key_F12);
  const std::vector<QString> listed = EventsListed(window);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_TRUE(listed[0].endsWith(QStringLiteral(" row 12: Mark F11"))) << listed[0].toStdString();
  EXPECT_TRUE(listed[1].endsWith(QStringLiteral(" row 12: Mark F12: start of line 7"))) << listed[1].toStdString();
  const EventsFileContent file = ReadEventsFile(EventsFileName(Path("marks.kvl")));
  ASSERT_EQ(file.events.size(), 2u);
  EXPECT_EQ(file.events[1].state, "F12");
  EXPECT_EQ(file.events[1].text, "start of line 7");

  window->AlarmChanged({AlarmKind::NoData, AlarmState::Normal, {AlarmState::Alarm, 3, "s without a valid record"}, 0});
  EXPECT_TRUE(window->Alarms->Sounding());
  EXPECT_EQ(*plays_, 1);
  QTest::keyClick(window->PainelGridok1, Qt::Key_Escape);
  EXPECT_FALSE(window->Alarms->Sounding());
  window->close();
}

// The comment box reads the stored comment as it was written (UTF-8): a
// comment edited twice keeps its characters, on the screen and on the disk.
TEST_F(LiveWatchWindow, ACommentEditedTwiceKeepsItsCharacters) {
  TfrmFileLog* window = Window("comments.kvl");
  const QString typed = QString::fromUtf8("buoy7 \xc2\xb0 \xc3\xb1");
  std::vector<QString> offered;
  window->InputQuery = [&](const QString&, const QString&, QString& text) {
    offered.push_back(text);
    text = offered.size() == 1 ? typed : text + QStringLiteral(" again");
    return true;
  };
  window->btnStartClick();
  Send(window, 1, 5);
  window->PainelGridok1AoClicar(3, window->CommentColl());
  window->PainelGridok1AoClicar(3, window->CommentColl());
  ASSERT_EQ(offered.size(), 2u);
  EXPECT_EQ(offered[1], typed);
  EXPECT_EQ(ReadBytes(Path("comments.cmt")), "3=buoy7 \xc2\xb0 \xc3\xb1 again\r\n");
  const EventsFileContent events = ReadEventsFile(EventsFileName(Path("comments.kvl")));
  ASSERT_EQ(events.events.size(), 2u);
  EXPECT_EQ(events.events[1].text, "buoy7 \xc2\xb0 \xc3\xb1 again");
  window->close();
}

// The simulator stopped (SIGSTOP: its line stays, nothing comes): "No
// data" in the window 3 s after the last record, sounding, in the events
// list and file with its time; started again (SIGCONT): cleared. No dialog.
TEST_F(LiveWatchWindow, StoppingTheSimulatorRaisesNoDataWithinThreeSecondsAndRestartingClearsIt) {
  const std::string source = Generate("kvl", 3000, 0);
  QPointer<TfrmFileLog> window = Window("watch.kvl", true);
  StartSimulator(source, {"--rate", "10"});
  window->btnStartClick();
  ASSERT_TRUE(WaitFor([&] { return window->RecordCount() >= 30; }));
  const SystemClock clock;
  sim_->Signal(SIGSTOP);
  const std::int64_t stoppedNs = clock.MonotonicNs();
  const std::int64_t stoppedUtcNs = clock.UtcNs();
  const auto noDataTile = [&] { return window->Alarms->Tile(AlarmKind::NoData)->text(); };
  ASSERT_TRUE(WaitFor([&] { return noDataTile().contains(QStringLiteral("s without a valid record")); }, 10000));
  const double raisedAfter = static_cast<double>(clock.MonotonicNs() - stoppedNs) / kNsPerSecond;
  std::cout << "No data raised " << raisedAfter << " s after the simulator stopped\n";
  EXPECT_LE(raisedAfter, 3.5);
  EXPECT_GE(raisedAfter, 2.8);  // the last record came at most 0.1 s before the stop
  EXPECT_TRUE(window->Alarms->Sounding());
  EXPECT_GE(*plays_, 1);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);  // nothing asks
  EXPECT_TRUE(TMsgDlg::Calls().empty());
  const std::size_t logged = Lines(ReadBytes(Path("watch.kvl"))).size();
  // Only "No data" is judged: a disk nearly full here would add its own.
  const auto noDataEvents = [&] {
    std::vector<WatchEvent> events = ReadEventsFile(EventsFileName(Path("watch.kvl"))).events;
    std::erase_if(events, [](const WatchEvent& event) { return event.event != "No data"; });
    return events;
  };
  std::vector<WatchEvent> file = noDataEvents();
  ASSERT_EQ(file.size(), 1u);
  EXPECT_EQ(file[0].state, "alarm");
  EXPECT_EQ(file[0].row, logged);
  EXPECT_GE(file[0].utcNs, stoppedUtcNs + 2800 * kNsPerMs);
  EXPECT_LE(file[0].utcNs, clock.UtcNs());
  const std::vector<QString> listed = EventsListed(window);
  EXPECT_NE(std::find(listed.begin(), listed.end(), QString::fromStdString(DescribeWatchEvent(file[0]))), listed.end());

  sim_->Signal(SIGCONT);
  ASSERT_TRUE(WaitFor([&] {
    return noDataTile().contains(QStringLiteral("normal"));
  }, 3000));
  EXPECT_FALSE(window->Alarms->Sounding());
  file = noDataEvents();
  ASSERT_EQ(file.size(), 2u);
  EXPECT_EQ(file[1].state, "normal");
  EXPECT_GT(file[1].row, file[0].row);
  window->close();
}

}  // namespace
}  // namespace tessaly::livetest
