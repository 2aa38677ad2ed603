// The track plot painted and driven for real: the view (fit all, wheel zoom
// about the cursor, drag, Home), the drawn points' colours and decimation,
// the ringed record, clicks on points, pans drawn by scrolling, following a growing track and the
// PNG export with its refusal of the open log.
#include "widgets/TrackPlot.h"

#include <QAction>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/GridLayout.h"
#include "core/LiveRecordStore.h"
#include "core/TrackStyle.h"
#include "support/FileBytes.h"
#include "support/Render.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

// The records' deviations, held as a live session holds them, with quality
// flags set by the test.
class FlaggedStore : public LiveRecordStore {
 public:
  FlaggedStore() : LiveRecordStore(kRecordLayout) {}
  std::span<const std::uint8_t> QualityFlags() const override { return flags; }
  std::vector<std::uint8_t> flags;
};
std::shared_ptr<FlaggedStore> NewSource() { return std::make_shared<FlaggedStore>(); }

void AddDeviation(LiveRecordStore& source, double deviation) {
  source.AppendRecord("", {}, static_cast<std::int64_t>(deviation), ViewSettings());
}

struct Fix {
  double latitude, longitude, deviation;
};

class TrackPlotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plot_.resize(640, 480);
    plot_.SetLimit(100.0);
    plot_.ReportError = [this](const QString& message) { errors_.push_back(message); };
    plot_.show();
  }

  // A track of the fixes; the plot fits it.
  void ShowTrack(const std::vector<Fix>& fixes) {
    auto source = NewSource();
    auto model = std::make_shared<TrackModel>();
    for (const Fix& fix : fixes) {
      model->Append(fix.latitude, fix.longitude, fix.deviation);
      AddDeviation(*source, fix.deviation);
    }
    source_ = source;
    model_ = model;
    plot_.SetTrack(source, model);
  }

  // Five survey lines of 40 records, 100 m apart, small deviations.
  void ShowSurvey() {
    std::vector<Fix> fixes;
    for (int line = 0; line < 5; ++line)
      for (int i = 0; i < 40; ++i)
        fixes.push_back({44.30 + line * 0.0009, -63.30 + i * 0.0004, static_cast<double>((i % 7) - 3)});
    ShowTrack(fixes);
  }

  QPointF PixelOfRecord(std::size_t record) const { return plot_.PixelOf(*model_->Position(record)); }

  void Wheel(QPointF at, int delta) {
    QWheelEvent event(at, plot_.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&plot_, &event);
  }

  TrackPlot plot_;
  std::shared_ptr<FlaggedStore> source_;
  std::shared_ptr<TrackModel> model_;
  std::vector<QString> errors_;
};

void ExpectSameView(const TrackView& a, const TrackView& b) {
  EXPECT_NEAR(a.centreEasting, b.centreEasting, 1e-6);
  EXPECT_NEAR(a.centreNorthing, b.centreNorthing, 1e-6);
  EXPECT_NEAR(a.metresPerPixel, b.metresPerPixel, 1e-9);
}

// ---- The view ----

TEST_F(TrackPlotTest, FitAllShowsEveryPointInsideTheMarginsAndLeftOfTheColourBar) {
  ShowSurvey();
  const QRectF inner = QRectF(plot_.rect()).adjusted(TrackPlot::kMarginPixels - 1, TrackPlot::kMarginPixels - 1,
                                                     -TrackPlot::kMarginPixels + 1, -TrackPlot::kMarginPixels + 1);
  for (std::size_t record = 0; record < model_->Size(); ++record) {
    const QPointF pixel = PixelOfRecord(record);
    EXPECT_TRUE(inner.contains(pixel)) << record;
    EXPECT_LT(pixel.x(), plot_.width() - 60) << record;  // the colour bar's strip stays free
  }
  // The track spans most of the plot one way or the other: the fit is tight.
  const QPointF first = PixelOfRecord(0), last = PixelOfRecord(model_->Size() - 1);
  EXPECT_GT(std::max(std::abs(last.x() - first.x()), std::abs(last.y() - first.y())), 300.0);
}

