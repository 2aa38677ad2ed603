// The document window's views kept in step (grid, chart, raw text), its keys,
// its activation, the error list and the recolouring after a settings change.
#include "shell/untFile.h"

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include "shell/untLogErrors.h"
#include "support/FileBytes.h"
#include "support/ShellTestHome.h"
#include "widgets/GraficoOk.h"
#include "widgets/PainelGridOk.h"
#include "widgets/RawTextView.h"

namespace tessaly {
namespace {

using testing::ShellTestHome;
using testing::TempHome;

const std::string kGood = "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4\r\n";
const std::string kNegative = "$KVMGD,-00150,4418.000,N,06318.000,W,25.3,78.4\r\n";
const std::string kBad = "$KVMGD,+0004X,4418.000,N,06318.000,W,25.3,78.4\r\n";

// Lines 1-3 good, 4 rejected, 5 good, 6 blank, 7 good (negative), 8 good.
std::string SmallLog() { return kGood + kGood + kGood + kBad + kGood + "\r\n" + kNegative + kGood; }

class FileWindowViews : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = home_.Path("views.kvl");
    testing::WriteBytes(path_, SmallLog());
    window_ = new TfrmFile;
    window_->resize(1000, 700);
    window_->show();
    window_->SetFileName(path_);
    ASSERT_NE(window_->Document(), nullptr);
  }
  void TearDown() override { delete window_; }

  ShellTestHome home_{TempHome::Content::BuildDefaults};
  std::string path_;
  QPointer<TfrmFile> window_;
};

TEST_F(FileWindowViews, GridClickSelectsTheChartPointAndTheRawLine) {
  window_->PainelGrid1AoClicar(4, 3);  // record 4 is raw line 5

  EXPECT_EQ(window_->Grafico1->Grafico().Linha().SelX(), 3.0);
  EXPECT_TRUE(window_->Grafico1->Grafico().Linha().Seleciona());
  EXPECT_EQ(window_->lstRawData->CurrentLine(), 4);
}

TEST_F(FileWindowViews, ChartClickSelectsTheRowAfterThePointIndex) {
  window_->Grafico1AoClicar(4.4);  // point 4 is grid row 5, raw line 7

  EXPECT_EQ(window_->PainelGrid1->CurrentRow(), 5);
  EXPECT_EQ(window_->lstRawData->CurrentLine(), 6);
}

TEST_F(FileWindowViews, RawTextClickSelectsTheRecordOfThatLine) {
  QSignalSpy unused(window_->lstRawData, &RawTextView::LineChosen);
  const int lineHeight = window_->lstRawData->LineHeight();
  QTest::mouseClick(window_->lstRawData->viewport(), Qt::LeftButton, {},
                    QPoint(window_->lstRawData->GutterWidth() + 30, 6 * lineHeight + lineHeight / 2));

  EXPECT_EQ(window_->lstRawData->CurrentLine(), 6);
  EXPECT_EQ(window_->PainelGrid1->CurrentRow(), 5);
  EXPECT_EQ(window_->Grafico1->Grafico().Linha().SelX(), 4.0);
}

TEST_F(FileWindowViews, ClickOnARejectedRawLineLeavesTheSelectionAlone) {
  window_->PainelGrid1AoClicar(2, 3);
  window_->lstRawDataClick(3);  // line 4 was rejected

  EXPECT_EQ(window_->PainelGrid1->CurrentRow(), 2);
}

TEST_F(FileWindowViews, ActivationSwitchesOnTheChartControlsAndTheExportCommand) {
  QAction exportVdg;
  exportVdg.setEnabled(false);
  AppContext::Instance().RegisterAction("actExportVDG", &exportVdg);
  QSignalSpy activated(window_.data(), &TfrmFile::Activated);

  window_->FormActivate();

  ASSERT_NE(window_->Grafico1->EscalaXControl(), nullptr);
  ASSERT_NE(window_->Grafico1->EscalaYControl(), nullptr);
  EXPECT_NE(window_->Grafico1->NavegadorXControl(), nullptr);
  EXPECT_NE(window_->Grafico1->NavegadorYControl(), nullptr);
  EXPECT_EQ(window_->Grafico1->EscalaXControl()->maximum(), 800);
  EXPECT_EQ(window_->Grafico1->EscalaYControl()->maximum(), 50000);
  EXPECT_TRUE(exportVdg.isEnabled());
  EXPECT_EQ(activated.count(), 1);

  window_->close();
  EXPECT_FALSE(exportVdg.isEnabled());
}

