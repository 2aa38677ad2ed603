#include "shell/untFrmPrgBar.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

namespace tessaly {
namespace {

QPointer<TFrmPrgBar>& CurrentWindow() {
  static QPointer<TFrmPrgBar> current;
  return current;
}

constexpr int kButtonTop = 132, kButtonWidth = 80, kButtonHeight = 25, kButtonGap = 8;

}  // namespace

TFrmPrgBar::TFrmPrgBar(TFromProgressBar& component, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), component_(component) {
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(kWidth, kHeight);

  const TMeuProgressBar& settings = *component.ProgressBar;
  lblMsg = new QLabel(settings.Mensagem(), this);
  lblMsg->setObjectName("lblMsg");
  lblMsg->setAlignment(Qt::AlignCenter);
  lblMsg->setFont(settings.Font());
  lblMsg->setGeometry(8, 8, kWidth - 16, 30);

  Animate1 = new FileAnimation(this);
  Animate1->setObjectName("Animate1");
  Animate1->setGeometry(kWidth / 2 - 136, 40, 272, 60);
  Animate1->SetKind(settings.AVI());
  Animate1->Start();

  ProgressBar = new QProgressBar(this);
  ProgressBar->setObjectName("ProgressBar");
  ProgressBar->setTextVisible(false);
  ProgressBar->setGeometry(16, 106, kWidth - 32, 18);
  ProgressBar->setRange(settings.Minimo(), settings.Maximo());
  ProgressBar->setValue(settings.Posicao());

  btnIniciar = new QPushButton(component.Botoes.Iniciar, this);
  btnIniciar->setObjectName("btnIniciar");
  btnIniciar->setGeometry(kRightButtonLeft, kButtonTop, kButtonWidth, kButtonHeight);
  btnIniciar->setDefault(true);
  btnIniciar->setVisible(component.Botoes.Has(btIniciar));
  connect(btnIniciar, &QPushButton::clicked, this, &TFrmPrgBar::btnIniciarClick);

  btnCancelar = new QPushButton(component.Botoes.Cancelar, this);
  btnCancelar->setObjectName("btnCancelar");
  const int cancelLeft = btnIniciar->isVisibleTo(this) ? kRightButtonLeft - kButtonWidth - kButtonGap
                                                       : kRightButtonLeft;
  btnCancelar->setGeometry(cancelLeft, kButtonTop, kButtonWidth, kButtonHeight);
  btnCancelar->setVisible(component.Botoes.Has(btCancelar));
  connect(btnCancelar, &QPushButton::clicked, this, &TFrmPrgBar::btnCancelarClick);

  if (parent) move(parent->frameGeometry().center() - rect().center());
  if (TFrmPrgBar* previous = CurrentWindow()) previous->close();
  CurrentWindow() = this;
  QCoreApplication::processEvents();
}

TFrmPrgBar::~TFrmPrgBar() { ForgetAsCurrent(); }

TFrmPrgBar* TFrmPrgBar::Current() { return CurrentWindow(); }

void TFrmPrgBar::closeEvent(QCloseEvent* event) {
  Animate1->Stop();
  ForgetAsCurrent();
  QDialog::closeEvent(event);
}

// A borderless window draws its own frame.
void TFrmPrgBar::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TFrmPrgBar::ForgetAsCurrent() {
  if (CurrentWindow() == this) CurrentWindow() = nullptr;
}

void TFrmPrgBar::btnIniciarClick() {
  if (component_.QuantoIniciar) component_.QuantoIniciar(btnIniciar);
}

void TFrmPrgBar::btnCancelarClick() {
  bool fechar = true;
  if (component_.QuantoCancelar) component_.QuantoCancelar(btnCancelar, fechar);
  if (fechar) close();
}

}  // namespace tessaly
