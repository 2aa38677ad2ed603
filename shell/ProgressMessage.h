// TFromProgressBar: the progress component of long loads and exports.
// Executing it shows the borderless progress window TFrmPrgBar; the message,
// bar and animation follow the component's ProgressBar (TMeuProgressBar)
// while the work runs; the window closes when Posicao reaches Maximo (unless
// QuandoCompleto clears bFechar) or the user cancels.
//
// There is one progress window at a time (TFrmPrgBar::Current()); the
// setters of every TMeuProgressBar act on that window, and with no window
// they only store the value.
//
// Threads: the setters must run on the user-interface thread. Work running on
// a worker thread while the window is shown modally either reports through
// the Post* setters, which queue each change to the user-interface thread,
// or leaves its position where the window's owner reads it on a timer. The
// document window does the latter (a post per step would wake the user-
// interface thread hundreds of times a second): it moves the bar every
// 40 ms and closes the window itself (CloseWindow) when its loader has
// finished.
#pragma once

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

#include "shell/FileAnimation.h"

namespace tessaly {

class TFrmPrgBar;
class TFromProgressBar;

enum TBotao : unsigned { btCancelar = 1u, btIniciar = 2u };

// The buttons of the progress window and their captions.
struct TBotoes {
  unsigned Botoes = 0;  // set of TBotao
  QString Iniciar = QStringLiteral("Iniciar");
  QString Cancelar = QStringLiteral("Cancelar");
  bool Has(TBotao b) const { return (Botoes & b) != 0; }
};

class TMeuProgressBar : public QObject {
  Q_OBJECT

 public:
  explicit TMeuProgressBar(TFromProgressBar* owner);

  const QFont& Font() const { return font_; }
  int Maximo() const { return maximo_; }
  int Minimo() const { return minimo_; }
  int Posicao() const { return posicao_; }
  const QString& Mensagem() const { return mensagem_; }
  TCommonAVI AVI() const { return avi_; }

  void SetFont(const QFont& font) { font_ = font; }
  void SetMaximo(int maximo);
  void SetMinimo(int minimo) { minimo_ = minimo; }
  // Reaching Maximo raises QuandoCompleto and closes the window unless the
  // handler cleared bFechar; the bar itself is not moved to the maximum.
  void SetPosicao(int posicao);
  void SetMensagem(const QString& mensagem);
  void SetAVI(TCommonAVI avi) { avi_ = avi; }

  // Thread-safe: queue the setter to this object's (the UI) thread.
  void PostMaximo(int maximo);
  void PostPosicao(int posicao);
  void PostMensagem(const QString& mensagem);

 private:
  TFromProgressBar* owner_;
  QFont font_;
  int maximo_ = 100;
  int minimo_ = 0;
  int posicao_ = 0;
  QString mensagem_;
  TCommonAVI avi_ = TCommonAVI::aviNone;
};

class TFromProgressBar : public QObject {
  Q_OBJECT

 public:
  explicit TFromProgressBar(QObject* owner = nullptr);
  ~TFromProgressBar() override;

  TBotoes Botoes;
  TMeuProgressBar* ProgressBar;

  std::function<void(QObject* sender)> QuantoIniciar;
  std::function<void(QObject* sender, bool& bFechar)> QuantoCancelar;
  std::function<void(QObject* sender, bool& bFechar)> QuandoCompleto;

  // Creates the progress window, makes it the current one, raises
  // QuantoIniciar (sender: this component) and shows the window: modally
  // (returns when it closes) or without waiting.
  void Execute(bool modal);
  // Closes the current progress window, if any.
  static void CloseWindow();
  // Thread-safe CloseWindow, queued to the user-interface thread.
  void PostCloseWindow();

  // The window this component created, while it exists.
  TFrmPrgBar* Window() const;

 private:
  QPointer<TFrmPrgBar> window_;
};

}  // namespace tessaly