TEST_F(FileWindowViews, FunctionKeysStepTheZoomSlidersWithinTheirBounds) {
  window_->FormActivate();
  QSlider* horizontal = window_->Grafico1->EscalaXControl();
  QSlider* vertical = window_->Grafico1->EscalaYControl();
  ASSERT_TRUE(horizontal && vertical);
  horizontal->setValue(100);
  vertical->setValue(vertical->maximum());

  QTest::keyClick(window_.data(), Qt::Key_F7);
  EXPECT_EQ(horizontal->value(), 101);
  QTest::keyClick(window_.data(), Qt::Key_F8);
  QTest::keyClick(window_.data(), Qt::Key_F8);
  EXPECT_EQ(horizontal->value(), 99);
  const int verticalBefore = vertical->value();
  QTest::keyClick(window_.data(), Qt::Key_F9);
  EXPECT_EQ(vertical->value(), verticalBefore);  // already at its maximum
  QTest::keyClick(window_.data(), Qt::Key_F10);
  EXPECT_EQ(vertical->value(), verticalBefore - 1);
}

TEST_F(FileWindowViews, ErrorsButtonShowsTheErrorListSnapshot) {
  std::vector<std::string> shown;
  window_->ShowErrorList = [&](QWidget*, std::vector<std::string> lines) { shown = std::move(lines); };
  EXPECT_EQ(window_->lblQtdErrors->text(), "1");
  ASSERT_TRUE(window_->btnErros->isEnabled());

  QTest::mouseClick(window_->btnErros, Qt::LeftButton);

  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0], "1 - Deviation is non-numeric");
  EXPECT_EQ(shown[1], kBad.substr(0, kBad.size() - 2));
  EXPECT_EQ(shown[2], "Line: 4");
  EXPECT_EQ(shown[3], "");
}

TEST_F(FileWindowViews, ErrorListWindowOpensOnTopWithTheLines) {
  window_->ShowErrorList = [](QWidget* owner, std::vector<std::string> lines) {
    (new TfrmLogErrors(owner, std::move(lines)))->show();
  };
  QTest::mouseClick(window_->btnErros, Qt::LeftButton);

  auto* errors = window_->findChild<TfrmLogErrors*>();
  ASSERT_NE(errors, nullptr);
  EXPECT_EQ(errors->windowTitle(), "Errors");
  EXPECT_EQ(errors->Lines().size(), 4u);
  errors->close();
}

TEST_F(FileWindowViews, RefreshRecoloursRowsBeyondTheNewDeviationLimit) {
  TInformacaoGrid& grid = window_->PainelGrid1->InformacaoGrid();
  ViewSettings& view = AppContext::Instance().View;
  view.DevLimit = 100;
  view.NegDevColor = 0x00FF00;
  view.PosDevColor = 0x00FFFF;

  window_->Refresh(false, true);

  EXPECT_EQ(grid.GetRowColor(5), 0x00FF00u);  // -150 is beyond 100
  EXPECT_EQ(grid.GetRowFontColor(5), 0x0000FFu);
  EXPECT_EQ(grid.GetRowColor(1), 0xFFFFFFu);  // 42: odd row, white
  EXPECT_EQ(grid.GetRowColor(2), 0xE1FFFFu);  // even row, tool-tip colour
  EXPECT_EQ(grid.GetRowColor(0), 0x808080u);  // the caption row keeps its grey
}

TEST_F(FileWindowViews, YZeroButtonsCentreTheDeviationZero) {
  window_->FormActivate();
  QScrollBar* vertical = window_->Grafico1->NavegadorYControl();
  ASSERT_NE(vertical, nullptr);
  vertical->setValue(0);

  QTest::mouseClick(window_->btnY0Lower, Qt::LeftButton);

  EXPECT_EQ(vertical->value(), vertical->maximum() / 2);
}

}  // namespace
}  // namespace tessaly
