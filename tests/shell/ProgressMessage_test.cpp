#include "shell/ProgressMessage.h"
#include "shell/untFrmPrgBar.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <thread>

namespace tessaly {
namespace {

// Lets a closed window's deferred deletion run.
void Settle() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

class Progress : public ::testing::Test {
 protected:
  void TearDown() override {
    TFromProgressBar::CloseWindow();
    Settle();
  }
  TFromProgressBar progress_;
};

TEST_F(Progress, ExecuteCreatesTheCurrentWindowFromTheComponent) {
  progress_.ProgressBar->SetMensagem("Loading File ...");
  progress_.ProgressBar->SetAVI(TCommonAVI::aviFindFile);
  QObject* started = nullptr;
  progress_.QuantoIniciar = [&](QObject* sender) { started = sender; };
  progress_.Execute(false);
  TFrmPrgBar* window = TFrmPrgBar::Current();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(started, &progress_);
  EXPECT_EQ(window->size(), QSize(509, 166));
  EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(window->lblMsg->text(), "Loading File ...");
  EXPECT_EQ(window->ProgressBar->maximum(), 100);
  EXPECT_TRUE(window->Animate1->Active());
  EXPECT_FALSE(window->btnIniciar->isVisibleTo(window));
  EXPECT_FALSE(window->btnCancelar->isVisibleTo(window));
}

TEST_F(Progress, ReachingMaximoClosesTheWindowWithoutMovingTheBar) {
  progress_.Execute(false);
  QPointer<TFrmPrgBar> window = TFrmPrgBar::Current();
  progress_.ProgressBar->SetMaximo(10);
  EXPECT_EQ(window->ProgressBar->maximum(), 10);
  progress_.ProgressBar->SetPosicao(9);
  EXPECT_EQ(window->ProgressBar->value(), 9);
  progress_.ProgressBar->SetPosicao(10);
  EXPECT_EQ(TFrmPrgBar::Current(), nullptr);
  if (window) {
    EXPECT_EQ(window->ProgressBar->value(), 9);
  }
  Settle();
  EXPECT_TRUE(window.isNull());
}

TEST_F(Progress, QuandoCompletoCanKeepTheWindowOpen) {
  QObject* sender = nullptr;
  progress_.QuandoCompleto = [&](QObject* s, bool& fechar) {
    sender = s;
    fechar = false;
  };
  progress_.Execute(false);
  progress_.ProgressBar->SetPosicao(100);
  EXPECT_EQ(sender, progress_.ProgressBar);
  EXPECT_NE(TFrmPrgBar::Current(), nullptr);
}

TEST_F(Progress, SettingTheSamePositionDoesNothing) {
  int completions = 0;
  progress_.QuandoCompleto = [&](QObject*, bool& fechar) {
    ++completions;
    fechar = false;
  };
  progress_.Execute(false);
  progress_.ProgressBar->SetPosicao(100);
  progress_.ProgressBar->SetPosicao(100);
  EXPECT_EQ(completions, 1);
}

TEST_F(Progress, SettersWithoutAWindowOnlyStore) {
  progress_.ProgressBar->SetMaximo(5);
  progress_.ProgressBar->SetPosicao(5);
  progress_.ProgressBar->SetMensagem("Exporting File ...");
  EXPECT_EQ(progress_.ProgressBar->Posicao(), 5);
  EXPECT_EQ(progress_.ProgressBar->Mensagem(), "Exporting File ...");
  EXPECT_EQ(TFrmPrgBar::Current(), nullptr);
  // The stored values reach the window when it is created.
  progress_.ProgressBar->SetPosicao(3);
  progress_.Execute(false);
  EXPECT_EQ(TFrmPrgBar::Current()->ProgressBar->maximum(), 5);
  EXPECT_EQ(TFrmPrgBar::Current()->ProgressBar->value(), 3);
  EXPECT_EQ(TFrmPrgBar::Current()->lblMsg->text(), "Exporting File ...");
}

TEST_F(Progress, SettersOfAnyComponentActOnTheCurrentWindow) {
  TFromProgressBar other;
  progress_.Execute(false);
  other.ProgressBar->SetMensagem("Other");
  EXPECT_EQ(TFrmPrgBar::Current()->lblMsg->text(), "Other");
}

TEST_F(Progress, CancelOnlySitsAtTheRightAndClosesUnlessRefused) {
  progress_.Botoes.Botoes = btCancelar;
  progress_.Botoes.Cancelar = "Cancel";
  bool refuse = true;
  QObject* sender = nullptr;
  progress_.QuantoCancelar = [&](QObject* s, bool& fechar) {
    sender = s;
    fechar = !refuse;
  };
  progress_.Execute(false);
  TFrmPrgBar* window = TFrmPrgBar::Current();
  EXPECT_EQ(window->btnCancelar->x(), 420);
  EXPECT_EQ(window->btnCancelar->text(), "Cancel");
  QTest::mouseClick(window->btnCancelar, Qt::LeftButton);
  EXPECT_EQ(sender, window->btnCancelar);
  EXPECT_EQ(TFrmPrgBar::Current(), window);
  refuse = false;
  QTest::mouseClick(window->btnCancelar, Qt::LeftButton);
  EXPECT_EQ(TFrmPrgBar::Current(), nullptr);
}

TEST_F(Progress, StartAndCancelSitSideBySide) {
  progress_.Botoes.Botoes = btCancelar | btIniciar;
  int starts = 0;
  progress_.QuantoIniciar = [&](QObject*) { ++starts; };
  progress_.Execute(false);
  TFrmPrgBar* window = TFrmPrgBar::Current();
  EXPECT_EQ(window->btnIniciar->x(), 420);
  EXPECT_LT(window->btnCancelar->geometry().right(), 420);
  EXPECT_EQ(window->btnIniciar->text(), "Iniciar");
  QTest::mouseClick(window->btnIniciar, Qt::LeftButton);
  EXPECT_EQ(starts, 2);  // once by Execute, once by the button
}

TEST_F(Progress, ModalWindowClosesWhenAWorkerPostsTheLastPosition) {
  progress_.ProgressBar->SetMaximo(1000);
  std::thread worker;
  std::vector<int> seen;
  progress_.QuantoIniciar = [&](QObject*) {
    worker = std::thread([this] {
      progress_.ProgressBar->PostMensagem("Loading File ...");
      for (int i = 1; i <= 1000; ++i) progress_.ProgressBar->PostPosicao(i);
    });
  };
  progress_.Execute(true);  // returns when the last position closes the window
  worker.join();
  EXPECT_EQ(progress_.ProgressBar->Posicao(), 1000);
  EXPECT_EQ(progress_.ProgressBar->Mensagem(), "Loading File ...");
  EXPECT_EQ(TFrmPrgBar::Current(), nullptr);
}

TEST_F(Progress, WorkFinishedInsideTheStartHandlerDoesNotLeaveAModalWindow) {
  progress_.QuantoIniciar = [this](QObject*) {
    for (int i = 1; i <= 100; ++i) progress_.ProgressBar->SetPosicao(i);
  };
  progress_.Execute(true);  // would block for ever if the closed window were shown again
  EXPECT_EQ(TFrmPrgBar::Current(), nullptr);
}

TEST_F(Progress, CloseWindowClosesTheCurrentWindow) {
  progress_.Execute(false);
  TFromProgressBar::CloseWindow();
  EXPECT_EQ(TFrmPrgBar::Current(), nullptr);
  TFromProgressBar::CloseWindow();  // none left: nothing happens
}

}  // namespace
}  // namespace tessaly