TEST_F(TrackPlotTest, AResizeFitsTheTrackAgainUntilTheUserZoomsOrPans) {
  ShowSurvey();
  const double small = plot_.View().metresPerPixel;
  plot_.resize(1280, 960);  // a window maximised with its track shown
  EXPECT_LT(plot_.View().metresPerPixel, small * 0.6);  // about half: the legend strips keep their size
  EXPECT_GT(PixelOfRecord(model_->Size() - 1).x() - PixelOfRecord(0).x(), 600.0);

  Wheel(QPointF(300, 300), 120);
  const TrackView zoomed = plot_.View();
  plot_.resize(900, 700);
  ExpectSameView(plot_.View(), zoomed);
}

TEST_F(TrackPlotTest, NorthIsUpAndBothAxesHaveTheSameScale) {
  ShowTrack({{44.30, -63.30, 0}, {44.31, -63.30, 0}, {44.30, -63.29, 0}});
  const auto south = *model_->Position(0), north = *model_->Position(1), east = *model_->Position(2);
  EXPECT_LT(PixelOfRecord(1).y(), PixelOfRecord(0).y());
  EXPECT_GT(PixelOfRecord(2).x(), PixelOfRecord(0).x());
  const double metresPerPixelNorth = (north.northing - south.northing) / (PixelOfRecord(0).y() - PixelOfRecord(1).y());
  const double metresPerPixelEast = (east.easting - south.easting) / (PixelOfRecord(2).x() - PixelOfRecord(0).x());
  EXPECT_NEAR(metresPerPixelNorth, metresPerPixelEast, 1e-6 * metresPerPixelEast);
}

TEST_F(TrackPlotTest, WheelZoomKeepsTheGroundUnderTheCursor) {
  ShowSurvey();
  const QPointF cursor(150, 320);
  const QPointF ground = plot_.GroundAt(cursor);
  const double before = plot_.View().metresPerPixel;

  Wheel(cursor, 120);
  EXPECT_LT(plot_.View().metresPerPixel, before);  // zoomed in
  EXPECT_NEAR(plot_.GroundAt(cursor).x(), ground.x(), 1e-6);
  EXPECT_NEAR(plot_.GroundAt(cursor).y(), ground.y(), 1e-6);

  Wheel(cursor, -240);
  EXPECT_GT(plot_.View().metresPerPixel, before);  // and out again, past the start
  EXPECT_NEAR(plot_.GroundAt(cursor).x(), ground.x(), 1e-6);
  EXPECT_NEAR(plot_.GroundAt(cursor).y(), ground.y(), 1e-6);
}

TEST_F(TrackPlotTest, DragMovesTheGroundWithTheMouseAndSelectsNothing) {
  ShowSurvey();
  QSignalSpy clicks(&plot_, &TrackPlot::RecordClicked);
  const QPoint from(300, 200), to(360, 160);
  const QPointF ground = plot_.GroundAt(from);
  QTest::mousePress(&plot_, Qt::LeftButton, {}, from);
  QTest::mouseMove(&plot_, from + QPoint(20, -10));
  QTest::mouseMove(&plot_, to);
  QTest::mouseRelease(&plot_, Qt::LeftButton, {}, to);

  EXPECT_NEAR(plot_.GroundAt(to).x(), ground.x(), 1e-6);
  EXPECT_NEAR(plot_.GroundAt(to).y(), ground.y(), 1e-6);
  EXPECT_EQ(clicks.count(), 0);
}

TEST_F(TrackPlotTest, HomeAndTheMenuFitAllAgainAfterZoomAndPan) {
  ShowSurvey();
  const TrackView fitted = plot_.View();
  Wheel(QPointF(100, 100), 360);
  QTest::mousePress(&plot_, Qt::LeftButton, {}, QPoint(200, 200));
  QTest::mouseMove(&plot_, QPoint(260, 250));
  QTest::mouseRelease(&plot_, Qt::LeftButton, {}, QPoint(260, 250));
  ASSERT_GT(std::abs(plot_.View().metresPerPixel - fitted.metresPerPixel), 1e-3);

  QTest::keyClick(&plot_, Qt::Key_Home);
  ExpectSameView(plot_.View(), fitted);

  Wheel(QPointF(100, 100), 360);
  plot_.actFitAll->trigger();
  ExpectSameView(plot_.View(), fitted);
}

// ---- What is drawn ----

