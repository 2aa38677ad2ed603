// The document window's track: the "Track" command of the kinds with
// positions, the chart's place while the track is hidden, the selection in
// step with the grid and the chart, and the export beside the log.
#include <QAction>
#include <QPointer>
#include <QSplitter>
#include <QTest>

#include <gtest/gtest.h>

#include "core/TrackStyle.h"
#include "shell/TrackPane.h"
#include "shell/untFile.h"
#include "support/DocumentWindow.h"
#include "support/FileBytes.h"
#include "support/Generator.h"
#include "support/Render.h"
#include "support/ShellTestHome.h"
#include "widgets/GraficoOk.h"
#include "widgets/PainelGridOk.h"
#include "widgets/TrackPlot.h"

namespace tessaly {
namespace {

using testing::ShellTestHome;
using testing::TempHome;

class FileWindowTrack : public ::testing::Test {
 protected:
  // A document window of a generated log of `kind`, loaded.
  QPointer<TfrmFile> Open(const std::string& kind, int records = 300) {
    const std::string path = home_.Path("survey." + kind);
    EXPECT_TRUE(testing::GenerateLog(testing::SurveyOptions(kind, records, 0, 3) +
                                         " --line-length 300 --line-spacing 40",
                                     path));
    QPointer<TfrmFile> window = testing::OpenDocumentWindow(path, {1000, 700});
    EXPECT_NE(window->Document(), nullptr);
    return window;
  }

  // The window pixel of a record on the track.
  static QPoint TrackPixel(const TfrmFile& window, std::size_t record) {
    const TrackPlot& plot = *window.Track->Plot();
    return plot.PixelOf(*plot.Model()->Position(record)).toPoint();
  }

  ShellTestHome home_{TempHome::Content::BuildDefaults};
};

QRect GeometryInWindow(const QWidget& widget) {
  return QRect(widget.mapTo(widget.window(), QPoint(0, 0)), widget.size());
}

TEST_F(FileWindowTrack, TheCommandShowsAndHidesTheTrackBesideTheChart) {
  QPointer<TfrmFile> window = Open("kvl");
  QApplication::processEvents();
  const QRect chartAlone = GeometryInWindow(*window->Grafico1);
  ASSERT_TRUE(window->Track->Available());
  EXPECT_EQ(window->Track->Plot(), nullptr);  // nothing made before it is shown
  EXPECT_EQ(window->Track->Action()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_T));
  EXPECT_EQ(window->Grafico1->contextMenuPolicy(), Qt::ActionsContextMenu);  // right click on the chart
  EXPECT_TRUE(window->Grafico1->actions().contains(window->Track->Action()));

  window->Track->Action()->trigger();
  QApplication::processEvents();
  ASSERT_NE(window->Track->Plot(), nullptr);
  EXPECT_TRUE(window->Track->Plot()->isVisible());
  EXPECT_EQ(window->Track->Plot()->Model()->PositionCount(), window->Document()->ValidCount());
  const QRect chartBeside = GeometryInWindow(*window->Grafico1);
  EXPECT_LT(chartBeside.width(), chartAlone.width() - 100);
  EXPECT_GT(GeometryInWindow(*window->Track->Plot()).left(), chartBeside.right());
  // The track takes half the pane, as wide as the chart.
  EXPECT_NEAR(window->Track->Plot()->width(), chartBeside.width(), 1);

