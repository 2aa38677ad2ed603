#include "shell/UntTMsgDlg0.h"
#include "shell/UntTMsgdlg1.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace tessaly {
namespace {

int FixedHeight(int) { return 60; }

TEST(MsgDlgLayout, ShortMessageStaysOnOneLine) {
  const auto l = ComputeMsgDlgLayout(1, QSize(200, 16), 1024, FixedHeight);
  EXPECT_FALSE(l.Wrapped);
  EXPECT_EQ(l.Label, QRect(64, 24, 200, 16));
  EXPECT_EQ(l.Window.width(), 280);                   // label + 80
  EXPECT_EQ(l.Panel, QRect(140 - 45, 24 + 16 + 32, 90, 25));
  EXPECT_EQ(l.Window.height(), 72 + 25 + 28);
  EXPECT_EQ(l.Icon, QPoint(16, 24 + 8 - 16));
}

TEST(MsgDlgLayout, WideMessageWrapsTo566PixelsOnA1024PixelScreen) {
  int askedWidth = 0;
  const auto l = ComputeMsgDlgLayout(2, QSize(900, 16), 1024, [&](int w) {
    askedWidth = w;
    return 48;
  });
  EXPECT_TRUE(l.Wrapped);
  EXPECT_EQ(askedWidth, 566);
  EXPECT_EQ(l.Label, QRect(64, 16, 566, 48));
  EXPECT_EQ(l.Window.width(), 646);
  EXPECT_EQ(l.Panel.top(), 16 + 48 + 24);
  EXPECT_EQ(l.Panel.width(), 188);
  EXPECT_EQ(l.Panel.left(), 323 - 94);
}

TEST(MsgDlgLayout, ButtonsWiderThanTheLimitSetTheWrapWidth) {
  const auto l = ComputeMsgDlgLayout(9, QSize(1000, 16), 1024, FixedHeight);
  EXPECT_EQ(l.Panel.width(), 874);
  EXPECT_EQ(l.Label.width(), 874 - 48);
  EXPECT_EQ(l.Window.width(), 874 - 48 + 80);
}

TEST(MsgDlgLayout, ManyButtonsWidenAShortMessageWindow) {
  const auto l = ComputeMsgDlgLayout(4, QSize(100, 16), 1024, FixedHeight);
  EXPECT_EQ(l.Window.width(), 384 + 32);
  EXPECT_EQ(l.Panel.left(), 208 - 192);
}

std::unique_ptr<TMsgDlg> Message(const QString& text, TMsgDlgButtons buttons) {
  auto m = std::make_unique<TMsgDlg>();
  m->Mensagem = text;
  m->Caption = "Confirmation";
  m->Botoes = buttons;
  return m;
}

TEST(MsgDlgWindow, LongMessageWindowUsesTheComputedGeometry) {
  const auto m = Message(QString("Couldn't open the configuration file. ").repeated(8), {TMsgDlgBtn::mbOK});
  TFrmMsgDlg window(*m, 1024);
  EXPECT_TRUE(window.Layout().Wrapped);
  EXPECT_EQ(window.LabMsg->geometry().width(), 566);
  EXPECT_GT(window.LabMsg->height(), window.LabMsg->fontMetrics().height());
  EXPECT_TRUE(window.LabMsg->wordWrap());
  EXPECT_EQ(window.size(), window.Layout().Window);
  EXPECT_EQ(window.windowTitle(), "Confirmation");
  EXPECT_TRUE(window.LabMsg->font().bold());
}

TEST(MsgDlgWindow, CarriageReturnsBreakLines) {
  const auto m = Message("one\r\rthree", {TMsgDlgBtn::mbOK});
  TFrmMsgDlg window(*m, 1024);
  EXPECT_EQ(window.LabMsg->text(), "one\n\nthree");
  EXPECT_GE(window.LabMsg->height(), 3 * window.LabMsg->fontMetrics().lineSpacing() - 2);
}

TEST(MsgDlgWindow, ShowsRequestedButtonsInTableOrder) {
  const auto m = Message("Save?", {TMsgDlgBtn::mbCancel, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbYes,
                                      TMsgDlgBtn::mbYesToAll});
  TFrmMsgDlg window(*m, 1024);
  EXPECT_EQ(window.btnYes->pos(), QPoint(0, 0));
  EXPECT_EQ(window.btnNo->pos(), QPoint(98, 0));
  EXPECT_EQ(window.btnCancel->pos(), QPoint(196, 0));
  EXPECT_FALSE(window.btnOk->isVisibleTo(&window));
  EXPECT_EQ(window.PanBotoes->width(), 286);
  EXPECT_TRUE(window.btnYes->isDefault());
  EXPECT_EQ(window.btnYes->text(), "&Yes");
  EXPECT_EQ(window.btnRetry->text(), "&Try");
}

// A question that should not be answered by a stray Enter names its
// default; a default that is not among the buttons changes nothing.
TEST(MsgDlgWindow, TheNamedDefaultButtonTakesEnter) {
  auto m = Message("Stop?", {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo});
  m->DefaultButton = TMsgDlgBtn::mbNo;
  TFrmMsgDlg window(*m, 1024);
  EXPECT_TRUE(window.btnNo->isDefault());
  EXPECT_FALSE(window.btnYes->isDefault());
  m->DefaultButton = TMsgDlgBtn::mbOK;
  TFrmMsgDlg absent(*m, 1024);
  EXPECT_TRUE(absent.btnYes->isDefault());
}

TEST(MsgDlgWindow, EachButtonGivesItsModalResult) {
  const std::pair<TMsgDlgBtn, int> table[] = {{TMsgDlgBtn::mbYes, 6},    {TMsgDlgBtn::mbNo, 7},
                                              {TMsgDlgBtn::mbOK, 1},     {TMsgDlgBtn::mbCancel, 2},
                                              {TMsgDlgBtn::mbAbort, 3},  {TMsgDlgBtn::mbRetry, 4},
                                              {TMsgDlgBtn::mbIgnore, 5}, {TMsgDlgBtn::mbAll, 8}};
  for (const auto& [member, expected] : table) {
    const auto m = Message("x", {member});
    TFrmMsgDlg window(*m, 1024);
    window.open();
    for (auto* b : window.PanBotoes->findChildren<QPushButton*>())
      if (b->isVisible()) QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_EQ(window.result(), expected);
    EXPECT_FALSE(window.isVisible());
  }
}

TEST(MsgDlgWindow, NoButtonsLeavesOnlyTheCloseBoxWhichGives2) {
  const auto m = Message("Couldn't rercod the data in the configuration file.", {});
  TFrmMsgDlg window(*m, 1024);
  EXPECT_TRUE(window.PanBotoes->findChildren<QPushButton*>().size() == 9);
  for (auto* b : window.PanBotoes->findChildren<QPushButton*>()) EXPECT_FALSE(b->isVisibleTo(&window));
  window.open();
  window.close();
  EXPECT_EQ(window.result(), 2);
}

TEST(MsgDlgWindow, EscapePressesNoWhenThereIsNoCancel) {
  const auto m = Message("Save?", {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo});
  TFrmMsgDlg window(*m, 1024);
  window.open();
  QTest::keyClick(&window, Qt::Key_Escape);
  EXPECT_EQ(window.result(), 7);
}

TEST(MsgDlgWindow, HelpButtonReportsTheHelpContextWithoutClosing) {
  auto m = Message("x", {TMsgDlgBtn::mbOK, TMsgDlgBtn::mbHelp});
  m->HelpContext = 42;
  TFrmMsgDlg window(*m, 1024);
  int context = 0;
  QObject::connect(&window, &TFrmMsgDlg::HelpRequested, [&](int c) { context = c; });
  window.open();
  QTest::mouseClick(window.btnHelp, Qt::LeftButton);
  EXPECT_EQ(context, 42);
  EXPECT_TRUE(window.isVisible());
}

TEST(MsgDlgWindow, CustomStyleHasNoIconOthersHaveOne) {
  auto m = Message("x", {TMsgDlgBtn::mbOK});
  m->Estilo = TMsgDlgType::mtCustom;
  EXPECT_TRUE(TFrmMsgDlg(*m, 1024).ImgIcone->pixmap().isNull());
  for (auto style : {TMsgDlgType::mtWarning, TMsgDlgType::mtError, TMsgDlgType::mtInformation,
                     TMsgDlgType::mtConfirmation}) {
    m->Estilo = style;
    EXPECT_FALSE(TFrmMsgDlg(*m, 1024).ImgIcone->pixmap().isNull());
  }
}

TEST(MsgDlgAutoAnswer, AnswersAndRecordsWithoutShowing) {
  TMsgDlg::ClearCalls();
  TMsgDlg::SetAutoAnswer([](const TMsgDlg& m) { return m.Botoes.Contains(TMsgDlgBtn::mbNo) ? 7 : 1; });
  auto m = Message("Save importation?", {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo});
  EXPECT_EQ(m->Execute(), 7);
  m->Botoes = {TMsgDlgBtn::mbOK};
  EXPECT_EQ(m->Execute(), 1);
  TMsgDlg::SetAutoAnswer(nullptr);
  ASSERT_EQ(TMsgDlg::Calls().size(), 2u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Mensagem, "Save importation?");
  EXPECT_EQ(TMsgDlg::Calls()[0].Result, 7);
  EXPECT_EQ(TMsgDlg::Calls()[1].Botoes, TMsgDlgButtons{TMsgDlgBtn::mbOK});
  TMsgDlg::ClearCalls();
}

}  // namespace
}  // namespace tessaly
