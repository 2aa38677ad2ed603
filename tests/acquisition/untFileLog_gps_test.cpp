// The live logging window with a GPS on a second port: the simulator sends
// the instrument's records and the ship's NMEA at once, each on its own
// pseudo-terminal; what the window shows of the GPS, its track, its time
// column and the cable out set during the session.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "LiveLogTest.h"
#include "acquisition/GpsStatusPanel.h"
#include "acquisition/PositioningWindow.h"
#include "acquisition/untFileLogVariants.h"
#include "core/NmeaLog.h"
#include "core/ReceptionTimes.h"
#include "core/SettingsStore.h"
#include "core/SideFile.h"
#include "shell/TrackPane.h"
#include "widgets/ReceptionTimeText.h"
#include "widgets/TrackPlot.h"

namespace tessaly::livetest {
namespace {

class LiveGps : public LiveLogTest {
 protected:
  // The GPS on port 2 of the settings: the simulator's second link.
  void SetGpsPort(int port) {
    GpsPortSettings gps;
    gps.PortNum = port;
    gps.Baudrate = 38400;
    WriteGpsPortSettings(home_.Lib("GpsPort.ega"), gps);
  }
  // A ZEPH survey of `records` at 10 Hz with its GPS at 10 Hz beside it.
  std::string SurveyWithGps(int records) {
    const std::string source = Path("source.zpx");
    simtest::Generate("--kind zpx --rate 10 --gps-rate 10 --cable 70 --seed 3 --records " + std::to_string(records) +
                          " --nmea-out " + source + ".nmea",
                      source);
    return source;
  }
  // The records at the pace of the GPS, as the survey made them.
  void StartWithGps(const std::string& source) {
    StartSimulator(source, {"--rate", "10", "--gps", source + ".nmea", "--gps-link", Path("tty2"), "--gps-baud",
                            "38400", "--gps-sent", Path("gps-sent.txt")});
  }
};

TEST_F(LiveGps, WithoutAGpsPortTheBoxSaysNoneAndAZephWindowHasNoTrack) {
  auto* window = NewWindow<TfrmFileLogZPXKV>(Path("a.zpx"));
  EXPECT_FALSE(window->Track->Available());
  EXPECT_EQ(window->grpGps->lblPort->text(), "None");
  EXPECT_FALSE(window->grpGps->btnSetCable->isEnabled());
  window->close();
}

// The cable out shows whole in the narrow panel: "150.0 m", and the longest
// below 10 km.
TEST_F(LiveGps, TheCableOutShowsWholeInTheBox) {
  SetGpsPort(2);
  auto* window = NewWindow<TfrmFileLogZPXKV>(Path("survey.zpx"));
  QCoreApplication::processEvents();
  QDoubleSpinBox* cable = window->grpGps->edtCable;
  const QLineEdit* text = cable->findChild<QLineEdit*>();
  ASSERT_NE(text, nullptr);
  for (const double metres : {150.0, 9999.9}) {
    cable->setValue(metres);
    constexpr int kLineEditMargins = 2 * 2;  // QLineEdit's own margin each side of its text
    EXPECT_GE(text->width() - kLineEditMargins, text->fontMetrics().horizontalAdvance(text->text()))
        << text->text().toStdString();
  }
  const QPushButton* set = window->grpGps->btnSetCable;
  EXPECT_GE(set->width(), set->fontMetrics().horizontalAdvance("Set"));
  EXPECT_LT(cable->geometry().right(), set->geometry().left());  // side by side, not over each other
  window->close();
}

// Every record on the track at the towfish's position from the GPS, the
// ship's beside it on request; the GPS's state in the box; the grid's times
// those of the times file; every sentence the simulator sent in the NMEA
// file.
TEST_F(LiveGps, AZephWindowWithAGpsTracksTheTowfishAndShowsTheFix) {
  SetGpsPort(2);
  const std::string source = SurveyWithGps(60);
  auto* window = NewWindow<TfrmFileLogZPXKV>(Path("survey.zpx"));
  ASSERT_TRUE(window->Track->Available());
  window->resize(1200, 800);
  window->PageControl1->setCurrentIndex(1);
  window->Track->SetShown(true);
  window->Track->Plot()->actShipTrack->setChecked(true);
  StartWithGps(source);
  window->btnStartClick();
  ASSERT_EQ(window->State(), TfrmFileLog::LogState::Logging);
  ASSERT_TRUE(WaitFor([&] { return window->grpGps->lblFix->text().contains("DGPS fix, 12 satellites, HDOP 0.7"); }))
      << window->grpGps->lblFix->text().toStdString();
  SimulatorDevices();
  ASSERT_TRUE(WaitFor([&] { return window->RecordCount() == 60; }));
  // The first records have no course made good yet: no towfish.
  const TrackPlot& plot = *window->Track->Plot();
  ASSERT_TRUE(WaitFor([&] { return plot.Model()->PositionCount() >= 52; })) << plot.Model()->PositionCount();
  EXPECT_EQ(plot.Model()->Size(), 60u);
  ASSERT_TRUE(plot.ShipShown());
  EXPECT_GE(plot.ShipTrack()->PositionCount(), 59u);
  EXPECT_TRUE(window->grpGps->lblTowfish->text().startsWith("Towfish 44\u00b0")) << window->grpGps->lblTowfish->text().toStdString();

  const std::vector<std::string> times = Lines(ReadBytes(Path("survey.zpx.times")));
  ASSERT_EQ(times.size(), 60u);
  for (std::size_t row : {1u, 30u, 60u}) {
    const auto time = ParseReceptionTime(times[row - 1]);
    ASSERT_TRUE(time);
    EXPECT_EQ(window->Records().Cells().Cell(row, kColTime), ReceptionTimeText(time->utcNs)) << row;
  }
  std::string sent;
  for (const auto& event : simtest::ReadSentReport(Path("gps-sent.txt"))) sent += event.text + "\n";
  std::string logged;
  for (const std::string& line : Lines(ReadBytes(Path("survey.zpx.nmea"))))
    logged += std::string(ParseNmeaLogLine(line)->sentence) + "\n";
  window->btnStopClick();
  EXPECT_EQ(logged, sent);
  window->close();
}

// The cable out set in the box, and saved in the positioning settings, is
// recorded with its time beside the part; a value out of range is refused.
TEST_F(LiveGps, TheCableOutSetDuringTheSessionIsRecordedBesideThePart) {
  SetGpsPort(2);
  const std::string source = SurveyWithGps(100);
  auto* window = NewWindow<TfrmFileLogZPXKV>(Path("survey.zpx"));
  StartWithGps(source);
  window->btnStartClick();
  ASSERT_TRUE(WaitFor([&] { return window->RecordCount() >= 10; }));
  ASSERT_TRUE(window->grpGps->btnSetCable->isEnabled());
  window->grpGps->edtCable->setValue(62.5);
  window->grpGps->btnSetCable->click();
  EXPECT_NE(window->SetCableOut(-3), "");

  auto* settings = new PositioningWindow;
  settings->show();
  settings->Edit("Cable out (m):")->setText("80");
  settings->cmbMode->setCurrentIndex(1);
  settings->BitBtn1->click();
  EXPECT_TRUE(Messages().empty());
  LaybackSettings saved;
  ReadLaybackSettings(home_.Lib("Positioning.ega"), saved);
  EXPECT_EQ(saved.cableOut, 80.0);
  EXPECT_EQ(saved.mode, LaybackMode::FollowTheFish);
  ASSERT_TRUE(WaitFor([&] { return window->grpGps->edtCable->value() == 80.0; }));
  window->btnStopClick();
  const std::vector<std::string> cable = Lines(ReadBytes(Path("survey.zpx.cable")));
  ASSERT_EQ(cable.size(), 3u);
  EXPECT_EQ(cable[0].substr(cable[0].find('\t')), "\t50");
  EXPECT_EQ(cable[1].substr(cable[1].find('\t')), "\t62.5");
  EXPECT_EQ(cable[2].substr(cable[2].find('\t')), "\t80");
  window->close();
}

// The positioning settings are refused as the other settings windows refuse
// theirs: the field named, focused, the window kept open.
TEST_F(LiveGps, ThePositioningWindowRefusesAValueNamingItsField) {
  struct Case {
    const char* caption;
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"Cable out (m):", "lots", "\"Cable out (m):\" must be a number."},
      {"Smoothing time (s):", "0.5", "\"Smoothing time (s):\" must be from 1 to 600."},
      {"Tow point to starboard (m):", "-1000.5", "\"Tow point to starboard (m):\" must be from -1000 to 1000."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    TMsgDlg::ClearCalls();
    auto* settings = new PositioningWindow;
    settings->show();
    settings->Edit(c.caption)->setText(c.text);
    settings->BitBtn1->click();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].toStdString(), c.message);
    EXPECT_TRUE(settings->isVisible());
    EXPECT_EQ(settings->focusWidget(), settings->Edit(c.caption));
    EXPECT_FALSE(std::filesystem::exists(home_.Lib("Positioning.ega")));
    settings->BitBtn2->click();
  }
}

}  // namespace
}  // namespace tessaly::livetest