TEST_F(TrackPlotTest, EveryDrawnPointHasTheColourOfItsDeviationOnTheScale) {
  ShowTrack({{44.300, -63.300, -100}, {44.302, -63.300, -40}, {44.304, -63.300, 0},
             {44.306, -63.300, 35}, {44.308, -63.300, 250}});
  const QImage image = test::Render(plot_);
  ASSERT_EQ(plot_.DrawnPoints().size(), 5u);
  for (const DrawnPoint& point : plot_.DrawnPoints()) {
    const QRgb pixel = image.pixel(point.x + 1, point.y + 1);
    EXPECT_EQ(pixel & 0xFFFFFF, TrackDeviationColour(source_->ChartValues()[point.record], 100.0)) << point.record;
  }
}

TEST_F(TrackPlotTest, ACellShowsItsLargestAnomalyWhateverItsPlaceInTheTrack) {
  // Two far ends fix the scale; between them a cluster of records a few
  // centimetres apart falls into one cell.
  std::vector<Fix> fixes = {{44.30, -63.30, 1}, {44.40, -63.20, 2}};
  const std::vector<double> cluster = {3, -5, 87, -12, 40, 7};
  for (std::size_t i = 0; i < cluster.size(); ++i) fixes.push_back({44.35 + i * 1e-7, -63.25, cluster[i]});
  ShowTrack(fixes);
  const QImage image = test::Render(plot_);

  const QPointF clusterPixel = PixelOfRecord(2);
  int shownInCluster = 0;
  for (const DrawnPoint& point : plot_.DrawnPoints()) {
    if (std::abs(point.x - clusterPixel.x()) > 3 || std::abs(point.y - clusterPixel.y()) > 3) continue;
    ++shownInCluster;
    EXPECT_EQ(point.record, 4u);  // the 87
    EXPECT_EQ(image.pixel(point.x + 1, point.y + 1) & 0xFFFFFF, TrackDeviationColour(87, 100.0));
  }
  EXPECT_EQ(shownInCluster, 1);
}

TEST_F(TrackPlotTest, ARepaintShowsANewLimitAndNewRecords) {
  auto source = NewSource();
  auto model = std::make_shared<TrackModel>();
  for (int i = 0; i < 3; ++i) {
    model->Append(44.30 + i * 0.002, -63.30, 40.0);
    AddDeviation(*source, 40.0);
  }
  plot_.SetTrack(source, model);
  QImage image = test::Render(plot_);
  const DrawnPoint first = plot_.DrawnPoints().at(0);
  EXPECT_EQ(image.pixel(first.x + 1, first.y + 1) & 0xFFFFFF, TrackDeviationColour(40.0, 100.0));

  plot_.SetLimit(40.0);
  image = test::Render(plot_);
  EXPECT_EQ(image.pixel(first.x + 1, first.y + 1) & 0xFFFFFF, TrackDeviationColour(40.0, 40.0));

  // A record appended between the others, at the same view.
  plot_.HighlightRow(1, false);
  model->Append(44.301, -63.30, -90.0);
  AddDeviation(*source, -90.0);
  plot_.RecordsAppended();
  test::Render(plot_);
  const auto& drawn = plot_.DrawnPoints();
  EXPECT_TRUE(std::any_of(drawn.begin(), drawn.end(), [](const DrawnPoint& p) { return p.record == 3; }));
}

// A live session moves a record as later fixes come: the next paint draws it
// where it is now, though the track holds as many records as before.
TEST_F(TrackPlotTest, ARecordMovedInTheModelIsDrawnWhereItIsNow) {
  ShowSurvey();
  test::Render(plot_);
  const QPointF before = PixelOfRecord(57);
  const auto drawnAt = [this](std::size_t record) {
    const auto& drawn = plot_.DrawnPoints();
    const auto found = std::find_if(drawn.begin(), drawn.end(), [&](const DrawnPoint& p) { return p.record == record; });
    return found == drawn.end() ? QPoint(-1, -1) : QPoint(found->x, found->y);
  };
  const auto cellOf = [](QPointF p) { return QPoint(static_cast<int>(p.x()), static_cast<int>(p.y())); };
  EXPECT_EQ(drawnAt(57), cellOf(before));
  const GeoPosition elsewhere{44.30 + 4.5 * 0.0009, -63.30 + 20 * 0.0004};  // between lines 4 and 5
  model_->Replace(57, elsewhere, source_->ChartValues());
  plot_.RecordsAppended();
  test::Render(plot_);
  EXPECT_NE(drawnAt(57), cellOf(before));
  EXPECT_EQ(drawnAt(57), cellOf(PixelOfRecord(57)));
}

