// The live logging window's track: offered by the variants whose records
// carry the towfish's position, growing as records arrive from the
// simulator, following the newest point while auto scroll is on.
#include <QCheckBox>
#include <QSplitter>
#include <QTabWidget>

#include "acquisition/LiveLogTest.h"
#include "acquisition/untFileLogOther.h"
#include "acquisition/untFileLogVariants.h"
#include "shell/TrackPane.h"
#include "widgets/GraficoOk.h"
#include "widgets/PainelGridOk.h"
#include "widgets/TrackPlot.h"

namespace tessaly::livetest {
namespace {

class LiveTrack : public LiveLogTest {
 protected:
  // A KV 7100 window logging to `file`, its Graph tab up with the track.
  TfrmFileLog* TrackWindow(const std::string& file) {
    auto* window = NewWindow<TfrmFileLogKV7100>(Path(file));
    window->resize(1200, 700);
    window->PageControl1->setCurrentIndex(1);
    window->Track->SetShown(true);
    return window;
  }
};

TEST_F(LiveTrack, OnlyTheVariantsWithPositionsOfferTheCommand) {
  const auto offers = [this](TfrmFileLog* window) {
    const bool available = window->Track->Available();
    window->close();
    return available;
  };
  EXPECT_TRUE(offers(NewWindow<TfrmFileLogKV7100>(Path("a.kvl"))));
  EXPECT_TRUE(offers(NewWindow<TfrmFileLogRT4KvComp>(Path("a.rtc"))));
  EXPECT_FALSE(offers(NewWindow<TfrmFileLogZPXKV>(Path("a.zpx"))));
  EXPECT_FALSE(offers(NewWindow<TfrmFileLogZPXBT>(Path("a.zpt"))));
  EXPECT_FALSE(offers(NewWindow<TfrmFileLogRT4Basic>(Path("a.rtb"))));
  EXPECT_FALSE(offers(NewWindow<TfrmFileLogOther>(Path("a.oth"))));
}

TEST_F(LiveTrack, TheTrackGrowsAndFollowsTheNewestPointOnlyWithAutoScroll) {
  const std::string source = Generate("kvl", 400, 0);
  auto* window = TrackWindow("t.kvl");
  TrackPlot& plot = *window->Track->Plot();
  const auto newestInView = [&] {
    const TrackModel& model = *plot.Model();
    const auto newest = model.Position(model.Size() - 1);
    return newest && plot.rect().contains(plot.PixelOf(*newest).toPoint());
  };
  StartSimulator(source, {"--rate", "40"});
  window->btnStartClick();
  ASSERT_TRUE(WaitFor([&] { return plot.Model()->Size() >= 20; }));
  // Every record shown is on the track, at its own position.
  EXPECT_EQ(plot.Model()->PositionCount(), plot.Model()->Size());

  // Zoomed far in on the start: the towfish soon leaves that view.
  TrackView close = plot.View();
  const UtmPosition first = *plot.Model()->Position(0);
  close.centreEasting = first.easting;
  close.centreNorthing = first.northing;
  close.metresPerPixel = 0.02;
  plot.SetView(close);
  ASSERT_TRUE(WaitFor([&] { return plot.Model()->Size() >= 80; }));
  EXPECT_TRUE(newestInView());
  EXPECT_GT(std::abs(plot.View().centreNorthing - first.northing), 10.0);
  EXPECT_EQ(plot.View().metresPerPixel, 0.02);

  window->chbAutoScroll->click();
  QTest::qWait(50);
  const TrackView held = plot.View();
  const std::size_t heldAt = plot.Model()->Size();
  ASSERT_TRUE(WaitFor([&] { return plot.Model()->Size() >= heldAt + 40; }));
  EXPECT_EQ(plot.View().centreEasting, held.centreEasting);
  EXPECT_EQ(plot.View().centreNorthing, held.centreNorthing);
  EXPECT_FALSE(newestInView());

  SimulatorDevices();
  ASSERT_TRUE(WaitFor([&] { return plot.Model()->Size() == window->RecordCount() && window->RecordCount() == 400; }));
  window->close();
}

TEST_F(LiveTrack, AClickOnTheTrackSelectsTheRecordInTheGridAndTheChart) {
  const std::string source = Generate("kvl", 60, 0);
  auto* window = TrackWindow("c.kvl");
  TrackPlot& plot = *window->Track->Plot();
  StartSimulator(source);
  window->btnStartClick();
  ASSERT_TRUE(WaitFor([&] { return plot.Model()->Size() == 60; }));
  window->chbAutoScroll->click();  // the newest record no longer takes the chart's selection
  plot.FitAll();
  plot.grab();

  const QPointF target = plot.PixelOf(*plot.Model()->Position(29));
  QTest::mouseClick(&plot, Qt::LeftButton, {}, target.toPoint());
  const int row = window->PainelGridok1->CurrentRow();
  EXPECT_NEAR(row, 30, 2);
  EXPECT_EQ(plot.HighlightedRow(), row);
  EXPECT_EQ(window->Grafico1->Grafico().Linha().SelX(), row - 1.0);
  window->close();
}

}  // namespace
}  // namespace tessaly::livetest