  window->Track->Action()->trigger();
  QApplication::processEvents();
  EXPECT_FALSE(window->Track->Plot()->isVisible());
  EXPECT_EQ(GeometryInWindow(*window->Grafico1), chartAlone);
  delete window;
}

TEST_F(FileWindowTrack, KindsWithoutPositionsDoNotOfferTheCommand) {
  for (const std::string kind : {"zpx", "zpt", "rtb"}) {
    QPointer<TfrmFile> window = Open(kind, 50);
    ASSERT_GT(window->Document()->ValidCount(), 0u) << kind;
    EXPECT_FALSE(window->Track->Available()) << kind;
    EXPECT_NE(window->Grafico1->contextMenuPolicy(), Qt::ActionsContextMenu) << kind;
    window->Track->Action()->trigger();
    EXPECT_EQ(window->Track->Plot(), nullptr) << kind;
    delete window;
  }
}

TEST_F(FileWindowTrack, GridAndChartSelectionsRingTheRecordOnTheTrack) {
  QPointer<TfrmFile> window = Open("kvl");
  window->PainelGrid1AoClicar(40, 2);  // selected before the track is shown
  window->Track->SetShown(true);
  TrackPlot& plot = *window->Track->Plot();
  EXPECT_EQ(plot.HighlightedRow(), 40);

  window->PainelGrid1AoClicar(120, 2);
  EXPECT_EQ(plot.HighlightedRow(), 120);
  window->Grafico1AoClicar(199.2);  // point 199 is row 200
  EXPECT_EQ(plot.HighlightedRow(), 200);
  // The grid's keyboard selection takes the same road.
  window->PainelGrid1->AoSelecionarLinha(201);
  EXPECT_EQ(plot.HighlightedRow(), 201);
  delete window;
}

TEST_F(FileWindowTrack, AClickOnTheTrackSelectsTheRowAndTheChartPoint) {
  QPointer<TfrmFile> window = Open("kvl");
  window->Track->SetShown(true);
  QApplication::processEvents();
  TrackPlot& plot = *window->Track->Plot();
  test::Render(plot);

  QTest::mouseClick(&plot, Qt::LeftButton, {}, TrackPixel(*window, 149));
  // The nearest drawn record: 150 itself, or a neighbour of its cell.
  const int row = window->PainelGrid1->CurrentRow();
  EXPECT_NEAR(row, 150, 2);
  EXPECT_EQ(plot.HighlightedRow(), row);
  EXPECT_EQ(window->Grafico1->Grafico().Linha().SelX(), row - 1.0);
  EXPECT_TRUE(window->Grafico1->Grafico().Linha().Seleciona());
  delete window;
}

// A point clicked by the plot's edge is selected where it is: the view does
// not jump to centre it.
TEST_F(FileWindowTrack, AClickByThePlotsEdgeLeavesTheView) {
  QPointer<TfrmFile> window = Open("kvl");
  window->Track->SetShown(true);
  QApplication::processEvents();
  TrackPlot& plot = *window->Track->Plot();
  TrackView view = plot.View();
  const QPointF now = plot.PixelOf(*plot.Model()->Position(149));
  view.centreEasting += (now.x() - 6) * view.metresPerPixel;  // record 150 six pixels from the left edge
  plot.SetView(view);
  test::Render(plot);

  QTest::mouseClick(&plot, Qt::LeftButton, {}, TrackPixel(*window, 149));
  EXPECT_NEAR(window->PainelGrid1->CurrentRow(), 150, 2);
  EXPECT_EQ(plot.HighlightedRow(), window->PainelGrid1->CurrentRow());
  EXPECT_DOUBLE_EQ(plot.View().centreEasting, view.centreEasting);
  EXPECT_DOUBLE_EQ(plot.View().centreNorthing, view.centreNorthing);
  delete window;
}

TEST_F(FileWindowTrack, TheColourScaleEndsAtTheViewSettingsLimit) {
  AppContext::Instance().View.DevLimit = 7;
  QPointer<TfrmFile> window = Open("kvl");
  window->Track->SetShown(true);
  EXPECT_EQ(window->Track->Plot()->Limit(), 7.0);

  AppContext::Instance().View.DevLimit = 30;
  window->Refresh(false, true);
  EXPECT_EQ(window->Track->Plot()->Limit(), 30.0);
  delete window;
}

TEST_F(FileWindowTrack, TheExportRefusesTheLogAndItsCommentsFile) {
  QPointer<TfrmFile> window = Open("kvl");
  window->Track->SetShown(true);
  TrackPlot& plot = *window->Track->Plot();
  const std::string log = window->FileName();
  const std::string before = testing::ReadBytes(log);
  plot.ChooseExportFile = [&](QWidget*) { return QString::fromStdString(log); };
  plot.actExportPng->trigger();

  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Error");
  EXPECT_EQ(testing::ReadBytes(log), before);

  const std::string picture = home_.Path("survey.png");
  plot.ChooseExportFile = [&](QWidget*) { return QString::fromStdString(picture); };
  plot.actExportPng->trigger();
  EXPECT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_FALSE(QImage(QString::fromStdString(picture)).isNull());
  delete window;
}

// ---- Survey lines ----

// The window finds the lines once, when the log has loaded, and the chart
// and the track show that one result: the generator's six lines of 300 m.
TEST_F(FileWindowTrack, ChartAndTrackShowTheLinesFoundOnce) {
  const std::string path = home_.Path("lines.kvl");
  ASSERT_TRUE(testing::GenerateLog("--kind kvl --lines 6 --line-length 300 --line-spacing 40 --seed 2", path));
  QPointer<TfrmFile> window = new TfrmFile;
  window->resize(1000, 700);
  window->show();
  window->SetFileName(path);
  ASSERT_NE(window->SurveyLines(), nullptr);
  EXPECT_EQ(window->SurveyLines()->Lines().size(), 6u);
  EXPECT_EQ(window->Grafico1->SurveyLines(), window->SurveyLines());
  window->Track->Action()->trigger();
  QApplication::processEvents();
  EXPECT_EQ(window->Track->Plot()->Lines(), window->SurveyLines());
  EXPECT_EQ(window->Track->Plot()->LineLabels().size(), 6u);
  delete window;
}

// An operator's SOL and EOL typed in the grid make the marked line the only
// one, at once, on the chart and the track; other comments leave the lines
// as they were.
TEST_F(FileWindowTrack, ALineMarkTypedInTheGridCutsTheLinesAgain) {
  QPointer<TfrmFile> window = Open("kvl");
  window->Track->Action()->trigger();
  QString typed;
  window->InputQuery = [&](const QString&, const QString&, QString& text) {
    text = typed;
    return true;
  };
  const RecordLines* found = window->SurveyLines();
  ASSERT_NE(found, nullptr);
  typed = QStringLiteral("buoy");
  window->PainelGrid1AoClicar(5, kColComment);
  EXPECT_EQ(window->SurveyLines(), found);
  typed = QStringLiteral("SOL A1");
  window->PainelGrid1AoClicar(20, kColComment);
  typed = QStringLiteral("EOL");
  window->PainelGrid1AoClicar(40, kColComment);
  ASSERT_EQ(window->SurveyLines()->Lines(), (std::vector<SurveyLine>{{19, 39, "A1"}}));
  EXPECT_EQ(window->Grafico1->SurveyLines(), window->SurveyLines());
  EXPECT_EQ(window->Track->Plot()->Lines(), window->SurveyLines());
  delete window;
}

// A log kind without positions has no lines to show.
TEST_F(FileWindowTrack, NoLinesWithoutPositions) {
  QPointer<TfrmFile> window = Open("zpx");
  EXPECT_EQ(window->SurveyLines(), nullptr);
  EXPECT_EQ(window->Grafico1->SurveyLines(), nullptr);
  delete window;
}

}  // namespace
}  // namespace tessaly