// The newest records of a live session, extrapolated until the next fix,
// are ringed in white; a ship's track shown is kept in the view.
TEST_F(TrackPlotTest, ProvisionalRecordsAreRingedAndTheShipsTrackIsFitted) {
  ShowSurvey();
  const auto whiteNear = [](const QImage& image, QPointF centre, int reach) {
    int count = 0;
    for (int y = static_cast<int>(centre.y()) - reach; y <= static_cast<int>(centre.y()) + reach; ++y)
      for (int x = static_cast<int>(centre.x()) - reach; x <= static_cast<int>(centre.x()) + reach; ++x)
        count += image.pixelColor(x, y).lightness() > 180;
    return count;
  };
  const QPointF centre = PixelOfRecord(199) + QPointF(kTrackPointPixels / 2.0, kTrackPointPixels / 2.0);
  EXPECT_EQ(whiteNear(test::Render(plot_), centre, 7), 0);
  plot_.SetProvisional({199});
  EXPECT_GT(whiteNear(test::Render(plot_), centre, 7), 10);

  // The ship 700 m north of the track: out of a view fitted to the towfish.
  auto ship = std::make_shared<TrackModel>();
  for (std::size_t i = 0; i < model_->Size(); ++i) ship->Append(44.30 + 0.0036 + 0.0063, -63.30 + (i % 40) * 0.0004, 0);
  plot_.SetShipTrack(ship);
  plot_.actShipTrack->setChecked(true);
  plot_.FitAll();
  for (std::size_t i : {0u, 39u, 199u}) {
    EXPECT_TRUE(plot_.rect().contains(plot_.PixelOf(*ship->Position(i)).toPoint())) << i;
    EXPECT_TRUE(plot_.rect().contains(PixelOfRecord(i).toPoint())) << i;
  }
}

// The ring's yellow, around a pixel.
int YellowPixelsAround(const QImage& image, QPointF centre, int radius) {
  int yellow = 0;
  for (int y = static_cast<int>(centre.y()) - radius; y <= centre.y() + radius; ++y)
    for (int x = static_cast<int>(centre.x()) - radius; x <= centre.x() + radius; ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 200 && c.green() > 180 && c.blue() < 80) ++yellow;
    }
  return yellow;
}

TEST_F(TrackPlotTest, TheHighlightedRecordIsRinged) {
  ShowSurvey();
  plot_.HighlightRow(57);
  const QImage image = test::Render(plot_);
  const QPointF ringed = PixelOfRecord(56);
  EXPECT_GT(YellowPixelsAround(image, ringed, 10), 12);
  EXPECT_EQ(YellowPixelsAround(image, PixelOfRecord(150), 10), 0);

  plot_.HighlightRow(0);
  EXPECT_EQ(YellowPixelsAround(test::Render(plot_), ringed, 10), 0);
}

// Orange pixels (the flag rings) within `reach` of a pixel.
int OrangeNear(const QImage& image, QPointF centre, int reach) {
  int count = 0;
  for (int y = static_cast<int>(centre.y()) - reach; y <= static_cast<int>(centre.y()) + reach; ++y)
    for (int x = static_cast<int>(centre.x()) - reach; x <= static_cast<int>(centre.x()) + reach; ++x) {
      if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) continue;
      const QColor c = image.pixelColor(x, y);
      count += c.red() > 200 && c.green() > 100 && c.green() < 180 && c.blue() < 90;
    }
  return count;
}

TEST_F(TrackPlotTest, FlaggedRecordsAreRingedInOrange) {
  ShowSurvey();
  EXPECT_TRUE(plot_.FlaggedRecords().empty());
  const QPointF centre = PixelOfRecord(45) + QPointF(kTrackPointPixels / 2.0, kTrackPointPixels / 2.0);
  EXPECT_EQ(OrangeNear(test::Render(plot_), centre, 6), 0);
  source_->flags.assign(model_->Size(), 0);
  source_->flags[45] = 1;
  source_->flags[120] = 8;
  plot_.FlagsChanged();
  EXPECT_EQ(plot_.FlaggedRecords(), (std::vector<std::uint32_t>{45, 120}));
  const QImage image = test::Render(plot_);
  EXPECT_GT(OrangeNear(image, centre, 6), 8);
  EXPECT_EQ(OrangeNear(image, centre, 2), 0);  // a ring: the point itself keeps its colour
  // The flags of appended records are read as they arrive.
  model_->Append(44.30, -63.30, 0.0);
  AddDeviation(*source_, 0.0);
  source_->flags.push_back(2);
  plot_.RecordsAppended();
  EXPECT_EQ(plot_.FlaggedRecords(), (std::vector<std::uint32_t>{45, 120, 200}));
}

