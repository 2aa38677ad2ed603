// The view settings window: its controls, the colour dialog, "&Save && Close"
// and Cancel, the rewrite of Lib/View.ega, the refresh of open log windows
// with the right change flags, the refused deviation limit, the write failure
// and the View command while the window is open.
#include "shell/untView.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <filesystem>

#include "core/GridLayout.h"
#include "core/RecordPipeline.h"
#include "core/SettingsStore.h"
#include "shell/AppContext.h"
#include "widgets/BgrColour.h"
#include "shell/untFile.h"
#include "support/FileBytes.h"
#include "support/ShellTestHome.h"
#include "widgets/GraficoOk.h"
#include "widgets/Linha.h"

namespace tessaly {
namespace {

using testing::ShellTestHome;
using testing::TempHome;

// A log window that records the refresh notifications it gets.
class RefreshRecorder : public TfrmTypeFile {
 public:
  RefreshRecorder() {
    OnRefresh = [this](TfrmTypeFile*, bool chart, bool grid) { calls.push_back({chart, grid}); };
  }
  std::vector<std::pair<bool, bool>> calls;  // chart-changed, grid-changed
};

class ViewWindow : public ::testing::Test {
 protected:
  ViewWindow() {
    ReadViewSettings(home_.Lib("View.ega"), AppContext::Instance().View);
    startView_ = AppContext::Instance().View;
    viewCommand_.setObjectName("actView");
    AppContext::Instance().RegisterAction("actView", &viewCommand_);
    window_ = new TfrmView;  // from the settings read above
    window_->ChooseColour = [this](QWidget*, const QColor& initial) -> std::optional<QColor> {
      offered_.push_back(initial);
      return picked_;
    };
    window_->show();
  }
  ~ViewWindow() override { delete window_; }

