// The document window of a log opened with the files a live part has beside
// it: a kind whose records carry no position offers its track and its survey
// lines, drawn where the layback of Lib/Positioning.ega puts the towfish
// (judged by the generator's truth), the ship's track beside it; settings
// that cannot be read are said once.
#include <QAction>
#include <QPointer>

#include <gtest/gtest.h>

#include "core/SettingsFile.h"
#include "core/SettingsStore.h"
#include "shell/TrackPane.h"
#include "shell/UntTMsgdlg1.h"
#include "shell/untFile.h"
#include "support/DocumentWindow.h"
#include "support/GeneratedGps.h"
#include "support/TowedZeph.h"
#include "support/ShellTestHome.h"
#include "widgets/PainelGridOk.h"
#include "widgets/TrackPlot.h"

namespace tessaly::file_window_received_test {

using testing::ShellTestHome;

class FileWindowReceived : public ::testing::Test {
 protected:
  void SetUp() override {
    truth_ = testing::SetUpTowedZeph(home_, log_, 300, 5);
    ASSERT_GT(truth_.size(), 1000u);
  }
  QPointer<TfrmFile> Open() {
    QPointer<TfrmFile> window = testing::OpenDocumentWindow(log_, {1000, 700});
    EXPECT_NE(window->Document(), nullptr);
    return window;
  }

  ShellTestHome home_;
  std::string log_ = home_.Path("survey.zpx");
  std::vector<testing::GpsTruthRow> truth_;
};

TEST_F(FileWindowReceived, AZephLogOffersItsTrackAndLinesFromTheGps) {
  QPointer<TfrmFile> window = Open();
  EXPECT_TRUE(TMsgDlg::Calls().empty());
  ASSERT_TRUE(window->Track->Available());
  ASSERT_NE(window->SurveyLines(), nullptr);
  EXPECT_EQ(window->SurveyLines()->Lines().size(), 2u);
  window->Track->SetShown(true);
  const TrackPlot& plot = *window->Track->Plot();
  ASSERT_NE(plot.ShipTrack(), nullptr);
  EXPECT_TRUE(plot.actShipTrack->isEnabled());
  EXPECT_FALSE(plot.actShipTrack->isChecked());  // the ship's track only on request
  const int datum = plot.Model()->MapDatum(), zone = plot.Model()->Zone();
  std::size_t checked = 0;
  for (std::size_t i = 0; i < truth_.size(); i += 97) {
    if (!truth_[i].onLine) continue;  // the generator's fish follows the ship's track exactly on the lines
    ++checked;
    UtmPosition fish, ship;
    ASSERT_TRUE(LatLonToUtmInZone(datum, truth_[i].fishLat, truth_[i].fishLon, zone, false, fish));
    ASSERT_TRUE(LatLonToUtmInZone(datum, truth_[i].antennaLat, truth_[i].antennaLon, zone, false, ship));
    EXPECT_NEAR(plot.Model()->Position(i)->easting, fish.easting, 0.5) << i;
    EXPECT_NEAR(plot.Model()->Position(i)->northing, fish.northing, 0.5) << i;
    EXPECT_NEAR(plot.ShipTrack()->Position(i)->northing, ship.northing, 0.05) << i;
  }
  EXPECT_GT(checked, 5u);
  std::string scratch;
  EXPECT_FALSE(window->PainelGrid1->ShownText(1, kColTime, scratch).empty());
  delete window;
}

TEST_F(FileWindowReceived, PositioningSettingsThatCannotBeReadAreSaidOnce) {
  WriteSettingsValues(home_.Lib("Positioning.ega"), {"seventy"});
  QPointer<TfrmFile> window = Open();
  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Warning");
  EXPECT_NE(TMsgDlg::Calls()[0].Mensagem.indexOf("without their reception times and GPS positions"), -1)
      << TMsgDlg::Calls()[0].Mensagem.toStdString();
  EXPECT_TRUE(window->Document()->Received().empty());
  EXPECT_FALSE(window->Track->Available());
  std::string scratch;
  // The time column shows the log's own cells, no reception times.
  EXPECT_EQ(window->PainelGrid1->ShownText(1, kColTime, scratch), window->PainelGrid1->GetCell(1, kColTime));
  delete window;
}

}  // namespace tessaly::file_window_received_test