TEST_F(TrackPlotTest, HighlightingARecordOutsideTheViewBringsItIn) {
  ShowSurvey();
  Wheel(PixelOfRecord(0), 600);  // zoomed far in on the first record
  ASSERT_FALSE(plot_.rect().contains(PixelOfRecord(199).toPoint()));

  plot_.HighlightRow(200);
  EXPECT_TRUE(plot_.rect().contains(PixelOfRecord(199).toPoint()));

  const TrackView view = plot_.View();
  plot_.HighlightRow(1, false);
  ExpectSameView(plot_.View(), view);
}

// A record already on the plot stays where it is, right by an edge too.
TEST_F(TrackPlotTest, HighlightingARecordAlreadyShownLeavesTheView) {
  ShowSurvey();
  for (const QPointF place : {QPointF(4, 240), QPointF(636, 240), QPointF(320, 3), QPointF(320, 476)}) {
    TrackView view = plot_.View();
    const QPointF now = PixelOfRecord(90);
    view.centreEasting += (now.x() - place.x()) * view.metresPerPixel;
    view.centreNorthing -= (now.y() - place.y()) * view.metresPerPixel;
    plot_.SetView(view);
    ASSERT_NEAR(PixelOfRecord(90).x(), place.x(), 1e-6);
    plot_.HighlightRow(91);
    ExpectSameView(plot_.View(), view);
  }
}

// A negative limit shows the scale of its magnitude, its legend the right
// way up.
TEST_F(TrackPlotTest, ANegativeLimitShowsTheScaleOfItsMagnitude) {
  ShowSurvey();
  plot_.SetLimit(100.0);
  const QImage positive = test::Render(plot_);
  plot_.SetLimit(-100.0);
  EXPECT_EQ(plot_.Limit(), 100.0);
  EXPECT_TRUE(test::Render(plot_) == positive);
}

// ---- Clicks ----

TEST_F(TrackPlotTest, AClickSelectsTheRowOfTheNearestPointWithinReach) {
  ShowSurvey();
  QSignalSpy clicks(&plot_, &TrackPlot::RecordClicked);
  test::Render(plot_);
  // Neighbours on a line are several pixels apart at this scale.
  ASSERT_GT(std::abs(PixelOfRecord(91).x() - PixelOfRecord(90).x()), 5.0);

  QTest::mouseClick(&plot_, Qt::LeftButton, {}, (PixelOfRecord(90) + QPointF(1, 1)).toPoint());
  ASSERT_EQ(clicks.count(), 1);
  EXPECT_EQ(clicks.takeFirst().at(0).toInt(), 91);
  EXPECT_EQ(plot_.HighlightedRow(), 91);

  QTest::mouseClick(&plot_, Qt::LeftButton, {}, QPoint(5, plot_.height() / 2));  // empty ground
  EXPECT_EQ(clicks.count(), 0);
}

// ---- Panning ----

// Records scattered over a square of about 450 m, with deviations of both
// signs and many equal magnitudes, so cells hold several records and point
// squares overlap.
std::vector<Fix> ScatteredFixes() {
  std::uint32_t seed = 12345;
  const auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  std::vector<Fix> fixes;
  for (int i = 0; i < 60000; ++i) {
    const double latitude = 44.30 + (next() % 100000) * 4e-8, longitude = -63.30 + (next() % 100000) * 5.6e-8;
    fixes.push_back({latitude, longitude, static_cast<double>(static_cast<int>(next() % 201) - 100)});
  }
  return fixes;
}

class TrackPlotPan : public TrackPlotTest {
 protected:
  // Zoomed in so the track goes past every edge of the plot, and pans move
  // points across them. The centre is moved off the fitted one by a
  // fraction of a pixel, so that no position lies exactly on a cell border,
  // where rounding may put it on either side.
  void ShowScatteredTrack() {
    ShowTrack(ScatteredFixes());
    TrackView view = plot_.View();
    view.metresPerPixel *= 0.6;
    view.centreEasting += 0.37 * view.metresPerPixel;
    view.centreNorthing += 0.61 * view.metresPerPixel;
    plot_.SetView(view);
    test::Render(plot_);
  }

