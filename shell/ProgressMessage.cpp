#include "shell/ProgressMessage.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

#include "shell/AppContext.h"
#include "shell/untFrmPrgBar.h"

namespace tessaly {

TMeuProgressBar::TMeuProgressBar(TFromProgressBar* owner) : QObject(owner), owner_(owner) {}

void TMeuProgressBar::SetMaximo(int maximo) {
  if (maximo == maximo_) return;
  maximo_ = maximo;
  if (TFrmPrgBar* window = TFrmPrgBar::Current()) window->ProgressBar->setMaximum(maximo);
}

void TMeuProgressBar::SetPosicao(int posicao) {
  if (posicao == posicao_) return;
  posicao_ = posicao;
  TFrmPrgBar* window = TFrmPrgBar::Current();
  if (!window) return;
  if (posicao != maximo_) {
    window->ProgressBar->setValue(posicao);
    QCoreApplication::processEvents();
    return;
  }
  bool fechar = true;
  if (owner_->QuandoCompleto) owner_->QuandoCompleto(this, fechar);
  if (fechar && TFrmPrgBar::Current()) TFrmPrgBar::Current()->close();
}

void TMeuProgressBar::SetMensagem(const QString& mensagem) {
  if (mensagem == mensagem_) return;
  mensagem_ = mensagem;
  if (TFrmPrgBar* window = TFrmPrgBar::Current()) {
    window->lblMsg->setText(mensagem);
    QCoreApplication::processEvents();
  }
}

void TMeuProgressBar::PostMaximo(int maximo) {
  QMetaObject::invokeMethod(this, [this, maximo] { SetMaximo(maximo); }, Qt::QueuedConnection);
}

void TMeuProgressBar::PostPosicao(int posicao) {
  QMetaObject::invokeMethod(this, [this, posicao] { SetPosicao(posicao); }, Qt::QueuedConnection);
}

void TMeuProgressBar::PostMensagem(const QString& mensagem) {
  QMetaObject::invokeMethod(this, [this, mensagem] { SetMensagem(mensagem); }, Qt::QueuedConnection);
}

TFromProgressBar::TFromProgressBar(QObject* owner) : QObject(owner), ProgressBar(new TMeuProgressBar(this)) {}

TFromProgressBar::~TFromProgressBar() { delete window_.data(); }

void TFromProgressBar::Execute(bool modal) {
  delete window_.data();
  window_ = new TFrmPrgBar(*this, AppContext::Instance().MainWindow);
  if (QuantoIniciar) QuantoIniciar(this);
  if (!window_ || TFrmPrgBar::Current() != window_) return;  // already closed by the start handler
  if (modal) window_->exec();
  else window_->show();
}

TFrmPrgBar* TFromProgressBar::Window() const { return window_.data(); }

void TFromProgressBar::CloseWindow() {
  if (TFrmPrgBar* window = TFrmPrgBar::Current()) window->close();
}

void TFromProgressBar::PostCloseWindow() {
  QMetaObject::invokeMethod(this, [] { CloseWindow(); }, Qt::QueuedConnection);
}

}  // namespace tessaly