  void SaveAndClose() {
    window_->BitBtn1->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void Cancel() {
    window_->BitBtn2->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void Pick(QFrame* swatch, const QColor& colour) {
    picked_ = colour;
    window_->ColourButton(swatch)->click();
  }
  ViewSettings Stored() const {
    ViewSettings stored;
    ReadViewSettings(home_.Lib("View.ega"), stored);
    return stored;
  }

  ShellTestHome home_{TempHome::Content::BuildDefaults};
  ViewSettings startView_;
  QAction viewCommand_;
  QPointer<TfrmView> window_;
  std::optional<QColor> picked_;
  std::vector<QColor> offered_;
};

TEST_F(ViewWindow, ShowsTheSixteenSettingsWithTheirLabelsAndRanges) {
  EXPECT_EQ(window_->windowTitle(), "View Configuration");
  EXPECT_TRUE(window_->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(window_->windowFlags() & Qt::WindowCloseButtonHint);
  QStringList labels;
  for (const QLabel* label : window_->findChildren<QLabel*>()) labels << label->text();
  for (const char* text :
       {"Highlight devations greater than:", "Negative devations highlight color", "Positive devations highlight color",
        "Color:", "Width:", "Highlight:", "Size:", "Graph Backgound:", "Initial Samples per Page:", "Increment:",
        "Maximun Deviation:", "Initial Deviation Range:"})
    EXPECT_TRUE(labels.contains(text)) << text;
  EXPECT_EQ(window_->chbPonitVisible->text(), "Visible");
  EXPECT_EQ(window_->BitBtn1->text(), "&Save && Close");
  EXPECT_EQ(window_->BitBtn2->text(), "Cancel");

  const std::vector<std::tuple<QSpinBox*, int, int, int>> spins = {
      {window_->spnLineWidth, 0, 100, startView_.LineWidth},
      {window_->spnPointLen, 1, 100, startView_.PointSize},
      {window_->spnPointsPage, 1, 9000, startView_.SamplesPerPage},
      {window_->spnDevRange, 1, 100000, startView_.MaxDeviation},
      {window_->spnDevVIniRange, 1, 100000, startView_.InitialDevRange},
      {window_->spnDevInc, 1, 100000, startView_.DevIncrement},
      {window_->spnPoiInc, 1, 100000, startView_.PointIncrement}};
  for (const auto& [spin, minimum, maximum, value] : spins) {
    EXPECT_EQ(spin->minimum(), minimum);
    EXPECT_EQ(spin->maximum(), maximum);
    EXPECT_EQ(spin->value(), value);
  }
  EXPECT_EQ(window_->edtDevations->text(), QString::number(startView_.DevLimit));
  EXPECT_EQ(window_->chbPonitVisible->isChecked(), startView_.PointsVisible);
  const std::vector<std::pair<QFrame*, BgrColor>> swatches = {
      {window_->shpNColor, startView_.NegDevColor},         {window_->shpPColor, startView_.PosDevColor},
      {window_->shpLineColor, startView_.LineColor},        {window_->shpGridColor, startView_.GridColor},
      {window_->shpPointColor, startView_.PointColor},      {window_->shpHlColor, startView_.HighlightColor},
      {window_->shpGrpBgColor, startView_.GraphBackground}};
  for (const auto& [swatch, colour] : swatches) {
    EXPECT_EQ(window_->SwatchColour(swatch), colour);
    EXPECT_NE(window_->ColourButton(swatch), nullptr);
  }
}

TEST_F(ViewWindow, TheViewCommandIsOffWhileTheWindowIsOpen) {
  EXPECT_FALSE(viewCommand_.isEnabled());
  Cancel();
  EXPECT_TRUE(window_.isNull());
  EXPECT_TRUE(viewCommand_.isEnabled());

  window_ = new TfrmView;
  EXPECT_FALSE(viewCommand_.isEnabled());
  SaveAndClose();
  EXPECT_TRUE(viewCommand_.isEnabled());
}

TEST_F(ViewWindow, ColourButtonsOfferTheSwatchColourAndTakeTheChoice) {
  Pick(window_->shpLineColor, QColor(10, 20, 30));
  ASSERT_EQ(offered_.size(), 1u);
  EXPECT_EQ(FromQColor(offered_[0]), startView_.LineColor);
  EXPECT_EQ(window_->SwatchColour(window_->shpLineColor), 0x1E140Au);

  picked_.reset();  // the colour dialog cancelled
  window_->ColourButton(window_->shpLineColor)->click();
  EXPECT_EQ(window_->SwatchColour(window_->shpLineColor), 0x1E140Au);
}

TEST_F(ViewWindow, SaveAndCloseStoresEverySettingInTheFileAndTheProgram) {
  window_->edtDevations->setText(" 250 ");
  Pick(window_->shpNColor, QColor(1, 2, 3));
  Pick(window_->shpGrpBgColor, QColor(Qt::red));
  window_->spnLineWidth->setValue(4);
  window_->spnPointLen->setValue(7);
  window_->chbPonitVisible->setChecked(!startView_.PointsVisible);
  window_->spnPointsPage->setValue(40);
  window_->spnDevRange->setValue(9000);
  window_->spnDevVIniRange->setValue(60);
  window_->spnDevInc->setValue(6);
  window_->spnPoiInc->setValue(70000);

  SaveAndClose();

  ViewSettings expected = startView_;
  expected.DevLimit = 250;
  expected.NegDevColor = 0x030201;
  expected.GraphBackground = 0x0000FF;
  expected.LineWidth = 4;
  expected.PointSize = 7;
  expected.PointsVisible = !startView_.PointsVisible;
  expected.SamplesPerPage = 40;
  expected.MaxDeviation = 9000;
  expected.InitialDevRange = 60;
  expected.DevIncrement = 6;
  expected.PointIncrement = 70000;
  const ViewSettings& now = AppContext::Instance().View;
  const ViewSettings stored = Stored();
  for (const ViewSettings* view : {&now, &stored}) {
    EXPECT_FALSE(GridSettingsDiffer(*view, expected));
    EXPECT_FALSE(ChartSettingsDiffer(*view, expected));
  }
  EXPECT_TRUE(window_.isNull());
  EXPECT_TRUE(TMsgDlg::Calls().empty());
}

TEST_F(ViewWindow, CancelChangesNothingEvenAfterAColourWasPicked) {
  const std::string before = testing::ReadBytes(home_.Lib("View.ega"));
  RefreshRecorder log;
  Pick(window_->shpLineColor, QColor(Qt::green));
  window_->edtDevations->setText("1");

  Cancel();

  EXPECT_EQ(testing::ReadBytes(home_.Lib("View.ega")), before);
  EXPECT_FALSE(ChartSettingsDiffer(AppContext::Instance().View, startView_));
  EXPECT_FALSE(GridSettingsDiffer(AppContext::Instance().View, startView_));
  EXPECT_TRUE(log.calls.empty());
}

TEST_F(ViewWindow, OpenLogWindowsAreToldWhatChanged) {
  struct Case {
    const char* what;
    std::function<void()> change;
    bool chart, grid;
  };
  const std::vector<Case> cases = {
      {"nothing", [] {}, false, false},
      {"line colour", [this] { Pick(window_->shpLineColor, QColor(Qt::magenta)); }, true, false},
      {"points increment", [this] { window_->spnPoiInc->setValue(9); }, true, false},
      {"limit", [this] { window_->edtDevations->setText("7"); }, false, true},
      {"positive colour", [this] { Pick(window_->shpPColor, QColor(Qt::yellow)); }, false, true},
      {"both", [this] {
         window_->edtDevations->setText("8");
         window_->chbPonitVisible->toggle();
       }, true, true}};
  for (const Case& c : cases) {
    if (window_.isNull()) {
      window_ = new TfrmView;
      window_->ChooseColour = [this](QWidget*, const QColor&) { return picked_; };
    }
    RefreshRecorder first, second;
    c.change();
    SaveAndClose();
    for (const RefreshRecorder* log : {&first, &second}) {
      ASSERT_EQ(log->calls.size(), 1u) << c.what;
      EXPECT_EQ(log->calls[0], std::make_pair(c.chart, c.grid)) << c.what;
    }
  }
}

TEST_F(ViewWindow, OpenDocumentsRecolourTheirRowsAndReSetTheirCharts) {
  QPointer<TfrmFile> document = new TfrmFile;
  document->show();
  document->SetFileName(home_.Sample("line01.kvl"));
  const CellTable& cells = document->Document()->Cells();
  // A record above 20 but within the limit of the file: not highlighted yet.
  std::size_t row = 1;
  const auto deviation = [&cells](std::size_t r) { return CellInteger(cells.Cell(r, kColDev)); };
  while (row < document->Document()->ValidCount() && (deviation(row) <= 20 || deviation(row) > startView_.DevLimit))
    ++row;
  ASSERT_GT(deviation(row), 20);
  ASSERT_LE(deviation(row), startView_.DevLimit);
  const BgrColor before = cells.RowColor(row);

  window_->edtDevations->setText("20");
  Pick(window_->shpPColor, QColor(0, 128, 0));
  Pick(window_->shpLineColor, QColor(0, 0, 255));
  window_->spnLineWidth->setValue(5);
  SaveAndClose();

  EXPECT_NE(cells.RowColor(row), before);
  EXPECT_EQ(cells.RowColor(row), 0x008000u);
  const TLinha& line = document->Grafico1->Grafico().Linha();
  EXPECT_EQ(line.Cor(), 0xFF0000u);
  EXPECT_EQ(line.Largura(), 5);
  delete document;
}

TEST_F(ViewWindow, ALimitThatIsNotAWholeNumberIsRefusedNamingTheField) {
  const std::string before = testing::ReadBytes(home_.Lib("View.ega"));
  for (const char* text : {"12.5", "", "abc", "99999999999"}) {
    window_->edtDevations->setText(text);
    SaveAndClose();
    ASSERT_FALSE(window_.isNull()) << text;
    EXPECT_TRUE(window_->isVisible());
  }
  ASSERT_EQ(TMsgDlg::Calls().size(), 4u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Warning");
  EXPECT_TRUE(TMsgDlg::Calls()[0].Mensagem.contains("Highlight devations greater than:"));
  EXPECT_EQ(testing::ReadBytes(home_.Lib("View.ega")), before);
  EXPECT_EQ(AppContext::Instance().View.DevLimit, startView_.DevLimit);
  EXPECT_FALSE(viewCommand_.isEnabled());

  window_->edtDevations->setText("-40");
  SaveAndClose();
  EXPECT_TRUE(window_.isNull());
  EXPECT_EQ(Stored().DevLimit, -40);
}

TEST_F(ViewWindow, AFailedRewriteIsShownAndTheSettingsStillApply) {
  std::filesystem::remove_all(home_.Lib(""));
  RefreshRecorder log;
  window_->spnDevInc->setValue(11);

  SaveAndClose();

  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Mensagem, "Couldn't rercod the data in the configuration file.");
  EXPECT_EQ(AppContext::Instance().View.DevIncrement, 11);
  ASSERT_EQ(log.calls.size(), 1u);
  EXPECT_EQ(log.calls[0], std::make_pair(true, false));
  EXPECT_TRUE(window_.isNull());
}

}  // namespace
}  // namespace tessaly