  // Moves the view so the ground moves right by dx and down by dy pixels,
  // painting after each step.
  void PanBy(const std::vector<QPoint>& steps) {
    for (const QPoint step : steps) {
      TrackView view = plot_.View();
      view.centreEasting -= step.x() * view.metresPerPixel;
      view.centreNorthing += step.y() * view.metresPerPixel;
      plot_.SetView(view);
      test::Render(plot_);
    }
  }

  // A plot of its own at the same view, decimated and drawn whole.
  std::unique_ptr<TrackPlot> FreshPlot() {
    auto fresh = std::make_unique<TrackPlot>();
    fresh->resize(plot_.size());
    fresh->SetLimit(plot_.Limit());
    fresh->show();
    fresh->SetTrack(source_, model_);
    fresh->SetView(plot_.View());
    return fresh;
  }

  void ExpectSameAsFreshPlot() {
    auto fresh = FreshPlot();
    const QImage expected = test::Render(*fresh), actual = test::Render(plot_);
    ASSERT_EQ(actual.size(), expected.size());
    int differing = 0;
    for (int y = 0; y < actual.height(); ++y)
      for (int x = 0; x < actual.width(); ++x) differing += actual.pixel(x, y) != expected.pixel(x, y);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(Describe(Missing(plot_.DrawnPoints(), fresh->DrawnPoints())), "");  // drawn but not listed
    EXPECT_EQ(Describe(Missing(fresh->DrawnPoints(), plot_.DrawnPoints())), "");  // listed but not drawn
    EXPECT_EQ(plot_.DrawnPoints().size(), fresh->DrawnPoints().size());          // and no point twice
  }

  // The points of `expected` that `actual` lacks.
  static std::vector<DrawnPoint> Missing(const std::vector<DrawnPoint>& actual, const std::vector<DrawnPoint>& expected) {
    const std::vector<DrawnPoint> have = Sorted(actual), want = Sorted(expected);
    std::vector<DrawnPoint> missing;
    std::set_difference(want.begin(), want.end(), have.begin(), have.end(), std::back_inserter(missing), ByPlace);
    return missing;
  }

  static std::string Describe(const std::vector<DrawnPoint>& points) {
    std::ostringstream text;
    for (const DrawnPoint& p : points) text << "(" << p.x << "," << p.y << ") record " << p.record << "; ";
    return text.str();
  }

  static bool ByPlace(const DrawnPoint& a, const DrawnPoint& b) {
    return std::tie(a.y, a.x, a.record) < std::tie(b.y, b.x, b.record);
  }

  static std::vector<DrawnPoint> Sorted(std::vector<DrawnPoint> points) {
    std::sort(points.begin(), points.end(), ByPlace);
    return points;
  }
};

TEST_F(TrackPlotPan, PansByWholePixelsShowWhatAFreshPlotShows) {
  ShowScatteredTrack();
  ASSERT_GT(plot_.DrawnPoints().size(), 5000u);
  PanBy({{1, 0}, {-3, 0}, {0, 2}, {0, -1}, {5, -4}, {-7, 6}, {2, 3}, {-1, -1}, {40, 0}, {0, -30}});
  ExpectSameAsFreshPlot();
  PanBy({{-639, 0}, {0, 479}, {100, 100}});  // as far as a pan keeps any pixel
  ExpectSameAsFreshPlot();
}

TEST_F(TrackPlotPan, DragsShowWhatAFreshPlotShows) {
  ShowScatteredTrack();
  QPoint at(300, 200);
  QTest::mousePress(&plot_, Qt::LeftButton, {}, at);
  for (const QPoint step : {QPoint(4, 0), QPoint(1, 0), QPoint(0, 1), QPoint(-2, 3), QPoint(-1, -1), QPoint(9, -7)}) {
    at += step;
    QTest::mouseMove(&plot_, at);
    test::Render(plot_);
  }
  QTest::mouseRelease(&plot_, Qt::LeftButton, {}, at);
  ExpectSameAsFreshPlot();
}

TEST_F(TrackPlotPan, ARecordAppendedAfterPansShowsInItsCell) {
  ShowScatteredTrack();
  PanBy({{2, 0}, {0, 3}, {-4, -1}});
  // A record at the place of one drawn, with a larger deviation than any.
  const Fix fix = ScatteredFixes().at(plot_.DrawnPoints().at(plot_.DrawnPoints().size() / 2).record);
  model_->Append(fix.latitude, fix.longitude, 250.0);
  AddDeviation(*source_, 250.0);
  plot_.RecordsAppended();
  test::Render(plot_);

  const auto& drawn = plot_.DrawnPoints();
  const std::uint32_t appended = static_cast<std::uint32_t>(model_->Size() - 1);
  EXPECT_EQ(std::count_if(drawn.begin(), drawn.end(), [&](const DrawnPoint& p) { return p.record == appended; }), 1);
  ExpectSameAsFreshPlot();
}

TEST_F(TrackPlotPan, AClickAfterPansSelectsTheRowAFreshPlotSelects) {
  ShowScatteredTrack();
  PanBy({{3, 0}, {0, -2}, {-6, 5}, {25, 25}});
  auto fresh = FreshPlot();
  test::Render(*fresh);
  QSignalSpy clicks(&plot_, &TrackPlot::RecordClicked), freshClicks(fresh.get(), &TrackPlot::RecordClicked);
  const auto& points = fresh->DrawnPoints();
  ASSERT_GT(points.size(), 1000u);
  for (std::size_t i = 0; i < points.size(); i += points.size() / 8) {
    const QPoint pixel = PixelOfRecord(points[i].record).toPoint() + QPoint(2, 1);
    QTest::mouseClick(&plot_, Qt::LeftButton, {}, pixel);
    QTest::mouseClick(fresh.get(), Qt::LeftButton, {}, pixel);
    ASSERT_EQ(freshClicks.count(), 1);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.takeFirst().at(0).toInt(), freshClicks.takeFirst().at(0).toInt());
  }
}

// ---- A growing track ----

TEST_F(TrackPlotTest, AGrowingTrackIsFollowedOnlyInFollowMode) {
  auto source = NewSource();
  auto model = std::make_shared<TrackModel>();
  plot_.SetTrack(source, model);
  const auto appendUpTo = [&](int count) {
    for (int i = static_cast<int>(model->Size()); i < count; ++i) {
      model->Append(44.30, -63.30 + i * 0.0005, 10.0);
      AddDeviation(*source, 10.0);
    }
    plot_.RecordsAppended();
  };
  const auto newestInView = [&] {
    return plot_.rect().contains(plot_.PixelOf(*model->Position(model->Size() - 1)).toPoint());
  };
  plot_.SetFollowNewest(false);
  appendUpTo(20);  // the first records are fitted in any case
  const TrackView start = plot_.View();
  ASSERT_TRUE(newestInView());

  appendUpTo(400);
  ExpectSameView(plot_.View(), start);
  EXPECT_FALSE(newestInView());

  // Following, an untouched view keeps the whole track fitted...
  plot_.SetFollowNewest(true);
  appendUpTo(600);
  EXPECT_TRUE(newestInView());
  EXPECT_TRUE(plot_.rect().contains(plot_.PixelOf(*model->Position(0)).toPoint()));

  // ...and a zoomed one moves along with the newest point at its scale.
  Wheel(QPointF(320, 240), 720);
  const double zoomed = plot_.View().metresPerPixel;
  appendUpTo(900);
  EXPECT_TRUE(newestInView());
  EXPECT_EQ(plot_.View().metresPerPixel, zoomed);
  EXPECT_FALSE(plot_.rect().contains(plot_.PixelOf(*model->Position(0)).toPoint()));
}

// ---- Export ----

class TrackPlotExport : public TrackPlotTest {
 protected:
  testing::TempHome home_{testing::TempHome::Content::EmptyLib};
};

TEST_F(TrackPlotExport, TheMenuWritesThePlotAsAPngImage) {
  ShowSurvey();
  const std::string path = home_.Path("track.png");
  plot_.ChooseExportFile = [&](QWidget*) { return QString::fromStdString(path); };
  ASSERT_TRUE(plot_.actions().contains(plot_.actExportPng));
  plot_.actExportPng->trigger();

  EXPECT_TRUE(errors_.empty());
  const QImage written(QString::fromStdString(path), "PNG");
  ASSERT_FALSE(written.isNull());
  EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), test::Render(plot_));
}

TEST_F(TrackPlotExport, TheOpenLogIsNeverWrittenOver) {
  ShowSurvey();
  const std::string log = home_.Path("line.kvl");
  testing::WriteBytes(log, "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4\r\n");
  plot_.FilesInUse = [&] { return std::vector<GuardedFile>{{log, "in use by \"KV7100 Log - line.kvl\""}}; };
  plot_.ChooseExportFile = [&](QWidget*) { return QString::fromStdString(home_.Path("./line.kvl")); };
  plot_.actExportPng->trigger();

  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_TRUE(errors_[0].contains(QStringLiteral("in use"))) << errors_[0].toStdString();
  EXPECT_EQ(testing::ReadBytes(log), "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4\r\n");
}

TEST_F(TrackPlotExport, NoSurveyLogIsWrittenOverButAnyOtherFileIsReplaced) {
  ShowSurvey();
  const std::string otherLog = home_.Path("other.kvl");
  const std::string kLog = "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4\r\n";
  testing::WriteBytes(otherLog, kLog);
  EXPECT_TRUE(plot_.ExportPng(QString::fromStdString(otherLog)).contains(QStringLiteral("KV7100 Log")));
  EXPECT_EQ(testing::ReadBytes(otherLog), kLog);

  const std::string oldPicture = home_.Path("old.png");
  testing::WriteBytes(oldPicture, "an earlier picture");
  EXPECT_EQ(plot_.ExportPng(QString::fromStdString(oldPicture)), QString());
  EXPECT_FALSE(QImage(QString::fromStdString(oldPicture)).isNull());
}

TEST_F(TrackPlotExport, AFailedWriteIsReportedAndADismissedDialogWritesNothing) {
  ShowSurvey();
  plot_.ChooseExportFile = [&](QWidget*) { return QString::fromStdString(home_.Path("no-such-folder/track.png")); };
  plot_.actExportPng->trigger();
  ASSERT_EQ(errors_.size(), 1u);

  plot_.ChooseExportFile = [](QWidget*) { return QString(); };
  plot_.actExportPng->trigger();
  EXPECT_EQ(errors_.size(), 1u);
}

// ---- Survey lines ----

// The five rows of ShowSurvey as lines 1 to 4, the last row a turn: each
// line's number beside its first record, the turn's records single grey
// pixels.
TEST_F(TrackPlotTest, LinesAreNumberedAndTurnsGreyed) {
  ShowSurvey();
  plot_.SetLines(std::make_shared<RecordLines>(
      std::vector<SurveyLine>{{0, 39, {}}, {40, 79, {}}, {80, 119, {}}, {120, 159, {}}}));
  const std::vector<TrackPlot::LineLabel> labels = plot_.LineLabels();
  ASSERT_EQ(labels.size(), 4u);
  for (std::size_t i = 0; i < labels.size(); ++i) {
    EXPECT_EQ(labels[i].number, i + 1);
    const QPointF start = PixelOfRecord(i * 40);
    EXPECT_LE(labels[i].box.right(), start.x());
    EXPECT_LE(labels[i].box.bottom(), start.y());
    EXPECT_LT(start.x() - labels[i].box.right(), 6);
  }
  const QImage image = test::Render(plot_);
  const auto pixel = [&](std::size_t record, int dx, int dy) {
    const QPointF at = PixelOfRecord(record);
    return image.pixel(static_cast<int>(at.x()) + dx, static_cast<int>(at.y()) + dy) & 0xFFFFFFu;
  };
  for (const std::size_t turn : {165u, 180u, 199u}) {
    EXPECT_EQ(pixel(turn, 1, 1), kTrackTurnColour) << turn;
    EXPECT_NE(pixel(turn, 0, 0), kTrackTurnColour) << turn;
  }
  EXPECT_EQ(pixel(10, 0, 0), TrackDeviationColour(source_->ChartValues()[10], 100.0));
}

// Labels that would cover one another are left out, earlier lines first.
TEST_F(TrackPlotTest, LineLabelsNeverCoverEachOther) {
  ShowSurvey();
  std::vector<SurveyLine> lines;
  for (std::uint64_t first = 0; first < 200; first += 2) lines.push_back({first, first + 1, {}});
  plot_.SetLines(std::make_shared<RecordLines>(lines));
  const std::vector<TrackPlot::LineLabel> labels = plot_.LineLabels();
  EXPECT_EQ(labels.front().number, 1u);
  EXPECT_LT(labels.size(), lines.size());
  for (std::size_t i = 0; i < labels.size(); ++i)
    for (std::size_t j = i + 1; j < labels.size(); ++j) EXPECT_FALSE(labels[i].box.intersects(labels[j].box));
}

}  // namespace
}  // namespace tessaly
